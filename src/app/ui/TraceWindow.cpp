#include "app/ui/TraceWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zep {

TraceWindow::TraceWindow(QWidget *owner, std::function<void()> onClosed)
    : QDialog(owner), m_text(new QPlainTextEdit(this)), m_onClosed(std::move(onClosed))
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Debug-Ausgabe"));
    setModal(false);
    resize(560, 360);
    m_text->setReadOnly(true);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setFont(QFont(QStringLiteral("Courier New"), 9));

    auto *close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(QStringLiteral("Command1"));
    auto *clear = new QPushButton(QStringLiteral("Leeren"), this);
    clear->setObjectName(QStringLiteral("Command2"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(clear, &QPushButton::clicked, this, &TraceWindow::clearText);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(clear);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
}

void TraceWindow::appendLine(const QString &line)
{
    m_text->appendPlainText(line);
}

void TraceWindow::appendRaw(const QString &text)
{
    m_text->moveCursor(QTextCursor::End);
    m_text->insertPlainText(text);
}

QString TraceWindow::text() const
{
    return m_text->toPlainText();
}

void TraceWindow::clearText()
{
    m_text->clear();
}

void TraceWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    QDialog::closeEvent(event);
}

void TraceWindow::hideEvent(QHideEvent *event)
{
    // Escape, the close box and the button all end up here; a hide because
    // the main window was minimised comes from the window system and is not
    // a close.
    if (!event->spontaneous() && m_onClosed)
        m_onClosed();
    QDialog::hideEvent(event);
}

} // namespace zep
