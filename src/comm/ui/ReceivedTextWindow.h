#pragma once

#include <QByteArray>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace zep {

class Prompts;

// Shows a received program so the user sees that it arrived, until the
// save dialog takes over the hand-over. Non-modal; several may be open. The
// program may exist nowhere else, so it can be saved byte for byte, and
// closing unsaved asks first.
class ReceivedTextWindow : public QWidget
{
    Q_OBJECT

public:
    ReceivedTextWindow(int maschinenNummer, const QByteArray &text, Prompts &prompts, QString startDir,
                       QWidget *parent = nullptr);
    // A new window, deleted when closed.
    static ReceivedTextWindow *showFor(int maschinenNummer, const QByteArray &text, Prompts &prompts,
                                       const QString &startDir, QWidget *parent);
    const QByteArray &text() const { return m_text; }
    QPlainTextEdit *view() const { return m_view; }
    QPushButton *saveButton() const { return m_save; }
    bool saved() const { return m_saved; }
    // Asks for a file and writes the received bytes; false when cancelled
    // or the file could not be written (the user has been told).
    bool save();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    int m_number;
    QByteArray m_text;
    Prompts &m_prompts;
    QString m_startDir;
    QPlainTextEdit *m_view;
    QPushButton *m_save;
    bool m_saved = false;
};

} // namespace zep
