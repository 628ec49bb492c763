#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>

struct sqlite3_stmt;
struct pg_result;

namespace zep {

// The current row of a statement being read straight through: values by
// column position, without a record set's name lookups and conversions.
// Lists of a hundred thousand records are read this way.
class RowReader {
public:
    explicit RowReader(sqlite3_stmt *statement) : m_s(statement) {}
    // One row of a PostgreSQL result (values in text form).
    RowReader(const pg_result *result, int row) : m_pg(result), m_row(row) {}

    bool isNull(int column) const;
    QString text(int column) const;
    // The text as the engine holds it, valid until the next row.
    QByteArrayView utf8(int column) const;
    qint64 integer(int column) const;
    // The date part of a stored date ("2026-12-07 09:30:00"); invalid for
    // NULL or a text that is no date. No time-zone arithmetic: the list shows
    // the day as stored.
    QDate date(int column) const;

private:
    sqlite3_stmt *m_s = nullptr;
    const pg_result *m_pg = nullptr;
    int m_row = 0;
};

} // namespace zep
