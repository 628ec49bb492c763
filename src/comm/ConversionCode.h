#pragma once

#include <QByteArray>
#include <QString>

namespace zep {

// What a CR or an LF becomes: 0 unchanged, 254 CR LF, 255 deleted, any
// other n the single character n.
class ConversionCode {
public:
    // "normal", "LF", "CR", "CRLF", "löschen", or empty for another code.
    static QString name(int code);
    // Every `from` byte of text replaced as the code says (one pass).
    static QByteArray apply(const QByteArray &text, char from, int code);
};

} // namespace zep
