#include "app/ui/QtPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace zep {

namespace {

QMessageBox::StandardButtons standardButtons(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok: return QMessageBox::Ok;
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Exclamation: return QMessageBox::Warning;
    case PromptIcon::Critical: return QMessageBox::Critical;
    case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

PromptAnswer toAnswer(int button)
{
    switch (button) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Retry: return PromptAnswer::Retry;
    default: return PromptAnswer::Cancel;
    }
}

QString germanButtonText(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Yes: return QStringLiteral("&Ja");
    case QMessageBox::No: return QStringLiteral("&Nein");
    case QMessageBox::Cancel: return QStringLiteral("Abbrechen");
    case QMessageBox::Retry: return QStringLiteral("&Wiederholen");
    default: return QStringLiteral("OK");
    }
}

} // namespace

QWidget *QtPrompts::owner() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return m_owner.data();
}

QString QtPrompts::toDisplayText(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QString QtPrompts::toQtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        result << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return result.join(QStringLiteral(";;"));
}

PromptAnswer QtPrompts::message(const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons)
{
    QMessageBox box(boxIcon(icon), title.isEmpty() ? QStringLiteral("ZEP") : title, toDisplayText(text),
                    standardButtons(buttons), owner());
    for (QAbstractButton *b : box.buttons())
        b->setText(germanButtonText(box.standardButton(b)));
    return toAnswer(box.exec());
}

std::optional<QString> QtPrompts::input(const QString &text, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString value = QInputDialog::getText(owner(), title.isEmpty() ? QStringLiteral("ZEP") : title,
                                                toDisplayText(text), QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString QtPrompts::openFile(const QString &title, const QString &filter, const QString &startDir)
{
    return QFileDialog::getOpenFileName(owner(), title, startDir, toQtFilter(filter));
}

QString QtPrompts::saveFile(const QString &title, const QString &filter, const QString &startDir,
                            const QString &suggestedName)
{
    return QFileDialog::getSaveFileName(owner(), title, proposedPath(startDir, suggestedName), toQtFilter(filter));
}

QString QtPrompts::chooseFolder(const QString &title, const QString &startDir)
{
    return QFileDialog::getExistingDirectory(owner(), title, startDir, QFileDialog::ShowDirsOnly);
}

void QtPrompts::beep()
{
    QApplication::beep();
}

} // namespace zep
