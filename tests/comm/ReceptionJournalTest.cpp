#include "app/LeftoverTemporaries.h"
#include "app/ManualClock.h"
#include "comm/ReceptionJournal.h"
#include "support/KilledWriter.h"
#include "support/QStringPrinter.h"
#include "support/SmallFileSystem.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "support/AllBytes.h"

using namespace zep;
using zep::test::allBytes;
using zep::test::TestEnvironment;

namespace {

class ReceptionJournalTest : public ::testing::Test {
protected:
    QStringList files() const
    {
        return QDir(journal.directory()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    TestEnvironment env;
    ManualClock clock{QDateTime(QDate(2026, 3, 5), QTime(14, 33, 7, 250))};
    ReceptionJournal journal{env.programDir(), clock};
};

} // namespace

TEST_F(ReceptionJournalTest, EntriesComeBackByteForByteWithTheirConnectionMachineAndTimeOldestFirst)
{
    EXPECT_EQ(journal.directory(), env.programDir() + "Empfangen/");
    EXPECT_TRUE(journal.entries().isEmpty()); // no folder yet

    // Texts that look like the head, or end early, must not confuse the reading.
    const QByteArray tricky = "\n\nZEP-Empfang 1\nVerbindung: 9\n\nLaenge: 3\n\n" + allBytes() + "\n";
    const ReceptionJournal::Added first = journal.add(2, 7, allBytes());
    clock.advanceSecs(1);
    const ReceptionJournal::Added second = journal.add(5, 0, tricky);
    const ReceptionJournal::Added empty = journal.add(1, 123456789, QByteArray());
    ASSERT_TRUE(first.ok()) << first.error;
    ASSERT_TRUE(second.ok()) << second.error;
    ASSERT_TRUE(empty.ok()) << empty.error;
    EXPECT_EQ(first.id, "Empfang_2026-03-05_14-33-07-250.zep");
    EXPECT_EQ(second.id, "Empfang_2026-03-05_14-33-08-250.zep");
    EXPECT_EQ(empty.id, "Empfang_2026-03-05_14-33-08-250_2.zep");
    EXPECT_EQ(files(), QStringList({first.id, second.id, empty.id}));

    QStringList skipped;
    const QList<ReceptionJournal::Entry> entries = journal.entries(&skipped);
    EXPECT_TRUE(skipped.isEmpty());
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].id, first.id);
    EXPECT_EQ(entries[0].connection, 2);
    EXPECT_EQ(entries[0].machine, 7);
    EXPECT_EQ(entries[0].time, QDateTime(QDate(2026, 3, 5), QTime(14, 33, 7, 250)));
    EXPECT_EQ(entries[0].text, allBytes());
    EXPECT_EQ(entries[1].id, second.id);
    EXPECT_EQ(entries[1].connection, 5);
    EXPECT_EQ(entries[1].machine, 0);
    EXPECT_EQ(entries[1].text, tricky);
    EXPECT_EQ(entries[2].id, empty.id);
    EXPECT_EQ(entries[2].machine, 123456789);
    EXPECT_TRUE(entries[2].text.isEmpty());

    // The file is the documented head and then the text, nothing else.
    EXPECT_EQ(env.readFile(journal.directory() + first.id),
              "ZEP-Empfang 1\nVerbindung: 2\nMaschine: 7\nZeit: 2026-03-05T14:33:07.250\nLaenge: 256\n\n"
                  + allBytes());
}

TEST_F(ReceptionJournalTest, ReceptionsOfTheSameMomentGetTheirOwnEntriesInTheirOrder)
{
    QStringList ids;
    for (int i = 0; i < 12; ++i) {
        const ReceptionJournal::Added added = journal.add(3, i, QByteArray::number(i));
        ASSERT_TRUE(added.ok()) << added.error;
        ids << added.id;
    }
    EXPECT_EQ(ids.removeDuplicates(), 0);
    const QList<ReceptionJournal::Entry> entries = journal.entries();
    ASSERT_EQ(entries.size(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(entries[i].id, ids[i]);
        EXPECT_EQ(entries[i].text, QByteArray::number(i));
    }
}

TEST_F(ReceptionJournalTest, RemovedEntriesAreGoneAndNothingOutsideTheJournalCanBeRemoved)
{
    const QString a = journal.add(1, 1, "A").id;
    const QString b = journal.add(2, 2, "B").id;
    EXPECT_FALSE(journal.remove(a));
    EXPECT_FALSE(journal.remove(a)); // already gone is no error
    ASSERT_EQ(journal.entries().size(), 1);
    EXPECT_EQ(journal.entries()[0].id, b);

    env.writeFile("program/CNCPRG.mdb", "DB");
    env.writeFile("program/Empfangen/notiz.txt", "N");
    for (const QString &id : {QString("../CNCPRG.mdb"), QString("notiz.txt"), QString(), QString("Empfangen"),
                              QString("../Empfangen/" + b)})
        EXPECT_TRUE(journal.remove(id).has_value()) << id;
    EXPECT_TRUE(QFileInfo::exists(env.programDir() + "CNCPRG.mdb"));
    EXPECT_TRUE(QFileInfo::exists(journal.directory() + "notiz.txt"));
    EXPECT_TRUE(QFileInfo::exists(journal.directory() + b));
}

TEST_F(ReceptionJournalTest, AWriteKilledHalfwayIsNoEntryAndForeignOrDamagedFilesAreSkipped)
{
    const QByteArray text = allBytes().repeated(40);
    const QString good = journal.add(2, 4, text).id;
    const QByteArray whole = env.readFile(journal.directory() + good);

    // Killed while writing the next entry: its hidden temporary file is there, the entry is not.
    const QString name = "Empfang_2026-03-05_14-33-08-000.zep";
    const QString left = test::killWriterMidWrite(journal.directory() + name,
                                                  ReceptionJournal::format({QString(), 3, 1, clock.now(), text}).left(700));
    ASSERT_FALSE(left.isEmpty());
    EXPECT_TRUE(QFileInfo(left).fileName().startsWith("." + name));

    // Our name but cut short (a disk that failed), another head, someone else's file.
    env.writeFile("program/Empfangen/Empfang_2026-03-05_14-33-09-000.zep", whole.left(whole.size() - 1));
    env.writeFile("program/Empfangen/Empfang_2026-03-05_14-33-10-000.zep", whole + "X");
    env.writeFile("program/Empfangen/Empfang_2026-03-05_14-33-11-000.zep",
                  QByteArray(whole).replace("Verbindung: 2", "Verbindung: 6"));
    env.writeFile("program/Empfangen/Empfang_2026-03-05_14-33-12-000.zep", "kein Journal\n\n");
    env.writeFile("program/Empfangen/Empfang_2026-03-05_14-33-13-000.zep", "");
    env.writeFile("program/Empfangen/liesmich.txt", "fremd");
    QDir().mkpath(journal.directory() + "Empfang_2026-03-05_14-33-14-000.zep"); // a directory

    QStringList skipped;
    const QList<ReceptionJournal::Entry> entries = journal.entries(&skipped);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].id, good);
    EXPECT_EQ(entries[0].text, text);
    EXPECT_EQ(skipped.size(), 5);

    // At the next start the leftover goes, and only it.
    const QStringList before = files();
    EXPECT_EQ(removeLeftoverTemporaries(env.programDir()), QStringList{left});
    QStringList after = before;
    after.removeOne(QFileInfo(left).fileName());
    EXPECT_EQ(files(), after);
    EXPECT_EQ(journal.entries().size(), 1);
}

TEST_F(ReceptionJournalTest, AProgramDirectoryThatCannotBeWrittenIsReportedNotFatal)
{
    const QString mountPoint = env.root() + "voll/";
    test::SmallFileSystem disk(mountPoint, "64k");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    ReceptionJournal full(mountPoint, clock);
    const ReceptionJournal::Added tooBig = full.add(1, 0, QByteArray(512 * 1024, 'N'));
    EXPECT_FALSE(tooBig.ok());
    EXPECT_TRUE(tooBig.id.isEmpty());
    EXPECT_TRUE(full.entries().isEmpty());
    EXPECT_TRUE(QDir(full.directory()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    ASSERT_TRUE(full.add(1, 0, "klein").ok());

    ASSERT_TRUE(disk.makeReadOnly());
    EXPECT_FALSE(full.add(2, 0, "N").ok());
    EXPECT_EQ(full.entries().size(), 1);
}
