#pragma once

#include "comm/LineChoices.h"
#include "comm/LineSettings.h"

#include <QString>

namespace zep {

// The defaults of a line in each place that sets one up, side by side, each
// with the reason it is what it is. They differ, and each difference is
// relied on: a key missing from a shop's settings file, or a machine record
// written long ago, means exactly what these say, so none may be brought in
// line with another.
//
// The CR/LF conversions and the XON fields default to 0 everywhere
// (LineConversions{}): nothing is converted, NUL characters are filtered.
namespace LineDefaults {

// The port object before anything has set it up: the start values of the
// serial control the connection code was written for. Opening a connection
// sets buffers and flow control every time, the line only when one is stored
// (an empty "Einstellungen" keeps this one) and the port number only when the
// stored one is not 0, so these show through there.
namespace PortObject {
inline constexpr char kLine[] = "9600,N,8,1";
inline constexpr int kHandshake = 0;
inline constexpr int kComPort = 1;
inline constexpr int kInBuffer = 1024;
inline constexpr int kOutBuffer = 512;
inline LineSettings line() { return LineSettings::fromText(QLatin1String(kLine), kHandshake); }
} // namespace PortObject

// A port settings group ("COM" + n + "Einstellungen") that lacks a key, as
// the port settings dialog shows it and as opening the connections takes it:
// a group never written is an inactive connection on RTS/CTS, bound to no
// machine, whose programs end with Ctrl-Z. Both fall back to the same values
// so that what the dialog shows for a missing key is what is opened.
namespace PortGroup {
inline constexpr char kLine[] = "9600,N,8,1";
inline constexpr int kHandshake = 2;
// The dialog shows a port from its list, which has no entry for "none".
inline constexpr int kComPort = 1;
inline constexpr int kBuffer = 256;
inline constexpr char kEndCode[] = "<SA>26";
inline LineSettings line() { return LineSettings::fromText(QLatin1String(kLine), kHandshake); }
} // namespace PortGroup

// Opening the connections (SetComm) reads the group with the defaults above,
// except for the port: a missing "COM-Anschluß" is 0, which leaves the port
// object's number as it is.
namespace Opening {
inline constexpr char kComPort[] = "0";
} // namespace Opening

// The machine manager: the values of a new machine record, the speed list's
// preselection when the window opens, and the speed shown for a stored
// `Baudrate` it cannot read. New records have always been written with these,
// and `Baudrate` holds a list position, so "4" must go on meaning 2400 baud.
// The end is one character, Ctrl-Z ("26"), as in a fresh port settings
// group; "^2^||^3^" is only offered for start and end strings.
namespace Manager {
inline constexpr int kSpeedPosition = 4; // "2400"
inline constexpr char kComString[] = "8,N,1";
inline constexpr int kSonderzeichen = 1;
inline constexpr char kParam1[] = "26";
inline constexpr char kParam2[] = "^2^||^3^";
inline constexpr char kParam3[] = "A";
} // namespace Manager

// The machine wizard chooses values that give a quick first result: 9600
// baud, 8 data bits, no parity, 1 stop bit, and no flow control (its first
// choice, "Kein"), so that a line works without hand-shake wires; a program
// ends by time-out, which needs no end character to be known. The group it
// binds gets a fresh group's buffer.
namespace Wizard {
inline constexpr int kSpeedPosition = 6; // "9600"
inline constexpr char kDataBits[] = "8";
inline constexpr char kParity = 'N';
inline constexpr char kStopBits[] = "1";
inline constexpr int kHandshake = 0;
inline constexpr int kBuffer = PortGroup::kBuffer;
inline constexpr char kEndCode[] = "<ST>";
inline LineSettings line()
{
    return LineSettings(LineChoices::speedAt(kSpeedPosition), QLatin1Char(kParity), QLatin1String(kDataBits),
                        QLatin1String(kStopBits), kHandshake);
}
} // namespace Wizard

// The serial monitor ("Debugger" section) has always offered Com1 at 2400
// baud with RTS/CTS for its first recording; afterwards it offers the last
// line it opened. Its port always gets 256-byte buffers.
namespace Monitor {
inline constexpr char kLine[] = "2400,N,8,1";
inline constexpr int kHandshake = 2;
inline constexpr int kComPort = 1;
inline constexpr int kBuffer = 256;
inline LineSettings line() { return LineSettings::fromText(QLatin1String(kLine), kHandshake); }
} // namespace Monitor

} // namespace LineDefaults

} // namespace zep
