#include "app/Job.h"

namespace zep {

Job::Job(QObject *parent) : QObject(parent) {}

Job::~Job() = default;

void Job::cancel()
{
    if (m_state == State::Finished || m_cancelRequested)
        return;
    m_cancelRequested = true;
    const bool started = m_state == State::Running;
    stopRunning();
    // Work never begun has nothing to stop that could tell its end.
    if (!started)
        finish(Result::Cancelled);
}

bool Job::begin()
{
    if (m_state != State::Ready)
        return false;
    m_state = State::Running;
    return true;
}

void Job::setPercent(int percent)
{
    percent = qMin(percent, 100);
    if (m_state == State::Finished || percent < 0 || percent <= m_percent)
        return;
    m_percent = percent;
    Q_EMIT percentChanged(percent);
}

void Job::finish(Result result, const QString &error)
{
    if (m_state == State::Finished)
        return;
    m_state = State::Finished;
    m_result = result;
    m_error = result == Result::Failed ? error : QString();
    Q_EMIT finished();
}

} // namespace zep
