#pragma once

#include <QByteArray>
#include <QString>

namespace zep {

// The 8-bit code page the program's text files are written in (logbook,
// FileListe.dat): one byte per character. Qt has no codec for it.
class CodePage1252 {
public:
    // Characters the code page cannot hold become '?' and *ok is set to false.
    static QByteArray encode(const QString &text, bool *ok = nullptr);
    // Every byte decodes to exactly one character; the five bytes the code
    // page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+0081 etc.,
    // so encode(decode(bytes)) gives back the same bytes.
    static QString decode(const QByteArray &bytes);
    static bool canEncode(const QString &text);

    // The byte for one character, or -1 when the code page has none.
    static int byteFor(char32_t character);
};

} // namespace zep
