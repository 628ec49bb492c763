#include "comm/ui/ReceivedTextWindow.h"

#include "app/CodePage1252.h"
#include "app/Prompts.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace zep {

ReceivedTextWindow::ReceivedTextWindow(int maschinenNummer, const QByteArray &text, Prompts &prompts,
                                       QString startDir, QWidget *parent)
    : QWidget(parent, Qt::Window), m_number(maschinenNummer), m_text(text), m_prompts(prompts),
      m_startDir(std::move(startDir)), m_view(new QPlainTextEdit(this)),
      m_save(new QPushButton(QStringLiteral("Speichern..."), this))
{
    setWindowTitle(QStringLiteral("Empfangen von Maschine ") + QString::number(maschinenNummer));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::number(text.size()) + QStringLiteral(" Bytes empfangen"), this));
    m_view->setReadOnly(true);
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // One character per byte; control characters other than line ends are
    // shown as they are. Only the view changes line ends, never the bytes.
    QString shown = CodePage1252::decode(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_view->setPlainText(shown);
    layout->addWidget(m_view);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    layout->addLayout(buttons);
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    resize(640, 480);
}

ReceivedTextWindow *ReceivedTextWindow::showFor(int maschinenNummer, const QByteArray &text, Prompts &prompts,
                                                const QString &startDir, QWidget *parent)
{
    auto *w = new ReceivedTextWindow(maschinenNummer, text, prompts, startDir, parent);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    return w;
}

bool ReceivedTextWindow::save()
{
    const QString path = m_prompts.saveFile(QStringLiteral("Empfangenes Programm speichern"),
                                            QStringLiteral("Alle Dateien (*.*)"), m_startDir);
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_text) != m_text.size() || !file.commit()) {
        m_prompts.message(QStringLiteral("Das Programm konnte nicht gespeichert werden:\r") + path + QStringLiteral("\r") +
                              file.errorString(),
                          QStringLiteral("Fehler!"), PromptIcon::Exclamation);
        return false;
    }
    m_saved = true;
    return true;
}

void ReceivedTextWindow::closeEvent(QCloseEvent *event)
{
    if (!m_saved && !m_text.isEmpty()) {
        const PromptAnswer answer = m_prompts.message(
            QStringLiteral("Das Programm von Maschine ") + QString::number(m_number) +
                QStringLiteral(" wurde nicht gespeichert und geht verloren.\r\rJetzt speichern?"),
            QStringLiteral("Empfangen"), PromptIcon::Question, PromptButtons::YesNoCancel);
        if (answer == PromptAnswer::Cancel || (answer == PromptAnswer::Yes && !save())) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

} // namespace zep
