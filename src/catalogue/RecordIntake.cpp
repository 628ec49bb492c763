#include "catalogue/RecordIntake.h"

#include "app/CatalogueNames.h"
#include "app/Clock.h"
#include "db/Database.h"
#include "db/JetErrors.h"
#include "db/Recordset.h"
#include "db/RowReader.h"

#include <QSet>

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
        result.failed = names;
        result.error = error.number != 0 ? error : JetErrors::make(JetErrors::ReservedError);
        return result;
    };

    database.setLastStatement(QStringLiteral("BEGIN"));
    if (!database.transaction())
        return fail(database.lastError());
    auto table = database.openRecordset(QStringLiteral("DateiListe"));
    if (!table)
        return fail(database.lastError());
    const QDateTime now = clock.now();
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString &name = names.at(i);
        bool added = false;
        RecordLookup found;
        if (const auto error = findOrAddRecord(database, *table, name, now, machines.value(name), added, found))
            return fail(*error);
        (found.known ? result.known : result.created).append({name, found.index});
        if (progress)
            progress(i + 1, names.size());
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
