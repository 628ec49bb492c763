#include "comm/ui/ProgramDocument.h"

#include <QTextBlock>
#include <QTextBlockUserData>
#include <QTextDocument>

namespace zep {

namespace {

// The line end behind a block whose file line ended otherwise than the
// text's usual one. Blocks without it get the usual end, so a new line
// typed by the user does too.
class LineEndData : public QTextBlockUserData
{
public:
    explicit LineEndData(ProgramText::LineEnd end) : end(end) {}
    ProgramText::LineEnd end;
};

} // namespace

void ProgramDocument::fill(QTextDocument &document, const ProgramText::Shown &shown)
{
    document.setPlainText(shown.text);
    if (!shown.mixed)
        return;
    int line = 0;
    for (QTextBlock b = document.begin(); b.isValid() && line < shown.ends.size(); b = b.next(), ++line)
        if (shown.ends[line] != shown.usual)
            b.setUserData(new LineEndData(shown.ends[line]));
}

std::optional<QByteArray> ProgramDocument::bytes(const QTextDocument &document, ProgramText::LineEnd usual,
                                                 ProgramText::Foreign foreign, ProgramText::Place *bad)
{
    // The blocks are walked alongside the conversion, which asks for the
    // lines in order.
    QTextBlock block = document.begin();
    const auto endOf = [&block, usual](int) {
        const auto *data = dynamic_cast<const LineEndData *>(block.userData());
        block = block.next();
        return data ? data->end : usual;
    };
    return ProgramText::fromEdited(document.toRawText(), endOf, foreign, bad);
}

} // namespace zep
