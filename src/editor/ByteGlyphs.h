#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

namespace zep {

// How a received byte is shown beside its hex value: one character per
// byte, so the columns stay in line. Control bytes (NUL, CR, LF, XON, XOFF
// ...) show as their Unicode control pictures, bytes above 127 as their
// code-page characters.
class ByteGlyphs {
public:
    static QChar glyph(uchar byte);
    // Shown in another colour: it is not a printable character of its own.
    static bool isControl(uchar byte) { return byte < 0x20 || byte == 0x7F; }
    // The short name of a control byte ("NUL", "CR", "LF", "XON", "XOFF" …),
    // for drawing it where a font has no control pictures; empty for others.
    static QString controlName(uchar byte);
    // One row of a hex dump: offset (8 hex digits), up to `width` bytes in
    // hex (blank-padded) and their glyphs.
    static QString row(const QByteArray &bytes, qsizetype offset, int width = 16);
};

} // namespace zep
