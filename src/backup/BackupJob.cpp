#include "backup/BackupJob.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zep {

namespace {

QVariant runBackup(const BackupPlan &plan, ThreadJob::Control &control)
{
    // The backup gives way to the station: a machine sending a program is
    // served first.
    ::setpriority(PRIO_PROCESS, pid_t(::syscall(SYS_gettid)), 10);
    BackupRun run(plan, [&control](int step) { control.setPercent(step * 100 / BackupJob::kSteps); },
                  &control.cancelFlag());
    const BackupOutcome outcome = run.run();
    if (!outcome.fatal.isEmpty())
        control.fail(outcome.fatal);
    else if (!outcome.errors.isEmpty())
        control.fail(outcome.errors.join(QLatin1Char('\n')));
    return QVariant::fromValue(outcome);
}

} // namespace

BackupJob::BackupJob(const BackupPlan &plan, QObject *parent)
    : ThreadJob([plan](Control &control) { return runBackup(plan, control); }, parent)
{
}

BackupOutcome BackupJob::outcome() const
{
    return value().value<BackupOutcome>();
}

} // namespace zep
