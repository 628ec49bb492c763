#include "catalogue/RecordListModel.h"

#include <algorithm>
#include <numeric>

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

void RecordListModel::setRows(QList<RecordRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_order.resize(size_t(m_rows.size()));
    std::iota(m_order.begin(), m_order.end(), 0);
    endResetModel();
}

void RecordListModel::clear()
{
    setRows({});
}

void RecordListModel::sortBy(int column)
{
    if (column < 0 || column >= RecordRow::ColumnCount)
        return;
    m_sortColumn = column;
    Q_EMIT layoutAboutToBeChanged();
    if (column == RecordRow::Datum) {
        std::stable_sort(m_order.begin(), m_order.end(), [this](int x, int y) {
            const RecordRow &a = m_rows.at(x), &b = m_rows.at(y);
            return (a.date.isValid() ? a.date : kNoDate) > (b.date.isValid() ? b.date : kNoDate);
        });
    } else {
        std::stable_sort(m_order.begin(), m_order.end(), [this, column](int x, int y) {
            return m_rows.at(x)[column].compare(m_rows.at(y)[column], Qt::CaseInsensitive) < 0;
        });
    }
    Q_EMIT layoutChanged();
}

int RecordListModel::GetGridRow(long dateiIndex) const
{
    for (int line = 0; line < int(m_order.size()); ++line)
        if (row(line).dateiIndex() == dateiIndex)
            return line;
    return -1;
}

bool RecordListModel::refreshRecord(const RecordRow &written)
{
    const int line = GetGridRow(written.dateiIndex());
    if (line < 0)
        return false;
    RecordRow &target = m_rows[m_order.at(line)];
    const QString key = target.cells[RecordRow::DBIndex];
    target = written;
    target.cells[RecordRow::DBIndex] = key;
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
        return row(index.row())[index.column()];
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
