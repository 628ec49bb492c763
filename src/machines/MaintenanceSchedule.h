#pragma once

#include "app/ErrorInfo.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace zep {

class Clock;
class Database;

// One due maintenance task as the due window lists it.
struct DueTask {
    long machine = 0;   // Maschinennummer
    int interval = 0;   // position in the interval list
    QString note;       // WartText<task>
    QString machineName; // Bezeichnung / Standort
    int task = 0;       // 1, 2 or 3
};

struct MaintenanceCheck {
    QList<DueTask> due;
    // Tasks that cannot be checked (an interval but no reference date, an
    // interval the list does not know): each is told, the others go on.
    QStringList badTasks;
    // A database error ends the check; nothing is listed then.
    std::optional<ErrorInfo> error;
};

class MaintenanceSchedule {
public:
    // Due once as many calendar days have begun since `reference` as the
    // interval is long; the time of day plays no part.
    static bool isDue(int interval, const QDate &reference, const QDate &today);

    static MaintenanceCheck CheckWartungen(Database &database, const Clock &clock);

    // Sets the reference date of each task to now. Returns the names of the
    // machines that no longer exist; a database error stops at that task.
    struct Marked {
        QStringList missingMachines;
        std::optional<ErrorInfo> error;
    };
    static Marked markDone(Database &database, const Clock &clock, const QList<DueTask> &done);

    static QString badTaskText(const QString &machineName, long machine, int task);
};

} // namespace zep
