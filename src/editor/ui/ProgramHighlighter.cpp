#include "editor/ui/ProgramHighlighter.h"

#include "editor/ProgramWords.h"

namespace zep {

namespace {

QTextCharFormat formatFor(ProgramWords::Kind kind)
{
    QTextCharFormat f;
    switch (kind) {
    case ProgramWords::Kind::BlockNumber: f.setForeground(QColor(128, 128, 128)); break;
    case ProgramWords::Kind::GCode:
        f.setForeground(QColor(0, 0, 170));
        f.setFontWeight(QFont::Bold);
        break;
    case ProgramWords::Kind::MCode:
        f.setForeground(QColor(160, 0, 0));
        f.setFontWeight(QFont::Bold);
        break;
    case ProgramWords::Kind::Axis: f.setForeground(QColor(0, 110, 0)); break;
    case ProgramWords::Kind::Address: f.setForeground(QColor(130, 70, 0)); break;
    case ProgramWords::Kind::Comment:
        f.setForeground(QColor(110, 110, 110));
        f.setFontItalic(true);
        break;
    }
    return f;
}

} // namespace

ProgramHighlighter::ProgramHighlighter(QTextDocument *document) : QSyntaxHighlighter(document) {}

void ProgramHighlighter::highlightBlock(const QString &text)
{
    for (const ProgramWords::Word &word : ProgramWords::classify(text))
        setFormat(int(word.start), int(word.length), formatFor(word.kind));
}

} // namespace zep
