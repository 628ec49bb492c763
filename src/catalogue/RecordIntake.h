#pragma once

#include "app/ErrorInfo.h"
#include "catalogue/NeuerEintrag.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zep {

class Clock;
class Database;

// Records for many files at once, each as NeuerEintrag makes it, in one
// transaction: fifty new files cost one commit instead of fifty, and a
// database that cannot be written takes none of them rather than some.
// Tells the user nothing itself; the caller knows what fits.
class RecordIntake {
public:
    struct Entry {
        QString name;
        long index = 0;
    };
    struct Result {
        QList<Entry> created;
        QList<Entry> known;  // names that had their record before
        // On a server: names whose record another station made (before this
        // look-up, or at the same moment, when the insert yielded). The
        // stations share the monitored directory, so such a file is theirs
        // and is only taken into this station's file list.
        QList<Entry> byOthers;
        QStringList failed;  // every name, when the batch did not go through
        // On a server: names another station was cataloguing at that moment;
        // they stay off the file list until a later check finds their record.
        QStringList deferred;
        ErrorInfo error;     // number 0 when it went through
        bool ok() const { return error.number == 0; }
        // Another program holds the database: worth trying again shortly.
        bool busy() const;
    };
    using Progress = std::function<void(qsizetype done, qsizetype total)>;

    static Result catalogue(Database &database, const Clock &clock, PendingMachines &pending,
                            const QStringList &names, const Progress &progress = {});

    // The names of `listed` that have no record, in list order; nothing
    // (and the database's lastError) when the catalogue cannot be read.
    static std::optional<QStringList> withoutRecord(Database &database, const QStringList &listed);
};

} // namespace zep
