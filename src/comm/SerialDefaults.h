#pragma once

#include <QString>

namespace zep {

// What a machine connection needs to know about the machine's line and text
// format: line parameters, how a program ends, and the CR/LF conversions.
// A machine record holds them as the machine's defaults, a port settings
// group as what the connection uses; the port settings dialog copies the one
// into the other whole.
struct SerialDefaults {
    // "baud,parity letter,data bits,stop bits", e.g. "9600,N,8,1".
    QString einstellungen = QStringLiteral("9600,N,8,1");
    // In the special-character notation: "<ST>", "<SA>" + code, "<SZ>" +
    // start + "||" + end.
    QString endCode = QStringLiteral("<SA>26");
    // Conversion codes for CR and LF on receiving (E..) and sending (S..):
    // 0 unchanged, 254 CR LF, 255 delete, any other n character n.
    int ecrZu = 0;
    int elfZu = 0;
    int scrZu = 0;
    int slfZu = 0;
    // 0: NUL characters are filtered out of received and sent text; 1: kept.
    int exon = 0;
    // The machine's "XON senden" flag; kept with the settings, no transfer
    // reads it.
    int sxon = 0;

    bool nulFilter() const { return exon == 0; }

    bool operator==(const SerialDefaults &) const = default;
};

} // namespace zep
