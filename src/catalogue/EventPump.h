#pragma once

#include <QElapsedTimer>
#include <functional>

namespace zep {

// Lets pending window events run during a long loop. Handing control to the
// event loop after every single file would cost more than the scan itself,
// so the pump runs the events at most once per slice of time; a user still
// sees the window answer within that slice.
class EventPump {
public:
    // Without a runner the pump lets the application's events run.
    explicit EventPump(std::function<void()> runner = {}, int sliceMs = 15);

    void maybeRun();
    void runNow();
    int runs() const { return m_runs; }

private:
    std::function<void()> m_runner;
    int m_sliceMs;
    QElapsedTimer m_since;
    int m_runs = 0;
};

} // namespace zep
