#pragma once

#include "app/ThreadJob.h"
#include "backup/BackupPlan.h"
#include "backup/BackupRun.h"

namespace zep {

// One backup running off the main thread, so the window keeps answering.
// Its percent rises a third with each of the program, monitored and photo
// directory; a cancel ends it after the archive being written is complete.
// outcome() tells how it ended, cancelled or not.
class BackupJob : public ThreadJob
{
    Q_OBJECT

public:
    explicit BackupJob(const BackupPlan &plan, QObject *parent = nullptr);

    static constexpr int kSteps = 3;

    // Once finished.
    BackupOutcome outcome() const;
};

} // namespace zep
