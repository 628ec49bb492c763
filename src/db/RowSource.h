#pragma once

#include "app/ErrorInfo.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

namespace zep {

// Where a record set's rows come from. A position is an opaque number the
// source hands out (a rowid or an index); navigation asks the source for the
// first, last, next or previous position, and reads a row only when a value
// of it is wanted. Errors are left in error(); a result of "none" with
// error().number == 0 just means there is no such row.
class RowSource {
public:
    virtual ~RowSource() = default;

    // Empty for rows that do not come straight from one table (read-only).
    virtual QString table() const = 0;
    virtual QStringList columns() const = 0;
    virtual QStringList declaredTypes() const = 0;
    // Index of the column the engine counts (the key), or -1.
    virtual int counterColumn() const { return -1; }

    virtual std::optional<qint64> first() = 0;
    virtual std::optional<qint64> last() = 0;
    virtual std::optional<qint64> next(qint64 pos) = 0;
    virtual std::optional<qint64> previous(qint64 pos) = 0;
    virtual int count() = 0;
    // False when the row is gone (error RecordDeleted) or on an error.
    virtual bool fetch(qint64 pos, QVariantList &values) = 0;

    // For table rows only.
    virtual qint64 rowid(qint64 pos) const { return pos; }
    // A row this record set stored; returns its position.
    virtual std::optional<qint64> added(qint64 rowid) = 0;
    virtual std::optional<qint64> locate(qint64 rowid) = 0;
    // First position, in this source's order, of a row for which the SQLite
    // condition holds.
    virtual std::optional<qint64> find(const QString &condition, const QVariantList &params) = 0;

    // False once the connection the rows come from is gone.
    virtual bool connectionOpen() const { return true; }
    // Sources on a server store rows themselves: the values of `columns`
    // (indexes) into the row of `key`, or into a new row when `key` < 0.
    // Gives the row's key; none with error() set on failure (RecordDeleted
    // when an edited row is gone).
    virtual bool writesItself() const { return false; }
    virtual std::optional<qint64> write(qint64 key, const QList<int> &columns, const QVariantList &values)
    {
        Q_UNUSED(key)
        Q_UNUSED(columns)
        Q_UNUSED(values)
        return std::nullopt;
    }

    const ErrorInfo &error() const { return m_error; }
    void clearError() { m_error = {}; }

protected:
    ErrorInfo m_error;
};

} // namespace zep
