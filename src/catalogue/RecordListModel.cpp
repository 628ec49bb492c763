#include "catalogue/RecordListModel.h"

#include <QThreadPool>

#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>
#include <utility>

namespace zep {

namespace {
const QDate kNoDate(1980, 1, 1);
constexpr qsizetype kFreeAside = 10000;
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
    QList<RecordRow> previous = std::exchange(m_rows, std::move(rows));
    // Freeing a long list's million texts takes longer than reading the new
    // one; it happens beside the window instead of before the list shows.
    if (previous.size() >= kFreeAside)
        QThreadPool::globalInstance()->start([gone = std::move(previous)]() mutable { gone.clear(); });
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
    // Keys made once per row, compared as plain numbers or code units: a
    // hundred thousand records sort in milliseconds, where folding the case
    // inside every comparison took most of a second.
    if (column == RecordRow::Datum) {
        const qint64 noDay = kNoDate.toJulianDay();
        std::vector<qint64> days(m_rows.size());
        for (qsizetype i = 0; i < m_rows.size(); ++i)
            days[size_t(i)] = m_rows.at(i).date.isValid() ? m_rows.at(i).date.toJulianDay() : noDay;
        std::stable_sort(m_order.begin(), m_order.end(), [&days](int x, int y) { return days[x] > days[y]; });
    } else {
        // Every line's text case-folded into one buffer: one allocation for
        // all of them, and comparisons that are plain runs of code units.
        std::u16string folded;
        std::vector<std::pair<qsizetype, qsizetype>> keys(size_t(m_rows.size()));
        for (qsizetype i = 0; i < m_rows.size(); ++i) {
            const QString &text = m_rows.at(i)[column];
            keys[size_t(i)] = {qsizetype(folded.size()), text.size()};
            for (const QChar c : text) {
                const char16_t u = c.unicode();
                folded.push_back(u < 0x80 ? (u >= 'A' && u <= 'Z' ? char16_t(u + 32) : u) : QChar(u).toCaseFolded().unicode());
            }
        }
        const std::u16string_view all(folded);
        std::stable_sort(m_order.begin(), m_order.end(), [&](int x, int y) {
            return all.substr(size_t(keys[x].first), size_t(keys[x].second))
                   < all.substr(size_t(keys[y].first), size_t(keys[y].second));
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
