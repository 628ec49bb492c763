#pragma once

#include "comm/ReceptionClock.h"

namespace zep {

// A reception clock that stands still until the caller moves it on.
class ManualReceptionClock : public ReceptionClock {
public:
    double seconds() const override { return m_now; }
    void advance(double secs) { m_now += secs; }
    void set(double secs) { m_now = secs; }

private:
    double m_now = 1000.0;
};

} // namespace zep
