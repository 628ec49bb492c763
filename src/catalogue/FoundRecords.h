#pragma once

#include "catalogue/RecordRow.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <array>
#include <climits>
#include <iterator>
#include <string>
#include <vector>

namespace zep {

// The records a search found, held as the database gave them: the texts of
// every line in one UTF-8 buffer, numbers as numbers. A list of 100,000
// records is read in the time the engine takes and needs a tenth of the
// memory of ready-made texts; a line's shown texts are made when it is drawn
// or taken.
class FoundRecords {
public:
    // The columns held as text; the others are made from numbers.
    static constexpr std::array<int, 6> kTextColumns{RecordRow::Datei,      RecordRow::Bezeichnung,
                                                     RecordRow::ZeichnungsNo, RecordRow::AuftragsNo,
                                                     RecordRow::Kunde,      RecordRow::Maschine};
    static constexpr long kNoMachine = LONG_MIN; // the record names none (NULL)

    struct Values {
        // Same order as kTextColumns; multi-line texts as stored (CR LF).
        std::array<QByteArrayView, 6> texts;
        QDate date;
        long dateiIndex = 0;
        long machine = kNoMachine;
    };

    qsizetype size() const { return qsizetype(m_lines.size()); }
    bool isEmpty() const { return m_lines.empty(); }
    void reserve(qsizetype lines);
    void clear();

    void append(const Values &values);
    void append(const RecordRow &row);
    // Another list's line, as it holds it.
    void append(const FoundRecords &other, qsizetype line);
    // The record was written again: the line shows the new values.
    void replace(qsizetype line, const RecordRow &row);

    RecordRow row(qsizetype line) const;
    QString cell(qsizetype line, int column) const;
    QDate date(qsizetype line) const;
    long dateiIndex(qsizetype line) const { return m_lines[size_t(line)].dateiIndex; }
    static bool isTextColumn(int column);
    // A text column's stored bytes (CR LF not yet shown as " / ").
    QByteArrayView utf8(qsizetype line, int column) const;

    RecordRow operator[](qsizetype line) const { return row(line); }

    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = RecordRow;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = RecordRow;
        const_iterator(const FoundRecords *records, qsizetype line) : m_records(records), m_line(line) {}
        RecordRow operator*() const { return m_records->row(m_line); }
        const_iterator &operator++() { ++m_line; return *this; }
        bool operator==(const const_iterator &other) const { return m_line == other.m_line; }
    private:
        const FoundRecords *m_records;
        qsizetype m_line;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    struct Line {
        // Where each text column starts in m_text; the last is the end.
        std::array<quint32, 7> at;
        qint32 day; // Julian day, kNoDay without a date
        long dateiIndex;
        long machine;
    };
    static constexpr qint32 kNoDay = INT_MIN;
    static int textSlot(int column);
    Line store(const Values &values);
    static Values valuesOf(const RecordRow &row, std::array<QByteArray, 6> &keep);

    std::string m_text;
    std::vector<Line> m_lines;
};

} // namespace zep
