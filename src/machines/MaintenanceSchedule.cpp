#include "machines/MaintenanceSchedule.h"

#include "app/Clock.h"
#include "db/Database.h"
#include "machines/MachineList.h"
#include "machines/MachineLists.h"

namespace zep {

bool MaintenanceSchedule::isDue(int interval, const QDate &reference, const QDate &today)
{
    const int days = MachineLists::intervalDays(interval);
    return days > 0 && reference.isValid() && reference.daysTo(today) >= days;
}

QString MaintenanceSchedule::badTaskText(const QString &machineName, long machine, int task)
{
    return QStringLiteral("Wartung ") + QString::number(task) + QStringLiteral(" der Maschine ") + machineName
           + QStringLiteral(" (Nr. ") + QString::number(machine)
           + QStringLiteral(") kann nicht geprüft werden: Turnus oder Datum \"Erstmalig am\" fehlt oder ist ungültig.");
}

MaintenanceCheck MaintenanceSchedule::CheckWartungen(Database &database, const Clock &clock)
{
    MaintenanceCheck check;
    auto set = database.openRecordset(QStringLiteral("SELECT * FROM Maschinen"), RecordsetType::Snapshot);
    if (!set) {
        check.error = database.lastError();
        return check;
    }
    const QDate today = clock.now().date();
    for (; !set->eof(); set->moveNext()) {
        const long machine = set->value(QStringLiteral("Maschinennummer")).toLongLong();
        const QString name = MachineList::text(*set);
        for (int task = 1; task <= 3; ++task) {
            const QString k = QString::number(task);
            const int interval = set->value(QStringLiteral("WartungsArt") + k).toInt();
            if (interval == 0)
                continue;
            const QDateTime reference = set->value(QStringLiteral("WartStart") + k).toDateTime();
            // One bad row must not hide every other due task.
            if (!reference.isValid() || MachineLists::intervalDays(interval) == 0) {
                check.badTasks.append(badTaskText(name, machine, task));
                continue;
            }
            if (isDue(interval, reference.date(), today))
                check.due.append({machine, interval, set->value(QStringLiteral("WartText") + k).toString(), name, task});
        }
    }
    if (set->lastError().number != 0) {
        check.due.clear();
        check.error = set->lastError();
    }
    return check;
}

MaintenanceSchedule::Marked MaintenanceSchedule::markDone(Database &database, const Clock &clock,
                                                          const QList<DueTask> &done)
{
    Marked marked;
    for (const DueTask &task : done) {
        if (task.task < 1 || task.task > 3)
            continue;
        // Only this task's own date: the machine's other tasks keep theirs.
        const QString sql = QStringLiteral("UPDATE Maschinen SET WartStart") + QString::number(task.task)
                            + QStringLiteral("=? WHERE Maschinennummer=?");
        if (!database.execute(sql, {clock.now(), qlonglong(task.machine)})) {
            marked.error = database.lastError();
            return marked;
        }
        if (database.recordsAffected() == 0)
            marked.missingMachines.append(task.machineName);
    }
    return marked;
}

} // namespace zep
