#pragma once

namespace zep {

// What a connection does to the text it carries: the conversion codes for CR
// and LF on receiving (ECRzu, ELFzu) and on sending (SCRzu, SLFzu), and the
// two XON fields, as a port settings group and a machine record both store
// them under the same names. A code says what a CR or an LF becomes: 0
// unchanged, 254 CR LF, 255 deleted, any other n the single character n.
struct LineConversions {
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

    // As a port settings group can hold them: a stored value outside a byte
    // (0-255) is no code at all, 0.
    LineConversions asBytes() const
    {
        auto byte = [](int stored) { return stored < 0 || stored > 255 ? 0 : stored; };
        return {byte(ecrZu), byte(elfZu), byte(scrZu), byte(slfZu), byte(exon), byte(sxon)};
    }

    bool operator==(const LineConversions &) const = default;
};

} // namespace zep
