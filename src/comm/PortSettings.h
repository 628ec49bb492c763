#pragma once

#include "comm/SerialDefaults.h"

#include <QString>

namespace zep {

class SettingsStore;

// One machine connection's port settings group ("COM" + index +
// "Einstellungen"), as the dialog edits it. This is the only place that
// names the group's keys and their defaults.
//
// Two keys are read with different defaults by the dialog and by the
// opening of the connections (SetComm), and both are kept:
// - "COM-Anschluß": the dialog shows port 1; opening takes 0, which leaves
//   the port object's number as it is.
// - "Handshaking" and "Puffer": the dialog falls back to 2 and 256 for a
//   value it cannot show; opening gives the stored value to the port as it
//   is, so the port's own refusal is reported.
struct PortSettings : SerialDefaults {
    bool aktiviert = false;
    int comAnschluss = 1;
    int handshaking = 2;
    int maschinenIndex = 0;
    int puffer = 256;

    static QString section(int connection);
    // Every key with the dialog's defaults.
    static PortSettings load(const SettingsStore &store, int connection);
    // In the order the dialog writes the keys.
    void save(SettingsStore &store, int connection) const;

    // What opening a connection reads, with the opening's defaults.
    struct Opening {
        QString einstellungen;
        // As stored, so a text that is no number can be reported; "0" when
        // missing.
        QString comAnschluss;
        int puffer = 256;
        int handshaking = 2;
    };
    static Opening opening(const SettingsStore &store, int connection);

    // The key's name as the opening's error message quotes it.
    static QString comAnschlussKey();

    // The part of a connection's settings a machine record supplies.
    SerialDefaults &serialDefaults() { return *this; }
    const SerialDefaults &serialDefaults() const { return *this; }

    // The read-only summary of the values that come from the machine record.
    QString summary() const;

    // End code for a machine record's Sonderzeichen/Param1..3.
    static QString endCodeFromMachine(int sonderzeichen, const QString &param1, const QString &param2,
                                      const QString &param3);
};

} // namespace zep
