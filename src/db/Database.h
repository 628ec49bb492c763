#pragma once

#include "app/ErrorInfo.h"
#include "db/Recordset.h"

#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>

struct sqlite3_stmt;

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
    // Takes a server connection made elsewhere (off the window's thread);
    // the one before it, if any, is closed.
    void adoptServer(std::unique_ptr<PgConnection> connection);
    // The server connection broke (the server stopped, the network went, a
    // statement found no answer in time): every statement fails until a new
    // one is adopted.
    bool serverLost() const;
    // One round trip to the server: false (and lastError) when it is gone.
    bool serverAnswers();

    // How long a statement on a server may wait for its answer before the
    // connection counts as lost; 0 (the default) waits as long as it takes.
    // The station sets kWindowDeadlineMs: its statements run on the
    // window's thread.
    void setStatementDeadline(int msecs);
    static constexpr int kWindowDeadlineMs = 250;
    // Lifts the deadline while it lives, for the few statements that may
    // rightly take longer (creating and upgrading the schema, which builds
    // indexes over every record).
    class WithoutDeadline {
    public:
        explicit WithoutDeadline(Database &database);
        ~WithoutDeadline();
        WithoutDeadline(const WithoutDeadline &) = delete;
        WithoutDeadline &operator=(const WithoutDeadline &) = delete;

    private:
        Database &m_database;
        int m_deadline;
    };
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

    // A statement in the engine's own dialect with values as parameters
    // ($1, $2 … on a server, ?1, ?2 … on SQLite), for the program's own
    // statements that the old dialect cannot say (an insert that yields to
    // a row already there). `each` (when given) sees every row it returns.
    bool executeNative(const QString &sql, const QVariantList &params,
                       const std::function<void(const RowReader &)> &each = {});

    // Change notices of a server catalogue: after listen(), what other
    // stations change arrives on notificationSocket() (-1 when there is
    // none: a file catalogue has only this station) and is read by
    // takeNotices() without waiting. Notices caused by this connection's own
    // statements are marked.
    struct Notice {
        QString channel;
        QString payload;
        bool fromHere = false;
    };
    bool listen(const QString &channel);
    // Whether the connection open now has been told to listen.
    bool listening() const;
    int notificationSocket() const;
    QList<Notice> takeNotices();

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
    bool stepRows(sqlite3_stmt *statement, const std::function<void(const RowReader &)> &each);
    bool existsOnServer(const QString &sql, const QVariantList &params);

    QString m_connectionName;
    std::shared_ptr<Connection> m_connection;
    std::shared_ptr<PgConnection> m_server;
    ErrorInfo m_error;
    int m_deadlineMs = 0;
    QString m_lastStatement;
    int m_affected = 0;
};

} // namespace zep
