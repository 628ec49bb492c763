#include "app/ThreadJob.h"

#include <QThread>

namespace zep {

void ThreadJob::Control::setPercent(int percent)
{
    int told = m_told.load();
    while (percent > told)
        if (m_told.compare_exchange_weak(told, percent)) {
            ThreadJob *job = &m_job;
            QMetaObject::invokeMethod(job, [job, percent] { job->Job::setPercent(percent); }, Qt::QueuedConnection);
            return;
        }
}

ThreadJob::ThreadJob(Work work, QObject *parent) : Job(parent), m_work(std::move(work)) {}

ThreadJob::~ThreadJob()
{
    m_control.m_cancel = true;
    // What the work posted after this goes with the object, unseen.
    if (m_thread)
        m_thread->wait();
}

void ThreadJob::start()
{
    if (!begin())
        return;
    m_thread.reset(QThread::create([this] {
        m_returned = m_work(m_control);
        QMetaObject::invokeMethod(this, &ThreadJob::workReturned, Qt::QueuedConnection);
    }));
    m_thread->start();
}

void ThreadJob::wait()
{
    if (!m_thread)
        return;
    m_thread->wait();
    workReturned();
}

void ThreadJob::stopRunning()
{
    m_control.m_cancel = true;
}

void ThreadJob::workReturned()
{
    if (isFinished() || !m_thread)
        return;
    m_thread->wait();
    m_value = std::move(m_returned);
    if (cancelRequested())
        finish(Result::Cancelled);
    else if (m_control.m_failed)
        finish(Result::Failed, m_control.m_error);
    else
        finish(Result::Succeeded);
}

} // namespace zep
