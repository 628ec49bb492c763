#pragma once

#include <QList>
#include <QString>

namespace zep {

// A statement translated for PostgreSQL, with what its bound values need.
struct PostgresStatement {
    QString sql;
    // Positions (from 0) of the bound values that are old-dialect LIKE
    // patterns: they are bound as JetDialect::regexPattern() of the value.
    QList<int> patternParams;
};

// Turns the statements the program writes in the old engine's dialect into
// SQLite, word for word, so callers keep writing them as they always did.
//
// LIKE patterns become patterns for the like() this layer installs on every
// connection (see UnicodeCase): '%' and '_' as usual, '\' as the escape
// character (an ESCAPE '\' clause is added where needed), an unescaped '#'
// is one digit 0-9, and [...] is a character class ([a-c], [!0-9]).
// "LIKE ?" takes a bound pattern in the old dialect as well ('*', '?'), so
// user text can be a parameter; "LIKE ? ESCAPE ..." takes a converted one.
// A plain sqlite3 tool reads '#' and '[' literally; only this program's own
// connections give them the old meaning.
// A quoted text or [name] left open is passed on as it stands, so the engine
// refuses the statement instead of running a guess at what was meant.
class JetDialect {
public:
    static QString toSqlite(const QString &jetSql);

    // The same statement for PostgreSQL: ? and ?N become $N, [names] become
    // quoted lower-case names (the server keeps quoted names as written and
    // folds the others), old types become the ones that compare alike (see
    // postgresType in the source). LIKE on a column compares the folded text
    // of both sides (foldedText); a plain pattern stays LIKE, a pattern with
    // '#' or a [..] class and a bound pattern become a regular expression.
    static PostgresStatement toPostgres(const QString &jetSql);

    // A Jet LIKE pattern as the anchored regular expression that matches the
    // same texts: '*' any run, '?' one character, '#' one digit, [a-c] and
    // [!a-c] classes, [*] one literal character. A leading or trailing '*'
    // leaves that end unanchored instead.
    static QString regexPattern(const QString &jetPattern);

    // A column's text folded the way LIKE compares it on PostgreSQL; the
    // trigram indexes are built on this expression.
    static QString foldedText(const QString &column);

    // A Jet LIKE pattern ('*', '?', '#', [..]) as a pattern for our like();
    // `needsEscape` tells whether the result relies on ESCAPE '\'.
    static QString likePattern(const QString &jetPattern, bool *needsEscape = nullptr);

    // A text literal for a Jet statement: apostrophes doubled, quotes around.
    // Callers that must put user text into a statement use this (or, better,
    // a ? parameter) so an apostrophe cannot end the literal early.
    static QString quote(const QString &text);
};

} // namespace zep
