#include "db/CatalogueCopy.h"

#include "db/CatalogueSchema.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/RowReader.h"
#include "db/Schema.h"
#include "db/SearchIndex.h"
#include "db/ServerAddress.h"
#include "db/SharedCatalogue.h"

#include <QFileInfo>
#include <QStringList>

#include <optional>

namespace zep {

namespace {

struct SourceColumn {
    QString name;
    QString jetType; // the old type that makes the same column on the server
    bool key = false;
};

struct SourceTable {
    QString name;
    QList<SourceColumn> columns;
};

// A statement's values per batch: the server takes at most 65535, and a
// few thousand rows a statement is where the round trips stop mattering.
constexpr int kMaxParams = 30000;
constexpr int kMaxRowsPerInsert = 1000;

QString bracketed(const QString &name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

// The old type of a column as the catalogue file declares it: the file was
// made from the old types (see JetDialect), so the declared type names it;
// anything else goes by SQLite's own reading of type names.
QString jetTypeOf(const QString &declared, bool key)
{
    const QString t = declared.toUpper();
    if (key && t.startsWith(QLatin1String("INTEGER")))
        return QStringLiteral("COUNTER");
    if (t.contains(QLatin1String("INT")))
        return QStringLiteral("LONG");
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME")))
        return QStringLiteral("DATE");
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")) || t.contains(QLatin1String("CLOB")))
        return QStringLiteral("MEMO");
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB"))
        || t.contains(QLatin1String("NUMERIC")) || t.contains(QLatin1String("DECIMAL")))
        return QStringLiteral("DOUBLE");
    if (t.contains(QLatin1String("BLOB")))
        return QStringLiteral("LONGBINARY");
    return QStringLiteral("MEMO");
}

QString fileError(const QString &file, const QString &why)
{
    return QStringLiteral("Die Datenbank '") + file + QStringLiteral("' kann nicht gelesen werden: ") + why;
}

// The tables of the file in the order they are copied: records, machines,
// maintenance, then the rest by name. The search index is left out: it is
// derived from the records, and the server has indexes of its own.
std::optional<QList<SourceTable>> sourceTables(Database &source, QString *error)
{
    QStringList names;
    if (!source.readRows(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"), {},
                         [&](const RowReader &row) { names.append(row.text(0)); })) {
        *error = fileError(source.path(), source.lastError().description);
        return std::nullopt;
    }
    const QStringList first{CatalogueSchema::dateiListe().name, CatalogueSchema::maschinen().name,
                            CatalogueSchema::wartungen().name};
    QStringList ordered;
    for (const QString &name : first)
        for (const QString &n : std::as_const(names))
            if (n.compare(name, Qt::CaseInsensitive) == 0)
                ordered.append(n);
    for (const QString &n : std::as_const(names))
        if (!ordered.contains(n) && !n.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)
            && !n.startsWith(SearchIndex::tableName(), Qt::CaseInsensitive))
            ordered.append(n);

    QList<SourceTable> tables;
    for (const QString &name : std::as_const(ordered)) {
        SourceTable table{name, {}};
        if (!source.readRows(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"), {name},
                             [&](const RowReader &row) {
                                 const bool key = row.integer(2) > 0;
                                 table.columns.append({row.text(0), jetTypeOf(row.text(1), key), key});
                             })) {
            *error = fileError(source.path(), source.lastError().description);
            return std::nullopt;
        }
        tables.append(table);
    }
    return tables;
}

std::optional<qint64> countRows(Database &db, const QString &table)
{
    std::optional<qint64> count;
    if (!db.readRows(QStringLiteral("SELECT count(*) FROM ") + bracketed(table), {},
                     [&](const RowReader &row) { count = row.integer(0); }))
        return std::nullopt;
    return count;
}

// The first table of the server's catalogue that holds a row, with its
// count; nothing when every table is empty. `error` is set when the server
// could not tell.
std::optional<std::pair<QString, qint64>> firstFilledTable(Database &target, QString *error)
{
    QStringList tables;
    if (!target.readRows(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema = "
                                        "current_schema() AND table_type = 'BASE TABLE' ORDER BY table_name"),
                         {}, [&](const RowReader &row) { tables.append(row.text(0)); })) {
        *error = target.lastError().description;
        return std::nullopt;
    }
    for (const QString &table : std::as_const(tables)) {
        // The engine's own count of the records says nothing the records
        // do not.
        if (table.compare(SharedCatalogue::countTable(), Qt::CaseInsensitive) == 0)
            continue;
        const std::optional<qint64> count = countRows(target, table);
        if (!count) {
            *error = target.lastError().description;
            return std::nullopt;
        }
        if (*count > 0)
            return std::make_pair(CatalogueSchema::spelling(table), *count);
    }
    return std::nullopt;
}

class Copy {
public:
    Copy(Database &source, Database &target, const std::function<void(const QString &)> &progress)
        : m_source(source), m_target(target), m_progress(progress)
    {
    }

    // Makes what the server lacks of `table`, and copies its rows.
    bool table(const SourceTable &table, CopiedTable *copied)
    {
        if (!shape(table))
            return false;
        auto rows = m_source.openRecordset(bracketed(table.name), RecordsetType::Snapshot);
        if (!rows) {
            m_error = fileError(m_source.path(), m_source.lastError().description);
            return false;
        }
        QStringList names;
        for (const SourceColumn &column : table.columns)
            names.append(bracketed(column.name));
        const QString head = QStringLiteral("INSERT INTO ") + bracketed(table.name) + QStringLiteral(" (")
                             + names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES ");
        const QString oneRow = QLatin1Char('(') + QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(','))
                               + QLatin1Char(')');
        const int perInsert = std::max(1, std::min(kMaxRowsPerInsert, kMaxParams / int(std::max<qsizetype>(1, names.size()))));

        QVariantList params;
        int pending = 0;
        const auto flush = [&] {
            if (pending == 0)
                return true;
            QStringList tuples(pending, oneRow);
            const bool ok = m_target.execute(head + tuples.join(QLatin1Char(',')), params);
            params.clear();
            pending = 0;
            if (!ok)
                m_error = QStringLiteral("Tabelle ") + table.name + QStringLiteral(": ")
                          + m_target.lastError().description;
            return ok;
        };
        for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
            for (const SourceColumn &column : table.columns)
                params.append(rows->value(column.name));
            if (rows->lastError().number != 0) {
                m_error = fileError(m_source.path(), rows->lastError().description);
                return false;
            }
            ++copied->source;
            if (++pending == perInsert && !flush())
                return false;
        }
        if (rows->lastError().number != 0) {
            m_error = fileError(m_source.path(), rows->lastError().description);
            return false;
        }
        if (!flush())
            return false;
        if (m_progress)
            m_progress(table.name + QStringLiteral(": ") + QString::number(copied->source));
        return true;
    }

    // The server's counters continue after the highest key copied, so the
    // next record a station adds does not collide with a copied one.
    bool counters()
    {
        QList<std::pair<QString, QString>> identities;
        if (!m_target.readRows(QStringLiteral("SELECT table_name, column_name FROM information_schema.columns "
                                              "WHERE table_schema = current_schema() AND is_identity = 'YES'"),
                               {}, [&](const RowReader &row) { identities.append({row.text(0), row.text(1)}); })) {
            m_error = m_target.lastError().description;
            return false;
        }
        for (const auto &[table, column] : std::as_const(identities)) {
            const QString t = QLatin1Char('"') + QString(table).replace(QLatin1Char('"'), QLatin1String("\"\""))
                              + QLatin1Char('"');
            const QString c = QLatin1Char('"') + QString(column).replace(QLatin1Char('"'), QLatin1String("\"\""))
                              + QLatin1Char('"');
            const QString sql = QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), "
                                               "coalesce(max(%3), 0) + 1, false) FROM %1")
                                    .arg(t, QString(column).replace(QLatin1Char('\''), QLatin1String("''")), c);
            if (!m_target.executeNative(sql)) {
                m_error = m_target.lastError().description;
                return false;
            }
        }
        return true;
    }

    QString error() const { return m_error; }

private:
    bool shape(const SourceTable &table)
    {
        const bool present = m_target.hasTable(table.name);
        if (m_target.lastError().number == 0 && !present) {
            QStringList columns;
            for (const SourceColumn &column : table.columns)
                columns.append(bracketed(column.name) + QLatin1Char(' ') + column.jetType);
            if (!m_target.execute(QStringLiteral("CREATE TABLE ") + bracketed(table.name) + QStringLiteral(" (")
                                  + columns.join(QStringLiteral(", ")) + QStringLiteral(")"))) {
                m_error = QStringLiteral("Tabelle ") + table.name + QStringLiteral(": ")
                          + m_target.lastError().description;
                return false;
            }
            return true;
        }
        for (const SourceColumn &column : table.columns) {
            const bool has = m_target.hasColumn(table.name, column.name);
            if (m_target.lastError().number == 0 && !has) {
                // A key column added afterwards would be a second key.
                const QString type = column.jetType == QLatin1String("COUNTER") ? QStringLiteral("LONG") : column.jetType;
                m_target.execute(QStringLiteral("ALTER TABLE ") + bracketed(table.name) + QStringLiteral(" ADD COLUMN ")
                                 + bracketed(column.name) + QLatin1Char(' ') + type);
            }
            if (m_target.lastError().number != 0) {
                m_error = QStringLiteral("Tabelle ") + table.name + QStringLiteral(": ")
                          + m_target.lastError().description;
                return false;
            }
        }
        return true;
    }

    Database &m_source;
    Database &m_target;
    const std::function<void(const QString &)> &m_progress;
    QString m_error;
};

QString notEmpty(const QString &url, const std::pair<QString, qint64> &filled)
{
    return QStringLiteral("Der Katalog auf '") + url + QStringLiteral("' ist nicht leer: Die Tabelle ") + filled.first
           + QStringLiteral(" hat ") + QString::number(filled.second)
           + QStringLiteral(" Einträge.\nZEP kopiert nur in einen leeren Katalog, damit nichts überschrieben oder "
                            "doppelt angelegt wird.");
}

} // namespace

CatalogueCopyResult copyCatalogue(const QString &sourceFile, const QString &targetUrl,
                                  const std::function<void(const QString &)> &progress)
{
    CatalogueCopyResult result;
    // Never a password in what is printed, should one be in the address.
    const QString shown = ServerAddress::shown(targetUrl);
    const auto fail = [&result](const QString &error) {
        result.ok = false;
        result.error = error;
        result.tables.clear();
        return result;
    };
    if (!Database::isServerAddress(targetUrl))
        return fail(QStringLiteral("'") + shown
                    + QStringLiteral("' ist keine Adresse eines Datenbank-Servers. Erwartet wird "
                                     "postgresql://[benutzer@]server[:port]/datenbank."));
    if (!QFileInfo(sourceFile).isFile())
        return fail(QStringLiteral("Die Datenbank '") + sourceFile + QStringLiteral("' wurde nicht gefunden."));

    Database source;
    if (!source.open(sourceFile))
        return fail(fileError(sourceFile, source.lastError().description));
    // A damaged file would go over only as far as it can be read: it is
    // refused whole instead, and repaired first.
    QStringList damage;
    if (!source.readRows(QStringLiteral("PRAGMA quick_check"), {},
                         [&](const RowReader &row) { damage.append(row.text(0)); }))
        return fail(fileError(sourceFile, source.lastError().description));
    if (damage != QStringList{QStringLiteral("ok")})
        return fail(QStringLiteral("Die Datenbank '") + sourceFile + QStringLiteral("' ist beschädigt: ")
                    + damage.mid(0, 3).join(QStringLiteral("; ")));
    // One consistent state of the file, even if a station writes meanwhile.
    if (!source.executeNative(QStringLiteral("BEGIN")))
        return fail(fileError(sourceFile, source.lastError().description));
    QString error;
    const std::optional<QList<SourceTable>> tables = sourceTables(source, &error);
    if (!tables)
        return fail(error);

    Database target;
    if (!target.openServer(targetUrl))
        return fail(QStringLiteral("Der Datenbank-Server ist nicht erreichbar (") + shown + QStringLiteral("):\n")
                    + target.lastError().description);
    // Refused before the schema check, so that a refusal writes nothing.
    if (const auto filled = firstFilledTable(target, &error))
        return fail(notEmpty(shown, *filled) + QStringLiteral(" Es wurde nichts geschrieben."));
    if (!error.isEmpty())
        return fail(QStringLiteral("Der Katalog auf '") + shown + QStringLiteral("' kann nicht gelesen werden: ")
                    + error);
    const SchemaCheckResult check = CheckOldDB(target);
    if (check.outcome == SchemaCheck::Failed)
        return fail(QStringLiteral("Der Katalog auf '") + shown + QStringLiteral("' kann nicht angelegt werden: ")
                    + check.error.description + QStringLiteral("\n(") + check.statement + QStringLiteral(")"));

    if (!target.transaction())
        return fail(target.lastError().description);
    const auto abandon = [&](const QString &why) {
        target.rollback();
        // The schema check's empty tables stay: any station's first start
        // would make them, and a second attempt finds the catalogue empty.
        return fail(why + QStringLiteral("\nEs wurde nichts kopiert."));
    };
    // No station may add a record between the check and the copy.
    QStringList locked;
    for (const SchemaTable *t : {&CatalogueSchema::dateiListe(), &CatalogueSchema::maschinen(),
                                 &CatalogueSchema::wartungen()})
        locked.append(t->name);
    if (!target.executeNative(QStringLiteral("LOCK TABLE ") + locked.join(QStringLiteral(", "))
                              + QStringLiteral(" IN SHARE ROW EXCLUSIVE MODE")))
        return abandon(target.lastError().description);
    if (const auto filled = firstFilledTable(target, &error))
        return abandon(notEmpty(shown, *filled));
    if (!error.isEmpty())
        return abandon(error);

    Copy copy(source, target, progress);
    for (const SourceTable &table : *tables) {
        CopiedTable copied{CatalogueSchema::spelling(table.name), 0, 0};
        if (!copy.table(table, &copied))
            return abandon(copy.error());
        result.tables.append(copied);
    }
    if (!copy.counters())
        return abandon(copy.error());
    // What the server holds now, against what the file holds.
    for (qsizetype i = 0; i < result.tables.size(); ++i) {
        CopiedTable &copied = result.tables[i];
        const std::optional<qint64> inFile = countRows(source, tables->at(i).name);
        const std::optional<qint64> onServer = countRows(target, tables->at(i).name);
        if (!inFile)
            return abandon(fileError(sourceFile, source.lastError().description));
        if (!onServer)
            return abandon(target.lastError().description);
        copied.target = *onServer;
        if (*onServer != *inFile || copied.source != *inFile)
            return abandon(QStringLiteral("Die Tabelle ") + copied.table + QStringLiteral(" hat in der Datei ")
                           + QString::number(*inFile) + QStringLiteral(" Einträge, auf dem Server ")
                           + QString::number(*onServer) + QStringLiteral("."));
    }
    if (!target.commit())
        return abandon(target.lastError().description);
    source.executeNative(QStringLiteral("COMMIT"));
    // Trigram indexes were made on the empty tables; the server keeps them.
    result.ok = true;
    return result;
}

QString copyReport(const CatalogueCopyResult &result, const QString &targetUrl)
{
    if (!result.ok)
        return result.error;
    QString text = QStringLiteral("Katalog kopiert nach ") + ServerAddress::shown(targetUrl) + QStringLiteral(":\n");
    for (const CopiedTable &t : result.tables)
        text += QStringLiteral("  ") + t.table + QStringLiteral(": ") + QString::number(t.target) + QStringLiteral(" von ")
                + QString::number(t.source) + QStringLiteral(" Einträgen\n");
    return text + QStringLiteral("Alle Anzahlen stimmen überein.");
}

} // namespace zep
