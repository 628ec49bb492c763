#include "db/TableRows.h"

#include "db/Connection.h"
#include "db/JetErrors.h"
#include "db/ValueCodec.h"

#include <sqlite3.h>

namespace zep {

TableRows::TableRows(std::shared_ptr<Connection> connection, const QString &table)
    : m_connection(std::move(connection)), m_table(table)
{
    Connection::Use s(m_connection->cached(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?1)"),
                                           {table}, &m_error));
    if (!s)
        return;
    int keys = 0;
    int intKey = -1;
    while (m_connection->step(s.get(), &m_error) == 1) {
        m_columns.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s.get(), 0))));
        const QString type = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s.get(), 1)));
        m_types.append(type);
        if (sqlite3_column_int(s.get(), 2) > 0) {
            ++keys;
            if (type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                intKey = int(m_columns.size()) - 1;
        }
    }
    if (keys == 1)
        m_counter = intKey; // an INTEGER PRIMARY KEY is the rowid itself
    if (m_columns.isEmpty() && m_error.number == 0)
        m_error = JetErrors::make(JetErrors::MissingObject, table);
}

QString TableRows::quotedTable() const
{
    QString name = m_table;
    name.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + name + QLatin1Char('"');
}

std::optional<qint64> TableRows::seek(const QString &sql, const QVariantList &params)
{
    clearError();
    Connection::Use s(m_connection->cached(sql, params, &m_error));
    if (!s || m_connection->step(s.get(), &m_error) != 1)
        return std::nullopt;
    return sqlite3_column_int64(s.get(), 0);
}

std::optional<qint64> TableRows::first()
{
    return seek(QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid LIMIT 1").arg(quotedTable()), {});
}

std::optional<qint64> TableRows::last()
{
    return seek(QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid DESC LIMIT 1").arg(quotedTable()), {});
}

std::optional<qint64> TableRows::next(qint64 pos)
{
    return seek(QStringLiteral("SELECT rowid FROM %1 WHERE rowid > ?1 ORDER BY rowid LIMIT 1").arg(quotedTable()),
                {pos});
}

std::optional<qint64> TableRows::previous(qint64 pos)
{
    return seek(QStringLiteral("SELECT rowid FROM %1 WHERE rowid < ?1 ORDER BY rowid DESC LIMIT 1").arg(quotedTable()),
                {pos});
}

std::optional<qint64> TableRows::locate(qint64 rowid)
{
    return seek(QStringLiteral("SELECT rowid FROM %1 WHERE rowid = ?1").arg(quotedTable()), {rowid});
}

int TableRows::count()
{
    const std::optional<qint64> n = seek(QStringLiteral("SELECT count(*) FROM %1").arg(quotedTable()), {});
    return n ? int(*n) : 0;
}

bool TableRows::fetch(qint64 pos, QVariantList &values)
{
    clearError();
    values.clear();
    Connection::Use s(
        m_connection->cached(QStringLiteral("SELECT * FROM %1 WHERE rowid = ?1").arg(quotedTable()), {pos}, &m_error));
    if (!s)
        return false;
    const int r = m_connection->step(s.get(), &m_error);
    if (r != 1) {
        if (r == 0)
            m_error = JetErrors::make(JetErrors::RecordDeleted);
        return false;
    }
    const int n = sqlite3_column_count(s.get());
    if (n != m_columns.size()) {
        // The table was altered while this record set was open.
        m_columns.clear();
        m_types.clear();
        for (int c = 0; c < n; ++c) {
            m_columns.append(QString::fromUtf8(sqlite3_column_name(s.get(), c)));
            const char *type = sqlite3_column_decltype(s.get(), c);
            m_types.append(type ? QString::fromUtf8(type) : QString());
        }
    }
    for (int c = 0; c < n; ++c)
        values.append(ValueCodec::read(s.get(), c, ValueCodec::isDateType(m_types.at(c))));
    return true;
}

std::optional<qint64> TableRows::find(const QString &condition, const QVariantList &params)
{
    clearError();
    Connection::StatementPtr s = m_connection->prepare(
        QStringLiteral("SELECT rowid FROM %1 WHERE (%2) ORDER BY rowid LIMIT 1").arg(quotedTable(), condition), params,
        &m_error);
    if (!s || m_connection->step(s.get(), &m_error) != 1)
        return std::nullopt;
    return sqlite3_column_int64(s.get(), 0);
}

std::optional<QList<qint64>> TableRows::select(const QString &tail, const QVariantList &params,
                                               QList<QVariantList> &values, qsizetype maxKept)
{
    clearError();
    values.clear();
    Connection::StatementPtr s =
        m_connection->prepare(QStringLiteral("SELECT rowid, * FROM %1 %2").arg(quotedTable(), tail), params, &m_error);
    if (!s)
        return std::nullopt;
    const int n = sqlite3_column_count(s.get());
    QList<bool> dates;
    for (int c = 1; c < n; ++c) {
        const char *type = sqlite3_column_decltype(s.get(), c);
        dates.append(ValueCodec::isDateType(type ? QString::fromUtf8(type) : QString()));
    }
    QList<qint64> ids;
    bool keeping = true;
    int r;
    while ((r = m_connection->step(s.get(), &m_error)) == 1) {
        ids.append(sqlite3_column_int64(s.get(), 0));
        if (!keeping)
            continue;
        if (values.size() == maxKept) {
            // A large result would hold every value twice while its caller
            // copies it out; its rows are read one by one instead.
            values.clear();
            values.squeeze();
            keeping = false;
            continue;
        }
        QVariantList row;
        row.reserve(n - 1);
        for (int c = 1; c < n; ++c)
            row.append(ValueCodec::read(s.get(), c, dates.at(c - 1)));
        values.append(std::move(row));
    }
    if (r < 0) {
        values.clear();
        return std::nullopt;
    }
    return ids;
}

std::optional<QList<qint64>> TableRows::select(const QString &tail, const QVariantList &params)
{
    clearError();
    Connection::StatementPtr s =
        m_connection->prepare(QStringLiteral("SELECT rowid FROM %1 %2").arg(quotedTable(), tail), params, &m_error);
    if (!s)
        return std::nullopt;
    QList<qint64> ids;
    int r;
    while ((r = m_connection->step(s.get(), &m_error)) == 1)
        ids.append(sqlite3_column_int64(s.get(), 0));
    if (r < 0)
        return std::nullopt;
    return ids;
}

} // namespace zep
