#include "catalogue/NeuerEintrag.h"

#include "app/Clock.h"
#include "app/ErrorReport.h"
#include "app/Prompts.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/RowReader.h"

#include <memory>

namespace zep {

namespace {

// Several stations may see the same new file at the same moment. The unique
// index on Dateiname decides: the insert that yields (no row comes back)
// takes the record the other station has just made.
std::optional<ErrorInfo> findOrAddOnServer(Database &database, const QString &dateiname, const QDateTime &now,
                                           long machine, bool &added, RecordLookup &out)
{
    auto lookUp = [&]() -> std::optional<ErrorInfo> {
        out.index = 0;
        if (!database.readRows(QStringLiteral("SELECT DateiIndex FROM DateiListe WHERE Dateiname=?"), {dateiname},
                               [&](const RowReader &row) {
                                   if (out.index == 0)
                                       out.index = long(row.integer(0));
                               }))
            return database.lastError();
        return std::nullopt;
    };
    // A station claims the name for its transaction before it looks: one
    // that finds the name claimed leaves it for its next check rather than
    // wait, with the window, for the other station's commit.
    if (database.inTransaction() && !added) {
        bool claimed = true;
        if (!database.executeNative(QStringLiteral("SELECT pg_try_advisory_xact_lock(hashtext(lower($1)))"),
                                    {dateiname}, [&](const RowReader &row) { claimed = row.text(0) == QLatin1String("t"); }))
            return database.lastError();
        if (!claimed) {
            out.deferred = true;
            return std::nullopt;
        }
    }
    if (const auto error = lookUp())
        return error;
    if (out.index != 0) {
        out.known = !added;
        return std::nullopt;
    }
    long made = 0;
    if (!database.executeNative(
            QStringLiteral("INSERT INTO DateiListe (Dateiname, Bezeichnung, Datum, MaschinenIndex) VALUES ($1, $2, $3, "
                           "$4) ON CONFLICT DO NOTHING RETURNING DateiIndex"),
            {dateiname, QStringLiteral("Neue Datei"), now, qlonglong(machine)},
            [&](const RowReader &row) { made = long(row.integer(0)); }))
        return database.lastError();
    if (made != 0) {
        added = true;
        out.known = false;
        out.index = made;
        return std::nullopt;
    }
    if (const auto error = lookUp())
        return error;
    out.known = true;
    out.yielded = true;
    return std::nullopt;
}

} // namespace

std::optional<ErrorInfo> findOrAddRecord(Database &database, Recordset *table, const QString &dateiname,
                                         const QDateTime &now, long machine, bool &added, RecordLookup &out)
{
    // The name travels as a value: "O'NEIL.NC" is a name like any other.
    database.setLastStatement(QStringLiteral("Dateiname=") + QStringLiteral("'")
                              + QString(dateiname).replace(QLatin1Char('\''), QStringLiteral("''"))
                              + QStringLiteral("'"));
    if (database.isServer() || !table)
        return findOrAddOnServer(database, dateiname, now, machine, added, out);
    Recordset &set = *table;
    // False with no error is "no such row".
    if (!set.findFirst(QStringLiteral("Dateiname"), dateiname) && set.lastError().number != 0)
        return set.lastError();
    if (!set.noMatch()) {
        out.known = !added;
        out.index = set.value(QStringLiteral("DateiIndex")).toLongLong();
        return std::nullopt;
    }
    if (!set.addNew() || !set.setValue(QStringLiteral("Dateiname"), dateiname)
        || !set.setValue(QStringLiteral("Bezeichnung"), QStringLiteral("Neue Datei"))
        || !set.setValue(QStringLiteral("Datum"), now)
        || !set.setValue(QStringLiteral("MaschinenIndex"), qlonglong(machine)) || !set.update()) {
        const ErrorInfo error = set.lastError();
        set.cancelUpdate();
        return error;
    }
    added = true;
    if (!set.moveToLastModified())
        return set.lastError();
    out.known = false;
    out.index = set.value(QStringLiteral("DateiIndex")).toLongLong();
    return std::nullopt;
}

void NeuerEintrag(Database &database, Prompts &prompts, const Clock &clock, PendingMachines &pending,
                  const QString &dateiname, std::function<void(long dateiIndex)> done)
{
    // Taken whatever becomes of the name: left behind, it would go to a
    // record made for the same name much later.
    const long machine = pending.take(dateiname);
    struct Try {
        RecordLookup found;
        // Set once the new row is saved: a retry then only looks for it
        // again, and never takes it for a record that was there before.
        bool added = false;
    };
    auto state = std::make_shared<Try>();
    Database *db = &database;
    const Clock *time = &clock;
    auto step = [db, time, state, dateiname, machine]() -> std::optional<ErrorInfo> {
        if (db->isServer())
            return findOrAddRecord(*db, nullptr, dateiname, time->now(), machine, state->added, state->found);
        auto set = db->openRecordset(QStringLiteral("DateiListe"));
        if (!set)
            return db->lastError();
        return findOrAddRecord(*db, set.get(), dateiname, time->now(), machine, state->added, state->found);
    };
    retryUntilDone(
        prompts, QStringLiteral("Aufgetreten in Form1.NeuerEintrag"), step,
        [&prompts, state, dateiname, done](bool succeeded) {
            if (!succeeded) {
                if (done)
                    done(0);
                return;
            }
            if (state->found.known)
                prompts.ask({alreadyKnownText(dateiname), QStringLiteral("HINWEIS!"), PromptIcon::Exclamation});
            if (done)
                done(state->found.index);
        },
        [db] { return db->lastStatement(); });
}

QString alreadyKnownText(const QString &name)
{
    return QStringLiteral("Der Dateiname ") + name
           + QStringLiteral(" existiert bereits! Ich gehe zum Editieren des bekannten Datensatzes über!");
}

} // namespace zep
