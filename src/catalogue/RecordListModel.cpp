#include "catalogue/RecordListModel.h"

#include "catalogue/FoldedOrder.h"
#include "catalogue/RecordSearchPages.h"

#include <QLocale>

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

namespace zep {

namespace {
const QDate kNoDate(1980, 1, 1);
}

RecordListModel::RecordListModel(QObject *parent) : QAbstractTableModel(parent) {}

RecordListModel::~RecordListModel() = default;

const QStringList &RecordListModel::headings()
{
    static const QStringList headings{
        QStringLiteral("Datei"),      QStringLiteral("Bezeichnung"), QStringLiteral("ZeichnungsNo"),
        QStringLiteral("AuftragsNo"), QStringLiteral("Kunde"),       QStringLiteral("Datum"),
        QStringLiteral("DBIndex"),    QStringLiteral("Maschine"),    QStringLiteral("MaschIDX")};
    return headings;
}

QString RecordListModel::headingToolTip(const QString &heading)
{
    return QStringLiteral("Sortieren nach Spalte '") + heading + QStringLiteral("' durch anklicken.");
}

QString RecordListModel::hitsText(qint64 hits)
{
    if (hits == 1)
        return QStringLiteral("1 Datensatz");
    return QLocale(QLocale::German).toString(hits) + QStringLiteral(" Datensätze");
}

void RecordListModel::setSearch(std::shared_ptr<RecordSearchPages> search)
{
    beginResetModel();
    m_rows.clear();
    m_order.clear();
    m_pages.clear();
    m_search = std::move(search);
    m_searchHits = m_search ? m_search->hits() : 0;
    m_sortColumn = 0;
    takeWhole();
    endResetModel();
    if (holdsLines())
        sortBy(0);
    Q_EMIT hitsChanged(m_searchHits);
}

void RecordListModel::takeWhole()
{
    m_held = m_search && m_search->readWhole();
    if (!m_held)
        return;
    m_rows = m_search->takeWhole();
    orderAsAdded();
}

void RecordListModel::orderAsAdded()
{
    m_order.resize(size_t(m_rows.size()));
    std::iota(m_order.begin(), m_order.end(), 0);
    std::sort(m_order.begin(), m_order.end(),
              [this](int x, int y) { return m_rows.dateiIndex(x) < m_rows.dateiIndex(y); });
}

void RecordListModel::setRows(FoundRecords rows)
{
    beginResetModel();
    m_search.reset();
    m_held = true;
    m_pages.clear();
    m_searchHits = 0;
    m_rows = std::move(rows);
    m_order.resize(size_t(m_rows.size()));
    std::iota(m_order.begin(), m_order.end(), 0);
    endResetModel();
    Q_EMIT hitsChanged(m_rows.size());
}

void RecordListModel::setRows(const QList<RecordRow> &rows)
{
    FoundRecords records;
    records.reserve(rows.size());
    for (const RecordRow &row : rows)
        records.append(row);
    setRows(std::move(records));
}

void RecordListModel::clear()
{
    setRows(FoundRecords());
}

bool RecordListModel::reload()
{
    if (!m_search)
        return true;
    const qint64 before = rowCount();
    if (!m_search->count())
        return false;
    const qint64 now = m_search->hits();
    m_pages.clear();
    if (now > before)
        beginInsertRows({}, int(before), int(now - 1));
    else if (now < before)
        beginRemoveRows({}, int(now), int(before - 1));
    m_searchHits = now;
    m_rows.clear();
    m_order.clear();
    takeWhole();
    if (now > before)
        endInsertRows();
    else if (now < before)
        endRemoveRows();
    if (holdsLines())
        sortBy(m_sortColumn);
    if (now > 0)
        Q_EMIT dataChanged(index(0, 0), index(int(now - 1), RecordRow::ColumnCount - 1));
    Q_EMIT hitsChanged(now);
    return true;
}

const FoundRecords *RecordListModel::page(qint64 number) const
{
    auto found = m_pages.find(number);
    if (found == m_pages.end()) {
        // Scrolling on from the page above goes on from its last record.
        long after = 0;
        if (const auto above = m_pages.find(number - 1);
            above != m_pages.end() && above->second.lines.size() == kPageLines)
            after = above->second.lines.dateiIndex(kPageLines - 1);
        FoundRecords lines;
        if (!m_search->read(m_sortColumn, number * kPageLines, kPageLines, lines, after))
            return nullptr;
        if (m_pages.size() >= size_t(kPagesKept)) {
            auto oldest = m_pages.begin();
            for (auto it = m_pages.begin(); it != m_pages.end(); ++it)
                if (it->second.used < oldest->second.used)
                    oldest = it;
            m_pages.erase(oldest);
        }
        found = m_pages.emplace(number, Page{std::move(lines), 0}).first;
    }
    found->second.used = ++m_uses;
    return &found->second.lines;
}

bool RecordListModel::cached(int line, const FoundRecords **records, qsizetype *at) const
{
    if (line < 0 || line >= m_searchHits)
        return false;
    const FoundRecords *lines = page(line / kPageLines);
    if (!lines || line % kPageLines >= lines->size())
        return false;
    *records = lines;
    *at = line % kPageLines;
    return true;
}

RecordRow RecordListModel::row(int index) const
{
    if (holdsLines())
        return m_rows.row(m_order.at(size_t(index)));
    const FoundRecords *records = nullptr;
    qsizetype at = 0;
    return cached(index, &records, &at) ? records->row(at) : RecordRow();
}

void RecordListModel::sortBy(int column)
{
    if (column < 0 || column >= RecordRow::ColumnCount)
        return;
    m_sortColumn = column;
    Q_EMIT layoutAboutToBeChanged();
    if (!holdsLines()) {
        // The engine orders: the pages read so far are in the old order.
        m_pages.clear();
        Q_EMIT layoutChanged();
        return;
    }
    // A search's equal texts go in the order records were added, whatever
    // order the list showed before, as when the engine sorts.
    if (m_search)
        orderAsAdded();
    if (column == RecordRow::Datum) {
        const qint64 noDay = kNoDate.toJulianDay();
        std::vector<qint64> days(size_t(m_rows.size()));
        for (qsizetype i = 0; i < m_rows.size(); ++i) {
            const QDate date = m_rows.date(i);
            days[size_t(i)] = date.isValid() ? date.toJulianDay() : noDay;
        }
        std::stable_sort(m_order.begin(), m_order.end(), [&days](int x, int y) { return days[x] > days[y]; });
    } else {
        sortByText(column);
    }
    Q_EMIT layoutChanged();
}

void RecordListModel::sortByText(int column)
{
    // Keys made once per line: a hundred thousand records sort in
    // milliseconds, where folding the case inside every comparison took most
    // of a second.
    const bool stored = FoundRecords::isTextColumn(column);
    FoldedOrder texts;
    texts.reserve(m_order.size());
    for (const int row : m_order)
        if (!stored || !texts.addAscii(m_rows.utf8(row, column)))
            texts.add(m_rows.cell(row, column));
    const std::vector<int> sorted = texts.order();
    std::vector<int> order(m_order.size());
    for (size_t line = 0; line < sorted.size(); ++line)
        order[line] = m_order[size_t(sorted[line])];
    m_order = std::move(order);
}

int RecordListModel::GetGridRow(long dateiIndex) const
{
    if (!holdsLines()) {
        for (const auto &[number, page] : m_pages)
            for (qsizetype i = 0; i < page.lines.size(); ++i)
                if (page.lines.dateiIndex(i) == dateiIndex)
                    return int(number * kPageLines + i);
        return int(m_search->line(m_sortColumn, dateiIndex));
    }
    for (int line = 0; line < int(m_order.size()); ++line)
        if (m_rows.dateiIndex(m_order[size_t(line)]) == dateiIndex)
            return line;
    return -1;
}

bool RecordListModel::refreshRecord(const RecordRow &written)
{
    if (!holdsLines()) {
        // The line keeps its place until the list is read again; a line not
        // read yet shows the new values when it is.
        for (auto &[number, page] : m_pages) {
            for (qsizetype i = 0; i < page.lines.size(); ++i) {
                if (page.lines.dateiIndex(i) != written.dateiIndex())
                    continue;
                RecordRow shown = written;
                shown.cells[RecordRow::DBIndex] = page.lines.cell(i, RecordRow::DBIndex);
                page.lines.replace(i, shown);
                const int line = int(number * kPageLines + i);
                Q_EMIT dataChanged(index(line, 0), index(line, RecordRow::ColumnCount - 1));
                return true;
            }
        }
        return GetGridRow(written.dateiIndex()) >= 0;
    }
    const int line = GetGridRow(written.dateiIndex());
    if (line < 0)
        return false;
    const int row = m_order.at(size_t(line));
    RecordRow shown = written;
    shown.cells[RecordRow::DBIndex] = m_rows.cell(row, RecordRow::DBIndex);
    m_rows.replace(row, shown);
    Q_EMIT dataChanged(index(line, 0), index(line, RecordRow::ColumnCount - 1));
    return true;
}

int RecordListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return holdsLines() ? int(m_rows.size()) : int(m_searchHits);
}

int RecordListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RecordRow::ColumnCount;
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    if (holdsLines())
        return m_rows.cell(m_order.at(size_t(index.row())), index.column());
    const FoundRecords *records = nullptr;
    qsizetype at = 0;
    if (!cached(index.row(), &records, &at))
        return {};
    return records->cell(at, index.column());
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= headings().size())
        return {};
    if (role == Qt::DisplayRole)
        return headings().at(section);
    if (role == Qt::ToolTipRole)
        return headingToolTip(headings().at(section));
    return {};
}

} // namespace zep
