#pragma once

#include <QHash>
#include <QString>

namespace zep {

class Clock;
class Database;
class Prompts;

// Machine numbers for files about to appear in the monitored directory, by
// stored name. Whoever writes a received program sets the entry; the record
// made for exactly that name takes it. One shared number would go to
// whichever new file the next tick happened to see first.
using PendingMachines = QHash<QString, long>;

// Creates the record of a new file, or finds the one it already has, and
// returns its DateiIndex; 0 when the database could not be written and the
// user cancelled the error report.
long NeuerEintrag(Database &database, Prompts &prompts, const Clock &clock, PendingMachines &pending,
                  const QString &dateiname);

} // namespace zep
