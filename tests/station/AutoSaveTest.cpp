#include "StationFixture.h"

#include "app/CatalogueNames.h"
#include "app/CodePage1252.h"
#include "comm/PortSettings.h"
#include "comm/ReceptionJournal.h"
#include "comm/UnattendedSettings.h"
#include "db/Schema.h"
#include "support/PtyPair.h"
#include "support/SmallFileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zep;
using namespace zep::test;

namespace {

// The connection saves what a machine sends without a dialog; the machine
// is a real pseudo-terminal.
struct AutoSaveTest : ::testing::Test, StationFixture {
    void SetUp() override
    {
        storeDirectories();
        ASSERT_TRUE(createFreshDatabase(dbPath()));
        ASSERT_TRUE(QDir().mkpath(data()));
        ASSERT_TRUE(machine.ok());
        connectAutoSavingMachine(machine.slavePath(), unattended);
        QObject::connect(station.get(), &Station::programReceived,
                         [this](const ReceivedProgram &p) { dialogs << p; });
        QObject::connect(station.get(), &Station::statusChanged, [this](const QString &t) { status << t; });
    }
    QString data() const { return env.root() + "data/"; }
    QString logbookText() const { return CodePage1252::decode(env.readFile(env.programDir() + "Logbuch.txt")); }
    int logLines(const QString &part) const { return int(logbookText().count(part)); }

    // Sends one program and lets the station run until it has been dealt
    // with: a log line containing `told` appears, or a dialog is wanted.
    bool send(const QByteArray &program, const QString &told)
    {
        const int before = logLines(told);
        const qsizetype dialogsBefore = dialogs.size();
        machine.send(program + char(26));
        QElapsedTimer t;
        t.start();
        while (logLines(told) == before && dialogs.size() == dialogsBefore && t.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        return logLines(told) > before;
    }
    QStringList filesIn(const QString &dir) const
    {
        return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    NoStationDialogs noDialogs;
    PtyPair machine;
    UnattendedSettings unattended;
    QList<ReceivedProgram> dialogs;
    QStringList status;
};

} // namespace

TEST_F(AutoSaveTest, AProgramIsSavedUnderItsOwnNameAndATakenNameIsNeverOverwritten)
{
    ASSERT_EQ(loadStation(noDialogs, env.root() + "drive/"), Station::LoadOutcome::Ready);
    const QByteArray first("%\r\nO1234 (WELLE)\r\nN10 G0 X\xe4\r\nM30\r\n%");
    ASSERT_TRUE(send(first, "Maschine 3: O1234.NC automatisch gespeichert"));
    EXPECT_EQ(env.readFile(data() + "O1234.NC"), first);
    EXPECT_TRUE(status.contains("Maschine 3: O1234.NC automatisch gespeichert"));
    // The directory check catalogues it with the sending machine.
    EXPECT_EQ(state->pendingMachines.value("O1234.NC"), 7);
    EXPECT_TRUE(StationInternals::journal(*station).entries().isEmpty());

    // The same bytes again: not stored twice, told in the logbook only.
    status.clear();
    ASSERT_TRUE(send(first, "O1234.NC ist mit gleichem Inhalt schon vorhanden"));
    EXPECT_EQ(filesIn(data()), QStringList({"O1234.NC"}));
    EXPECT_TRUE(status.isEmpty());

    // A different program under the same name goes beside it, and so on.
    const QByteArray second("%\r\nO1234\r\nN10 G0 X1\r\nM30\r\n%");
    const QByteArray third("%\r\nO1234\r\nN10 G0 X2\r\nM30\r\n%");
    ASSERT_TRUE(send(second, "Maschine 3: O1234_2.NC automatisch gespeichert"));
    ASSERT_TRUE(send(third, "Maschine 3: O1234_3.NC automatisch gespeichert"));
    ASSERT_TRUE(send(second, "O1234_2.NC ist mit gleichem Inhalt schon vorhanden"));
    EXPECT_EQ(filesIn(data()), QStringList({"O1234.NC", "O1234_2.NC", "O1234_3.NC"}));
    EXPECT_EQ(env.readFile(data() + "O1234.NC"), first);
    EXPECT_EQ(env.readFile(data() + "O1234_2.NC"), second);
    EXPECT_EQ(env.readFile(data() + "O1234_3.NC"), third);
    // A file of the name under another letter case counts as taken.
    env.writeFile("data/welle.nc", "alt");
    ASSERT_TRUE(send("(WELLE)\r\nM30\r\n", "Maschine 3: WELLE_2.NC automatisch gespeichert"));
    EXPECT_EQ(env.readFile(data() + "welle.nc"), "alt");
    EXPECT_TRUE(dialogs.isEmpty());
}

TEST_F(AutoSaveTest, EachNamingRuleOverTheLineIntoTheConnectionsFolder)
{
    unattended.autoOrdner = "Maschine3";
    unattended.autoEndung = "txt";
    unattended.save(settings, 2);
    env.writeFile("data/MASCHINE3/ALT.NC", "alt"); // the folder under another case
    ASSERT_EQ(loadStation(noDialogs, env.root() + "drive/"), Station::LoadOutcome::Ready);
    struct Case {
        QByteArray program;
        QString name;
    };
    const Case cases[] = {
        {"%\r\nO42\r\nM30\r\n", "O42.TXT"},
        {"%\r\n(welle_4711)\r\nM30\r\n", "WELLE_4711.TXT"},
        {"0 BEGIN PGM Flansch MM\r\n1 END PGM FLANSCH MM\r\n", "FLANSCH.H"},
        {"%_N_DECKEL_MPF\r\nM30\r\n", "DECKEL.MPF"},
        // Upper case of the micro sign is a Greek letter Windows-1252 has not.
        {"(\xb5M)\r\nM30\r\n", "Maschine3_2026-12-07_09-30-00.TXT"},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(send(c.program, "Maschine 3: MASCHINE3/" + c.name + " automatisch gespeichert")) << c.name << logbookText();
        EXPECT_EQ(env.readFile(data() + "MASCHINE3/" + c.name), c.program) << c.name;
        EXPECT_EQ(state->pendingMachines.value("MASCHINE3\\" + CatalogueNames::upperKeepLength(c.name)), 7) << c.name;
    }
    EXPECT_FALSE(QFileInfo::exists(data() + "Maschine3"));
    EXPECT_TRUE(dialogs.isEmpty());
}

TEST_F(AutoSaveTest, AFolderOutsideTheDirectoryOrAFailedWriteLeavesTheProgramToTheDialog)
{
    unattended.autoOrdner = "../raus";
    unattended.save(settings, 2);
    ASSERT_EQ(loadStation(noDialogs, env.root() + "drive/"), Station::LoadOutcome::Ready);
    const QByteArray program("%\r\nO1\r\nM30\r\n");
    EXPECT_FALSE(send(program, "automatisch gespeichert")) << logbookText();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].text, program);
    EXPECT_FALSE(QFileInfo::exists(env.root() + "raus"));
    EXPECT_TRUE(filesIn(data()).isEmpty());
    EXPECT_TRUE(logbookText().contains("Maschine 3: automatisches Speichern nicht möglich: Der Ordner '../raus' ist "
                                       "kein gültiger Ordner im überwachten Verzeichnis."));
    // Still in the journal: nothing is lost before the dialog decides.
    EXPECT_EQ(StationInternals::journal(*station).entries().size(), 1);

    // A folder nobody may write in (a read-only disk where mounting is
    // allowed): the retry question is answered Cancel, and the dialog gets
    // the program.
    unattended.autoOrdner = "Gesperrt";
    unattended.save(settings, 2);
    ASSERT_TRUE(QDir().mkpath(data() + "Gesperrt"));
    SmallFileSystem disk(data() + "Gesperrt", "64k");
    const bool locked = disk.mounted() ? disk.makeReadOnly()
                                       : ::geteuid() != 0
                                             && QFile::setPermissions(data() + "Gesperrt", QFileDevice::ReadOwner
                                                                                               | QFileDevice::ExeOwner);
    if (!locked)
        GTEST_SKIP() << "no read-only folder to be had here";
    dialogs.clear();
    EXPECT_FALSE(send(program, "automatisch gespeichert"));
    QFile::setPermissions(data() + "Gesperrt", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].text, program);
    EXPECT_TRUE(filesIn(data() + "Gesperrt").isEmpty());
    EXPECT_EQ(StationInternals::journal(*station).entries().size(), 2);
}

TEST_F(AutoSaveTest, ARequestOnTheStationIsAnsweredWithTheCataloguesDesignationsAndNeverSaved)
{
    unattended.anforderungen = true;
    unattended.save(settings, 2);
    ASSERT_EQ(loadStation(noDialogs, env.root() + "drive/"), Station::LoadOutcome::Ready);
    env.writeFile("data/P2.NC", "%\r\nO2\r\nM30\r\n%");
    ASSERT_TRUE(StationInternals::state(*station).database.execute(
        "INSERT INTO DateiListe (Dateiname, Bezeichnung) VALUES (?, ?)", {QString("P2.NC"), QString("Welle")}));
    ASSERT_TRUE(send("(LISTE P2)\r\n", "Anforderung Liste 'P2', die Liste wird gesendet"));
    machine.send(QByteArray(1, char(17)));
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (!got.contains(char(26)) && t.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        got += machine.readAvailable(5);
    }
    EXPECT_EQ(got, "%\r\n(P2.NC - Welle)\r\nM30\r\n%\r\n\x1a");
    EXPECT_TRUE(dialogs.isEmpty());
    EXPECT_EQ(filesIn(data()), QStringList({"P2.NC"}));
    EXPECT_TRUE(StationInternals::journal(*station).entries().isEmpty());
}
