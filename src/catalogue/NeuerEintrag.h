#pragma once

#include "app/ErrorInfo.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <functional>
#include <optional>

namespace zep {

class Clock;
class Database;
class Prompts;
class Recordset;

// Machine numbers for files about to appear in the monitored directory, by
// stored name. Whoever writes a received program sets the entry; the record
// made for exactly that name takes it. One shared number would go to
// whichever new file the next tick happened to see first.
using PendingMachines = QHash<QString, long>;

// Creates the record of a new file, or finds the one it already has, and
// hands its DateiIndex to `done`; 0 when the database could not be written
// and the user cancelled the error report. Neither the retry form nor the
// notice about a known name is waited for: `done` comes once the record is
// settled. The database and the clock must outlive the conversation.
void NeuerEintrag(Database &database, Prompts &prompts, const Clock &clock, PendingMachines &pending,
                  const QString &dateiname, std::function<void(long dateiIndex)> done);

// One try at the record of `dateiname` on `table` (DateiListe opened whole):
// finds it, or adds it as a new file's record ("Neue Datei", `now`,
// `machine`). `added` says the row was stored by an earlier try of the same
// call, so a retry only looks it up again.
// "Der Dateiname ... existiert bereits! ...": a new file whose name has a record.
QString alreadyKnownText(const QString &name);

struct RecordLookup {
    long index = 0;
    bool known = false; // the name had its record before
    // On a server: the insert yielded to the record another station made
    // for the same name at the same moment (known is set too).
    bool yielded = false;
    // On a server, inside a transaction: another station is making this
    // record at this moment. Nothing was looked up or stored; the name is
    // tried again later instead of waiting for that station's commit.
    bool deferred = false;
};
// On a server `table` is not used (may be null): the look-up and an insert
// that yields to a record already there are single statements.
std::optional<ErrorInfo> findOrAddRecord(Database &database, Recordset *table, const QString &dateiname,
                                         const QDateTime &now, long machine, bool &added, RecordLookup &out);

} // namespace zep
