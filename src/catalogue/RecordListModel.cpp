#include "catalogue/RecordListModel.h"

#include "catalogue/FoldedOrder.h"

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

namespace zep {

namespace {
const QDate kNoDate(1980, 1, 1);
}

RecordListModel::RecordListModel(QObject *parent) : QAbstractTableModel(parent) {}

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

void RecordListModel::setRows(FoundRecords rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_order.resize(size_t(m_rows.size()));
    std::iota(m_order.begin(), m_order.end(), 0);
    endResetModel();
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

void RecordListModel::sortBy(int column)
{
    if (column < 0 || column >= RecordRow::ColumnCount)
        return;
    m_sortColumn = column;
    Q_EMIT layoutAboutToBeChanged();
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
    for (int line = 0; line < int(m_order.size()); ++line)
        if (m_rows.dateiIndex(m_order[size_t(line)]) == dateiIndex)
            return line;
    return -1;
}

bool RecordListModel::refreshRecord(const RecordRow &written)
{
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
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RecordListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RecordRow::ColumnCount;
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_rows.cell(m_order.at(size_t(index.row())), index.column());
    return {};
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
