#pragma once

#include "machines/MaintenanceSchedule.h"

#include <QList>

namespace zep {

class Clock;
class Database;
class Logbook;
class Prompts;

// Checks every machine's tasks: a database error is offered for a retry,
// tasks without interval or date are logged and told once. Returns the due
// tasks (empty after a declined retry).
QList<DueTask> findDueMaintenance(Database &database, Prompts &prompts, const Clock &clock, Logbook &logbook);

} // namespace zep
