#pragma once

#include <QSyntaxHighlighter>

namespace zep {

// Colours the words of a program (block numbers, G and M codes, addresses,
// comments). Only the display changes; the text stays as it is.
class ProgramHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit ProgramHighlighter(QTextDocument *document);

protected:
    void highlightBlock(const QString &text) override;
};

} // namespace zep
