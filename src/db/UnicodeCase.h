#pragma once

struct sqlite3;

namespace zep {

// Text comparison without regard to letter case for all of Unicode, where
// SQLite folds only A-Z: installs, on one connection, the collation NOCASE
// (replacing the built-in ASCII one, which SQLite allows per connection) and
// like() with two and three arguments in the pattern language of LikeMatcher,
// and jet_pattern(), which turns a bound old-dialect pattern into that one.
// Text columns are declared COLLATE NOCASE, so '=' folds umlauts too, and the
// file still opens in any sqlite3 tool, which then folds only ASCII.
class UnicodeCase {
public:
    static bool install(sqlite3 *db);
    static int compare(const void *a, int aBytes, const void *b, int bBytes);
};

} // namespace zep
