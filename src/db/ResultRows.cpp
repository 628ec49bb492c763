#include "db/ResultRows.h"

#include "db/Connection.h"
#include "db/JetErrors.h"
#include "db/ValueCodec.h"

#include <sqlite3.h>

namespace zep {

ResultRows::ResultRows(std::shared_ptr<Connection> connection, const QString &sql, const QVariantList &params)
{
    Connection::StatementPtr s = connection->prepare(sql, params, &m_error);
    if (!s)
        return;
    const int n = sqlite3_column_count(s.get());
    for (int c = 0; c < n; ++c) {
        m_columns.append(QString::fromUtf8(sqlite3_column_name(s.get(), c)));
        const char *type = sqlite3_column_decltype(s.get(), c);
        m_types.append(type ? QString::fromUtf8(type) : QString());
    }
    int r;
    while ((r = connection->step(s.get(), &m_error)) == 1) {
        QVariantList row;
        row.reserve(n);
        for (int c = 0; c < n; ++c)
            row.append(ValueCodec::read(s.get(), c, ValueCodec::isDateType(m_types.at(c))));
        m_rows.append(row);
    }
    if (r < 0)
        m_rows.clear();
}

std::optional<qint64> ResultRows::at(qint64 pos) const
{
    if (pos < 0 || pos >= m_rows.size())
        return std::nullopt;
    return pos;
}

bool ResultRows::fetch(qint64 pos, QVariantList &values)
{
    clearError();
    if (!at(pos)) {
        m_error = JetErrors::make(JetErrors::NoCurrentRecord);
        return false;
    }
    values = m_rows.at(pos);
    return true;
}

std::optional<qint64> ResultRows::find(const QString &, const QVariantList &)
{
    m_error = JetErrors::make(JetErrors::NotSupported,
                              QStringLiteral(" (Suchen nur in Datensatzgruppen auf einer Tabelle)"));
    return std::nullopt;
}

} // namespace zep
