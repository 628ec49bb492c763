#include "db/Database.h"

#include "db/Connection.h"
#include "db/JetDialect.h"
#include "db/JetErrors.h"
#include "db/KeysetRows.h"
#include "db/PgConnection.h"
#include "db/PgRows.h"
#include "db/ResultRows.h"
#include "db/RowReader.h"
#include "db/SqlTokenizer.h"
#include "db/TableRows.h"
#include "db/UnicodeCase.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>

#include <sqlite3.h>

namespace zep {

namespace {

QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("zep-catalogue-%1").arg(counter.fetchAndAddRelaxed(1));
}

sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

QString nameOf(const SqlToken &t)
{
    if (t.kind == SqlToken::Word)
        return t.text;
    if (t.kind == SqlToken::Quoted) {
        QString name = t.text.mid(1, t.text.size() - 2);
        return name.replace(QLatin1String("\"\""), QLatin1String("\""));
    }
    return {};
}

bool isBareName(const QString &text)
{
    const QList<SqlToken> tokens = SqlTokenizer::tokenize(text.trimmed());
    return tokens.size() == 1 && (tokens.first().kind == SqlToken::Word || tokens.first().kind == SqlToken::Bracket);
}

// "SELECT * FROM t" followed by nothing, WHERE or ORDER BY: the rows of one
// table, which a record set can edit. Gives the table and the tail.
bool splitSingleTable(const QString &sqliteSql, QString *table, QString *tail)
{
    const QList<SqlToken> t = SqlTokenizer::tokenize(sqliteSql);
    QList<qsizetype> sig;
    for (qsizetype i = 0; i < t.size(); ++i)
        if (t.at(i).kind != SqlToken::Space)
            sig.append(i);
    if (sig.size() < 4 || t.at(sig[0]).text.toUpper() != QLatin1String("SELECT") || t.at(sig[1]).text != QLatin1String("*")
        || t.at(sig[2]).text.toUpper() != QLatin1String("FROM"))
        return false;
    *table = nameOf(t.at(sig[3]));
    if (table->isEmpty())
        return false;
    if (sig.size() > 4) {
        const QString next = t.at(sig[4]).text.toUpper();
        if (next != QLatin1String("WHERE") && next != QLatin1String("ORDER") && next != QLatin1String(";"))
            return false;
    }
    QList<SqlToken> rest = t.mid(sig.size() > 4 ? sig[4] : t.size());
    while (!rest.isEmpty() && (rest.last().kind == SqlToken::Space || rest.last().text == QLatin1String(";")))
        rest.removeLast();
    *tail = SqlTokenizer::join(rest);
    return true;
}

} // namespace

Database::Database() = default;

Database::~Database()
{
    close();
}

bool Database::open(const QString &path)
{
    close();
    m_error = {};
    const QFileInfo info(path);
    if (!info.isFile()) {
        m_error = JetErrors::make(JetErrors::FileNotFound, path);
        return false;
    }
    m_connectionName = nextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        db.setDatabaseName(info.absoluteFilePath());
        if (!db.open()) {
            m_error = JetErrors::make(JetErrors::CannotWrite, path);
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            m_connectionName.clear();
            return false;
        }
        sqlite3 *handle = handleOf(db);
        if (!handle || !UnicodeCase::install(handle)) {
            m_error = JetErrors::make(JetErrors::OutOfResources);
        } else {
            sqlite3_busy_timeout(handle, kBusyTimeoutMs);
            // Room for the pages a search's thousand hits lie on, so the next
            // search finds them in memory (SQLite keeps 2 MB by default).
            sqlite3_exec(handle, "PRAGMA cache_size = -8192", nullptr, nullptr, nullptr);
            m_connection = std::make_shared<Connection>(handle, info.absoluteFilePath());
            // Reading the schema reads the file header: a file that is not
            // ours fails here, before anything could have been written.
            if (!run(QStringLiteral("SELECT count(*) FROM sqlite_master"), {}))
                m_connection.reset();
        }
    }
    if (!m_connection) {
        const ErrorInfo error = m_error;
        close();
        m_error = error;
        return false;
    }
    return true;
}

bool Database::isServerAddress(const QString &setting)
{
    const QString s = setting.trimmed();
    return s.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
           || s.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

bool Database::openServer(const QString &url)
{
    close();
    m_error = {};
    m_server = PgConnection::open(url.trimmed(), &m_error);
    if (m_server)
        m_server->setDeadline(m_deadlineMs);
    return m_server != nullptr;
}

void Database::adoptServer(std::unique_ptr<PgConnection> connection)
{
    close();
    m_error = {};
    m_server = std::move(connection);
    if (m_server)
        m_server->setDeadline(m_deadlineMs);
}

bool Database::serverLost() const
{
    return m_server && !m_server->isUsable();
}

bool Database::serverAnswers()
{
    if (!m_server)
        return false;
    m_error = {};
    return m_server->runNative(QStringLiteral("SELECT 1"), &m_error);
}

void Database::setStatementDeadline(int msecs)
{
    m_deadlineMs = msecs;
    if (m_server)
        m_server->setDeadline(msecs);
}

Database::WithoutDeadline::WithoutDeadline(Database &database) : m_database(database), m_deadline(database.m_deadlineMs)
{
    m_database.setStatementDeadline(0);
}

Database::WithoutDeadline::~WithoutDeadline()
{
    m_database.setStatementDeadline(m_deadline);
}

void Database::close()
{
    if (m_server) {
        m_server->detach();
        m_server.reset();
    }
    if (m_connection) {
        m_connection->detach();
        m_connection.reset();
    }
    if (!m_connectionName.isEmpty()) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
        m_connectionName.clear();
    }
}

bool Database::isOpen() const
{
    return m_server || (m_connection && m_connection->isOpen());
}

QString Database::path() const
{
    if (m_server)
        return m_server->url();
    return m_connection ? m_connection->path() : QString();
}

bool Database::usable()
{
    if (isOpen())
        return true;
    m_error = JetErrors::make(JetErrors::ObjectClosed);
    return false;
}

bool Database::run(const QString &sqliteSql, const QVariantList &params)
{
    m_error = {};
    Connection::StatementPtr s = m_connection->prepare(sqliteSql, params, &m_error);
    if (!s || !m_connection->runToEnd(s.get(), &m_error))
        return false;
    m_affected = sqlite3_changes(m_connection->handle());
    return true;
}

bool Database::execute(const QString &jetSql, const QVariantList &params)
{
    m_affected = 0;
    if (!usable())
        return false;
    if (m_server) {
        m_error = {};
        return m_server->run(JetDialect::toPostgres(jetSql), params, &m_error, &m_affected);
    }
    return run(JetDialect::toSqlite(jetSql), params);
}

bool Database::executeNative(const QString &sqliteSql)
{
    m_affected = 0;
    if (m_server) {
        m_error = {};
        return m_server->runNative(sqliteSql, &m_error);
    }
    return usable() && run(sqliteSql, {});
}

bool Database::executeNative(const QString &sql, const QVariantList &params,
                             const std::function<void(const RowReader &)> &each)
{
    m_affected = 0;
    if (!usable())
        return false;
    m_error = {};
    if (m_server)
        return m_server->run({sql, {}}, params, &m_error, &m_affected, [&](const pg_result *result, int row) {
            if (each)
                each(RowReader(result, row));
        });
    Connection::StatementPtr s = m_connection->prepare(sql, params, &m_error);
    if (!s)
        return false;
    const RowReader row(s.get());
    int r;
    while ((r = m_connection->step(s.get(), &m_error)) == 1)
        if (each)
            each(row);
    if (r != 0)
        return false;
    m_affected = sqlite3_changes(m_connection->handle());
    return true;
}

bool Database::listen(const QString &channel)
{
    if (!m_server)
        return false;
    // A channel is a name, never user text.
    if (!executeNative(QStringLiteral("LISTEN ") + channel))
        return false;
    m_server->setListening();
    return true;
}

bool Database::listening() const
{
    return m_server && m_server->listening();
}

int Database::notificationSocket() const
{
    return m_server ? m_server->socket() : -1;
}

QList<Database::Notice> Database::takeNotices()
{
    QList<Notice> out;
    if (!m_server)
        return out;
    for (const PgConnection::Notice &n : m_server->takeNotices())
        out.append({n.channel, n.payload, n.fromHere});
    return out;
}

bool Database::readRows(const QString &jetSql, const QVariantList &params,
                        const std::function<void(const RowReader &)> &each)
{
    if (!usable())
        return false;
    m_error = {};
    if (m_server)
        return m_server->run(JetDialect::toPostgres(jetSql), params, &m_error, nullptr,
                             [&](const pg_result *result, int row) { each(RowReader(result, row)); });
    Connection::StatementPtr s = m_connection->prepare(JetDialect::toSqlite(jetSql), params, &m_error);
    if (!s)
        return false;
    return stepRows(s.get(), each);
}

namespace {

QString withoutEnd(QString sql)
{
    sql = sql.trimmed();
    while (sql.endsWith(QLatin1Char(';')))
        sql.chop(1);
    return sql;
}

} // namespace

bool Database::stepRows(sqlite3_stmt *statement, const std::function<void(const RowReader &)> &each)
{
    const RowReader row(statement);
    int r;
    while ((r = m_connection->step(statement, &m_error)) == 1)
        each(row);
    return r == 0;
}

bool Database::readRows(const QString &jetSql, const QVariantList &params, const QString &nativeTail,
                        const QVariantList &tailParams, const std::function<void(const RowReader &)> &each)
{
    if (!usable())
        return false;
    m_error = {};
    if (m_server) {
        PostgresStatement statement = JetDialect::toPostgres(jetSql);
        QString tail;
        int number = int(params.size());
        for (const QChar c : nativeTail)
            tail += c == QLatin1Char('?') ? QLatin1Char('$') + QString::number(++number) : QString(c);
        statement.sql = withoutEnd(statement.sql) + QLatin1Char(' ') + tail;
        return m_server->run(statement, params + tailParams, &m_error, nullptr,
                             [&](const pg_result *result, int row) { each(RowReader(result, row)); });
    }
    Connection::StatementPtr s = m_connection->prepare(
        withoutEnd(JetDialect::toSqlite(jetSql)) + QLatin1Char(' ') + nativeTail, params + tailParams, &m_error);
    if (!s)
        return false;
    return stepRows(s.get(), each);
}

std::unique_ptr<Recordset> Database::openRecordset(const QString &sqlOrTable, RecordsetType type,
                                                   const QVariantList &params)
{
    if (!usable())
        return nullptr;
    m_error = {};
    std::unique_ptr<RowSource> rows;
    if (m_server) {
        QString table, tail;
        PostgresStatement statement;
        if (isBareName(sqlOrTable)) {
            table = sqlOrTable.trimmed();
            if (table.startsWith(QLatin1Char('[')))
                table = table.mid(1, table.size() - 2);
        } else {
            statement = JetDialect::toPostgres(sqlOrTable);
            if (!splitSingleTable(statement.sql, &table, &tail))
                table.clear();
        }
        rows = std::make_unique<PgRows>(m_server, table, tail, statement.sql, params, statement.patternParams,
                                        type == RecordsetType::Snapshot);
    } else if (isBareName(sqlOrTable)) {
        QString table = sqlOrTable.trimmed();
        if (table.startsWith(QLatin1Char('[')))
            table = table.mid(1, table.size() - 2);
        rows = std::make_unique<TableRows>(m_connection, table);
    } else {
        const QString sql = JetDialect::toSqlite(sqlOrTable);
        QString table, tail;
        if (splitSingleTable(sql, &table, &tail))
            rows = std::make_unique<KeysetRows>(m_connection, table, tail, params, type == RecordsetType::Snapshot);
        else
            rows = std::make_unique<ResultRows>(m_connection, sql, params);
    }
    if (rows->error().number != 0) {
        m_error = rows->error();
        return nullptr;
    }
    auto set = std::make_unique<Recordset>(m_connection, std::move(rows), type);
    if (set->lastError().number != 0) {
        m_error = set->lastError();
        return nullptr;
    }
    return set;
}

bool Database::transaction()
{
    if (m_server)
        return executeNative(QStringLiteral("BEGIN"));
    return usable() && run(QStringLiteral("BEGIN IMMEDIATE"), {});
}

bool Database::commit()
{
    if (m_server)
        return executeNative(QStringLiteral("COMMIT"));
    return usable() && run(QStringLiteral("COMMIT"), {});
}

bool Database::rollback()
{
    if (m_server)
        return executeNative(QStringLiteral("ROLLBACK"));
    return usable() && run(QStringLiteral("ROLLBACK"), {});
}

bool Database::inTransaction() const
{
    if (m_server)
        return m_server->inTransaction();
    return isOpen() && sqlite3_get_autocommit(m_connection->handle()) == 0;
}

bool Database::exists(const QString &sql, const QVariantList &params)
{
    if (!usable())
        return false;
    m_error = {};
    Connection::StatementPtr s = m_connection->prepare(sql, params, &m_error);
    return s && m_connection->step(s.get(), &m_error) == 1;
}

bool Database::existsOnServer(const QString &sql, const QVariantList &params)
{
    m_error = {};
    bool found = false;
    m_server->run({sql, {}}, params, &m_error, nullptr, [&](const pg_result *, int) { found = true; });
    return found;
}

bool Database::hasTable(const QString &table)
{
    if (m_server)
        // Tables only, as on the file: a view of the same name is no table
        // the schema check could add columns to.
        return existsOnServer(QStringLiteral("SELECT 1 FROM information_schema.tables "
                                             "WHERE table_schema = current_schema() AND lower(table_name) = lower($1) "
                                             "AND table_type = 'BASE TABLE'"),
                              {table});
    return exists(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE"),
                  {table});
}

bool Database::hasColumn(const QString &table, const QString &column)
{
    if (m_server)
        return existsOnServer(QStringLiteral("SELECT 1 FROM information_schema.columns "
                                             "WHERE table_schema = current_schema() AND lower(table_name) = lower($1) "
                                             "AND lower(column_name) = lower($2)"),
                              {table, column});
    return exists(QStringLiteral("SELECT 1 FROM pragma_table_info(?1) WHERE name=?2 COLLATE NOCASE"),
                  {table, column});
}

bool Database::hasIndex(const QString &index)
{
    if (m_server)
        return existsOnServer(QStringLiteral("SELECT 1 FROM pg_indexes "
                                             "WHERE schemaname = current_schema() AND lower(indexname) = lower($1)"),
                              {index});
    return exists(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='index' AND name=?1 COLLATE NOCASE"),
                  {index});
}

} // namespace zep
