#pragma once

#include "app/ErrorInfo.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariantList>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace zep {

// One open SQLite handle, shared by a Database and its record sets. When the
// Database closes, every record set still around finds the handle gone and
// reports 3420 instead of touching freed memory.
class Connection {
public:
    struct Finalize {
        void operator()(sqlite3_stmt *s) const;
    };
    using StatementPtr = std::unique_ptr<sqlite3_stmt, Finalize>;

    // Resets a borrowed (cached) statement when the use ends, so that no
    // statement keeps a read lock on the file between calls.
    class Use {
    public:
        explicit Use(sqlite3_stmt *s) : m_s(s) {}
        ~Use();
        Use(const Use &) = delete;
        Use &operator=(const Use &) = delete;
        sqlite3_stmt *get() const { return m_s; }
        explicit operator bool() const { return m_s != nullptr; }

    private:
        sqlite3_stmt *m_s;
    };

    Connection(sqlite3 *handle, const QString &path);
    ~Connection();

    sqlite3 *handle() const { return m_handle; }
    bool isOpen() const { return m_handle != nullptr; }
    const QString &path() const { return m_path; }

    // A statement kept for the life of the connection: for the fixed texts
    // that navigation runs again and again. Parameters are bound from `params`.
    sqlite3_stmt *cached(const QString &sql, const QVariantList &params, ErrorInfo *error);
    // A one-off statement, finalized by its owner. Refuses text after the
    // first statement, so a second statement can never be smuggled in.
    StatementPtr prepare(const QString &sql, const QVariantList &params, ErrorInfo *error);

    // Steps to the end; false and `error` set on failure.
    bool runToEnd(sqlite3_stmt *s, ErrorInfo *error);
    // One step: 1 = row, 0 = done, -1 = error.
    int step(sqlite3_stmt *s, ErrorInfo *error);

    ErrorInfo lastEngineError(int rc) const;
    ErrorInfo closedError() const;

    // Finalizes every cached statement and forgets the handle (the owner
    // closes it).
    void detach();

private:
    bool bindAll(sqlite3_stmt *s, const QVariantList &params, ErrorInfo *error);

    sqlite3 *m_handle;
    QString m_path;
    QHash<QString, sqlite3_stmt *> m_cache;
};

} // namespace zep
