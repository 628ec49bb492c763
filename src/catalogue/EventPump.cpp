#include "catalogue/EventPump.h"

namespace zep {

EventPump::EventPump(std::function<void()> runner, int sliceMs) : m_runner(std::move(runner)), m_sliceMs(sliceMs)
{
    m_since.start();
}

void EventPump::maybeRun()
{
    if (m_since.elapsed() >= m_sliceMs)
        runNow();
}

void EventPump::runNow()
{
    ++m_runs;
    if (m_runner)
        m_runner();
    m_since.restart();
}

} // namespace zep
