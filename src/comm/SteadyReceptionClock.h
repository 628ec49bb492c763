#pragma once

#include "comm/ReceptionClock.h"

#include <QElapsedTimer>

namespace zep {

class SteadyReceptionClock : public ReceptionClock {
public:
    SteadyReceptionClock() { m_timer.start(); }
    // Starts at 1 s so that no reception is ever stamped 0.
    double seconds() const override { return 1.0 + m_timer.nsecsElapsed() / 1e9; }

private:
    QElapsedTimer m_timer;
};

} // namespace zep
