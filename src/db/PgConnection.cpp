#include "db/PgConnection.h"

#include "db/CatalogueSchema.h"
#include "db/JetDialect.h"
#include "db/JetErrors.h"
#include "db/ServerAddress.h"
#include "db/ValueCodec.h"

#include <QDateTime>
#include <QDeadlineTimer>

#include <libpq-fe.h>

#include <cerrno>
#include <poll.h>
#include <thread>
#include <vector>

namespace zep {

namespace {

struct Result {
    explicit Result(PGresult *r) : r(r) {}
    ~Result() { PQclear(r); }
    Result(const Result &) = delete;
    Result &operator=(const Result &) = delete;
    PGresult *r;
};

bool succeeded(const PGresult *r)
{
    const ExecStatusType s = PQresultStatus(r);
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
}

// A value in the text form the server reads for the column it goes into;
// bytes travel in binary form (`binary` set).
QByteArray textOf(const QVariant &v, bool *binary)
{
    *binary = false;
    switch (v.typeId()) {
    case QMetaType::Bool:
        // The old yes/no: -1 and 0.
        return v.toBool() ? QByteArrayLiteral("-1") : QByteArrayLiteral("0");
    case QMetaType::QDateTime:
        return ValueCodec::dateText(v.toDateTime()).toUtf8();
    case QMetaType::QDate:
        return ValueCodec::dateText(QDateTime(v.toDate(), QTime(0, 0))).toUtf8();
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss")).toUtf8();
    case QMetaType::QByteArray:
        *binary = true;
        return v.toByteArray();
    default:
        return v.toString().toUtf8();
    }
}

} // namespace

std::unique_ptr<PgConnection> PgConnection::open(const QString &url, ErrorInfo *error)
{
    // A server that does not answer at all (a host switched off, a network
    // gone) is given up on after a few seconds instead of the system's
    // minutes; an address may still set its own connect_timeout.
    const QByteArray address = url.toUtf8();
    const char *keywords[] = {"connect_timeout", "dbname", nullptr};
    const char *values[] = {"5", address.constData(), nullptr};
    PGconn *conn = PQconnectdbParams(keywords, values, 1);
    if (!conn) {
        *error = JetErrors::make(JetErrors::OutOfResources);
        return nullptr;
    }
    std::unique_ptr<PgConnection> c(new PgConnection(conn, url));
    if (PQstatus(conn) != CONNECTION_OK) {
        *error = c->connectionError();
        return nullptr;
    }
    // Texts are UTF-8 on both ends whatever the server's defaults; dates in
    // the stored form; notices (an extension already there) not printed.
    PQsetClientEncoding(conn, "UTF8");
    PQsetNoticeProcessor(conn, [](void *, const char *) {}, nullptr);
    if (!c->runNative(QStringLiteral("SET datestyle = 'ISO, YMD'"), error))
        return nullptr;
    // A row or table another station holds is waited for as briefly as a
    // locked file (Database::kBusyTimeoutMs), then told as locked (3260):
    // the waiting happens on the window's thread, and whoever is told tries
    // again later.
    if (!c->runNative(QStringLiteral("SET lock_timeout = 250"), error))
        return nullptr;
    return c;
}

PgConnection::~PgConnection()
{
    PQfinish(m_conn);
}

bool PgConnection::isUsable() const
{
    return m_conn && PQstatus(m_conn) == CONNECTION_OK;
}

bool PgConnection::inTransaction() const
{
    if (!m_conn)
        return false;
    const PGTransactionStatusType s = PQtransactionStatus(m_conn);
    return s == PQTRANS_INTRANS || s == PQTRANS_INERROR || s == PQTRANS_ACTIVE;
}

ErrorInfo PgConnection::connectionError() const
{
    // The server's own words tell the shop what is wrong (host unknown,
    // refused, no such database, password missing).
    ErrorInfo e = JetErrors::make(JetErrors::DiskError, ServerAddress::shown(m_url));
    const QString detail = m_timedOut || !m_conn
                               ? QStringLiteral("Der Server hat nicht rechtzeitig geantwortet; die Verbindung wurde "
                                                "getrennt.")
                               : QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
    if (!detail.isEmpty())
        e.description += QLatin1Char('\n') + detail;
    return e;
}

ErrorInfo PgConnection::errorOf(const pg_result *result, const QString &where)
{
    const QString state = QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE));
    const QString message = QString::fromUtf8(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY));
    ErrorInfo e;
    if (state == QLatin1String("23505"))
        e = JetErrors::make(JetErrors::DuplicateKey);
    else if (state == QLatin1String("42P01"))
        e = JetErrors::make(JetErrors::MissingObject, CatalogueSchema::spelling(message.section(QLatin1Char('"'), 1, 1)));
    else if (state == QLatin1String("42703"))
        e = JetErrors::make(JetErrors::UnknownField, message);
    else if (state == QLatin1String("42P07"))
        e = JetErrors::make(JetErrors::TableExists, message);
    else if (state == QLatin1String("42701"))
        e = JetErrors::make(JetErrors::DuplicateField, message);
    else if (state == QLatin1String("23502"))
        e = JetErrors::make(JetErrors::NullNotAllowed, message);
    else if (state == QLatin1String("42601"))
        e = JetErrors::make(JetErrors::SyntaxError, QStringLiteral(" (%1)").arg(message));
    else if (state == QLatin1String("42883"))
        e = JetErrors::make(JetErrors::UndefinedFunction, message);
    else if (state == QLatin1String("22007") || state == QLatin1String("22008") || state == QLatin1String("22P02"))
        e = JetErrors::make(JetErrors::ConversionError, message, where);
    else if (state == QLatin1String("40001") || state == QLatin1String("40P01") || state == QLatin1String("55P03"))
        e = JetErrors::make(JetErrors::Locked, where);
    else if (state == QLatin1String("08P01"))
        e = JetErrors::make(JetErrors::WrongParameters, message);
    else if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P")) || state.isEmpty())
        e = JetErrors::make(JetErrors::DiskError, where);
    else
        e = JetErrors::make(JetErrors::ReservedError, message);
    return e;
}

bool PgConnection::runNative(const QString &sql, ErrorInfo *error)
{
    if (!m_conn) {
        *error = JetErrors::make(JetErrors::ObjectClosed);
        return false;
    }
    Result r(PQsendQuery(m_conn, sql.toUtf8().constData()) ? awaitResult() : nullptr);
    if (r.r && succeeded(r.r))
        return true;
    *error = r.r && PQstatus(m_conn) == CONNECTION_OK ? errorOf(r.r, ServerAddress::shown(m_url)) : connectionError();
    return false;
}

pg_result *PgConnection::awaitResult()
{
    const QDeadlineTimer deadline = m_deadlineMs > 0 ? QDeadlineTimer(m_deadlineMs) : QDeadlineTimer(QDeadlineTimer::Forever);
    PGresult *kept = nullptr;
    for (;;) {
        while (PQisBusy(m_conn)) {
            pollfd socket{PQsocket(m_conn), POLLIN, 0};
            const qint64 left = deadline.remainingTime();
            const int ready = left == 0 ? 0 : ::poll(&socket, 1, left < 0 ? -1 : int(left));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready == 0) {
                PQclear(kept);
                giveUp();
                return nullptr;
            }
            if (!PQconsumeInput(m_conn))
                return kept;
        }
        PGresult *r = PQgetResult(m_conn);
        if (!r)
            return kept;
        // The first error is the one that tells what went wrong.
        if (kept && !succeeded(kept)) {
            PQclear(r);
        } else {
            PQclear(kept);
            kept = r;
        }
    }
}

void PgConnection::giveUp()
{
    m_timedOut = true;
    if (PGcancel *cancel = PQgetCancel(m_conn))
        std::thread([cancel] {
            char message[256];
            PQcancel(cancel, message, sizeof message);
            PQfreeCancel(cancel);
        }).detach();
    PQfinish(m_conn);
    m_conn = nullptr;
}

int PgConnection::socket() const
{
    return m_conn ? PQsocket(m_conn) : -1;
}

QList<PgConnection::Notice> PgConnection::takeNotices()
{
    QList<Notice> out;
    if (!m_conn)
        return out;
    // Reads what has arrived without waiting; notices that came with the
    // answer to a statement are already in libpq's queue.
    PQconsumeInput(m_conn);
    const int self = PQbackendPID(m_conn);
    while (PGnotify *n = PQnotifies(m_conn)) {
        out.append({QString::fromUtf8(n->relname), QString::fromUtf8(n->extra), n->be_pid == self});
        PQfreemem(n);
    }
    return out;
}

void PgConnection::detach()
{
    PQfinish(m_conn);
    m_conn = nullptr;
}

bool PgConnection::runResult(const PostgresStatement &statement, const QVariantList &params, ErrorInfo *error,
                             const std::function<void(const pg_result *)> &whole)
{
    bool handed = false;
    const bool ok = run(statement, params, error, nullptr, {}, [&](const pg_result *r) {
        handed = true;
        whole(r);
    });
    return ok && handed;
}

bool PgConnection::run(const PostgresStatement &statement, const QVariantList &params, ErrorInfo *error,
                       int *affected, const std::function<void(const pg_result *, int)> &each)
{
    return run(statement, params, error, affected, each, {});
}

bool PgConnection::run(const PostgresStatement &statement, const QVariantList &params, ErrorInfo *error,
                       int *affected, const std::function<void(const pg_result *, int)> &each,
                       const std::function<void(const pg_result *)> &whole)
{
    if (!m_conn) {
        *error = JetErrors::make(JetErrors::ObjectClosed);
        return false;
    }
    std::vector<QByteArray> values(params.size());
    std::vector<const char *> pointers(params.size(), nullptr);
    std::vector<int> lengths(params.size(), 0);
    std::vector<int> formats(params.size(), 0);
    for (qsizetype i = 0; i < params.size(); ++i) {
        const QVariant &v = params.at(i);
        // A cleared date field is no date: NULL, as on SQLite.
        if (v.isNull() || (v.typeId() == QMetaType::QDateTime && !v.toDateTime().isValid())
            || (v.typeId() == QMetaType::QDate && !v.toDate().isValid()))
            continue;
        bool binary = false;
        values[i] = statement.patternParams.contains(int(i)) ? JetDialect::regexPattern(v.toString()).toUtf8()
                                                             : textOf(v, &binary);
        pointers[i] = values[i].constData();
        lengths[i] = int(values[i].size());
        formats[i] = binary ? 1 : 0;
    }
    Result r(PQsendQueryParams(m_conn, statement.sql.toUtf8().constData(), int(params.size()), nullptr,
                               pointers.data(), lengths.data(), formats.data(), 0)
                 ? awaitResult()
                 : nullptr);
    if (!r.r || !succeeded(r.r)) {
        *error = r.r && PQstatus(m_conn) == CONNECTION_OK ? errorOf(r.r, ServerAddress::shown(m_url)) : connectionError();
        return false;
    }
    if (affected)
        *affected = QByteArray(PQcmdTuples(r.r)).toInt();
    if (each)
        for (int row = 0, n = PQntuples(r.r); row < n; ++row)
            each(r.r, row);
    if (whole)
        whole(r.r);
    return true;
}

} // namespace zep
