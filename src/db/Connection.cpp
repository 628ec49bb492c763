#include "db/Connection.h"

#include "db/JetErrors.h"
#include "db/ValueCodec.h"

#include <sqlite3.h>

namespace zep {

void Connection::Finalize::operator()(sqlite3_stmt *s) const
{
    sqlite3_finalize(s);
}

Connection::Use::~Use()
{
    if (m_s) {
        sqlite3_reset(m_s);
        sqlite3_clear_bindings(m_s);
    }
}

Connection::Connection(sqlite3 *handle, const QString &path) : m_handle(handle), m_path(path) {}

Connection::~Connection()
{
    detach();
}

void Connection::detach()
{
    for (sqlite3_stmt *s : std::as_const(m_cache))
        sqlite3_finalize(s);
    m_cache.clear();
    m_handle = nullptr;
}

ErrorInfo Connection::lastEngineError(int rc) const
{
    if (!m_handle)
        return closedError();
    int extended = sqlite3_extended_errcode(m_handle);
    if ((extended & 0xFF) != (rc & 0xFF))
        extended = rc;
    return JetErrors::fromSqlite(extended, QString::fromUtf8(sqlite3_errmsg(m_handle)), m_path);
}

ErrorInfo Connection::closedError() const
{
    return JetErrors::make(JetErrors::ObjectClosed);
}

bool Connection::bindAll(sqlite3_stmt *s, const QVariantList &params, ErrorInfo *error)
{
    const int wanted = sqlite3_bind_parameter_count(s);
    if (wanted != params.size()) {
        if (error)
            *error = JetErrors::make(JetErrors::WrongParameters,
                                     QStringLiteral("Falsche Anzahl Parameter: %1 erwartet, %2 übergeben.")
                                         .arg(wanted)
                                         .arg(params.size()));
        return false;
    }
    for (int i = 0; i < params.size(); ++i)
        ValueCodec::bind(s, i + 1, params.at(i));
    return true;
}

sqlite3_stmt *Connection::cached(const QString &sql, const QVariantList &params, ErrorInfo *error)
{
    if (!m_handle) {
        if (error)
            *error = closedError();
        return nullptr;
    }
    sqlite3_stmt *s = m_cache.value(sql);
    if (!s) {
        const QByteArray text = sql.toUtf8();
        const int rc = sqlite3_prepare_v3(m_handle, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT,
                                          &s, nullptr);
        if (rc != SQLITE_OK) {
            if (error)
                *error = lastEngineError(rc);
            sqlite3_finalize(s);
            return nullptr;
        }
        m_cache.insert(sql, s);
    }
    if (!bindAll(s, params, error)) {
        sqlite3_clear_bindings(s);
        return nullptr;
    }
    return s;
}

Connection::StatementPtr Connection::prepare(const QString &sql, const QVariantList &params, ErrorInfo *error)
{
    if (!m_handle) {
        if (error)
            *error = closedError();
        return nullptr;
    }
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *raw = nullptr;
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(m_handle, text.constData(), int(text.size()), &raw, &tail);
    StatementPtr s(raw);
    if (rc != SQLITE_OK) {
        if (error)
            *error = lastEngineError(rc);
        return nullptr;
    }
    if (!s) {
        // Only blanks or ';' (an empty statement).
        if (error)
            *error = JetErrors::make(JetErrors::SyntaxError);
        return nullptr;
    }
    for (const char *p = tail; p && p < text.constData() + text.size(); ++p) {
        if (*p != ';' && !QChar::isSpace(uchar(*p))) {
            if (error)
                *error = JetErrors::make(JetErrors::TrailingCharacters);
            return nullptr;
        }
    }
    if (!bindAll(s.get(), params, error))
        return nullptr;
    return s;
}

int Connection::step(sqlite3_stmt *s, ErrorInfo *error)
{
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW)
        return 1;
    if (rc == SQLITE_DONE)
        return 0;
    if (error)
        *error = lastEngineError(rc);
    return -1;
}

bool Connection::runToEnd(sqlite3_stmt *s, ErrorInfo *error)
{
    for (;;) {
        const int r = step(s, error);
        if (r == 0)
            return true;
        if (r < 0)
            return false;
    }
}

} // namespace zep
