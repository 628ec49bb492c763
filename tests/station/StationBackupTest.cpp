#include "StationFixture.h"
#include "station/StationInternals.h"

#include "backup/BackupJob.h"
#include "db/Schema.h"
#include "station/StationBackup.h"
#include "support/Noise.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <optional>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

struct StationBackupTest : ::testing::Test, StationFixture {
    void SetUp() override
    {
        storeDirectories();
        ASSERT_TRUE(createFreshDatabase(dbPath()));
        env.writeFile("data/P1.NC", "G1");
        env.writeFile("foto/F.jpg", "jpg");
        ASSERT_EQ(loadStation(dialogs, env.root() + "drive/"), Station::LoadOutcome::Ready);
        // Whatever the start asked about the uncatalogued program is not the backup's concern.
        prompts.clear();
        QObject::connect(&backup, &StationBackup::runningChanged, [this](bool r) { running << r; });
        QObject::connect(&backup, &StationBackup::progress, [this](int s) { steps << s; });
    }

    bool waitForEnd()
    {
        QElapsedTimer t;
        t.start();
        while (backup.running() && t.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(2);
        }
        return !backup.running();
    }

    // Asked of the backup with the question answered at once.
    std::optional<bool> mayEnd()
    {
        std::optional<bool> may;
        backup.mayEnd([&](bool m) { may = m; });
        return may;
    }

    NoStationDialogs dialogs;
    StationBackup backup{*station};
    QList<bool> running;
    QList<int> steps;
};

} // namespace

TEST_F(StationBackupTest, WithoutBackupDirectoryTheUserIsToldAndNothingHappens)
{
    EXPECT_FALSE(backup.start());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "Pfad fehlt!");
    EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Exclamation);
    EXPECT_EQ(prompts.asked()[0].text,
              "Bitte wählen Sie in den Programm-Einstellungen einen Backup-Pfad.\r\rAktuell ist kein Backup möglich, "
              "da ZEP nicht weiss, wohin\rdie gesicherten Daten kopiert werden sollen.");
    EXPECT_TRUE(running.isEmpty());
    EXPECT_TRUE(station->monitoring());
}

TEST_F(StationBackupTest, RunsBesideTheOpenCatalogueAndPausesOnlyTheDirectoryCheck)
{
    settings.write("Settings", "BackupDir", env.root() + "sicherung");
    ASSERT_TRUE(backup.start());
    EXPECT_FALSE(backup.start()); // one at a time
    EXPECT_FALSE(station->monitoring());
    EXPECT_TRUE(StationInternals::database(*station).isOpen());
    ASSERT_TRUE(waitForEnd());

    EXPECT_EQ(running, QList<bool>({true, false}));
    EXPECT_EQ(steps, QList<int>({0, 33, 66, 100}));
    EXPECT_TRUE(station->monitoring());
    EXPECT_TRUE(StationInternals::database(*station).isOpen());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "Backup ausgeführt!");
    EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Information);
    EXPECT_EQ(prompts.asked()[0].text, "Das Backup wurde erfolgreich ausgeführt!\r\rSie finden das Backup an "
                                       "folgendem Ort:\r" + env.root() + "sicherung/");
    const QString programArchive = env.root() + "sicherung" + env.programDir() + "program.zip";
    QProcess unzip;
    unzip.start("unzip", {"-Z1", programArchive});
    ASSERT_TRUE(unzip.waitForFinished());
    EXPECT_TRUE(unzip.readAll().split('\n').contains("CNCPRG.mdb"));
}

TEST_F(StationBackupTest, FailuresAreCollectedIntoOneMessage)
{
    env.writeFile("imweg", "x");
    settings.write("Settings", "BackupDir", env.root() + "imweg/");
    ASSERT_TRUE(backup.start());
    ASSERT_TRUE(waitForEnd());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "Backup-Fehler!");
    EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Exclamation);
    const QString text = prompts.asked()[0].text;
    EXPECT_TRUE(text.startsWith("Folgende Fehler traten beim Backup auf:\r\rFehler beim ZIP '" + env.root()
                                + "imweg" + env.programDir() + "program.zip' anlegen/öffnen: Target directory "
                                                                "does not exist\r"))
        << qPrintable(text);
    EXPECT_EQ(text.count("anlegen/öffnen"), 3);
    EXPECT_TRUE(station->monitoring());
}

TEST_F(StationBackupTest, ALongErrorListStillFitsTheBoxAndIsLoggedWhole)
{
    for (int i = 0; i < 30; ++i)
        env.writeFile(QStringLiteral("data/D%1/P.NC").arg(i, 2, 10, QLatin1Char('0')), "G1");
    env.writeFile("imweg", "x");
    settings.write("Settings", "BackupDir", env.root() + "imweg/");
    ASSERT_TRUE(backup.start());
    ASSERT_TRUE(waitForEnd());
    ASSERT_EQ(prompts.asked().size(), 1);
    const QStringList lines = prompts.asked()[0].text.split('\r');
    // Heading, empty line, 25 errors, the count of the rest.
    ASSERT_EQ(lines.size(), 28);
    EXPECT_EQ(lines.last(), "... und 8 weitere (alle im Logbuch)");
    const QString log = QString::fromLatin1(env.readFile(env.programDir() + "Logbuch.txt"));
    EXPECT_EQ(log.count("Backup-Fehler: Fehler beim ZIP '"), 33);
    EXPECT_TRUE(log.contains("imweg" + env.root() + "data/D29/D29.zip' anlegen/"));
}

TEST_F(StationBackupTest, EndingAsksAndWaitsForTheCurrentArchive)
{
    settings.write("Settings", "BackupDir", env.root() + "sicherung/");
    // Enough that does not compress for the backup to be still running.
    const QByteArray bytes = noise(400000);
    for (int i = 0; i < 40; ++i)
        env.writeFile(QStringLiteral("data/D%1/P.NC").arg(i), bytes);
    ASSERT_TRUE(backup.start());
    prompts.queueAnswer(PromptAnswer::No);
    EXPECT_EQ(mayEnd(), false);
    EXPECT_TRUE(prompts.asked().last().text.startsWith("Das Backup läuft noch."));
    EXPECT_EQ(prompts.asked().last().buttons, PromptButtons::YesNo);

    prompts.queueAnswer(PromptAnswer::Yes);
    EXPECT_EQ(mayEnd(), true);
    // Ended at once, told at once: no success message, the logbook has it.
    EXPECT_FALSE(backup.running());
    EXPECT_EQ(running, QList<bool>({true, false}));
    EXPECT_EQ(prompts.asked().size(), 2);
    EXPECT_TRUE(QString::fromUtf8(env.readFile(env.programDir() + "Logbuch.txt"))
                    .contains("Backup beim Beenden von ZEP abgebrochen."));
    // What was written is whole.
    QDir archives(env.root() + "sicherung" + env.root() + "data");
    for (const QString &dir : archives.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QProcess unzip;
        unzip.start("unzip", {"-tq", archives.filePath(dir + "/" + dir + ".zip")});
        ASSERT_TRUE(unzip.waitForFinished());
        EXPECT_EQ(unzip.exitCode(), 0) << qPrintable(dir);
    }
    EXPECT_EQ(mayEnd(), true); // nothing runs: no question
    EXPECT_EQ(prompts.asked().size(), 2);
}
