#pragma once

#include "app/Clock.h"

namespace zep {

// The machine's local time.
class SystemClock : public Clock {
public:
    QDateTime now() const override;
};

} // namespace zep
