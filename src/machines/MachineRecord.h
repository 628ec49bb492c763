#pragma once

#include "comm/SerialDefaults.h"

#include <QDateTime>
#include <QString>

#include <array>

namespace zep {

struct LineSettings;

// One row of `Maschinen` as the machine manager reads it. A NULL column of an
// old database reads as the empty text, 0 or an invalid date.
struct MachineRecord {
    long maschinennummer = 0;
    QString bezeichnung; // as stored, with the manager's trailing blank
    QString standort;
    int mitRS232 = 0;
    int sonderzeichen = 0;
    QString param1;
    QString param2;
    QString param3;
    int ecrZu = 0;
    int elfZu = 0;
    int scrZu = 0;
    int slfZu = 0;
    int exon = 0;
    int sxon = 0;
    QString baudrate;
    QString comString;
    std::array<int, 3> wartungsArt{};
    std::array<QDateTime, 3> wartStart;
    std::array<QString, 3> wartText;

    // The machine's serial defaults as a connection takes them over: line
    // parameters from Baudrate and COMString (a part the lists do not offer
    // keeps the one of `currentLine`), end code from Sonderzeichen and
    // Param1..3, conversion codes and flags as stored (outside 0-255: 0).
    SerialDefaults serialDefaults(const LineSettings &currentLine) const;
};

// One entry of the manager's machine list.
struct MachineListEntry {
    long maschinennummer = 0;
    QString bezeichnung;
    QString standort;
    int mitRS232 = 0;
    int sonderzeichen = 0;
};

// The communication fields as the manager's window holds them.
struct CommunicationFields {
    bool mitRS232 = false;
    bool sonderzeichen = true; // end by special characters, else by time-out
    bool asciiCode = true;     // end by one character, else start and end strings
    QString code;              // "ASCII-Code:"
    QString start;             // start string
    QString end;               // end string
    int ecrZu = 0;
    int elfZu = 0;
    int scrZu = 0;
    int slfZu = 0;
    bool exon = false;
    bool sxon = false;
    int baudrate = 4; // position in the speed list
    QString comString;

    // The fields as the manager shows a stored record. With end mode 0 the
    // window leaves its code, start and end fields as they were; the
    // conversion codes are the stored ones (the window shows an unknown one
    // as "normal").
    static CommunicationFields fromRecord(const MachineRecord &record);
};

// The maintenance fields of the three tasks.
struct MaintenanceFields {
    std::array<int, 3> wartungsArt{};
    std::array<QDateTime, 3> wartStart;
    std::array<QString, 3> wartText;
};

} // namespace zep
