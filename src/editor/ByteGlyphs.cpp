#include "editor/ByteGlyphs.h"

#include "app/CodePage1252.h"

namespace zep {

QChar ByteGlyphs::glyph(uchar byte)
{
    if (byte < 0x20)
        return QChar(char16_t(0x2400 + byte));
    if (byte == 0x7F)
        return QChar(char16_t(0x2421));
    if (byte < 0x80)
        return QLatin1Char(char(byte));
    if (byte == 0xA0)
        return QChar(char16_t(0x2423)); // a no-break space would look like nothing
    const QChar c = CodePage1252::decode(QByteArray(1, char(byte))).at(0);
    // The five bytes the code page leaves out decode to invisible controls.
    return c.unicode() < 0xA0 ? QChar(char16_t(0xFFFD)) : c;
}

QString ByteGlyphs::controlName(uchar byte)
{
    static const char *const kNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                           "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                           "DLE", "XON", "DC2", "XOFF", "DC4", "NAK", "SYN", "ETB",
                                           "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    if (byte < 0x20)
        return QString::fromLatin1(kNames[byte]);
    return byte == 0x7F ? QStringLiteral("DEL") : QString();
}

QString ByteGlyphs::row(const QByteArray &bytes, qsizetype offset, int width)
{
    static const char kHex[] = "0123456789ABCDEF";
    QString line = QStringLiteral("%1  ").arg(offset, 8, 16, QLatin1Char('0')).toUpper();
    const qsizetype end = qMin(bytes.size(), offset + width);
    QString glyphs;
    for (qsizetype i = offset; i < offset + width; ++i) {
        if (i < end) {
            const auto b = uchar(bytes[i]);
            line += QLatin1Char(kHex[b >> 4]);
            line += QLatin1Char(kHex[b & 15]);
            glyphs += glyph(b);
        } else {
            line += QStringLiteral("  ");
        }
        line += QLatin1Char(' ');
    }
    return line + QLatin1Char(' ') + glyphs;
}

} // namespace zep
