#pragma once

#include <QString>

namespace zep {

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

    // A Jet LIKE pattern ('*', '?', '#', [..]) as a pattern for our like();
    // `needsEscape` tells whether the result relies on ESCAPE '\'.
    static QString likePattern(const QString &jetPattern, bool *needsEscape = nullptr);

    // A text literal for a Jet statement: apostrophes doubled, quotes around.
    // Callers that must put user text into a statement use this (or, better,
    // a ? parameter) so an apostrophe cannot end the literal early.
    static QString quote(const QString &text);
};

} // namespace zep
