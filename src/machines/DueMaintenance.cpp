#include "machines/DueMaintenance.h"

#include "app/ErrorReport.h"
#include "app/Logbook.h"
#include "app/Prompts.h"

namespace zep {

QList<DueTask> findDueMaintenance(Database &database, Prompts &prompts, const Clock &clock, Logbook &logbook)
{
    MaintenanceCheck check;
    if (!runWithRetry(prompts, QStringLiteral("Aufgetreten in Form1.CheckWartungen"), [&] {
            check = MaintenanceSchedule::CheckWartungen(database, clock);
            return check.error;
        }))
        return {};
    if (!check.badTasks.isEmpty()) {
        for (const QString &line : check.badTasks)
            logbook.LogbuchSchreiben(line);
        prompts.message(QStringLiteral("Diese Wartungen können nicht geprüft werden. Bitte in der "
                                       "Maschinenverwaltung Turnus und Datum eintragen:\r\r")
                            + check.badTasks.join(QLatin1Char('\r')),
                        QStringLiteral("Wartungsplan"), PromptIcon::Exclamation);
    }
    return check.due;
}

} // namespace zep
