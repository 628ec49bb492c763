#include "backup/BackupJob.h"

#include <QMetaObject>
#include <QPointer>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zep {

BackupJob::BackupJob(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<BackupOutcome>("zep::BackupOutcome");
}

BackupJob::~BackupJob()
{
    m_stop = true;
    wait();
}

bool BackupJob::start(const BackupPlan &plan)
{
    if (m_running)
        return false;
    wait();
    m_running = true;
    m_stop = false;
    m_thread = std::thread([this, plan] {
        // The backup gives way to the station: a machine sending a program
        // is served first.
        ::setpriority(PRIO_PROCESS, pid_t(::syscall(SYS_gettid)), 10);
        BackupRun run(plan,
                      [this](int step) {
                          QMetaObject::invokeMethod(this, [this, step] { Q_EMIT progress(step); },
                                                    Qt::QueuedConnection);
                      },
                      &m_stop);
        const BackupOutcome outcome = run.run();
        // Delivered on the starting thread; dropped if the job is gone.
        QMetaObject::invokeMethod(
            this,
            [this, outcome] {
                m_running = false;
                Q_EMIT finished(outcome);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void BackupJob::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace zep
