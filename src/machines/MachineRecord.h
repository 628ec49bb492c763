#pragma once

#include "comm/LineConversions.h"
#include "comm/LineDefaults.h"
#include "comm/LineSettings.h"

#include <QDateTime>
#include <QString>

#include <array>

namespace zep {

struct PortSettings;

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
    LineConversions conversions; // as stored
    // `Baudrate` (the speed's position in the speed list, in digits) and
    // `COMString` ("8,N,1") as stored. They are kept as the texts they are
    // because a `Baudrate` that is no number is read in two ways: the manager
    // shows its preselected speed, the port settings dialog takes it over as
    // position 0.
    QString baudrate;
    QString comString;
    std::array<int, 3> wartungsArt{};
    std::array<QDateTime, 3> wartStart;
    std::array<QString, 3> wartText;

    // The machine's line as a connection takes it over. Flow control is no
    // part of a machine record and stays unset.
    LineSettings line() const;
    // In the special-character notation, from Sonderzeichen and Param1..3.
    QString endCode() const;
    // "-> COM" of the port settings dialog: the machine's serial defaults
    // into a connection's settings. The line gets every part the machine's
    // has; a part the lists do not offer keeps the one of `shownLine`, the
    // line the dialog shows, and the connection keeps its flow control. The
    // end code and the conversions are the machine's (a stored value outside
    // 0-255 as 0).
    void copyDefaultsTo(PortSettings &port, const LineSettings &shownLine) const;
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
    // The four conversion lists' codes, "Nullzeichen nicht ausfiltern" and
    // "XON senden" (0 or 1).
    LineConversions conversions;
    // The speed list's position and the "Com-String:" text as typed.
    LineSettings line = LineSettings::fromMachine(LineDefaults::Manager::kSpeedPosition, QString());

    // The fields as the manager shows a stored record. With end mode 0 the
    // window leaves its code, start and end fields as they were; the
    // conversion codes are the stored ones (the window shows an unknown one
    // as "normal"); a `Baudrate` that names no speed shows the preselected
    // one.
    static CommunicationFields fromRecord(const MachineRecord &record);
};

// The maintenance fields of the three tasks.
struct MaintenanceFields {
    std::array<int, 3> wartungsArt{};
    std::array<QDateTime, 3> wartStart;
    std::array<QString, 3> wartText;
};

} // namespace zep
