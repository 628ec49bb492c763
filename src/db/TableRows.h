#pragma once

#include "db/RowSource.h"

#include <memory>

namespace zep {

class Connection;

// The rows of one table in rowid order, read lazily: opening the whole
// catalogue table (100,000 rows) to add one row costs a few index seeks, not
// a copy of the table. Each move is one seek on the rowid; a row is read
// when one of its values is wanted.
class TableRows : public RowSource {
public:
    // Reads the table's columns; error() tells when the table is missing.
    TableRows(std::shared_ptr<Connection> connection, const QString &table);

    QString table() const override { return m_table; }
    QStringList columns() const override { return m_columns; }
    QStringList declaredTypes() const override { return m_types; }
    int counterColumn() const override { return m_counter; }

    std::optional<qint64> first() override;
    std::optional<qint64> last() override;
    std::optional<qint64> next(qint64 pos) override;
    std::optional<qint64> previous(qint64 pos) override;
    int count() override;
    bool fetch(qint64 pos, QVariantList &values) override;
    std::optional<qint64> added(qint64 rowid) override { return rowid; }
    std::optional<qint64> locate(qint64 rowid) override;
    std::optional<qint64> find(const QString &condition, const QVariantList &params) override;

    // The rowids of "SELECT rowid FROM table " + tail (a WHERE and/or
    // ORDER BY part), in that statement's order.
    std::optional<QList<qint64>> select(const QString &tail, const QVariantList &params);
    // The same, with every row's values read in the same pass, as long as
    // there are at most `maxKept` rows; `values` stays empty otherwise.
    std::optional<QList<qint64>> select(const QString &tail, const QVariantList &params, QList<QVariantList> &values,
                                        qsizetype maxKept);

    QString quotedTable() const;

private:
    std::optional<qint64> seek(const QString &sql, const QVariantList &params);

    std::shared_ptr<Connection> m_connection;
    QString m_table;
    QStringList m_columns;
    QStringList m_types;
    int m_counter = -1;
};

} // namespace zep
