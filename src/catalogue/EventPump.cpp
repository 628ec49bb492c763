#include "catalogue/EventPump.h"

#include <QCoreApplication>

namespace zep {

EventPump::EventPump(std::function<void()> runner, int sliceMs) : m_runner(std::move(runner)), m_sliceMs(sliceMs)
{
    if (!m_runner)
        m_runner = [] { QCoreApplication::processEvents(); };
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
    m_runner();
    m_since.restart();
}

} // namespace zep
