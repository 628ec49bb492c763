#include "app/ui/QtPrompts.h"

#include "app/MessageText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <memory>
#include <utility>

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

// Shows `box` without a loop of its own and hands `answered` exactly one
// answer: what `answerOf` makes of the finished box, or `gone` when the box
// goes with its owner window unanswered. Not modal: the operator may go on
// working while the box waits, and nothing behind it runs inside the box.
template <typename Handler, typename AnswerOf, typename Answer>
void showWithoutWaiting(QDialog *box, Handler answered, AnswerOf answerOf, Answer gone)
{
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    auto pending = std::make_shared<Handler>(std::move(answered));
    QObject::connect(box, &QDialog::finished, box, [pending, answerOf](int result) {
        if (Handler handler = std::exchange(*pending, {}))
            handler(answerOf(result));
    });
    QObject::connect(box, &QObject::destroyed, [pending, gone] {
        if (Handler handler = std::exchange(*pending, {}))
            handler(gone);
    });
    box->show();
    box->raise();
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

std::unique_ptr<QMessageBox> QtPrompts::messageBox(const QString &text, const QString &title, PromptIcon icon,
                                                   PromptButtons buttons, QWidget *owner)
{
    // Paths and file names have no blanks to wrap at; a long one would run
    // off the box and the screen.
    auto box = std::make_unique<QMessageBox>(boxIcon(icon), title.isEmpty() ? QStringLiteral("ZEP") : title,
                                             MessageText::breakLongWords(toDisplayText(text)),
                                             standardButtons(buttons), owner);
    for (QAbstractButton *b : box->buttons())
        b->setText(germanButtonText(box->standardButton(b)));
    return box;
}

void QtPrompts::ask(const Question &question, AnswerHandler answered)
{
    QMessageBox *box = messageBox(question.text, question.title, question.icon, question.buttons, owner()).release();
    const PromptButtons buttons = question.buttons;
    showWithoutWaiting(
        box, std::move(answered),
        [box, buttons](int) {
            QAbstractButton *clicked = box->clickedButton();
            return clicked ? toAnswer(box->standardButton(clicked)) : cautiousAnswer(buttons);
        },
        cautiousAnswer(buttons));
}

void QtPrompts::askText(const QString &text, const QString &title, const QString &defaultText, TextHandler answered)
{
    auto *box = new QInputDialog(owner());
    box->setWindowTitle(title.isEmpty() ? QStringLiteral("ZEP") : title);
    box->setLabelText(toDisplayText(text));
    box->setTextValue(defaultText);
    box->setOkButtonText(QStringLiteral("OK"));
    box->setCancelButtonText(QStringLiteral("Abbrechen"));
    showWithoutWaiting(
        box, std::move(answered),
        [box](int result) {
            return result == QDialog::Accepted ? std::optional<QString>(box->textValue()) : std::nullopt;
        },
        std::optional<QString>());
}

PromptAnswer QtPrompts::message(const QString &text, const QString &title, PromptIcon icon, PromptButtons buttons)
{
    return toAnswer(messageBox(text, title, icon, buttons, owner())->exec());
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
