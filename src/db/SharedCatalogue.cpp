#include "db/SharedCatalogue.h"

#include "db/Database.h"
#include "db/RowReader.h"

#include <QStringList>

namespace zep {

const QString &SharedCatalogue::uniqueIndexName()
{
    static const QString name = QStringLiteral("DateinameUnique");
    return name;
}

const QString &SharedCatalogue::channel()
{
    static const QString name = QStringLiteral("zep_katalog");
    return name;
}

SharedCatalogue::UniqueNames SharedCatalogue::ensureUniqueNames(Database &database)
{
    if (database.hasIndex(uniqueIndexName()))
        return UniqueNames::Present;
    if (database.lastError().number != 0)
        return UniqueNames::Unavailable;
    // Names stored twice by older versions (or by stations before this
    // index) stay as they are: deleting either record could lose what
    // someone wrote into it, and the directory check finds the first one of
    // them as before. The index comes once someone has tidied them up.
    bool doubled = false;
    if (!database.readRows(QStringLiteral("SELECT Dateiname FROM DateiListe GROUP BY Dateiname HAVING count(*) > 1"),
                           {}, [&](const RowReader &) { doubled = true; }))
        return UniqueNames::Unavailable;
    if (doubled)
        return UniqueNames::Doubled;
    // The column's own collation (case-blind on both engines) is the index's:
    // "a.nc" and "A.NC" are one name.
    if (!database.executeNative(
            QStringLiteral("CREATE UNIQUE INDEX %1 ON DateiListe (Dateiname)").arg(uniqueIndexName())))
        return UniqueNames::Unavailable;
    return UniqueNames::Made;
}

namespace {

struct Watched {
    QString table;
    QString key; // the column a notice names, in the server's lower case
};

const QList<Watched> &watched()
{
    static const QList<Watched> tables{{QStringLiteral("DateiListe"), QStringLiteral("dateiindex")},
                                       {QStringLiteral("Maschinen"), QStringLiteral("maschinennummer")},
                                       {QStringLiteral("Wartungen"), QStringLiteral("maschinennummer")}};
    return tables;
}

QString triggerName(const QString &table)
{
    return table.toLower() + QStringLiteral("_notice");
}

} // namespace

bool SharedCatalogue::ensureChangeNotices(Database &database)
{
    if (!database.isServer())
        return true;
    bool complete = true;
    for (const Watched &w : watched()) {
        bool there = false;
        if (!database.executeNative(QStringLiteral("SELECT 1 FROM pg_trigger WHERE tgname = $1"),
                                    {triggerName(w.table)}, [&](const RowReader &) { there = true; }))
            return false;
        complete = complete && there;
    }
    if (complete)
        return true;
    // "dateiliste U 42": the table, what happened to the row, its key. Sent
    // at commit, so the others never see a change that is rolled back.
    QStringList statements{QStringLiteral(
        "CREATE OR REPLACE FUNCTION zep_notice() RETURNS trigger LANGUAGE plpgsql AS $$ "
        "DECLARE r record; "
        "BEGIN "
        "IF TG_OP = 'DELETE' THEN r := OLD; ELSE r := NEW; END IF; "
        "PERFORM pg_notify('%1', lower(TG_TABLE_NAME) || ' ' || left(TG_OP, 1) || ' ' "
        "|| coalesce(to_jsonb(r) ->> TG_ARGV[0], '0')); "
        "RETURN NULL; "
        "END $$")
                                     .arg(channel())};
    for (const Watched &w : watched()) {
        statements.append(QStringLiteral("DROP TRIGGER IF EXISTS %1 ON %2").arg(triggerName(w.table), w.table));
        statements.append(QStringLiteral("CREATE TRIGGER %1 AFTER INSERT OR UPDATE OR DELETE ON %2 FOR EACH ROW "
                                         "EXECUTE FUNCTION zep_notice('%3')")
                              .arg(triggerName(w.table), w.table, w.key));
    }
    if (!database.transaction())
        return false;
    for (const QString &statement : statements)
        if (!database.executeNative(statement)) {
            database.rollback();
            return false;
        }
    return database.commit();
}

void SharedCatalogue::ensure(Database &database)
{
    if (!database.hasTable(QStringLiteral("DateiListe")))
        return;
    ensureUniqueNames(database);
    ensureChangeNotices(database);
}

std::optional<SharedCatalogue::Change> SharedCatalogue::parse(const QString &payload)
{
    const QStringList parts = payload.split(QLatin1Char(' '));
    if (parts.size() != 3)
        return std::nullopt;
    Change c;
    if (parts[0] == QLatin1String("dateiliste"))
        c.table = Change::Table::Records;
    else if (parts[0] == QLatin1String("maschinen"))
        c.table = Change::Table::Machines;
    else if (parts[0] == QLatin1String("wartungen"))
        c.table = Change::Table::Maintenance;
    else
        return std::nullopt;
    if (parts[1] == QLatin1String("I"))
        c.kind = Change::Kind::Added;
    else if (parts[1] == QLatin1String("U"))
        c.kind = Change::Kind::Changed;
    else if (parts[1] == QLatin1String("D"))
        c.kind = Change::Kind::Deleted;
    else
        return std::nullopt;
    bool ok = false;
    c.key = parts[2].toLong(&ok);
    if (!ok)
        return std::nullopt;
    return c;
}

} // namespace zep
