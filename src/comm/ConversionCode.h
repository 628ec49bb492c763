#pragma once

#include <QByteArray>
#include <QString>

namespace zep {

class TraceSink;

// What a CR or an LF becomes: 0 unchanged, 254 CR LF, 255 deleted, any
// other n the single character n.
class ConversionCode {
public:
    // "normal", "LF", "CR", "CRLF", "löschen", or empty for another code.
    static QString name(int code);
    // Every `from` byte of text replaced as the code says (one pass).
    static QByteArray apply(const QByteArray &text, char from, int code);
    // CR as `crCode` says, then LF (including an LF the first step made) as
    // `lfCode` says, each step traced as "<routine>: Umwandeln von CR zu
    // ASCII<code>" when it does anything.
    static void applyLineEnds(QByteArray &text, int crCode, int lfCode, const QString &routine, const TraceSink &trace);
};

} // namespace zep
