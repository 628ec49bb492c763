#include "app/ManualClock.h"

namespace zep {

ManualClock::ManualClock()
    : m_now(QDate(2026, 12, 5), QTime(14, 33))
{
}

ManualClock::ManualClock(const QDateTime &start)
    : m_now(start)
{
}

} // namespace zep
