#pragma once

#include <QDialog>
#include <functional>

class QPlainTextEdit;

namespace zep {

// The trace window: communication and search code append lines while it is
// open; closing it clears the trace flag through `onClosed`.
class TraceWindow : public QDialog
{
    Q_OBJECT

public:
    explicit TraceWindow(QWidget *owner, std::function<void()> onClosed);

    // Each line is shown as it would be appended after CR LF.
    void appendLine(const QString &line);
    // Received data goes on where the last text ended.
    void appendRaw(const QString &text);
    QString text() const;
    void clearText();

protected:
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QPlainTextEdit *m_text;
    std::function<void()> m_onClosed;
};

} // namespace zep
