#include "db/DbFixture.h"
#include "db/JetDialect.h"
#include "db/LikeMatcher.h"
#include "db/UnicodeCase.h"

#include <QSqlDatabase>
#include <QSqlQuery>

using namespace zep;
using zep::test::CatalogueFile;

namespace {

using TextMatchingTest = zep::test::CatalogueOnEngine;

std::u32string folded(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::u32string out;
    LikeMatcher::decodeFolded(reinterpret_cast<const unsigned char *>(utf8.constData()), int(utf8.size()), out);
    return out;
}

std::u32string codePoints(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::u32string out;
    LikeMatcher::decode(reinterpret_cast<const unsigned char *>(utf8.constData()), int(utf8.size()), out);
    return out;
}

int compare(const QByteArray &a, const QByteArray &b)
{
    return UnicodeCase::compare(a.constData(), int(a.size()), b.constData(), int(b.size()));
}

} // namespace

TEST_P(TextMatchingTest, EqualsIgnoresLetterCaseInEveryAlphabet)
{
    const QList<std::pair<QString, QString>> pairs = {
        {"MÜLLER", "müller"}, {"ÄÖÜ", "äöü"}, {"ÉCOLE ÇA", "école ça"}, {"ΣΟΦΊΑ", "σοφία"}, {"МОСКВА", "москва"}};
    for (const auto &[stored, typed] : pairs)
        addRecord(stored + ".NC", stored);
    addRecord("MULLER.NC", "MULLER");

    auto rs = db.openRecordset("DateiListe");
    ASSERT_TRUE(rs);
    for (const auto &[stored, typed] : pairs) {
        const QStringList expected{stored + ".NC"};
        EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde=" + JetDialect::quote(typed)), expected) << typed;
        EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde = ?", {typed}), expected) << typed;
        EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Dateiname = ?", {typed.toUpper() + ".nc"}), expected);
        EXPECT_TRUE(rs->findFirst("Kunde='" + typed + "'")) << typed;
        EXPECT_EQ(rs->value("Kunde").toString(), stored);
        rs->moveFirst();
        EXPECT_TRUE(rs->findFirst("Kunde", typed)) << typed;
        EXPECT_EQ(rs->value("Kunde").toString(), stored);
    }
    // Different letters stay different.
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde='muller'"), QStringList{"MULLER.NC"});
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde='MUELLER'"), QStringList());
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde='MÜLLE'"), QStringList());

    // Sorting follows the same rule: upper and lower case side by side.
    db.execute("DELETE * FROM DateiListe");
    // (A stored file name is unique whatever its letter case: the names
    // carry the customer and the order of insertion.)
    int n = 0;
    for (const char *k : {"b", "C", "a", "B", "A"})
        addRecord(QString("%1%2.NC").arg(k).arg(++n), k);
    QStringList sorted = names("SELECT * FROM DateiListe ORDER BY Kunde, DateiIndex");
    EXPECT_EQ(sorted, (QStringList{"a3.NC", "A5.NC", "b1.NC", "B4.NC", "C2.NC"}));
}

TEST_P(TextMatchingTest, LikeIgnoresLetterCaseAndCountsCharactersNotBytes)
{
    for (const char *kunde : {"MÜLLER GMBH", "Gebr. müller", "Müller's Erben", "MULLER", "MÖLLER", "MxLLER"})
        addRecord(QString::fromUtf8(kunde) + ".NC", QString::fromUtf8(kunde));
    addRecord("OHNE.NC"); // NULL Kunde: no pattern matches it, not even '*'

    auto find = [&](const QString &pattern) {
        QStringList found = names("SELECT * FROM DateiListe WHERE Kunde LIKE " + JetDialect::quote(pattern));
        found.sort();
        return found;
    };
    EXPECT_EQ(find("*müller*"), (QStringList{"Gebr. müller.NC", "MÜLLER GMBH.NC", "Müller's Erben.NC"}));
    EXPECT_EQ(find("MÜLLER*"), (QStringList{"MÜLLER GMBH.NC", "Müller's Erben.NC"}));
    EXPECT_EQ(find("m?ller"), (QStringList{"MULLER.NC", "MxLLER.NC", "MÖLLER.NC"}));
    EXPECT_EQ(find("M?LLER*").size(), 5); // one '?' for one umlaut
    EXPECT_EQ(find("*[äöü]LLER*"), (QStringList{"Gebr. müller.NC", "MÖLLER.NC", "MÜLLER GMBH.NC", "Müller's Erben.NC"}));
    EXPECT_EQ(find("*").size(), 6);

    // The search of the main window, word for word, with an umlaut term.
    const QString term = "müller";
    const QString statement = "SELECT * FROM DateiListe WHERE Dateiname LIKE '*" + term + "*' OR Bezeichnung LIKE '*"
                              + term + "*' OR Zeichnungsnummer LIKE '*" + term + "*' OR Auftragsnummer LIKE '*" + term
                              + "*' OR Kunde LIKE '*" + term + "*';";
    EXPECT_EQ(names(statement).size(), 3);
}

TEST_P(TextMatchingTest, ApostrophesInParametersAndQuotedTextNeverBreakAStatement)
{
    const QString kunde = "Müller's";
    const QString hostile = "x'); DELETE FROM DateiListe; --";
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Kunde) VALUES (?, ?)", {"A.NC", kunde}));
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Kunde) VALUES (" + JetDialect::quote("B.NC") + ", "
                           + JetDialect::quote(hostile) + ")"))
        << db.lastError().description;
    addRecord("C.NC", "Muller");
    ASSERT_EQ(rowCount(), 3);

    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde = ?", {"MÜLLER'S"}), QStringList{"A.NC"});
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde=" + JetDialect::quote("müller's")), QStringList{"A.NC"});
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde LIKE " + JetDialect::quote("*ller's*")), QStringList{"A.NC"});
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde=" + JetDialect::quote(hostile)), QStringList{"B.NC"});
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde = ?", {hostile}), QStringList{"B.NC"});

    auto rs = db.openRecordset("DateiListe");
    ASSERT_TRUE(rs);
    EXPECT_TRUE(rs->findFirst("Kunde=" + JetDialect::quote(kunde)));
    EXPECT_EQ(rs->value("Dateiname").toString(), "A.NC");
    EXPECT_TRUE(rs->findFirst("Kunde", hostile));
    EXPECT_EQ(rs->value("Dateiname").toString(), "B.NC");
    EXPECT_TRUE(rs->findFirst("Kunde=" + JetDialect::quote(hostile)));
    EXPECT_EQ(rs->value("Dateiname").toString(), "B.NC");

    ASSERT_TRUE(rs->edit());
    ASSERT_TRUE(rs->setValue("Bemerkungen", "'; DROP TABLE DateiListe; --"));
    ASSERT_TRUE(rs->update());
    EXPECT_EQ(rowCount(), 3);
    EXPECT_EQ(JetDialect::quote(""), "''");
    EXPECT_EQ(JetDialect::quote("''"), "''''''");
}

// What the dialect makes of a '%' or '_' the user typed into a term that is
// given with '*' wildcards: they match themselves, as they always did.
TEST_P(TextMatchingTest, PercentAndUnderscoreInAJetPatternMatchThemselves)
{
    bool escape = false;
    EXPECT_EQ(JetDialect::likePattern("*ab?*", &escape), "%ab_%");
    EXPECT_FALSE(escape);
    EXPECT_EQ(JetDialect::likePattern("*50%*", &escape), "%50\\%%");
    EXPECT_TRUE(escape);
    EXPECT_EQ(JetDialect::likePattern("A_1", &escape), "A\\_1");
    EXPECT_TRUE(escape);
    EXPECT_EQ(JetDialect::likePattern("P\\1", &escape), "P\\\\1");
    EXPECT_TRUE(escape);
    EXPECT_EQ(JetDialect::likePattern("[*][%]#", &escape), "*\\%#");
    EXPECT_TRUE(escape);

    for (const char *name : {"50%RABATT.NC", "500STUECK.NC", "A_1.NC", "AB1.NC", "100%_ECHT.NC"})
        addRecord(name);
    auto find = [&](const QString &term) {
        QStringList found = names("SELECT * FROM DateiListe WHERE Dateiname LIKE '*" + term + "*'");
        found.sort();
        return found;
    };
    EXPECT_EQ(find("50%"), QStringList{"50%RABATT.NC"});
    EXPECT_EQ(find("A_1"), QStringList{"A_1.NC"});
    EXPECT_EQ(find("%_"), QStringList{"100%_ECHT.NC"});
    EXPECT_EQ(find("A?1"), (QStringList{"AB1.NC", "A_1.NC"}));

    // A caller that binds the pattern converts it the same way and adds
    // the escape clause the conversion asks for.
    const QString bound = JetDialect::likePattern("*50%*", &escape);
    ASSERT_TRUE(escape);
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Dateiname LIKE ? ESCAPE '\\'", {bound}),
              QStringList{"50%RABATT.NC"});
}

TEST_P(TextMatchingTest, BoundLikePatternsUseTheOldWildcardsToo)
{
    addRecord("MÜLLER'S WELLE.NC", "x");
    addRecord("50%RABATT.NC", "x");
    addRecord("AB1.NC", "x");
    const QString sql = "SELECT * FROM DateiListe WHERE Dateiname LIKE ?";
    EXPECT_EQ(names(sql, {"*müller's*"}), QStringList{"MÜLLER'S WELLE.NC"});
    EXPECT_EQ(names(sql, {"*50%*"}), QStringList{"50%RABATT.NC"});
    EXPECT_EQ(names(sql, {"A?1*"}), QStringList{"AB1.NC"});
    EXPECT_EQ(names(sql, {"%"}), QStringList{}); // '%' is a plain character here
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Dateiname LIKE ?1 OR Dateiname LIKE ?1", {"*rabatt*"}),
              QStringList{"50%RABATT.NC"});
}

TEST_P(TextMatchingTest, FileStaysReadableWithoutThisProgramsTextRules)
{
    if (onServer())
        GTEST_SKIP() << "about the SQLite file read by other programs";
    addRecord("A.NC", "MÜLLER");
    db.close();
    {
        QSqlDatabase plain = QSqlDatabase::addDatabase("QSQLITE", "plain-reader");
        plain.setDatabaseName(dbPath());
        ASSERT_TRUE(plain.open());
        QSqlQuery q(plain);
        ASSERT_TRUE(q.exec("SELECT Dateiname FROM DateiListe WHERE Kunde = 'MÜLLER' AND Dateiname = 'a.nc'"));
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toString(), "A.NC");
        ASSERT_TRUE(q.exec("PRAGMA integrity_check"));
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toString(), "ok");
    }
    QSqlDatabase::removeDatabase("plain-reader");
}

TEST(TextRules, FoldingAndMatchingOnRawText)
{
    EXPECT_EQ(compare("MÜLLER", "müller"), 0);
    EXPECT_EQ(compare("Straße", "STRAßE"), 0);
    EXPECT_LT(compare("a", "B"), 0);
    EXPECT_GT(compare("b", "A"), 0);
    EXPECT_LT(compare("MÜLLE", "müller"), 0);
    EXPECT_NE(compare("MULLER", "MÜLLER"), 0);
    EXPECT_EQ(compare("", ""), 0);
    // Stray bytes (a text written in the 8-bit code page) compare as the
    // Latin-1 characters of their values, without reading past the end.
    EXPECT_EQ(compare("M\xdcLLER", "m\xfcller"), 0);
    EXPECT_EQ(compare("\xc3", "\xc3"), 0);
    EXPECT_NE(compare("\xe2\x82", "\xe2\x82\xac"), 0);

    EXPECT_EQ(codePoints("M\xc3\xbc\xf0\x9f\x94\xa7"), (std::u32string{U'M', U'ü', U'\U0001F527'}));
    EXPECT_EQ(folded("ÄÖÜ"), folded("äöü"));

    const LikeMatcher anything(codePoints("%"), 0);
    EXPECT_TRUE(anything.matches(folded("")));
    EXPECT_TRUE(anything.matches(folded("beliebig")));
    const LikeMatcher nothing(codePoints(""), 0);
    EXPECT_TRUE(nothing.matches(folded("")));
    EXPECT_FALSE(nothing.matches(folded("x")));
    const LikeMatcher runs(codePoints("%a%b%c"), 0);
    EXPECT_TRUE(runs.matches(folded("xxAyyBzzC")));
    EXPECT_FALSE(runs.matches(folded("xxAyyBzzCd")));
    EXPECT_TRUE(runs.matches(folded(QString(20000, QLatin1Char('a')) + "bc")));
    const LikeMatcher escaped(codePoints("a\\%\\_"), U'\\');
    EXPECT_TRUE(escaped.matches(folded("A%_")));
    EXPECT_FALSE(escaped.matches(folded("Ax_")));
    const LikeMatcher trailingEscape(codePoints("a\\"), U'\\');
    EXPECT_TRUE(trailingEscape.matches(folded("a\\")));
}

namespace zep::test {
namespace {

// The byte search for ASCII search terms relies on this: no character but
// the Kelvin sign and the long s folds to an ASCII character.
TEST(LikeMatcherFolding, OnlyTwoNonAsciiCharactersFoldToAscii)
{
    std::vector<char32_t> found;
    for (char32_t c = 0x80; c <= 0x10FFFF; ++c)
        if (LikeMatcher::fold(c) < 0x80)
            found.push_back(c);
    EXPECT_EQ(found, (std::vector<char32_t>{0x017F, 0x212A}));
}

} // namespace
} // namespace zep::test

TEST_P(TextMatchingTest, InfixSearchesFoldEveryLetterAndLeaveNullsUnmatched)
{
    addRecord("SONDERKUNDE.NC", "x");
    addRecord("P1.NC", QString::fromUtf8("Sonder\u212Aunde")); // Kelvin sign, folds to k
    addRecord("P2.NC", QString::fromUtf8("Sonderkunde"));
    addRecord("P3.NC", QString::fromUtf8("Ma\u017F\u017Fe")); // long s, folds to s
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname) VALUES ('OHNE.NC')"));
    const QString sql = "SELECT * FROM DateiListe WHERE Dateiname LIKE ? OR Kunde LIKE ?";
    EXPECT_EQ(names(sql, {"*sonderkunde*", "*sonderkunde*"}), (QStringList{"SONDERKUNDE.NC", "P1.NC", "P2.NC"}));
    EXPECT_EQ(names(sql, {"*xx*", "*MASSE*"}), QStringList{"P3.NC"});
    EXPECT_EQ(names(sql, {"*ohne*", "*ohne*"}), QStringList{"OHNE.NC"});
    // A NULL column is no match either way round.
    EXPECT_TRUE(names("SELECT * FROM DateiListe WHERE Kunde NOT LIKE ?", {"*zzz*"}).contains("P1.NC"));
    EXPECT_FALSE(names("SELECT * FROM DateiListe WHERE Kunde NOT LIKE ?", {"*zzz*"}).contains("OHNE.NC"));
    EXPECT_FALSE(db.openRecordset("SELECT * FROM DateiListe WHERE Dateiname LIKE ? ESCAPE 'ab'", RecordsetType::Snapshot,
                                  {"x"}));
}

INSTANTIATE_TEST_SUITE_P(Engines, TextMatchingTest,
                         ::testing::Values(zep::test::Engine::Sqlite, zep::test::Engine::Postgres),
                         zep::test::engineName);
