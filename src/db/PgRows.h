#pragma once

#include "db/RowSource.h"

#include <QList>

#include <memory>

struct pg_result;

namespace zep {

class PgConnection;

// A record set's rows on a PostgreSQL catalogue. Rows of one table are
// known by their counter column (the server has no rowid): the keys of the
// selected rows are read when the set opens, a row's values when one of them
// is wanted, so a set over the whole catalogue costs its keys, not its
// texts. Rows of any other statement, and of a table without a counter,
// are read once and cannot be changed.
class PgRows : public RowSource {
public:
    // `table` empty: `sql` is a whole statement (already translated).
    // Otherwise `tail` is the translated WHERE/ORDER BY part.
    PgRows(std::shared_ptr<PgConnection> connection, const QString &table, const QString &tail,
           const QString &sql, const QVariantList &params, const QList<int> &patternParams, bool snapshot);

    QString table() const override { return m_counter >= 0 ? m_table : QString(); }
    QStringList columns() const override { return m_columns; }
    QStringList declaredTypes() const override { return m_types; }
    int counterColumn() const override { return m_counter; }

    std::optional<qint64> first() override { return at(0); }
    std::optional<qint64> last() override { return at(size() - 1); }
    std::optional<qint64> next(qint64 pos) override { return at(pos + 1); }
    std::optional<qint64> previous(qint64 pos) override { return at(pos - 1); }
    int count() override { return int(size()); }
    bool fetch(qint64 pos, QVariantList &values) override;
    qint64 rowid(qint64 pos) const override;
    std::optional<qint64> added(qint64 key) override;
    std::optional<qint64> locate(qint64 key) override;
    std::optional<qint64> find(const QString &condition, const QVariantList &params) override;

    bool connectionOpen() const override;
    bool writesItself() const override { return true; }
    std::optional<qint64> write(qint64 key, const QList<int> &columns, const QVariantList &values) override;

private:
    qsizetype size() const { return m_counter >= 0 ? m_keys.size() : m_rows.size(); }
    void readAll(const pg_result *result);
    std::optional<qint64> at(qint64 pos) const;
    QString quotedTable() const;
    QString quotedColumn(int i) const;
    bool readColumns();
    QVariant valueOf(const pg_result *result, int row, int column) const;

    std::shared_ptr<PgConnection> m_connection;
    QString m_table;
    QStringList m_columns;
    QStringList m_types;
    int m_counter = -1;
    QList<qint64> m_keys;
    QList<QVariantList> m_rows; // every row's values: a snapshot, or rows without a counter
    bool m_snapshot = false;
};

} // namespace zep
