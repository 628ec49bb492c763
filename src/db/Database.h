#pragma once

#include "app/ErrorInfo.h"
#include "db/Recordset.h"

#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>

namespace zep {

class Connection;
class PgConnection;
class RowReader;

// The one catalogue database of a program run. Statements are written in the
// old engine's dialect and translated on the way in; user text travels as ?
// parameters so that an apostrophe can never end a literal early.
class Database {
public:
    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens an existing file only. A file this engine cannot read (a Jet file,
    // garbage) is refused with 3343 and left byte for byte as it was.
    bool open(const QString &path);
    // Connects to a catalogue on a PostgreSQL server instead
    // (postgresql://[user@]host[:port]/dbname[?sslmode=...]). Statements,
    // parameters and reading rows work alike on both engines.
    bool openServer(const QString &url);
    // Whether a value of the `Datenbank` setting names a server.
    static bool isServerAddress(const QString &setting);
    bool isServer() const { return m_server != nullptr; }
    void close();
    bool isOpen() const;
    QString path() const;

    // How long a statement waits for another program's lock on the file
    // before it fails with 3260. Short: the waiting happens on the window's
    // thread, and whoever gets 3260 tries again later (the directory check
    // at its next interval) instead of freezing the window for seconds.
    static constexpr int kBusyTimeoutMs = 250;

    bool execute(const QString &jetSql, const QVariantList &params = {});

    // A statement in the engine's own dialect, for the program's own
    // structures (the search index and its triggers) that the old dialect
    // has no words for. Never for user text.
    bool executeNative(const QString &sqliteSql);

    // Reads the rows of a statement straight through and hands each to
    // `each`: for lists of tens of thousands of rows, where a record set's
    // lookups by column name would cost more than the reading. False (and
    // lastError) when the statement fails.
    bool readRows(const QString &jetSql, const QVariantList &params,
                  const std::function<void(const RowReader &)> &each);
    // The same for a statement in the old dialect followed by `nativeTail`
    // in the engine's own words (the ORDER BY the list's indexes serve,
    // LIMIT, OFFSET); its ?s take `tailParams`, after `params`. Never for
    // user text in the tail: values only.
    bool readRows(const QString &jetSql, const QVariantList &params, const QString &nativeTail,
                  const QVariantList &tailParams, const std::function<void(const RowReader &)> &each);
    // Rows changed by the last successful execute().
    int recordsAffected() const { return m_affected; }

    // A table name opens the whole table; "SELECT * FROM t [WHERE ..] [ORDER
    // BY ..]" opens an updatable key set of t; anything else is read once as
    // a snapshot. Null (and lastError) when the statement fails.
    std::unique_ptr<Recordset> openRecordset(const QString &sqlOrTable,
                                             RecordsetType type = RecordsetType::Dynaset,
                                             const QVariantList &params = {});

    ErrorInfo lastError() const { return m_error; }
    // The statement an error report names ("Letzter SQL-Befehl").
    QString lastStatement() const { return m_lastStatement; }
    void setLastStatement(const QString &statement) { m_lastStatement = statement; }

    bool transaction();
    bool commit();
    bool rollback();
    bool inTransaction() const;

    bool hasTable(const QString &table);
    bool hasColumn(const QString &table, const QString &column);
    bool hasIndex(const QString &index);

private:
    bool usable();
    bool run(const QString &sqliteSql, const QVariantList &params);
    bool exists(const QString &sql, const QVariantList &params);
    bool existsOnServer(const QString &sql, const QVariantList &params);

    QString m_connectionName;
    std::shared_ptr<Connection> m_connection;
    std::shared_ptr<PgConnection> m_server;
    ErrorInfo m_error;
    QString m_lastStatement;
    int m_affected = 0;
};

} // namespace zep
