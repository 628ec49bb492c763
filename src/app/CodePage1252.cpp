#include "app/CodePage1252.h"

#include <QStringView>
#include <array>

namespace zep {

namespace {

// 0x80 to 0x9F; the rest of the code page is Latin-1. The undefined bytes
// map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

} // namespace

int CodePage1252::byteFor(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    for (int i = 0; i < int(kHighTable.size()); ++i)
        if (kHighTable[i] == c)
            return 0x80 + i;
    return -1;
}

QByteArray CodePage1252::encode(const QString &text, bool *ok)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    bool all = true;
    const QStringView view(text);
    for (qsizetype i = 0; i < view.size(); ++i) {
        char32_t c = view[i].unicode();
        // A character outside the BMP is one character, so one '?'.
        if (QChar::isHighSurrogate(c) && i + 1 < view.size() && view[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(view[i], view[++i]);
        const int b = byteFor(c);
        if (b < 0) {
            all = false;
            bytes.append('?');
        } else {
            bytes.append(char(b));
        }
    }
    if (ok)
        *ok = all;
    return bytes;
}

QString CodePage1252::decode(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char ch : bytes) {
        const auto b = uchar(ch);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(kHighTable[b - 0x80]) : QChar(b);
    }
    return text;
}

bool CodePage1252::canEncode(const QString &text)
{
    bool ok = false;
    encode(text, &ok);
    return ok;
}

} // namespace zep
