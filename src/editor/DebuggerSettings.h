#pragma once

#include "app/SettingKey.h"
#include "comm/LineDefaults.h"
#include "comm/LineSettings.h"

#include <QString>
#include <QStringList>

namespace zep {

class SettingsStore;

// Section "Debugger" of the settings store: the serial monitor's last line
// and the hex viewer it opens a recording in. Keys and defaults are declared
// here and nowhere else.
struct DebuggerSettings {
    static inline const QString kSection = QStringLiteral("Debugger");

    // Flow control 0-3 as the monitor's list shows it; the default when
    // missing or out of range.
    static inline const NumberSetting handshake{kSection, QStringLiteral("Handshake"),
                                                LineDefaults::Monitor::kHandshake, 0, 3};
    // Port number 1-16; the default when missing or out of range.
    static inline const NumberSetting comPort{kSection, QStringLiteral("COMPort"), LineDefaults::Monitor::kComPort,
                                              1, 16};
    // Line parameters as typed.
    static inline const TextSetting comString{kSection, QStringLiteral("COMString"),
                                              QLatin1String(LineDefaults::Monitor::kLine)};
    // The program a recording is opened in; empty = the first of
    // knownHexViewers() found on the PATH.
    static inline const TextSetting hexViewer{kSection, QStringLiteral("HexViewer")};

    // The last line the monitor opened: "COMString" with "Handshake".
    static LineSettings line(const SettingsStore &store);
    // What a recording was started with.
    static void save(SettingsStore &store, const LineSettings &line, int comPort);

    // Common Linux hex viewers that take a file name as their only argument.
    static const QStringList &knownHexViewers();
    // The viewer to start: the stored one if it can be found, otherwise the
    // first known one on the PATH; empty when there is none.
    static QString findHexViewer(const SettingsStore &store);
};

} // namespace zep
