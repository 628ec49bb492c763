#pragma once

#include <QElapsedTimer>
#include <functional>

namespace zep {

// A point in a long loop where something else may run, at most once per
// slice of time. The station's walk runs nothing there (it takes
// milliseconds and must not be re-entered); the seam stays for the tests and
// for a walk that is moved off the main thread.
class EventPump {
public:
    // Without a runner nothing runs: a walk goes through in one piece. Tests
    // give one to play what a message box shown during a walk lets happen.
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
