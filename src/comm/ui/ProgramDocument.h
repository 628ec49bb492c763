#pragma once

#include "comm/ProgramText.h"

#include <QByteArray>
#include <optional>

class QTextDocument;

namespace zep {

// A program text in a text document, as the program editor and the
// comparison of a received program hold it. The document keeps one kind of
// line break; each line whose end in the file differs from the text's usual
// one carries its own end, so that only the lines the user adds or breaks
// get the usual end and every other line comes back as it was.
class ProgramDocument {
public:
    // Shows `shown` in `document`, replacing what it held.
    static void fill(QTextDocument &document, const ProgramText::Shown &shown);
    // The document's text as bytes; see ProgramText::fromEdited.
    static std::optional<QByteArray> bytes(const QTextDocument &document, ProgramText::LineEnd usual,
                                           ProgramText::Foreign foreign = ProgramText::Foreign::Refuse,
                                           ProgramText::Place *bad = nullptr);
};

} // namespace zep
