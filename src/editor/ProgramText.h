#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

namespace zep {

// A program file as the editor shows it, and back to bytes.
//
// A text control keeps one kind of line break and no NUL, while a program
// must come back exactly as it was read: every byte 1-255 (128-255 as their
// code-page characters), each line with its own line end (CR LF, LF or CR,
// mixed in one file if need be), and NUL bytes. A NUL is shown as "<NULL>";
// in a file that looks binary, where that would shift every following
// byte's place, as the one character "␀" (not in the code page, so no file
// byte can stand for it). Both become a byte 0 again on saving.
class ProgramText {
public:
    enum class LineEnd : quint8 { CrLf, Lf, Cr };

    struct Shown {
        // Lines joined by '\n'.
        QString text;
        // The line end behind each line but the last (one per '\n').
        QList<LineEnd> ends;
        // The text's first line end (CR LF when it has none): new lines get it.
        LineEnd usual = LineEnd::CrLf;
        // Some line ends differ from `usual`.
        bool mixed = false;
        bool binary = false;
    };

    static bool IsBinary(const QByteArray &text);
    static Shown show(const QByteArray &bytes);
    static QByteArray lineEndBytes(LineEnd end);

    // Appends one shown line as bytes. When it holds a character the code
    // page lacks, returns false and sets *badColumn to its place; `out` is
    // then incomplete.
    static bool appendLine(QByteArray &out, QStringView line, qsizetype *badColumn = nullptr);
    // A whole shown text with one kind of line end (tests and plain callers).
    static bool toBytes(const QString &text, LineEnd end, QByteArray &out, qsizetype *badPosition = nullptr);

    static QString nulMarker() { return QStringLiteral("<NULL>"); }
    static constexpr char16_t kBinaryNul = u'\u2400';
};

} // namespace zep
