#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

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

    // What becomes of a character the code page lacks: the program editor
    // refuses to save it (a '?' would silently change the program); the
    // comparison of a received program writes the code page's '?'.
    enum class Foreign { Refuse, Question };
    struct Place {
        int line = 0;
        qsizetype column = 0;
    };
    // The line end behind line `line`; asked for line 0, 1, 2 ... in order,
    // so a caller may walk its text blocks alongside.
    using EndOf = std::function<LineEnd(int line)>;
    // An edited text back to bytes. `edited` is a text document's raw text:
    // lines separated by U+2029 (or U+2028 or '\n'); the raw text because
    // the plain text turns every no-break space (byte 0xA0) into a blank.
    // With Foreign::Refuse, no value for a character the code page lacks,
    // and *bad tells where it stands.
    static std::optional<QByteArray> fromEdited(QStringView edited, const EndOf &endOf,
                                                Foreign foreign = Foreign::Refuse, Place *bad = nullptr);
    static std::optional<QByteArray> fromEdited(QStringView edited, LineEnd end, Foreign foreign = Foreign::Refuse,
                                                Place *bad = nullptr)
    {
        return fromEdited(edited, [end](int) { return end; }, foreign, bad);
    }

    static QString nulMarker() { return QStringLiteral("<NULL>"); }
    static constexpr char16_t kBinaryNul = u'\u2400';
};

} // namespace zep
