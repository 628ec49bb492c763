#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace zep {

// Line parameters "9600,N,8,1": baud, parity letter, data bits, stop bits.
struct LineSettings {
    QString baud;
    QChar parity = QLatin1Char('N');
    QString dataBits;
    QString stopBits;

    // Read from the end, so the baud part may have any length (as the
    // dialog shows a stored text). Never fails; short texts give empty parts.
    static LineSettings split(const QString &text);
    // A strict reading for opening a port; no value when the text is not
    // "digits,E|O|N|M|S,4-8,1|1.5|2".
    static std::optional<LineSettings> parse(const QString &text);
    QString join() const;

    // A machine record's line: the speed at position `speedPosition` of
    // speedChoices() and the record's COMString "data bits,parity,stop bits",
    // read from its end as the port settings dialog reads a settings text.
    // A part the lists do not offer (or a speed position out of range) keeps
    // the one of `current`, the line shown so far.
    static LineSettings fromMachine(int speedPosition, const QString &comString, const LineSettings &current);

    // What a line can be set to, in the order the dialogs offer them; a
    // machine record stores a speed as its position in speedChoices().
    static const QStringList &speedChoices();
    static const QStringList &parityChoices(); // "Even", "Odd", "None", "Mark", "Space"
    static const QStringList &dataBitChoices();
    static const QStringList &stopBitChoices();
};

} // namespace zep
