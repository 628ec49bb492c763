#pragma once

#include <QString>

#include <utility>

namespace zep {

// What the text fields of a machine record may hold and how the manager
// stores and shows them. The widths are the columns' own: Jet refused a text
// that did not fit, and the end code built from these fields is read by the
// transfer code character for character.
namespace MachineFieldRules {

constexpr int kParamLength = 30;     // Param1-3, COMString
constexpr int kBaudrateLength = 10;  // Baudrate
constexpr int kTextLength = 255;     // Bezeichnung, Standort (TEXT)
constexpr int kTypedTextLength = kTextLength - 1; // room for the stored blank
inline const QString kSeparator = QStringLiteral("||");

// Designation and location are stored as typed plus one blank and shown
// trimmed. A text that already fills the column (written by other means)
// keeps all of its characters and loses only the blank.
QString storedText(const QString &typed);
QString shownText(const QString &stored);

// `Param2` split at its first "||"; without one the whole text is the start.
std::pair<QString, QString> splitParam2(const QString &param2);
QString joinParam2(const QString &start, const QString &end);
// How long the start (or end) string may be while the other has
// `otherLength` characters, so that start + "||" + end fits `Param2`.
int pairFieldLimit(int otherLength);

// An end character must be a single character on the line: a whole number
// 0-255 in plain digits. "1310" (CR LF) names two characters and is refused.
bool isEndCharacterCode(const QString &text);
// Data bits, parity letter and stop bits as the port settings dialog reads
// them back from the end: "8,N,1", "7,E,2", "8,N,1.5" (LineSettings'
// reading of a COMString).
bool isComString(const QString &text);
// The messages with which the manager refuses such a field.
QString endCharacterCodeRefusal();
QString comStringRefusal();

// The speed list position a stored `Baudrate` names; an unreadable one
// (NULL, out of range) gives the manager's preselection.
int speedPosition(const QString &baudrate);
// The interval list position of a stored `WartungsArt`; unknown is "kein".
int intervalPosition(int wartungsArt);
// The conversion code a list position carries.
int conversionCode(int position);

} // namespace MachineFieldRules

} // namespace zep
