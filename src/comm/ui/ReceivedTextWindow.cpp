#include "comm/ui/ReceivedTextWindow.h"

#include "app/CodePage1252.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace zep {

ReceivedTextWindow::ReceivedTextWindow(int maschinenNummer, const QByteArray &text, QWidget *parent)
    : QWidget(parent, Qt::Window), m_text(text), m_view(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("Empfangen von Maschine ") + QString::number(maschinenNummer));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::number(text.size()) + QStringLiteral(" Bytes empfangen"), this));
    m_view->setReadOnly(true);
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // One character per byte; control characters other than line ends are
    // shown as they are.
    QString shown = CodePage1252::decode(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_view->setPlainText(shown);
    layout->addWidget(m_view);
    resize(640, 480);
}

ReceivedTextWindow *ReceivedTextWindow::showFor(int maschinenNummer, const QByteArray &text, QWidget *parent)
{
    auto *w = new ReceivedTextWindow(maschinenNummer, text, parent);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    return w;
}

} // namespace zep
