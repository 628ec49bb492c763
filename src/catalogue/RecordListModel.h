#pragma once

#include "catalogue/FoundRecords.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

namespace zep {

class RecordSearchPages;

// The main list's records: the last search result, sortable by any column.
// A model, so that a view draws only the lines on screen, whatever the
// number of records found. A search (setSearch) is read from the engine a
// page at a time as the view asks for lines, in the order the engine makes
// with its indexes; only the last pages read are kept. Lines given as they
// are (setRows) are held and sorted here.
class RecordListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Lines read from the engine at once, and pages kept.
    static constexpr int kPageLines = 128;
    static constexpr int kPagesKept = 64;

    explicit RecordListModel(QObject *parent = nullptr);
    ~RecordListModel() override;

    static const QStringList &headings();
    static QString headingToolTip(const QString &heading);
    // "1.234 Datensätze", as the window shows the number of hits.
    static QString hitsText(qint64 hits);

    // Shows a search's hits in the order of column 0; the search has
    // counted them.
    void setSearch(std::shared_ptr<RecordSearchPages> search);
    void setRows(FoundRecords rows);
    void setRows(const QList<RecordRow> &rows);
    void clear();
    // Runs the current search again, keeping its order: records another
    // station added or deleted come and go. Lines shown before stay where
    // they are on screen as far as the list still reaches. False when the
    // engine fails (the list then shows what it showed).
    bool reload();
    RecordRow row(int index) const;
    int sortColumn() const { return m_sortColumn; }
    // How many records the list holds: the hits of the search.
    qint64 hits() const { return rowCount(); }

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

Q_SIGNALS:
    // The number of records listed changed (a search, a reload, cleared).
    void hitsChanged(qint64 hits);

private:
    void sortByText(int column);
    // The page holding `line`, read from the engine if needed; null when
    // the engine fails.
    const FoundRecords *page(qint64 number) const;
    // The lines are held here (given, or a narrow search read whole), not
    // read page by page.
    bool holdsLines() const { return m_held; }
    void takeWhole();
    void orderAsAdded();
    // A line of a search: its page and place in it.
    bool cached(int line, const FoundRecords **records, qsizetype *at) const;

    FoundRecords m_rows;
    // Line -> row: sorting moves numbers, not the records.
    std::vector<int> m_order;
    int m_sortColumn = 0;

    std::shared_ptr<RecordSearchPages> m_search;
    bool m_held = true;
    qint64 m_searchHits = 0;
    struct Page {
        FoundRecords lines;
        quint64 used = 0;
    };
    mutable std::map<qint64, Page> m_pages;
    mutable quint64 m_uses = 0;
};

} // namespace zep
