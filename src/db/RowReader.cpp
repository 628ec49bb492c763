#include "db/RowReader.h"

#include "db/ValueCodec.h"

#include <libpq-fe.h>
#include <sqlite3.h>

namespace zep {

namespace {

int digits(const unsigned char *p, int n)
{
    int value = 0;
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return -1;
        value = value * 10 + (p[i] - '0');
    }
    return value;
}

} // namespace

bool RowReader::isNull(int column) const
{
    if (m_pg)
        return PQgetisnull(m_pg, m_row, column);
    return sqlite3_column_type(m_s, column) == SQLITE_NULL;
}

QString RowReader::text(int column) const
{
    if (m_pg)
        return isNull(column) ? QString() : QString::fromUtf8(utf8(column));
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_s, column));
    if (!bytes)
        return {};
    return QString::fromUtf8(bytes, sqlite3_column_bytes(m_s, column));
}

QByteArrayView RowReader::utf8(int column) const
{
    if (m_pg)
        return QByteArrayView(PQgetvalue(m_pg, m_row, column), PQgetlength(m_pg, m_row, column));
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_s, column));
    return bytes ? QByteArrayView(bytes, sqlite3_column_bytes(m_s, column)) : QByteArrayView();
}

qint64 RowReader::integer(int column) const
{
    if (m_pg)
        return QByteArray(PQgetvalue(m_pg, m_row, column)).toLongLong();
    return sqlite3_column_int64(m_s, column);
}

QDate RowReader::date(int column) const
{
    if (m_pg ? isNull(column) : sqlite3_column_type(m_s, column) != SQLITE_TEXT)
        return {};
    const QByteArrayView bytes = utf8(column);
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const int n = int(bytes.size());
    // The stored form starts "yyyy-MM-dd"; anything else takes the slow road.
    if (n >= 10 && p[4] == '-' && p[7] == '-' && (n == 10 || p[10] == ' ' || p[10] == 'T')) {
        const int y = digits(p, 4), m = digits(p + 5, 2), d = digits(p + 8, 2);
        if (y >= 0 && m >= 0 && d >= 0)
            return QDate(y, m, d);
    }
    return ValueCodec::parseStoredDate(text(column)).date();
}

} // namespace zep
