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

// Whether every trigger named is there; nothing when the server cannot be
// asked.
std::optional<bool> triggersThere(Database &database, const QStringList &names)
{
    qint64 there = -1;
    if (!database.executeNative(
            QStringLiteral("SELECT count(DISTINCT tgname) FROM pg_trigger WHERE tgname = ANY($1::text[])"),
            {QStringLiteral("{") + names.join(QLatin1Char(',')) + QStringLiteral("}")},
            [&](const RowReader &row) { there = row.integer(0); }))
        return std::nullopt;
    return there == names.size();
}

} // namespace

bool SharedCatalogue::ensureChangeNotices(Database &database)
{
    if (!database.isServer())
        return true;
    QStringList names;
    for (const Watched &w : watched())
        names.append(triggerName(w.table));
    const std::optional<bool> complete = triggersThere(database, names);
    if (!complete)
        return false;
    if (*complete)
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

const QString &SharedCatalogue::countTable()
{
    static const QString name = QStringLiteral("DateiAnzahl");
    return name;
}

namespace {

const QStringList &countTriggers()
{
    static const QStringList names{QStringLiteral("dateiliste_anzahl_neu"), QStringLiteral("dateiliste_anzahl_weg"),
                                   QStringLiteral("dateiliste_anzahl_leer")};
    return names;
}

} // namespace

bool SharedCatalogue::ensureRecordCount(Database &database)
{
    if (!database.isServer())
        return true;
    const std::optional<bool> kept = triggersThere(database, countTriggers());
    if (!kept)
        return false;
    if (*kept)
        return true;
    if (!database.transaction())
        return false;
    const auto failed = [&] {
        database.rollback();
        return false;
    };
    // No record comes or goes between counting those there and the
    // triggers taking over; a second station making the count at the same
    // moment waits here, and then finds it made.
    if (!database.executeNative(QStringLiteral("LOCK TABLE DateiListe IN SHARE ROW EXCLUSIVE MODE")))
        return failed();
    const std::optional<bool> madeMeanwhile = triggersThere(database, countTriggers());
    if (!madeMeanwhile)
        return failed();
    if (*madeMeanwhile)
        return database.commit();
    // Each statement adds one row: the records it added, or minus those it
    // deleted. Stations adding records at once never wait for each other
    // on one row that all of them change.
    const QString table = countTable();
    QStringList statements{
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Anzahl bigint NOT NULL)").arg(table),
        QStringLiteral("DELETE FROM %1").arg(table),
        QStringLiteral("CREATE OR REPLACE FUNCTION zep_anzahl() RETURNS trigger LANGUAGE plpgsql AS $$ "
                       "BEGIN "
                       "IF TG_OP = 'INSERT' THEN "
                       "INSERT INTO %1 SELECT count(*) FROM zeilen HAVING count(*) > 0; "
                       "ELSIF TG_OP = 'DELETE' THEN "
                       "INSERT INTO %1 SELECT -count(*) FROM zeilen HAVING count(*) > 0; "
                       "ELSE DELETE FROM %1; "
                       "END IF; "
                       "RETURN NULL; "
                       "END $$")
            .arg(table)};
    const QStringList events{QStringLiteral("INSERT ON DateiListe REFERENCING NEW TABLE AS zeilen"),
                             QStringLiteral("DELETE ON DateiListe REFERENCING OLD TABLE AS zeilen"),
                             QStringLiteral("TRUNCATE ON DateiListe")};
    for (qsizetype i = 0; i < events.size(); ++i) {
        statements.append(QStringLiteral("DROP TRIGGER IF EXISTS %1 ON DateiListe").arg(countTriggers().at(i)));
        statements.append(QStringLiteral("CREATE TRIGGER %1 AFTER %2 FOR EACH STATEMENT EXECUTE FUNCTION zep_anzahl()")
                              .arg(countTriggers().at(i), events.at(i)));
    }
    statements.append(
        QStringLiteral("INSERT INTO %1 SELECT count(*) FROM DateiListe HAVING count(*) > 0").arg(table));
    for (const QString &statement : std::as_const(statements))
        if (!database.executeNative(statement))
            return failed();
    return database.commit();
}

std::optional<qint64> SharedCatalogue::recordCount(Database &database)
{
    // A failed statement would spoil a transaction on the server: inside
    // one, the records are counted.
    if (database.isServer() && !database.inTransaction()) {
        qint64 count = -1, rows = 0;
        const bool read = database.executeNative(
            QStringLiteral("SELECT coalesce(sum(Anzahl), 0)::bigint, count(*) FROM %1").arg(countTable()), {},
            [&](const RowReader &row) {
                count = row.integer(0);
                rows = row.integer(1);
            });
        if (read && count >= 0) {
            // Folded in one statement: rows of transactions still open are
            // not seen, so they stay and keep counting; a station folding
            // at the same moment finds these rows gone and folds nothing.
            // A few at a time, so that months of new files on a station
            // nobody searched at never make one fold outlast its deadline.
            if (rows > kCountRowsKept)
                database.executeNative(QStringLiteral("WITH weg AS (DELETE FROM %1 WHERE ctid IN (SELECT ctid FROM %1 "
                                                      "LIMIT %2) RETURNING Anzahl) "
                                                      "INSERT INTO %1 SELECT sum(Anzahl) FROM weg "
                                                      "HAVING coalesce(sum(Anzahl), 0) <> 0")
                                           .arg(countTable())
                                           .arg(kCountRowsFolded));
            return count;
        }
        if (database.serverLost())
            return std::nullopt;
        // No kept count (a role that may not make triggers): counted.
    }
    qint64 count = -1;
    if (!database.readRows(QStringLiteral("SELECT count(*) FROM DateiListe"), {},
                           [&](const RowReader &row) { count = row.integer(0); }))
        return std::nullopt;
    return count;
}

void SharedCatalogue::ensure(Database &database)
{
    if (!database.hasTable(QStringLiteral("DateiListe")))
        return;
    ensureUniqueNames(database);
    ensureChangeNotices(database);
    ensureRecordCount(database);
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
