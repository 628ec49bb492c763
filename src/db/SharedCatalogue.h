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

    // Both of the above, after the schema check.
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
