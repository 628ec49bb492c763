#include "machines/DueMaintenance.h"

#include "app/ErrorReport.h"
#include "app/Logbook.h"
#include "app/Prompts.h"

#include <memory>

namespace zep {

void findDueMaintenance(Database &database, Prompts &prompts, const Clock &clock, Logbook &logbook,
                        std::function<void(const QList<DueTask> &due)> done)
{
    auto check = std::make_shared<MaintenanceCheck>();
    Database *db = &database;
    const Clock *time = &clock;
    Logbook *log = &logbook;
    retryUntilDone(
        prompts, QStringLiteral("Aufgetreten in Form1.CheckWartungen"),
        [check, db, time] {
            *check = MaintenanceSchedule::CheckWartungen(*db, *time);
            return check->error;
        },
        [check, log, &prompts, done](bool checked) {
            if (!checked)
                return done({});
            if (!check->badTasks.isEmpty()) {
                for (const QString &line : check->badTasks)
                    log->LogbuchSchreiben(line);
                prompts.ask({QStringLiteral("Diese Wartungen können nicht geprüft werden. Bitte in der "
                                            "Maschinenverwaltung Turnus und Datum eintragen:\r\r")
                                 + check->badTasks.join(QLatin1Char('\r')),
                             QStringLiteral("Wartungsplan"), PromptIcon::Exclamation});
            }
            done(check->due);
        });
}

} // namespace zep
