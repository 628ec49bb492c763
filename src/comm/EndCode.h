#pragma once

#include <QByteArray>
#include <QString>

namespace zep {

// A connection's end code in the special-character notation: "<ST>"
// (5 s of silence), "<SA>" + code (one end character) or
// "<SZ>" + start + "||" + end (start and end strings).
class EndCode {
public:
    enum class Kind { Timeout, Character, Strings, Other };

    static EndCode parse(const QString &text);

    Kind kind() const { return m_kind; }
    const QString &text() const { return m_text; }
    // The end character of "<SA>"; -1 when the number is not a code 0-255.
    int character() const { return m_character; }
    // What a reception looks for at the end of the received text. Empty
    // means the end string can not be recognised.
    const QByteArray &detectString() const { return m_detect; }
    // What the conversion cuts off the front and the end.
    const QByteArray &startString() const { return m_start; }
    const QByteArray &endString() const { return m_end; }
    // Only this exact code lets a NUL end the text (after the leader); any
    // other spelling of code 0 has its NULs filtered like every other code.
    bool isNulLeaderCode() const { return m_text == QLatin1String("<SA>0"); }

private:
    Kind m_kind = Kind::Other;
    QString m_text;
    int m_character = -1;
    QByteArray m_detect;
    QByteArray m_start;
    QByteArray m_end;
};

} // namespace zep
