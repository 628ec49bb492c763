#pragma once

#include <QDateTime>

namespace zep {

// "Now" for everything that stamps or times: the logbook, receptions,
// countdowns, due dates. Tests hand in a clock they set themselves.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

} // namespace zep
