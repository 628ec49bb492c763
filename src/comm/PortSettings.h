#pragma once

#include "app/SettingKey.h"
#include "comm/LineConversions.h"
#include "comm/LineDefaults.h"
#include "comm/LineSettings.h"

#include <QString>

namespace zep {

class SettingsStore;

// One machine connection's port settings group ("COM" + index +
// "Einstellungen"), as the port settings dialog edits it: the line and its
// conversions, and what binds them to a port and a machine.
struct PortSettings {
    bool aktiviert = false;
    // "Einstellungen" with "Handshaking".
    LineSettings line = LineDefaults::PortGroup::line();
    int comAnschluss = LineDefaults::PortGroup::kComPort;
    int maschinenIndex = 0; // 0: no machine
    int puffer = LineDefaults::PortGroup::kBuffer;
    // In the special-character notation: "<ST>", "<SA>" + code, "<SZ>" +
    // start + "||" + end.
    QString endCode = QLatin1String(LineDefaults::PortGroup::kEndCode);
    // "ECRzu", "ELFzu", "SCRzu", "SLFzu", "EXON", "SXON".
    LineConversions conversions;

    // The group's keys, each with what a missing or unreadable value reads
    // as. This is the only place that names them.
    struct Keys {
        explicit Keys(int connection);
        TextSetting einstellungen;
        NumberSetting comAnschluss;
        NumberSetting handshaking;
        FlagSetting aktiviert;
        NumberSetting maschinenIndex;
        NumberSetting puffer;
        NumberSetting ecrZu;
        NumberSetting elfZu;
        NumberSetting scrZu;
        NumberSetting slfZu;
        NumberSetting exon;
        NumberSetting sxon;
        TextSetting endCode;

    private:
        explicit Keys(const QString &section);
    };

    static QString section(int connection);
    // Every key as the dialog shows it: a port number, flow control or
    // conversion code it could not show reads as the default.
    static PortSettings load(const SettingsStore &store, int connection);
    // In the order the dialog writes the keys.
    void save(SettingsStore &store, int connection) const;

    // What opening a connection (SetComm) reads. Flow control is taken as
    // stored, so that the port refuses a value it cannot run with its own
    // message; the port number is openingComAnschluss() as a number (0 when
    // it is none).
    static PortSettings opening(const SettingsStore &store, int connection);
    // "COM-Anschluß" as opening reads it: as stored, so a text that is no
    // number can be reported; "0" when missing.
    static QString openingComAnschluss(const SettingsStore &store, int connection);

    // The key's name as the opening's error message quotes it.
    static QString comAnschlussKey();

    // The read-only summary of the values that come from the machine record.
    QString summary() const;

    // End code for a machine record's Sonderzeichen/Param1..3.
    static QString endCodeFromMachine(int sonderzeichen, const QString &param1, const QString &param2,
                                      const QString &param3);
};

} // namespace zep
