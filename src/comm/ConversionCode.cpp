#include "comm/ConversionCode.h"

#include "comm/TraceSink.h"

namespace zep {

QString ConversionCode::name(int code)
{
    switch (code) {
    case 0: return QStringLiteral("normal");
    case 10: return QStringLiteral("LF");
    case 13: return QStringLiteral("CR");
    case 254: return QStringLiteral("CRLF");
    case 255: return QStringLiteral("löschen");
    default: return {};
    }
}

QByteArray ConversionCode::apply(const QByteArray &text, char from, int code)
{
    if (code == 0 || !text.contains(from))
        return text;
    QByteArray out;
    out.reserve(code == 254 ? text.size() + text.count(from) : text.size());
    for (const char c : text) {
        if (c != from) {
            out.append(c);
        } else if (code == 255) {
            continue;
        } else if (code == 254) {
            out.append('\r');
            out.append('\n');
        } else {
            out.append(char(code & 0xFF));
        }
    }
    return out;
}

void ConversionCode::applyLineEnds(QByteArray &text, int crCode, int lfCode, const QString &routine,
                                   const TraceSink &trace)
{
    if (crCode != 0) {
        text = apply(text, '\r', crCode);
        trace.line(routine + QStringLiteral(": Umwandeln von CR zu ASCII") + QString::number(crCode));
    }
    if (lfCode != 0) {
        text = apply(text, '\n', lfCode);
        trace.line(routine + QStringLiteral(": Umwandeln von LF zu ASCII") + QString::number(lfCode));
    }
}

} // namespace zep
