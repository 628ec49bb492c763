#pragma once

#include <QString>
#include <QStringList>

namespace zep {

// The fixed lists of a machine record's fields, shared by the machine
// manager, the wizard and the maintenance schedule. Positions are what the
// record stores, so their order is part of the stored format.
namespace MachineLists {

struct Conversion {
    QString name;
    int code;
};
// "normal", "löschen", "CR", "LF", "CRLF" with their conversion codes.
const QList<Conversion> &conversions();
// The list position of a stored conversion code; a code without an entry
// shows as "normal".
int GetComboIdx(int ascCode);

// Maintenance intervals; `WartungsArt1`-`3` store the position, 0 = none.
const QStringList &intervals();
QString dueWindowIntervalName(int position);
// Length in days of positions 1-5; 0 for anything else.
int intervalDays(int position);

// The name shown beside an end-character code field ("NULL", "EOF" …), or
// the empty text. "0" is compared as text, the other codes by value.
QString endCharacterName(const QString &fieldText);

// The "RS232" column of the machine list.
QString rs232Text(bool mitRs232, bool sonderzeichen);

} // namespace MachineLists

} // namespace zep
