#include "photos/WorkerThread.h"

#include <QThread>

namespace zep {

WorkerThread::WorkerThread(QObject *parent) : QObject(parent) {}

WorkerThread::~WorkerThread()
{
    cancel();
}

void WorkerThread::start(Work work)
{
    cancel();
    m_cancel = false;
    ++m_run;
    m_thread.reset(QThread::create([this, work = std::move(work)] { work(*this, m_cancel); }));
    m_thread->start();
}

void WorkerThread::cancel()
{
    if (!m_thread)
        return;
    m_cancel = true;
    // Calls already posted by this run are dropped by the run number.
    ++m_run;
    m_thread->wait();
    m_thread.reset();
}

bool WorkerThread::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void WorkerThread::post(std::function<void()> call)
{
    const quint64 run = m_run.load();
    QMetaObject::invokeMethod(
        this,
        [this, run, call = std::move(call)] {
            if (run == m_run.load() && !m_cancel.load())
                call();
        },
        Qt::QueuedConnection);
}

} // namespace zep
