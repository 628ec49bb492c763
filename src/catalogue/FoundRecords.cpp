#include "catalogue/FoundRecords.h"

#include "catalogue/RecordSearch.h"

#include <algorithm>

namespace zep {

int FoundRecords::textSlot(int column)
{
    static constexpr auto slots = [] {
        std::array<int, RecordRow::ColumnCount> s{};
        s.fill(-1);
        for (size_t i = 0; i < kTextColumns.size(); ++i)
            s[size_t(kTextColumns[i])] = int(i);
        return s;
    }();
    return column >= 0 && column < RecordRow::ColumnCount ? slots[size_t(column)] : -1;
}

bool FoundRecords::isTextColumn(int column)
{
    return textSlot(column) >= 0;
}

void FoundRecords::reserve(qsizetype lines)
{
    m_lines.reserve(size_t(lines));
    // A shop's line holds some eighty bytes of text.
    m_text.reserve(size_t(lines) * 96);
}

void FoundRecords::clear()
{
    std::string().swap(m_text);
    std::vector<Line>().swap(m_lines);
}

FoundRecords::Line FoundRecords::store(const Values &values)
{
    Line line;
    for (size_t i = 0; i < values.texts.size(); ++i) {
        line.at[i] = quint32(m_text.size());
        m_text.append(values.texts[i].data(), size_t(values.texts[i].size()));
    }
    line.at[6] = quint32(m_text.size());
    line.day = values.date.isValid() ? qint32(values.date.toJulianDay()) : kNoDay;
    line.dateiIndex = values.dateiIndex;
    line.machine = values.machine;
    return line;
}

void FoundRecords::append(const Values &values)
{
    m_lines.push_back(store(values));
}

FoundRecords::Values FoundRecords::valuesOf(const RecordRow &row, std::array<QByteArray, 6> &keep)
{
    Values values;
    for (size_t i = 0; i < kTextColumns.size(); ++i) {
        keep[i] = row[kTextColumns[i]].toUtf8();
        values.texts[i] = keep[i];
    }
    values.date = row.date;
    values.dateiIndex = row.dateiIndex();
    const QString &machine = row[RecordRow::MaschIDX];
    values.machine = machine.isEmpty() ? kNoMachine : machine.toLong();
    return values;
}

void FoundRecords::append(const RecordRow &row)
{
    std::array<QByteArray, 6> keep;
    append(valuesOf(row, keep));
}

void FoundRecords::append(const FoundRecords &other, qsizetype line)
{
    Values values;
    for (size_t i = 0; i < kTextColumns.size(); ++i)
        values.texts[i] = other.utf8(line, kTextColumns[i]);
    const Line &l = other.m_lines[size_t(line)];
    values.date = other.date(line);
    values.dateiIndex = l.dateiIndex;
    values.machine = l.machine;
    // The views point into the other list's buffer, never into this one's.
    append(values);
}

void FoundRecords::replace(qsizetype line, const RecordRow &row)
{
    // The old texts stay in the buffer unused: a record edited now and then
    // costs a few bytes until the next search.
    std::array<QByteArray, 6> keep;
    m_lines[size_t(line)] = store(valuesOf(row, keep));
}

QByteArrayView FoundRecords::utf8(qsizetype line, int column) const
{
    const int slot = textSlot(column);
    if (slot < 0)
        return {};
    const Line &l = m_lines[size_t(line)];
    return QByteArrayView(m_text.data() + l.at[size_t(slot)], qsizetype(l.at[size_t(slot) + 1] - l.at[size_t(slot)]));
}

QDate FoundRecords::date(qsizetype line) const
{
    const qint32 day = m_lines[size_t(line)].day;
    return day == kNoDay ? QDate() : QDate::fromJulianDay(day);
}

QString FoundRecords::cell(qsizetype line, int column) const
{
    const Line &l = m_lines[size_t(line)];
    switch (column) {
    case RecordRow::Bezeichnung:
    case RecordRow::ZeichnungsNo:
        return RecordSearch::oneLine(QString::fromUtf8(utf8(line, column)));
    case RecordRow::Datum:
        return l.day == kNoDay ? QString() : date(line).toString(QStringLiteral("dd.MM.yyyy"));
    case RecordRow::DBIndex:
        return l.dateiIndex == 0 ? QString() : QString::number(l.dateiIndex);
    case RecordRow::MaschIDX:
        return l.machine == kNoMachine ? QString() : QString::number(l.machine);
    default:
        return QString::fromUtf8(utf8(line, column));
    }
}

RecordRow FoundRecords::row(qsizetype line) const
{
    RecordRow row;
    for (int column = 0; column < RecordRow::ColumnCount; ++column)
        row.cells[size_t(column)] = cell(line, column);
    row.date = date(line);
    return row;
}

} // namespace zep
