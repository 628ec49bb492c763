#include "catalogue/DirectoryScan.h"

#include "catalogue/EventPump.h"
#include "support/QStringPrinter.h"
#include "support/RawFileNames.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace zep::test {
namespace {

struct DirectoryScanTest : ::testing::Test {
    QString root() const { return env.root() + "programme/"; }
    void add(const QString &relative) { env.writeFile("programme/" + relative, "x"); }
    ScanOutcome scan()
    {
        EventPump pump([] {});
        return DirectoryScan::scan(root(), pump);
    }
    static QStringList sorted(QStringList list)
    {
        list.sort();
        return list;
    }
    TestEnvironment env;
    RawTreeRemover rawNames{root()};
};

TEST_F(DirectoryScanTest, NestedFilesBecomeUpperCaseNamesWithBackslashes)
{
    add("p4711.nc");
    add("Drehen/p1.nc");
    add("Drehen/Alt/Ärger ß.nc");
    const ScanOutcome out = scan();
    EXPECT_TRUE(out.complete);
    EXPECT_EQ(out.filesSeen, 3);
    EXPECT_EQ(sorted(out.entries), QStringList({"DREHEN\\ALT\\ÄRGER ß.NC", "DREHEN\\P1.NC", "P4711.NC"}));
    // A directory's own files come before those of its subdirectories.
    EXPECT_EQ(out.entries.first(), "P4711.NC");
    EXPECT_EQ(out.entries.last(), "DREHEN\\ALT\\ÄRGER ß.NC");
}

TEST_F(DirectoryScanTest, HiddenFilesAndDirectoriesAndLinksToDirectoriesAreSkipped)
{
    add("p1.nc");
    add(".versteckt.nc");
    add(".git/objekt");
    add("sub/p2.nc");
    QFile::link(root() + "sub", root() + "schleife");
    QFile::link(root() + "p1.nc", root() + "verweis.nc");
    const ScanOutcome out = scan();
    EXPECT_EQ(sorted(out.entries), QStringList({"P1.NC", "SUB\\P2.NC", "VERWEIS.NC"}));
}

TEST_F(DirectoryScanTest, MoreThanThreeHundredSubdirectoriesStopsThatDirectoryOnly)
{
    add("oben.nc");
    for (int i = 0; i < 301; ++i)
        add(QString("voll/d%1/p.nc").arg(i));
    add("voll/direkt.nc");
    add("zweig/p.nc");
    const ScanOutcome out = scan();
    EXPECT_EQ(out.tooManyFolders, QStringList({root() + "voll/"}));
    EXPECT_EQ(DirectoryScan::tooManyFoldersText(root() + "voll/"),
              root() + "voll/\r\rMehr als 300 Ordner im Verzeichnis! Problem!");
    // The files of the full directory are listed; none of its subdirectories is walked.
    EXPECT_TRUE(out.entries.contains("VOLL\\DIREKT.NC"));
    EXPECT_TRUE(out.entries.contains("ZWEIG\\P.NC"));
    EXPECT_EQ(out.entries.filter(QRegularExpression("^VOLL\\\\D\\d+\\\\P\\.NC$")).size(), 0);

    QDir(root() + "voll/d300").removeRecursively();
    const ScanOutcome fixed = scan();
    EXPECT_TRUE(fixed.tooManyFolders.isEmpty());
    EXPECT_EQ(fixed.entries.filter(QRegularExpression("^VOLL\\\\D\\d+\\\\P\\.NC$")).size(), 300);
}

TEST_F(DirectoryScanTest, NamesDifferingOnlyInCaseAreListedOnceAndReported)
{
    add("P1.NC");
    add("p1.nc");
    add("Drehen/a.nc");
    add("DREHEN/A.NC");
    add("eindeutig.nc");
    const ScanOutcome out = scan();
    QStringList entries = out.entries;
    entries.sort();
    EXPECT_EQ(entries, QStringList({"DREHEN\\A.NC", "EINDEUTIG.NC", "P1.NC"}));
    EXPECT_EQ(out.clashes, QStringList({"DREHEN\\A.NC", "P1.NC"}));
    EXPECT_EQ(out.filesSeen, 5);
}

TEST_F(DirectoryScanTest, NamesTheCodePageCannotHoldAreReportedNotMangled)
{
    add("gut.nc");
    add("Łódź.nc");
    add("back\\slash.nc");
    add("zwei\nzeilen.nc");
    const QByteArray latin1Name = QFile::encodeName(root()) + "alt\xe4.nc"; // not valid UTF-8
    FILE *f = fopen(latin1Name.constData(), "w");
    ASSERT_NE(f, nullptr);
    fclose(f);
    const ScanOutcome out = scan();
    EXPECT_EQ(out.entries, QStringList({"GUT.NC"}));
    EXPECT_EQ(out.unencodable.size(), 3);
    // The Windows-1252 name is offered under its reading instead.
    ASSERT_EQ(out.legacyNames.size(), 1);
    EXPECT_EQ(out.legacyNames[0].reading, "altä.nc");
    EXPECT_EQ(out.filesSeen, 5);
}

TEST_F(DirectoryScanTest, NamesWrittenInWindows1252AreOfferedUnderTheirReading)
{
    // As old DOS and Windows archives bring them: no UTF-8.
    ASSERT_FALSE(writeRawFile(root(), "P\xe4.NC", "x").isEmpty());
    ASSERT_FALSE(writeRawFile(root(), "Drehen/\x80uro \x93X\x94.nc", "x").isEmpty());
    ASSERT_FALSE(writeRawFile(root(), "Alt\xe4/D1.NC", "x").isEmpty());
    // Bytes Windows-1252 leaves undefined, or a quote: no name either way.
    ASSERT_FALSE(writeRawFile(root(), "A\x81.NC", "x").isEmpty());
    ASSERT_FALSE(writeRawFile(root(), "B\"\xe4.NC", "x").isEmpty());
    add("Drehen/Ärger.nc");
    const ScanOutcome out = scan();
    EXPECT_EQ(sorted(out.entries), QStringList({"DREHEN\\ÄRGER.NC"}));
    EXPECT_EQ(out.unencodable.size(), 2);
    QStringList offered;
    for (const LegacyName &legacy : out.legacyNames)
        offered << legacy.shownNow() + " -> " + legacy.shownNew() + (legacy.isDirectory ? " (Ordner)" : "");
    EXPECT_EQ(sorted(offered), QStringList({"Alt\uFFFD -> Altä (Ordner)",
                                            "Drehen/\uFFFDuro \uFFFDX\uFFFD.nc -> Drehen/€uro “X”.nc",
                                            "P\uFFFD.NC -> Pä.NC"}));
    // A folder under such a name is not walked until it has its new name.
    EXPECT_EQ(out.filesSeen, 5);
}

TEST(LegacyFileNames, OnlyNamesThatAreNoUtf8ButWindows1252TextHaveAReading)
{
    const struct {
        QByteArray name;
        std::optional<QString> reading;
    } cases[] = {
        {"P\xe4.NC", QString("Pä.NC")},
        {"\x80 \x8a\x9a \xdf", QString("€ Šš ß")},
        {"P\xc3\xa4.NC", std::nullopt},  // UTF-8 already
        {"PLAIN.NC", std::nullopt},
        {"A\x81.NC", std::nullopt},       // undefined in Windows-1252
        {"A\x9d\xe4", std::nullopt},
        {"\"\xe4\"", std::nullopt},     // a quote would end the value in FileListe.dat
        {"\x85\\x\xe4", std::nullopt},  // a level break in a stored name
        {".\xe4", std::nullopt},          // would become hidden
    };
    for (const auto &c : cases)
        EXPECT_EQ(LegacyFileNames::reading(c.name), c.reading) << c.name.toHex().toStdString();
}

TEST_F(DirectoryScanTest, MissingRootIsIncompleteAndEmptyRootIsNot)
{
    ScanOutcome missing = scan();
    EXPECT_TRUE(missing.rootMissing);
    EXPECT_FALSE(missing.complete);
    QDir().mkpath(root());
    ScanOutcome empty = scan();
    EXPECT_TRUE(empty.complete);
    EXPECT_TRUE(empty.entries.isEmpty());
    EXPECT_EQ(empty.filesSeen, 0);
}

TEST_F(DirectoryScanTest, LongWalksLetEventsRunBetweenFiles)
{
    for (int i = 0; i < 2000; ++i)
        add(QString("d%1/p%2.nc").arg(i % 20).arg(i));
    int runs = 0;
    EventPump pump([&] { ++runs; }, 0);
    const ScanOutcome out = DirectoryScan::scan(root(), pump);
    EXPECT_EQ(out.entries.size(), 2000);
    EXPECT_GE(runs, 2000);
}

} // namespace
} // namespace zep::test
