#include "catalogue/RecordIntake.h"

#include "app/CatalogueNames.h"
#include "app/Clock.h"
#include "db/Database.h"
#include "db/JetErrors.h"
#include "db/Recordset.h"
#include "db/RowReader.h"

#include <QSet>

#include <algorithm>

namespace zep {

bool RecordIntake::Result::busy() const
{
    return error.number == JetErrors::Locked;
}

RecordIntake::Result RecordIntake::catalogue(Database &database, const Clock &clock, PendingMachines &pending,
                                             const QStringList &names, const Progress &progress)
{
    Result result;
    if (names.isEmpty())
        return result;
    // The machine numbers go back where they were when the batch fails: the
    // next try must give each file the machine that sent it.
    QHash<QString, long> machines;
    for (const QString &name : names)
        if (pending.contains(name))
            machines.insert(name, pending.take(name));

    auto fail = [&](const ErrorInfo &error) {
        if (database.inTransaction())
            database.rollback();
        for (auto it = machines.cbegin(); it != machines.cend(); ++it)
            pending.insert(it.key(), it.value());
        result.created.clear();
        result.known.clear();
        result.byOthers.clear();
        result.deferred.clear();
        result.failed = names;
        result.error = error.number != 0 ? error : JetErrors::make(JetErrors::ReservedError);
        return result;
    };

    database.setLastStatement(QStringLiteral("BEGIN"));
    if (!database.transaction())
        return fail(database.lastError());
    const bool shared = database.isServer();
    std::unique_ptr<Recordset> table;
    if (!shared) {
        table = database.openRecordset(QStringLiteral("DateiListe"));
        if (!table)
            return fail(database.lastError());
    }
    // Stations inserting the same names wait for each other on the unique
    // index until the first one commits. Taken in one order everywhere,
    // they can never wait for each other in a circle.
    QStringList order = names;
    if (shared)
        std::sort(order.begin(), order.end(), [](const QString &a, const QString &b) {
            return CatalogueNames::upperKeepLength(a) < CatalogueNames::upperKeepLength(b);
        });
    const QDateTime now = clock.now();
    for (qsizetype i = 0; i < order.size(); ++i) {
        const QString &name = order.at(i);
        bool added = false;
        RecordLookup found;
        if (const auto error = findOrAddRecord(database, table.get(), name, now, machines.value(name), added, found))
            return fail(*error);
        if (found.deferred)
            result.deferred.append(name);
        else
            (!found.known ? result.created : shared ? result.byOthers : result.known).append({name, found.index});
        if (progress)
            progress(i + 1, order.size());
    }
    table.reset();
    database.setLastStatement(QStringLiteral("COMMIT"));
    if (!database.commit())
        return fail(database.lastError());
    return result;
}

std::optional<QStringList> RecordIntake::withoutRecord(Database &database, const QStringList &listed)
{
    QSet<QString> recorded;
    const bool read = database.readRows(QStringLiteral("SELECT Dateiname FROM DateiListe"), {},
                                        [&](const RowReader &row) {
                                            recorded.insert(CatalogueNames::upperKeepLength(row.text(0)));
                                        });
    if (!read)
        return std::nullopt;
    QStringList missing;
    for (const QString &name : listed)
        if (!recorded.contains(CatalogueNames::upperKeepLength(name)))
            missing.append(name);
    return missing;
}

} // namespace zep
