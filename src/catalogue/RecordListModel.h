#pragma once

#include "catalogue/FoundRecords.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <vector>

namespace zep {

// The main list's records: the last search result, sortable by any column.
// A model, so that a view draws only the lines on screen, whatever the
// number of records found.
class RecordListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit RecordListModel(QObject *parent = nullptr);

    static const QStringList &headings();
    static QString headingToolTip(const QString &heading);

    void setRows(FoundRecords rows);
    void setRows(const QList<RecordRow> &rows);
    void clear();
    RecordRow row(int index) const { return m_rows.row(m_order.at(size_t(index))); }
    int sortColumn() const { return m_sortColumn; }

    // "Datum" sorts newest first (a record without a date counts as
    // 01.01.1980); every other column as text, A to Z.
    void sortBy(int column);

    // The line showing this record, -1 when the list does not show it.
    int GetGridRow(long dateiIndex) const;
    // The record editor wrote the record: its line shows the new values
    // (the record's key stays). Returns false when the list does not show it.
    bool refreshRecord(const RecordRow &written);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void sortByText(int column);

    FoundRecords m_rows;
    // Line -> row: sorting moves numbers, not the records.
    std::vector<int> m_order;
    int m_sortColumn = 0;
};

} // namespace zep
