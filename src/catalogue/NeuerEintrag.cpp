#include "catalogue/NeuerEintrag.h"

#include "app/Clock.h"
#include "app/ErrorReport.h"
#include "app/Prompts.h"
#include "db/Database.h"
#include "db/Recordset.h"

#include <memory>

namespace zep {

std::optional<ErrorInfo> findOrAddRecord(Database &database, Recordset &set, const QString &dateiname,
                                         const QDateTime &now, long machine, bool &added, RecordLookup &out)
{
    // The name travels as a value: "O'NEIL.NC" is a name like any other.
    database.setLastStatement(QStringLiteral("Dateiname=") + QStringLiteral("'")
                              + QString(dateiname).replace(QLatin1Char('\''), QStringLiteral("''"))
                              + QStringLiteral("'"));
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
        auto set = db->openRecordset(QStringLiteral("DateiListe"));
        if (!set)
            return db->lastError();
        return findOrAddRecord(*db, *set, dateiname, time->now(), machine, state->added, state->found);
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
