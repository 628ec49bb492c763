#pragma once

#include <QChar>
#include <QString>
#include <optional>

namespace zep {

// A serial line's settings: speed, parity, data bits, stop bits and flow
// control. The first four are stored in one of two forms:
// - the settings text "9600,N,8,1" (a port settings group's "Einstellungen",
//   the serial monitor's "COMString"; the form the port object takes);
// - a machine record's: the speed as its position in the speed list
//   (`Baudrate`) and the rest as "8,N,1" (`COMString`).
// Flow control is stored beside them, as its number 0-3 (0 none, 1 XON/XOFF,
// 2 RTS/CTS, 3 both).
//
// A stored text is taken as it is, whatever it holds: what was read is
// written back unchanged, so a shop's hand-made or odd value survives a
// dialog that did not change it. Its parts are what can be read from it.
// Parts given one by one are joined into the stored forms.
class LineSettings {
public:
    // Nothing set: every part empty, an empty settings text, no flow control.
    LineSettings() = default;
    LineSettings(QString speed, QChar parity, QString dataBits, QString stopBits, int handshake = 0);

    // The settings text, read from its end as the port settings dialog has
    // always read it, so the speed may have any length: with x = 2 when the
    // text holds a "." (stop bits "1.5") and 0 otherwise, the speed is all
    // before the last 6 + x characters, parity the character at length - 4 - x
    // (upper-cased), data bits the one at length - 2 - x, stop bits the last
    // 1 + x. Never fails; a part the text is too short for is empty.
    static LineSettings fromText(const QString &text, int handshake = 0);
    // The settings text as a port takes it: "digits,E|O|N|M|S,4-8,1|1.5|2",
    // blanks around the fields allowed, parity in either case. No value for
    // anything else.
    static std::optional<LineSettings> parse(const QString &text, int handshake = 0);

    // A machine record's line: the speed at `speedPosition` of the speed list
    // and the COMString "data bits,parity,stop bits", read from its end as
    // the settings text is. A part the lists do not offer (or a position out
    // of range) stays empty. comString() gives the text back unchanged.
    static LineSettings fromMachine(int speedPosition, const QString &comString);
    // A COMString whose parts a connection can take over and run, and which
    // is read from its end without surprise: "8,N,1", "7,E,2", "8,n,1.5".
    // Data bits 5-8: no port runs 4. No blanks.
    static bool isComString(const QString &text);

    // This line with every part `machine` has; a part it lacks stays as it
    // is here, and so does the flow control (a machine record stores none).
    LineSettings takingOver(const LineSettings &machine) const;

    // "9600,N,8,1": as read, or joined from the parts.
    QString text() const;
    // "8,N,1": as read, or joined from the parts.
    QString comString() const;
    // The speed's position in the speed list; -1 when the list lacks it.
    int speedPosition() const;

    const QString &speed() const { return m_speed; }
    QChar parity() const { return m_parity; }
    const QString &dataBits() const { return m_dataBits; }
    const QString &stopBits() const { return m_stopBits; }
    int handshake() const { return m_handshake; }
    void setHandshake(int handshake) { m_handshake = handshake; }

    // Equal when the parts and the flow control are, and both stored forms
    // would be written alike.
    bool operator==(const LineSettings &other) const;

private:
    enum class ReadFrom { Parts, Text, ComString };

    QString m_speed;
    QChar m_parity;
    QString m_dataBits;
    QString m_stopBits;
    int m_handshake = 0;
    // The stored text the line was read from, written back as it was.
    ReadFrom m_readFrom = ReadFrom::Text;
    QString m_read = QLatin1String("");
};

} // namespace zep
