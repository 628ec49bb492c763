#include "app/Logbook.h"
#include "app/ManualClock.h"
#include "support/TestEnvironment.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace zep;
using zep::test::TestEnvironment;

namespace {

QDateTime at(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute, second));
}

} // namespace

TEST(Logbook, LineHasShortDateSlashShortTimeAndText)
{
    EXPECT_EQ(Logbook::line(at(5, 14, 33, 59), "Datei P4711.NC gelöscht!"),
              QString::fromUtf8("05.12.2026/14:33 - Datei P4711.NC gelöscht!"));
    EXPECT_EQ(Logbook::line(QDateTime(QDate(2027, 1, 2), QTime(7, 4)), ""), "02.01.2027/07:04 - ");
}

TEST(Logbook, LineBreaksInTheTextDoNotStartANewEntry)
{
    EXPECT_EQ(Logbook::line(at(5, 8, 0), "Datei A\r\nB\nC\rD gelöscht!"),
              QString::fromUtf8("05.12.2026/08:00 - Datei A B C D gelöscht!"));
}

TEST(Logbook, FirstCallCreatesTheFileAndLaterCallsAppend)
{
    TestEnvironment env;
    ManualClock clock(at(5, 14, 33, 10));
    Logbook logbook(env.programDir(), clock);
    const QString path = env.programDir() + "Logbuch.txt";
    EXPECT_EQ(logbook.filePath(), path);
    ASSERT_FALSE(QFileInfo::exists(path));

    EXPECT_FALSE(logbook.LogbuchSchreiben(QString::fromUtf8("Datei P4711.NC gelöscht!")));
    EXPECT_EQ(env.readFile(path), QByteArray("05.12.2026/14:33 - Datei P4711.NC gel\xf6scht!\r\n"));

    clock.advanceSecs(40); // still 14:33
    EXPECT_FALSE(logbook.LogbuchSchreiben(QString::fromUtf8("Datei DREHEN\\MÜLLER'S.NC gelöscht!")));
    EXPECT_EQ(env.readFile(path), QByteArray("05.12.2026/14:33 - Datei P4711.NC gel\xf6scht!\r\n"
                                             "05.12.2026/14:33 - Datei DREHEN\\M\xdcLLER'S.NC gel\xf6scht!\r\n"));
}

TEST(Logbook, KeepsWhatIsAlreadyThereAndWritesUnencodableAsQuestionMark)
{
    TestEnvironment env;
    const QString path = env.writeFile("program/Logbuch.txt", "alte Zeile\r\n");
    ManualClock clock(at(6, 9, 1));
    Logbook logbook(env.root() + "program", clock); // without the trailing "/"
    EXPECT_FALSE(logbook.LogbuchSchreiben(QString::fromUtf8("Datei ЖУК.NC gelöscht!")));
    EXPECT_EQ(env.readFile(path), QByteArray("alte Zeile\r\n06.12.2026/09:01 - Datei ???.NC gel\xf6scht!\r\n"));
}

TEST(Logbook, UnwritablePlacesGiveAnErrorForTheCaller)
{
    TestEnvironment env;
    ManualClock clock;

    // Running as root, permissions do not stop writes; places that cannot
    // hold the file do.
    const QString regularFile = env.writeFile("not-a-dir", "x");
    const auto underFile = Logbook(regularFile, clock).LogbuchSchreiben("x");
    ASSERT_TRUE(underFile);
    EXPECT_NE(underFile->number, 0);
    EXPECT_TRUE(underFile->description.contains("Logbuch.txt"));

    ASSERT_TRUE(QDir().mkpath(env.root() + "dirlog/Logbuch.txt"));
    EXPECT_TRUE(Logbook(env.root() + "dirlog/", clock).LogbuchSchreiben("x"));

    const auto missing = Logbook(env.root() + "missing/", clock).LogbuchSchreiben("x");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->description,
              "Das Logbuch kann nicht geöffnet werden. Der Ordner existiert nicht: '" + env.root() + "missing'");
    EXPECT_FALSE(QFileInfo::exists(env.root() + "missing")) << "no directory is made up on the way";
    EXPECT_TRUE(Logbook("/proc/", clock).LogbuchSchreiben("x"));
}

TEST(Logbook, FullDiskIsAnErrorNotSuccess)
{
    if (!QFileInfo::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    TestEnvironment env;
    ASSERT_TRUE(QFile::link("/dev/full", env.programDir() + "Logbuch.txt"));
    ManualClock clock;
    const auto error = Logbook(env.programDir(), clock).LogbuchSchreiben("Datei P1.NC gelöscht!");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number, 61);
    EXPECT_EQ(error->description, "Das Logbuch kann nicht geschrieben werden. Auf dem Datenträger ist kein Platz "
                                  "mehr frei: '" + env.programDir() + "Logbuch.txt'");
}
