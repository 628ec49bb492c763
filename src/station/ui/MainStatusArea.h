#pragma once

#include "comm/LampState.h"

#include <QObject>
#include <array>

class QLabel;
class QProgressBar;
class QStatusBar;

namespace zep {

class StatusLamp;

// The main window's status line: the status text, the transfer's progress
// bar, one lamp per machine connection and the clock.
class MainStatusArea : public QObject
{
    Q_OBJECT

public:
    explicit MainStatusArea(QStatusBar &bar);

    // Shown at once, even while the event loop is busy.
    void setStatus(const QString &text);
    QString statusText() const;
    void setClock(const QString &hhmm);
    // 0-100 shows the bar, -1 hides it.
    void showProgress(int percent);
    void showLamp(int connection, const LampState &lamp);

    StatusLamp *lamp(int index) const { return m_lamps[index]; }
    QLabel *clockLabel() const { return m_clock; }
    QProgressBar *progressBar() const { return m_progress; }

Q_SIGNALS:
    void lampClicked(int index);

private:
    QLabel *m_status = nullptr;
    QLabel *m_clock = nullptr;
    QProgressBar *m_progress = nullptr;
    std::array<StatusLamp *, 5> m_lamps{};
};

} // namespace zep
