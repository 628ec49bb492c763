#pragma once

#include "machines/MaintenanceSchedule.h"

#include <QList>

#include <functional>

namespace zep {

class Clock;
class Database;
class Logbook;
class Prompts;

// Checks every machine's tasks: a database error is offered for a retry,
// tasks without interval or date are logged and told once. Hands the due
// tasks to `done` (none after a declined retry), without waiting for either
// box; the database, clock and logbook must outlive the conversation.
void findDueMaintenance(Database &database, Prompts &prompts, const Clock &clock, Logbook &logbook,
                        std::function<void(const QList<DueTask> &due)> done);

} // namespace zep
