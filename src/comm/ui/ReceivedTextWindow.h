#pragma once

#include <QByteArray>
#include <QWidget>

class QPlainTextEdit;

namespace zep {

// Shows a received program so the user sees that it arrived, until the
// save dialog takes over the hand-over. Non-modal; several may be open.
class ReceivedTextWindow : public QWidget
{
    Q_OBJECT

public:
    ReceivedTextWindow(int maschinenNummer, const QByteArray &text, QWidget *parent = nullptr);
    // A new window, deleted when closed.
    static ReceivedTextWindow *showFor(int maschinenNummer, const QByteArray &text, QWidget *parent);
    const QByteArray &text() const { return m_text; }
    QPlainTextEdit *view() const { return m_view; }

private:
    QByteArray m_text;
    QPlainTextEdit *m_view;
};

} // namespace zep
