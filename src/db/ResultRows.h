#pragma once

#include "db/RowSource.h"

#include <QList>
#include <memory>

namespace zep {

class Connection;

// Rows of any other statement (joins, sums, chosen columns): read once into
// memory, read-only, as a snapshot.
class ResultRows : public RowSource {
public:
    ResultRows(std::shared_ptr<Connection> connection, const QString &sql, const QVariantList &params);

    QString table() const override { return {}; }
    QStringList columns() const override { return m_columns; }
    QStringList declaredTypes() const override { return m_types; }

    std::optional<qint64> first() override { return at(0); }
    std::optional<qint64> last() override { return at(m_rows.size() - 1); }
    std::optional<qint64> next(qint64 pos) override { return at(pos + 1); }
    std::optional<qint64> previous(qint64 pos) override { return at(pos - 1); }
    int count() override { return int(m_rows.size()); }
    bool fetch(qint64 pos, QVariantList &values) override;
    std::optional<qint64> added(qint64) override { return std::nullopt; }
    std::optional<qint64> locate(qint64) override { return std::nullopt; }
    std::optional<qint64> find(const QString &condition, const QVariantList &params) override;

private:
    std::optional<qint64> at(qint64 pos) const;

    QStringList m_columns;
    QStringList m_types;
    QList<QVariantList> m_rows;
};

} // namespace zep
