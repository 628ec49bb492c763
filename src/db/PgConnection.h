#pragma once

#include "app/ErrorInfo.h"

#include <QList>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>

struct pg_conn;
struct pg_result;

namespace zep {

struct PostgresStatement;

// One connection to a PostgreSQL catalogue through libpq. Statements come
// translated from the old dialect (JetDialect::toPostgres); values travel as
// parameters, dates in the same text form as in the SQLite file, bytes as
// bytes. Passwords never come from the program's settings: libpq reads
// ~/.pgpass, its service file or PGPASSWORD itself.
class PgConnection {
public:
    // Connects to `url` (postgresql://[user@]host[:port]/dbname[?...]).
    // Null, and `error` set, when the server cannot be reached or refuses.
    static std::unique_ptr<PgConnection> open(const QString &url, ErrorInfo *error);
    ~PgConnection();
    PgConnection(const PgConnection &) = delete;
    PgConnection &operator=(const PgConnection &) = delete;

    const QString &url() const { return m_url; }
    // False once the server went away; every statement fails then.
    bool isUsable() const;

    // How long a statement may wait for the server's answer, in ms; 0 (the
    // default) waits as long as it takes. A statement that gets no answer in
    // time is cancelled and the connection dropped: it counts as lost, and
    // whoever owns it connects again. For the window's thread, which must
    // never hang on a server that is gone.
    void setDeadline(int msecs) { m_deadlineMs = msecs; }
    int deadline() const { return m_deadlineMs; }

    // Runs a statement; `affected` gets the rows it changed. `each` (when
    // given) sees every row of the result with its position.
    bool run(const PostgresStatement &statement, const QVariantList &params, ErrorInfo *error,
             int *affected = nullptr, const std::function<void(const pg_result *, int)> &each = {});
    // The same, handing the whole result (column names included, rows or
    // not) to `whole`.
    bool runResult(const PostgresStatement &statement, const QVariantList &params, ErrorInfo *error,
                   const std::function<void(const pg_result *)> &whole);
    // Closes the connection; whatever still holds it finds it gone (3420).
    void detach();
    // A statement in the server's own words, without parameters.
    bool runNative(const QString &sql, ErrorInfo *error);
    bool inTransaction() const;

    // Change notices: the socket the server's messages arrive on (-1 when
    // closed), for an event loop to watch; and the notices that have come,
    // read without waiting. `fromHere` marks those this connection's own
    // statements caused.
    struct Notice {
        QString channel;
        QString payload;
        bool fromHere = false;
    };
    int socket() const;
    QList<Notice> takeNotices();
    // LISTEN has been sent on this connection (a new one listens to nothing).
    bool listening() const { return m_listening; }
    void setListening() { m_listening = true; }

    // The server's error for a failed result, as the handlers know errors.
    static ErrorInfo errorOf(const pg_result *result, const QString &where);

private:
    PgConnection(pg_conn *conn, const QString &url) : m_conn(conn), m_url(url) {}
    ErrorInfo connectionError() const;
    // Waits for the answer to a statement sent, within the deadline; the
    // first failed result, or the last one; null when none came.
    pg_result *awaitResult();
    // No answer in time: the statement is cancelled (off this thread: the
    // cancel request may itself hang on a network that is gone) and the
    // connection closed.
    void giveUp();
    bool run(const PostgresStatement &statement, const QVariantList &params, ErrorInfo *error, int *affected,
             const std::function<void(const pg_result *, int)> &each,
             const std::function<void(const pg_result *)> &whole);

    pg_conn *m_conn;
    QString m_url;
    int m_deadlineMs = 0;
    bool m_timedOut = false;
    bool m_listening = false;
};

} // namespace zep
