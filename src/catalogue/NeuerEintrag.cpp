#include "catalogue/NeuerEintrag.h"

#include "app/Clock.h"
#include "app/ErrorReport.h"
#include "db/Database.h"

namespace zep {

namespace {

QString alreadyKnownText(const QString &name)
{
    return QStringLiteral("Der Dateiname ") + name
           + QStringLiteral(" existiert bereits! Ich gehe zum Editieren des bekannten Datensatzes über!");
}

} // namespace

long NeuerEintrag(Database &database, Prompts &prompts, const Clock &clock, PendingMachines &pending,
                  const QString &dateiname)
{
    long index = 0;
    bool known = false;
    auto step = [&]() -> std::optional<ErrorInfo> {
        auto set = database.openRecordset(QStringLiteral("DateiListe"));
        if (!set)
            return database.lastError();
        // The name travels as a value: "O'NEIL.NC" is a name like any other.
        database.setLastStatement(QStringLiteral("Dateiname=") + QStringLiteral("'")
                                  + QString(dateiname).replace(QLatin1Char('\''), QStringLiteral("''"))
                                  + QStringLiteral("'"));
        // False with no error is "no such row".
        if (!set->findFirst(QStringLiteral("Dateiname"), dateiname) && set->lastError().number != 0)
            return set->lastError();
        if (!set->noMatch()) {
            known = true;
            index = set->value(QStringLiteral("DateiIndex")).toLongLong();
            return std::nullopt;
        }
        const long machine = pending.value(dateiname, 0);
        if (!set->addNew() || !set->setValue(QStringLiteral("Dateiname"), dateiname)
            || !set->setValue(QStringLiteral("Bezeichnung"), QStringLiteral("Neue Datei"))
            || !set->setValue(QStringLiteral("Datum"), clock.now())
            || !set->setValue(QStringLiteral("MaschinenIndex"), qlonglong(machine)) || !set->update()) {
            const ErrorInfo error = set->lastError();
            set->cancelUpdate();
            return error;
        }
        pending.remove(dateiname);
        if (!set->moveToLastModified())
            return set->lastError();
        index = set->value(QStringLiteral("DateiIndex")).toLongLong();
        return std::nullopt;
    };
    if (!runWithRetry(prompts, QStringLiteral("Aufgetreten in Form1.NeuerEintrag"), step,
                      [&] { return database.lastStatement(); }))
        return 0;
    if (known)
        prompts.message(alreadyKnownText(dateiname), QStringLiteral("HINWEIS!"), PromptIcon::Exclamation);
    return index;
}

} // namespace zep
