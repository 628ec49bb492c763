#pragma once

#include <QDateTime>
#include <QString>

#include <array>

namespace zep {

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
};

// The maintenance fields of the three tasks.
struct MaintenanceFields {
    std::array<int, 3> wartungsArt{};
    std::array<QDateTime, 3> wartStart;
    std::array<QString, 3> wartText;
};

} // namespace zep
