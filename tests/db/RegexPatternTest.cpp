#include "db/Database.h"
#include "db/JetDialect.h"
#include "db/RowReader.h"
#include "support/PostgresServer.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace zep::test {
namespace {

// A '*' at either end leaves that end open instead of spelling out ".*":
// the server checks '*term*' (what every search of the main list binds) over
// ten times faster.
TEST(RegexPatternTest, AStarAtEitherEndLeavesThatEndOpen)
{
    const struct {
        const char *jet;
        const char *regex;
    } cases[] = {{"*sonderkunde*", "sonderkunde"}, {"*ab", "ab$"},       {"ab*", "^ab"},    {"*", "$"},
                 {"**", ""},                       {"*a?b*", "a.b"},     {"a*b", "^a.*b$"}, {"*[*]", "\\*$"},
                 {"[*]*", "^\\*"},                 {"*a.*", "a\\."},     {"ab", "^ab$"}};
    for (const auto &c : cases)
        EXPECT_EQ(JetDialect::regexPattern(c.jet), c.regex) << c.jet;
}

struct RegexPatternOnServer : PostgresTest {};

TEST_F(RegexPatternOnServer, OpenEndsFindWhatTheAnchoredFormFinds)
{
    Database db;
    ASSERT_TRUE(db.openServer(url)) << qPrintable(db.lastError().description);
    ASSERT_TRUE(db.executeNative("CREATE TABLE t (n INTEGER, s TEXT)"));
    const QStringList texts{"Welle\r\nlang", "lang", "xlangx", "LANG\nx", "", "la\r\nng", "Straße"};
    for (int i = 0; i < texts.size(); ++i)
        ASSERT_TRUE(db.execute("INSERT INTO t (n, s) VALUES (?, ?)", {i, texts[i]}));
    const struct {
        const char *jet;
        QList<int> found;
    } cases[] = {{"*lang*", {0, 1, 2, 3}}, {"*lang", {0, 1}}, {"lang*", {1, 3}}, {"*", {0, 1, 2, 3, 4, 5, 6}},
                 {"*e\r\nl*", {0}},        {"*ß*", {6}},      {"l*g", {1, 5}}};
    for (const auto &c : cases) {
        QList<int> found;
        ASSERT_TRUE(db.readRows("SELECT n FROM t WHERE s LIKE ? ORDER BY n", {QString::fromUtf8(c.jet)},
                                [&](const RowReader &r) { found.append(int(r.integer(0))); }))
            << qPrintable(db.lastError().description);
        EXPECT_EQ(found, c.found) << c.jet;
    }
}

} // namespace
} // namespace zep::test
