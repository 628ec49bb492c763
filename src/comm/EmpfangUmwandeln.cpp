#include "comm/EmpfangUmwandeln.h"

#include "app/CodePage1252.h"
#include "comm/ConversionCode.h"
#include "comm/ReceiveSettings.h"
#include "comm/TraceSink.h"

namespace zep {

QByteArray EmpfangUmwandeln(QByteArray &text, const ReceiveSettings &s, bool removeNul, const TraceSink &trace)
{
    ConversionCode::applyLineEnds(text, s.conversions.ecrZu, s.conversions.elfZu, QStringLiteral("EmpfangUmwandeln"),
                                  trace);
    const EndCode &code = s.endCode;
    if (code.kind() == EndCode::Kind::Character && code.character() >= 0) {
        if (!text.isEmpty() && quint8(text.back()) == code.character()) {
            text.chop(1);
            trace.line(QStringLiteral("EmpfangUmwandeln: ASC(") + QString::number(code.character()) +
                       QStringLiteral(") hinten weggeschnitten"));
        }
    } else if (code.kind() == EndCode::Kind::Strings) {
        const QByteArray &end = code.endString();
        const QByteArray &start = code.startString();
        if (text.endsWith(end)) {
            trace.line(QStringLiteral("EmpfangUmwandeln: ") + CodePage1252::decode(end) +
                       QStringLiteral(" hinten weggeschnitten"));
            text.chop(end.size());
        }
        if (text.startsWith(start)) {
            text.remove(0, start.size());
            trace.line(QStringLiteral("EmpfangUmwandeln: ") + CodePage1252::decode(start) +
                       QStringLiteral(" vorne weggeschnitten"));
        }
    }
    if (removeNul && text.contains('\0')) {
        text.replace(QByteArray(1, '\0'), QByteArray());
        trace.line(QStringLiteral("EmpfangUmwandeln: rest-vorhandene ASC(0) entfernt"));
    }
    return text;
}

} // namespace zep
