#pragma once

#include <QList>
#include <QString>

namespace zep {

struct SqlToken {
    enum Kind { Space, Word, Number, String, Quoted, Bracket, Punct };
    Kind kind = Punct;
    QString text; // as written, quotes and brackets included
};

// Splits a statement into the pieces the rewrites work on. It knows just
// enough SQL to keep quoted texts, quoted names and [bracketed] names in one
// piece, so that nothing inside a literal is ever rewritten.
class SqlTokenizer {
public:
    static QList<SqlToken> tokenize(const QString &sql);
    static QString join(const QList<SqlToken> &tokens);

    // The contents of a '...' literal with '' turned back into one apostrophe.
    static QString unquote(const QString &literal);
    // Inverse of unquote(): a '...' literal that SQL reads back as `text`.
    static QString quote(const QString &text);
    // False for a quoted text or [name] that runs to the end of the
    // statement without its closing quote or bracket.
    static bool isClosed(const SqlToken &token);
};

} // namespace zep
