#include "catalogue/DirectoryScan.h"

#include "catalogue/EventPump.h"
#include "support/QStringPrinter.h"
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
    EXPECT_EQ(out.unencodable.size(), 4);
    EXPECT_EQ(out.filesSeen, 5);
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
