#include "db/Schema.h"

#include "db/CatalogueSchema.h"
#include "db/Database.h"
#include "db/JetErrors.h"
#include "db/ListOrder.h"
#include "db/RowReader.h"
#include "db/SearchIndex.h"
#include "db/SharedCatalogue.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <functional>
#include <optional>

namespace zep {

namespace {

const QString kProbe = QStringLiteral("SELECT * FROM Maschinen");

bool createWith(const QString &path, const QStringList &statements, ErrorInfo *error, bool withSearchIndex)
{
    auto fail = [&](const ErrorInfo &e) {
        if (error)
            *error = e;
        return false;
    };
    if (QFileInfo::exists(path))
        return fail(JetErrors::make(JetErrors::DatabaseExists, path));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return fail(JetErrors::make(JetErrors::CannotWrite, path));
    }
    Database db;
    bool ok = db.open(path) && db.transaction();
    for (const QString &statement : statements) {
        if (!ok)
            break;
        ok = db.execute(statement);
    }
    ok = ok && db.commit();
    if (ok) {
        if (withSearchIndex) {
            SearchIndex::ensure(db);
            SharedCatalogue::ensure(db);
            ListOrder::ensureIndexes(db);
        }
        return true;
    }
    const ErrorInfo e = db.lastError();
    db.close();
    QFile::remove(path);
    return fail(e);
}

// The statements that make up what `db` lacks of the current shape, in the
// order of a full upgrade; nothing when an error stops the check.
std::optional<QStringList> missingPieces(Database &db)
{
    QStringList statements;
    auto checkTable = [&](const SchemaTable &table) -> bool {
        const bool present = db.hasTable(table.name);
        if (db.lastError().number != 0)
            return false;
        if (!present) {
            statements.append(table.createStatement());
            return true;
        }
        for (const SchemaColumn &column : table.columns) {
            const bool has = db.hasColumn(table.name, column.name);
            if (db.lastError().number != 0)
                return false;
            if (!has)
                statements.append(table.addColumnStatement(column));
        }
        return true;
    };
    const SchemaIndex &index = CatalogueSchema::maschIdx();
    if (!checkTable(CatalogueSchema::dateiListe()) || !checkTable(CatalogueSchema::maschinen()))
        return std::nullopt;
    const bool hasIndex = db.hasIndex(index.name);
    if (db.lastError().number != 0)
        return std::nullopt;
    if (!hasIndex)
        statements.append(index.statement);
    if (!checkTable(CatalogueSchema::wartungen()))
        return std::nullopt;
    // The old upgrade added the machine column last; a database of the old
    // shape gets the same four statements in the same order.
    const QString addMachine = CatalogueSchema::dateiListe().addColumnStatement(CatalogueSchema::dateiListe().columns.last());
    if (statements.removeOne(addMachine))
        statements.append(addMachine);
    return statements;
}

// One step of the upgrade, with its statement remembered for the report.
std::optional<ErrorInfo> attempt(Database &db, const QString &statement, const std::function<bool()> &action)
{
    db.setLastStatement(statement);
    if (action())
        return std::nullopt;
    return db.lastError();
}

SchemaCheckResult failed(Database &db, const ErrorInfo &error)
{
    return {SchemaCheck::Failed, error, db.lastStatement()};
}

enum class Run { Done, Failed, Restart };

Run runUpgrade(Database &db, const QStringList &statements, SchemaCheckResult &failure)
{
    if (auto e = attempt(db, QStringLiteral("BEGIN"), [&] { return db.transaction(); })) {
        failure = failed(db, *e);
        return Run::Failed;
    }
    for (const QString &statement : statements) {
        if (!db.inTransaction()) {
            // The engine rolled back on its own (a full disk, say):
            // everything so far is gone, so the plan starts again.
            return Run::Restart;
        }
        if (auto e = attempt(db, statement, [&] { return db.execute(statement); })) {
            failure = failed(db, *e);
            db.rollback();
            return Run::Failed;
        }
    }
    if (!db.inTransaction())
        return Run::Restart;
    if (auto e = attempt(db, QStringLiteral("COMMIT"), [&] { return db.commit(); })) {
        failure = failed(db, *e);
        db.rollback();
        return Run::Failed;
    }
    return Run::Done;
}

} // namespace

bool createFreshDatabase(const QString &path, ErrorInfo *error)
{
    return createWith(path,
                      {CatalogueSchema::dateiListe().createStatement(), CatalogueSchema::maschinen().createStatement(),
                       CatalogueSchema::maschIdx().statement, CatalogueSchema::wartungen().createStatement()},
                      error, true);
}

bool createOlderDatabase(const QString &path, ErrorInfo *error)
{
    return createWith(path, {CatalogueSchema::olderDateiListe().createStatement()}, error, false);
}

namespace {

// Stations started at the same moment on an empty server would each make
// the tables, and all but one would fail on the others' half-made ones.
// They take turns instead: a later one waits (as long as the first takes,
// not the usual quarter of a second for a lock) and then finds the
// catalogue current. The pair of keys never meets the single keys the
// directory check claims names with.
class SchemaTurn {
public:
    explicit SchemaTurn(Database &database) : m_database(database)
    {
        if (!database.isServer())
            return;
        m_held = database.transaction() && database.executeNative(QStringLiteral("SET LOCAL lock_timeout = 0"))
                 && database.executeNative(QStringLiteral("SELECT pg_advisory_lock(hashtext('zep'), 1)"))
                 && database.commit();
        m_error = database.lastError();
        if (!m_held && database.inTransaction())
            database.rollback();
    }
    ~SchemaTurn()
    {
        if (m_held)
            m_database.executeNative(QStringLiteral("SELECT pg_advisory_unlock(hashtext('zep'), 1)"));
    }
    SchemaTurn(const SchemaTurn &) = delete;
    SchemaTurn &operator=(const SchemaTurn &) = delete;

    bool failed() const { return m_database.isServer() && !m_held; }
    const ErrorInfo &error() const { return m_error; }

private:
    Database &m_database;
    bool m_held = false;
    ErrorInfo m_error;
};

} // namespace

SchemaCheckResult CheckOldDB(Database &database)
{
    const SchemaTurn turn(database);
    if (turn.failed())
        return failed(database, turn.error());
    // The probe: a missing machine table (3078) is the old layout; any other
    // error means the file cannot be read as it should and is reported.
    const std::optional<ErrorInfo> probe = attempt(database, kProbe, [&] {
        if (database.isServer())
            return database.readRows(kProbe, {}, [](const RowReader &) {})
                   || database.lastError().number == JetErrors::MissingObject;
        return database.openRecordset(kProbe, RecordsetType::Snapshot) != nullptr
               || database.lastError().number == JetErrors::MissingObject;
    });
    if (probe)
        return failed(database, *probe);
    if (database.isServer()) {
        // Texts that compare without letter case, and trigram search. Both
        // are trusted extensions: the owner of the database may add them.
        for (const QString &statement : {QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext"),
                                         QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm")})
            if (auto e = attempt(database, statement, [&] { return database.executeNative(statement); }))
                return failed(database, *e);
    }

    for (;;) {
        const std::optional<QStringList> statements = missingPieces(database);
        if (!statements)
            return failed(database, database.lastError());
        if (statements->isEmpty()) {
            // Not part of the shape other installations know: made, or made
            // again, without a word.
            SearchIndex::ensure(database);
            SharedCatalogue::ensure(database);
            ListOrder::ensureIndexes(database);
            return {SchemaCheck::Current, {}, {}};
        }
        SchemaCheckResult failure;
        const Run run = runUpgrade(database, *statements, failure);
        if (run == Run::Failed)
            return failure;
        if (run == Run::Done)
            break;
    }
    SearchIndex::ensure(database);
    SharedCatalogue::ensure(database);
    ListOrder::ensureIndexes(database);
    return {SchemaCheck::Upgraded, {}, {}};
}

} // namespace zep
