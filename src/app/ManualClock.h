#pragma once

#include "app/Clock.h"

namespace zep {

// A clock that stands still until it is set or moved on.
class ManualClock : public Clock {
public:
    ManualClock();
    explicit ManualClock(const QDateTime &start);

    QDateTime now() const override { return m_now; }

    void set(const QDateTime &time) { m_now = time; }
    void advanceMSecs(qint64 msecs) { m_now = m_now.addMSecs(msecs); }
    void advanceSecs(qint64 secs) { m_now = m_now.addSecs(secs); }
    void advanceDays(qint64 days) { m_now = m_now.addDays(days); }

private:
    QDateTime m_now;
};

} // namespace zep
