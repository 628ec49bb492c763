#include "app/SystemClock.h"

namespace zep {

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

} // namespace zep
