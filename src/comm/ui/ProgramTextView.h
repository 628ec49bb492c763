#pragma once

#include <QByteArray>
#include <QString>

namespace zep {

// A program text (bytes in the 8-bit code page) as a text editor shows it,
// and back. The editor knows one kind of line end; the text's own kind is
// put back when the edited text becomes bytes again.
class ProgramTextView {
public:
    // One character per byte; CR LF, CR and LF each become one line break.
    static QString toDisplay(const QByteArray &text);
    // The text's first line end (CR LF, CR or LF); CR LF when it has none.
    static QByteArray lineEndOf(const QByteArray &text);
    // An editor's raw text (paragraph breaks as U+2029) as bytes, each line
    // break as lineEnd; characters the code page lacks become its '?'.
    static QByteArray fromEditor(const QString &rawText, const QByteArray &lineEnd);
};

} // namespace zep
