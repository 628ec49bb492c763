#include "comm/EndCode.h"

#include "app/CodePage1252.h"

namespace zep {

namespace {
// Leading digits as a number; nothing readable gives 0.
long leadingNumber(const QString &text)
{
    long value = 0;
    int i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    for (; i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128; ++i) {
        value = value * 10 + (text.at(i).unicode() - '0');
        if (value > 100000)
            return value;
    }
    return value;
}
} // namespace

EndCode EndCode::parse(const QString &text)
{
    EndCode code;
    code.m_text = text;
    const QString head = text.left(4);
    const QString rest = text.mid(4);
    if (head == QLatin1String("<ST>")) {
        code.m_kind = Kind::Timeout;
    } else if (head == QLatin1String("<SA>")) {
        code.m_kind = Kind::Character;
        const long n = leadingNumber(rest);
        code.m_character = (n >= 0 && n <= 255) ? int(n) : -1;
    } else if (head == QLatin1String("<SZ>")) {
        code.m_kind = Kind::Strings;
        const QByteArray bytes = CodePage1252::encode(rest);
        const int sep = bytes.indexOf("||");
        if (sep >= 0) {
            code.m_start = bytes.left(sep);
            code.m_end = bytes.mid(sep + 2);
            code.m_detect = code.m_end;
        } else {
            code.m_start = bytes;
            code.m_detect = bytes.mid(1);
        }
    }
    return code;
}

} // namespace zep
