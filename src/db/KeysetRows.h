#pragma once

#include "db/TableRows.h"

#include <QList>

namespace zep {

// The rows of a statement on one table ("SELECT * FROM t WHERE ... ORDER BY
// ..."): the matching rowids are collected once when it opens, in the
// statement's order, and each row is read by its rowid when it is wanted.
// Moving is then free, a row edited elsewhere shows its new values, and a
// row this record set adds is appended at the end, as the old engine did.
// A snapshot of up to kSnapshotRowsKept rows reads its values in the same
// pass and keeps them (it never shows later changes); a larger one reads
// each row when it is wanted, like a dynaset.
class KeysetRows : public RowSource {
public:
    static constexpr qsizetype kSnapshotRowsKept = 5000;

    KeysetRows(std::shared_ptr<Connection> connection, const QString &table, const QString &tail,
               const QVariantList &params, bool snapshot = false);

    QString table() const override { return m_rows.table(); }
    QStringList columns() const override { return m_rows.columns(); }
    QStringList declaredTypes() const override { return m_rows.declaredTypes(); }
    int counterColumn() const override { return m_rows.counterColumn(); }

    std::optional<qint64> first() override;
    std::optional<qint64> last() override;
    std::optional<qint64> next(qint64 pos) override;
    std::optional<qint64> previous(qint64 pos) override;
    int count() override { return int(m_ids.size()); }
    bool fetch(qint64 pos, QVariantList &values) override;
    qint64 rowid(qint64 pos) const override;
    std::optional<qint64> added(qint64 rowid) override;
    std::optional<qint64> locate(qint64 rowid) override;
    std::optional<qint64> find(const QString &condition, const QVariantList &params) override;

private:
    std::optional<qint64> at(qint64 pos) const;

    TableRows m_rows;
    QList<qint64> m_ids;
    bool m_snapshot = false;
    QList<QVariantList> m_values; // a snapshot's rows, in m_ids' order
};

} // namespace zep
