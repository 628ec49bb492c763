#pragma once

#include <QDate>
#include <QString>

#include <array>

namespace zep {

// One line of the main list: the nine cells as shown, plus the date for
// sorting by "Datum".
struct RecordRow {
    enum Column { Datei, Bezeichnung, ZeichnungsNo, AuftragsNo, Kunde, Datum, DBIndex, Maschine, MaschIDX, ColumnCount };

    std::array<QString, ColumnCount> cells;
    QDate date; // invalid when the record has none

    const QString &operator[](int column) const { return cells[column]; }
    long dateiIndex() const { return cells[DBIndex].toLong(); }
    long machineNumber() const { return cells[MaschIDX].toLong(); }
};

} // namespace zep

// Its texts and date can be moved as bytes: a list of 100,000 lines grows by
// reallocating, not by moving each line's nine texts one by one.
Q_DECLARE_TYPEINFO(zep::RecordRow, Q_RELOCATABLE_TYPE);
