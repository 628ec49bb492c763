#pragma once

#include <QString>
#include <QStringList>

namespace zep {

class SettingsStore;

// Section "Debugger" of the settings store: the serial monitor's last line
// and the hex viewer it opens a recording in. Keys and defaults are written
// here and nowhere else.
class DebuggerSettings {
public:
    static QString section();

    // Flow control 0-3 as the list shows it ("Kein", "XON/XOFF", "RTS/CTS",
    // "XON/RTS"); 2 when missing or out of range.
    static int handshake(const SettingsStore &store);
    // Port number 1-16; 1 when missing or out of range.
    static int comPort(const SettingsStore &store);
    // Line parameters as typed ("2400,N,8,1" when missing).
    static QString comString(const SettingsStore &store);
    static void save(SettingsStore &store, int handshake, int comPort, const QString &comString);

    // The program a recording is opened in ("HexViewer"); empty = the first
    // of kHexViewers found on the PATH.
    static QString hexViewer(const SettingsStore &store);
    static void setHexViewer(SettingsStore &store, const QString &program);
    // Common Linux hex viewers that take a file name as their only argument.
    static const QStringList &knownHexViewers();
    // The viewer to start: the stored one if it can be found, otherwise the
    // first known one on the PATH; empty when there is none.
    static QString findHexViewer(const SettingsStore &store);
};

} // namespace zep
