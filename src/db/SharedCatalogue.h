#pragma once

#include <QString>

#include <optional>

namespace zep {

class Database;

// What lets several stations work on one catalogue: a stored name has one
// record only (an index the engine keeps unique, so two stations seeing the
// same new file cannot both catalogue it), and on a server every change to
// a record, a machine or its maintenance is announced to the other stations
// (triggers sending a notice on one channel).
class SharedCatalogue {
public:
    enum class UniqueNames {
        Present,    // the unique index was there
        Made,       // made now
        Doubled,    // the catalogue holds names twice from older days: left
                    // as it is (nothing is lost, the look-up finds the first)
        Unavailable // the catalogue could not be written
    };
    // Makes the unique index on Dateiname when the records allow it. Never
    // fails the upgrade and never touches a record.
    static UniqueNames ensureUniqueNames(Database &database);
    static const QString &uniqueIndexName();

    // On a server: the triggers that announce changes (made once, kept
    // when there). False when they could not be made; a file catalogue needs
    // none and gives true.
    static bool ensureChangeNotices(Database &database);
    static const QString &channel();

    // On a server: the number of records, kept by the engine itself as
    // each statement adds or deletes some (a row per statement in
    // countTable(), folded now and then), so that the whole catalogue is
    // counted without reading a million index entries. Made once, with the
    // records already there counted under a lock; false when it could not
    // be made. A file catalogue counts fast enough and needs none.
    static bool ensureRecordCount(Database &database);
    static const QString &countTable();
    // The records in DateiListe: from the kept count when there is one,
    // else counted. Nothing (and lastError) when the engine fails.
    static std::optional<qint64> recordCount(Database &database);
    // How many rows of the kept count are left to add up before they are
    // folded into one.
    static constexpr int kCountRowsKept = 64;
    // How many of them one count folds at most.
    static constexpr int kCountRowsFolded = 1000;

    // All of the above, after the schema check.
    static void ensure(Database &database);

    // One change as a notice tells it.
    struct Change {
        enum class Table { Records, Machines, Maintenance };
        enum class Kind { Added, Changed, Deleted };
        Table table = Table::Records;
        Kind kind = Kind::Changed;
        long key = 0; // DateiIndex, or Maschinennummer for machines and maintenance
    };
    static std::optional<Change> parse(const QString &payload);
};

} // namespace zep
