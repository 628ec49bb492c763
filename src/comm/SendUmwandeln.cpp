#include "comm/SendUmwandeln.h"

#include "app/CodePage1252.h"
#include "comm/ConversionCode.h"
#include "comm/EndCode.h"
#include "comm/PortSettings.h"
#include "comm/TraceSink.h"

namespace zep {

SendSettings SendSettings::read(const SettingsStore &store, int connection)
{
    return from(PortSettings::load(store, connection));
}

SendSettings SendSettings::from(const PortSettings &port)
{
    SendSettings s;
    s.endCode = port.endCode;
    s.conversions = port.conversions;
    return s;
}

QByteArray SendUmwandeln(QByteArray &text, const SendSettings &s, const TraceSink &trace)
{
    const EndCode code = EndCode::parse(s.endCode);

    QByteArray out = text;
    if (s.conversions.nulFilter() && out.contains('\0')) {
        out.replace(QByteArray(1, '\0'), QByteArray());
        trace.line(QStringLiteral("SendUmwandeln: vorhandene ASC(0) entfernt"));
    }
    ConversionCode::applyLineEnds(out, s.conversions.scrZu, s.conversions.slfZu, QStringLiteral("SendUmwandeln"),
                                  trace);
    // A code that cannot be a byte on the line counts as an end code of no
    // known form: nothing is added, as the reception expects none.
    if (code.kind() == EndCode::Kind::Character && code.character() >= 0) {
        const char end = char(code.character());
        if (out.isEmpty() || out.back() != end) {
            out.append(end);
            trace.line(QStringLiteral("SendUmwandeln: ASC(") + QString::number(code.character())
                       + QStringLiteral(") hintenangehängt"));
        }
    } else if (code.kind() == EndCode::Kind::Strings) {
        const QByteArray &start = code.startString();
        const QByteArray &end = code.endString();
        if (!end.isEmpty() && !out.endsWith(end)) {
            out.append(end);
            trace.line(QStringLiteral("SendUmwandeln: ") + CodePage1252::decode(end) + QStringLiteral(" hintenangehängt"));
        }
        if (!start.isEmpty() && !out.startsWith(start)) {
            out.prepend(start);
            trace.line(QStringLiteral("SendUmwandeln: ") + CodePage1252::decode(start)
                       + QStringLiteral(" davorgehängt"));
        }
    }
    text = out;
    return out;
}

} // namespace zep
