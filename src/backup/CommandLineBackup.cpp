#include "backup/CommandLineBackup.h"

#include "app/IniSettingsStore.h"
#include "app/Logbook.h"
#include "app/SystemClock.h"
#include "app/ConsoleLine.h"
#include "app/ProgramDirectory.h"
#include "backup/BackupRun.h"

namespace zep {

int runBackupFromCommandLine(const QStringList &arguments, const QString &executableDir, std::FILE *out,
                             std::FILE *err)
{
    const ProgramDirectory::Result dir = ProgramDirectory::resolve(arguments, executableDir);
    if (!dir.ok()) {
        printLine(err, QString(dir.error).replace(QLatin1Char('\r'), QLatin1Char('\n')));
        return 1;
    }
    const IniSettingsStore settings;
    const BackupPlan plan = BackupPlan::fromSettings(settings, dir.path);
    if (plan.backupDir.isEmpty()) {
        printLine(err, BackupTexts::missingPathTitle() + QLatin1Char('\n')
                       + QString(BackupTexts::missingPath()).replace(QLatin1Char('\r'), QLatin1Char('\n')));
        return 1;
    }
    BackupRun run(plan);
    const BackupOutcome outcome = run.run();
    // Appended line by line, as a running ZEP does: both may write it.
    SystemClock clock;
    Logbook logbook(dir.path, clock);
    logBackupOutcome(logbook, outcome, plan.backupDir);
    if (!outcome.fatal.isEmpty()) {
        printLine(err, outcome.fatal);
        return 1;
    }
    if (!outcome.errors.isEmpty()) {
        printLine(err, BackupTexts::errorsTitle() + QLatin1Char('\n')
                       + BackupTexts::errors(outcome.errors, QStringLiteral("\n")));
        return 1;
    }
    printLine(out, BackupTexts::success(plan.backupDir, QStringLiteral("\n")));
    return 0;
}

} // namespace zep
