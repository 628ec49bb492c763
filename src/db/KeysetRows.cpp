#include "db/KeysetRows.h"

#include "db/SqlTokenizer.h"

#include <QSet>

namespace zep {

namespace {

// A statement without ORDER BY lists its rows in the order they were
// stored, as the old engine did, whatever index the engine picks to find
// them.
QString inStoredOrder(const QString &tail)
{
    bool ordered = false;
    QString previous;
    for (const SqlToken &token : SqlTokenizer::tokenize(tail)) {
        if (token.kind != SqlToken::Word)
            continue;
        const QString word = token.text.toUpper();
        if (previous == QLatin1String("ORDER") && word == QLatin1String("BY"))
            ordered = true;
        // An order could not simply be added after these: left as written.
        if (word == QLatin1String("LIMIT") || word == QLatin1String("GROUP") || word == QLatin1String("UNION"))
            ordered = true;
        previous = word;
    }
    return ordered ? tail : tail + QStringLiteral(" ORDER BY rowid");
}

} // namespace

KeysetRows::KeysetRows(std::shared_ptr<Connection> connection, const QString &table, const QString &tail,
                       const QVariantList &params, bool snapshot)
    : m_rows(std::move(connection), table), m_snapshot(snapshot)
{
    m_error = m_rows.error();
    if (m_error.number != 0)
        return;
    const QString ordered = inStoredOrder(tail);
    if (const std::optional<QList<qint64>> ids = m_snapshot ? m_rows.select(ordered, params, m_values, kSnapshotRowsKept)
                                                            : m_rows.select(ordered, params))
        m_ids = *ids;
    else
        m_error = m_rows.error();
}

std::optional<qint64> KeysetRows::at(qint64 pos) const
{
    if (pos < 0 || pos >= m_ids.size())
        return std::nullopt;
    return pos;
}

std::optional<qint64> KeysetRows::first()
{
    return at(0);
}

std::optional<qint64> KeysetRows::last()
{
    return at(m_ids.size() - 1);
}

std::optional<qint64> KeysetRows::next(qint64 pos)
{
    return at(pos + 1);
}

std::optional<qint64> KeysetRows::previous(qint64 pos)
{
    return at(pos - 1);
}

qint64 KeysetRows::rowid(qint64 pos) const
{
    return pos >= 0 && pos < m_ids.size() ? m_ids.at(pos) : -1;
}

bool KeysetRows::fetch(qint64 pos, QVariantList &values)
{
    if (m_snapshot && pos >= 0 && pos < m_values.size()) {
        clearError();
        values = m_values.at(pos);
        return true;
    }
    const bool ok = m_rows.fetch(rowid(pos), values);
    m_error = m_rows.error();
    return ok;
}

std::optional<qint64> KeysetRows::added(qint64 rowid)
{
    m_ids.append(rowid);
    return m_ids.size() - 1;
}

std::optional<qint64> KeysetRows::locate(qint64 rowid)
{
    // A row just stored is at the end, where the search starts.
    for (qsizetype i = m_ids.size() - 1; i >= 0; --i)
        if (m_ids.at(i) == rowid)
            return i;
    return std::nullopt;
}

std::optional<qint64> KeysetRows::find(const QString &condition, const QVariantList &params)
{
    clearError();
    const std::optional<QList<qint64>> hits = m_rows.select(QStringLiteral("WHERE (%1)").arg(condition), params);
    if (!hits) {
        m_error = m_rows.error();
        return std::nullopt;
    }
    if (hits->isEmpty())
        return std::nullopt;
    const QSet<qint64> wanted(hits->cbegin(), hits->cend());
    for (qsizetype i = 0; i < m_ids.size(); ++i)
        if (wanted.contains(m_ids.at(i)))
            return i;
    return std::nullopt;
}

} // namespace zep
