#include "app/AtomicFileWriter.h"
#include "app/LeftoverTemporaries.h"
#include "support/KilledWriter.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace zep;
using zep::test::TestEnvironment;

namespace {

// Every entry below dir, hidden ones and links included, relative and sorted.
QStringList everything(const QString &dir)
{
    QStringList names;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(dir).relativeFilePath(it.next());
    names.sort();
    return names;
}

} // namespace

TEST(LeftoverTemporaries, AKilledWriteLeavesAFileOfTheWritersOwnPatternAndTheTargetUntouched)
{
    TestEnvironment env;
    const QString target = env.writeFile("daten/P1.NC", "ALT");
    const QString left = test::killWriterMidWrite(target, QByteArray(5000, 'N'));
    ASSERT_FALSE(left.isEmpty());
    EXPECT_TRUE(QFileInfo(left).fileName().startsWith(".P1.NC."));
    EXPECT_TRUE(AtomicFileWriter::isTemporaryName(QFileInfo(left).fileName()));
    EXPECT_LE(QFileInfo(left).size(), 5000); // what had left the buffer, if anything
    EXPECT_EQ(env.readFile(target), "ALT");

    // A name so long that the writer shortens it still carries the pattern.
    const QString longTarget = env.root() + "daten/" + QString(120, QChar(0x00C4)) + ".NC";
    const QString longLeft = test::killWriterMidWrite(longTarget, "N");
    ASSERT_FALSE(longLeft.isEmpty());
    EXPECT_TRUE(AtomicFileWriter::isTemporaryName(QFileInfo(longLeft).fileName()));
}

TEST(LeftoverTemporaries, OnlyTheWritersOwnHiddenFilesGoAndEverythingElseStays)
{
    TestEnvironment env;
    const QString dir = env.root() + "daten/";
    env.writeFile("daten/P1.NC", "ALT");
    env.writeFile("daten/Drehen/Welle.nc", "W");
    const QString top = test::killWriterMidWrite(dir + "P1.NC", "NEU");
    const QString deep = test::killWriterMidWrite(dir + "Drehen/Welle.nc", "NEU");
    const QString fresh = test::killWriterMidWrite(dir + "Drehen/Neu.nc", "NEU"); // a new file never finished
    ASSERT_FALSE(top.isEmpty());
    ASSERT_FALSE(deep.isEmpty());
    ASSERT_FALSE(fresh.isEmpty());

    // Hidden files of the user's and of other programs that look close.
    const QStringList kept{
        "daten/.P1.NC.swp",                            // an editor's swap file
        "daten/.P1.NC.0123456789abc",                  // no marker
        "daten/.P1.NC.0123456789ab.zeptmp",            // twelve digits
        "daten/.P1.NC.0123456789ABC.zeptmp",           // upper case
        "daten/.0123456789abc.zeptmp",                 // no name in front
        "daten/P1.NC.0123456789abc.zeptmp",            // not hidden
        "daten/.P1.NC.0123456789abc.zeptmp.bak",       // something after the marker
        "daten/.git/.P1.NC.0123456789abc.zeptmp",      // inside a hidden directory
        "daten/.bashrc",
        "daten/Drehen/.directory",
    };
    for (const QString &name : kept)
        env.writeFile(name, "fremd");
    // A directory and a link with our very pattern are not files of ours.
    QDir().mkpath(dir + ".Ordner.0123456789abc.zeptmp");
    env.writeFile("anderswo/ziel.txt", "ZIEL");
    ASSERT_TRUE(QFile::link(env.root() + "anderswo/ziel.txt", dir + ".Link.0123456789abc.zeptmp"));
    // A link to a directory outside the tree is not followed.
    const QString outside = test::killWriterMidWrite(env.root() + "anderswo/ziel.txt", "X");
    ASSERT_TRUE(QFile::link(env.root() + "anderswo", dir + "Verweis"));

    const QStringList before = everything(dir);
    QStringList removed = removeLeftoverTemporaries(dir);
    removed.sort();
    QStringList expected{top, deep, fresh};
    expected.sort();
    EXPECT_EQ(removed, expected);
    QStringList after = before;
    for (const QString &path : expected)
        after.removeOne(QDir(dir).relativeFilePath(path));
    EXPECT_EQ(everything(dir), after);
    EXPECT_TRUE(QFileInfo::exists(outside));
    EXPECT_EQ(env.readFile(dir + "P1.NC"), "ALT");
    EXPECT_EQ(env.readFile(env.root() + "anderswo/ziel.txt"), "ZIEL");

    // Nothing left to do the second time.
    EXPECT_TRUE(removeLeftoverTemporaries(dir).isEmpty());
}

TEST(LeftoverTemporaries, ThisDirectoryAloneLeavesSubdirectoriesAndAMissingDirectoryIsNoError)
{
    TestEnvironment env;
    const QString dir = env.programDir();
    env.writeFile("program/FileListe.dat", "L");
    env.writeFile("program/Empfangen/a", "E");
    const QString top = test::killWriterMidWrite(dir + "FileListe.dat", "NEU");
    const QString below = test::killWriterMidWrite(dir + "Empfangen/Empfang.zep", "NEU");
    ASSERT_FALSE(top.isEmpty());
    ASSERT_FALSE(below.isEmpty());
    EXPECT_EQ(removeLeftoverTemporaries(dir, LeftoverSearch::ThisDirectory), QStringList{top});
    EXPECT_TRUE(QFileInfo::exists(below));
    EXPECT_TRUE(removeLeftoverTemporaries(env.root() + "gibtsnicht").isEmpty());
    EXPECT_TRUE(removeLeftoverTemporaries(QString()).isEmpty());
}
