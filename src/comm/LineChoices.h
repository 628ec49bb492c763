#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace zep {

// What the dialogs offer for a line, and the positions in those lists. Every
// dialog that shows a line (port settings, machine manager, wizard, serial
// monitor) fills its lists from here and maps positions through here. A
// machine record stores a speed as its position in speeds(), and the position
// of a flow-control choice is the stored flow-control number, so the order of
// these lists is part of the stored formats.
namespace LineChoices {

const QStringList &speeds(); // "110" … "256000"
// "Even", "Odd", "None", "Mark", "Space"; a line stores the first letter.
const QStringList &parities();
const QStringList &dataBits(); // "4" … "8"
const QStringList &stopBits(); // "1", "1.5", "2"
// Flow control 0-3, as the port settings dialog and the wizard name it.
const QStringList &handshakes(); // "Kein", "Xon/Xoff", "RTS", "Xon/RTS"
// The same four choices as the serial monitor has always named them.
const QStringList &monitorHandshakes(); // "Kein", "XON/XOFF", "RTS/CTS", "XON/RTS"
// Port numbers 1-16.
const QStringList &ports(); // "Com1" … "Com16"

// The position of a value in its list; -1 when the list does not offer it.
int speedPosition(const QString &speed);
int parityPosition(QChar letter);
int dataBitsPosition(const QString &dataBits);
int stopBitsPosition(const QString &stopBits);
int handshakePosition(int handshake);
int portPosition(int port);

// The value at a position; empty (a null letter, -1 for numbers) when the
// position is out of range.
QString speedAt(int position);
QChar parityAt(int position);
QString dataBitsAt(int position);
QString stopBitsAt(int position);
int handshakeAt(int position);
int portAt(int position);

// "Com" + n, and the number of such an entry (0 when it names none).
QString portName(int port);
int portNumber(const QString &name);

} // namespace LineChoices

} // namespace zep
