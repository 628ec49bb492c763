#include "StationFixture.h"

#include "comm/CommStation.h"
#include "comm/PortSettings.h"
#include "comm/ReceptionJournal.h"
#include "comm/SendJob.h"
#include "comm/SerialPort.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "support/PtyPair.h"
#include "station/StationInternals.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <ctime>

using namespace zep;
using namespace zep::test;

namespace {

struct StationTest : ::testing::Test, StationFixture {
    void SetUp() override
    {
        storeDirectories();
        ASSERT_TRUE(createFreshDatabase(dbPath()));
        QObject::connect(station.get(), &Station::programReceived,
                         [this](const ReceivedProgram &p) { received << p; });
    }
    Station::LoadOutcome load() { return loadStation(dialogs, env.root() + "drive/"); }
    void activate(int i, const QString &device, long machine)
    {
        PortSettings p;
        p.aktiviert = true;
        p.comAnschluss = i + 1;
        p.maschinenIndex = machine;
        p.endCode = "<SA>26";
        p.save(settings, i);
        settings.write("Schnittstellen", "COM" + QString::number(i + 1), device);
    }
    // Lets the station's timers and the port run until `done` or 10 s.
    template <typename Done> bool runUntil(Done done)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        return done();
    }

    NoStationDialogs dialogs;
    QList<ReceivedProgram> received;
};

} // namespace

TEST_F(StationTest, AReceivedProgramIsOnDiskWithItsMachineBeforeAnyWindowSeesIt)
{
    PtyPair machine;
    ASSERT_TRUE(machine.ok());
    activate(1, machine.slavePath(), 7);
    QList<ReceptionJournal::Entry> onDiskWhenTold;
    QObject::connect(station.get(), &Station::programReceived,
                     [&](const ReceivedProgram &) { onDiskWhenTold = StationInternals::journal(*station).entries(); });
    ASSERT_EQ(load(), Station::LoadOutcome::Ready);

    QByteArray program("%\r\nN10 G0 X\xe4\xf6\xfc\r\nM30\r\n");
    machine.send(program + char(26));
    ASSERT_TRUE(runUntil([&] { return !received.isEmpty(); }));
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0].maschinenNummer, 2);
    EXPECT_EQ(received[0].machine, 7);
    EXPECT_EQ(received[0].text, program);
    ASSERT_EQ(onDiskWhenTold.size(), 1);
    EXPECT_EQ(onDiskWhenTold[0].id, received[0].journalId);
    EXPECT_EQ(onDiskWhenTold[0].text, program);
    EXPECT_EQ(onDiskWhenTold[0].machine, 7);

    // Rebinding the connection afterwards does not move the program.
    activate(1, machine.slavePath(), 9);
    ReceivedProgramIntake intake = station->intakeFor(received[0]);
    bool saved = false;
    intake.saveAsNew("P4711.NC", [&](const ReceivedProgramIntake::SaveResult &r) { saved = r.saved(); });
    ASSERT_TRUE(saved);
    EXPECT_EQ(state->pendingMachines.value("P4711.NC"), 7);
    EXPECT_TRUE(StationInternals::journal(*station).entries().isEmpty());
}

TEST_F(StationTest, WhatWaitsInTheJournalIsOfferedAgainAtStartAndCutShortWritesAreCleared)
{
    ReceptionJournal journal(env.programDir(), clock);
    ASSERT_TRUE(journal.add(3, 12, QByteArray("O1\r\n\0\xff", 6)).ok());
    ASSERT_TRUE(journal.add(1, 0, "O2").ok());
    // Left behind by a write that was cut short: in the monitored tree, in a
    // subfolder, and beside the journal's entries; a user's hidden file stays.
    const QString leftover = env.writeFile("data/DREHEN/.P1.NC.0123456789abc.zeptmp", "half");
    const QString userFile = env.writeFile("data/.P1.NC.swp", "mine");

    ASSERT_EQ(load(), Station::LoadOutcome::Ready);
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(received[0].maschinenNummer, 3);
    EXPECT_EQ(received[0].machine, 12);
    EXPECT_EQ(received[0].text, QByteArray("O1\r\n\0\xff", 6));
    EXPECT_FALSE(received[0].journalId.isEmpty());
    EXPECT_EQ(received[1].text, "O2");
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_TRUE(QFileInfo::exists(userFile));

    // Discarded: gone from the journal, not offered at the next start.
    station->intakeFor(received[0]).discard();
    received.clear();
    station->shutDown();
    ASSERT_EQ(load(), Station::LoadOutcome::Ready);
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0].text, "O2");
}

TEST_F(StationTest, PausesNestAndTheCheckRunsAgainOnlyAfterTheLast)
{
    ASSERT_EQ(load(), Station::LoadOutcome::Ready);
    EXPECT_TRUE(station->monitoring());
    {
        const MonitoringPause outer = station->pauseMonitoring();
        {
            MonitoringPause inner = station->pauseMonitoring();
            MonitoringPause handedOn = std::move(inner);
            EXPECT_FALSE(station->monitoring());
        }
        EXPECT_FALSE(station->monitoring());
    }
    EXPECT_TRUE(station->monitoring());
    MonitoringPause ended = station->pauseMonitoring();
    ended.end();
    ended.end(); // once is enough
    EXPECT_TRUE(station->monitoring());
    {
        const MonitoringPause again = station->pauseMonitoring();
        EXPECT_FALSE(station->monitoring());
    }
    EXPECT_TRUE(station->monitoring());
    station->shutDown();
    EXPECT_FALSE(station->monitoring());
    EXPECT_FALSE(StationInternals::receptionTimer(*station)->isActive());
}

// A paused check stays paused for every tick, not only for its timer: a
// dialog that changes the directories must not have a check run under it.
TEST_F(StationTest, NoDirectoryCheckRunsWhilePaused)
{
    ASSERT_EQ(load(), Station::LoadOutcome::Ready);
    QList<long> created;
    QObject::connect(station.get(), &Station::recordCreated, [&](long index) { created << index; });
    {
        const MonitoringPause outer = station->pauseMonitoring();
        const MonitoringPause inner = station->pauseMonitoring();
        env.writeFile("data/NEU.NC", "O1");
        station->tick();
        EXPECT_TRUE(created.isEmpty());
    }
    station->tick();
    EXPECT_EQ(created.size(), 1);
}

TEST_F(StationTest, ANewFileGetsItsRecordWithThePendingMachineAndIsTold)
{
    ASSERT_EQ(load(), Station::LoadOutcome::Ready);
    QList<long> created;
    int attention = 0;
    QObject::connect(station.get(), &Station::recordCreated, [&](long index) { created << index; });
    QObject::connect(station.get(), &Station::attentionWanted, [&] { ++attention; });
    state->pendingMachines.insert("NEU.NC", 4);
    env.writeFile("data/NEU.NC", "O1");
    station->tick();
    ASSERT_EQ(created.size(), 1);
    EXPECT_EQ(attention, 1);
    auto record = state->database.openRecordset("SELECT MaschinenIndex FROM DateiListe WHERE DateiIndex = ?",
                                                RecordsetType::Dynaset, {qlonglong(created[0])});
    ASSERT_TRUE(record);
    EXPECT_EQ(record->value("MaschinenIndex").toLongLong(), 4);
}

TEST_F(StationTest, ASendsProgressReachesEveryListenerAndEndsHidden)
{
    PtyPair machine;
    ASSERT_TRUE(machine.ok());
    activate(0, machine.slavePath(), 1);
    settings.write(PortSettings::section(0), "Puffer", "256");
    ASSERT_EQ(load(), Station::LoadOutcome::Ready);
    QList<int> progress;
    QObject::connect(station.get(), &Station::transferProgress, [&](int p) { progress << p; });
    const QString path = env.writeFile("data/LANG.NC", QByteArray(4096, 'G'));
    QString refusal;
    ASSERT_TRUE(station->connections().send(SendOrder{path, 0, std::nullopt}, &refusal)) << refusal.toStdString();
    QByteArray got;
    ASSERT_TRUE(runUntil([&] {
        got += machine.readAvailable(5);
        return !progress.isEmpty() && progress.last() == -1;
    }));
    EXPECT_GT(progress.size(), 2);
    EXPECT_EQ(progress.first(), 0);
    got += machine.readAvailable(50);
    EXPECT_EQ(got.size(), 4097); // the program and its end character
}

// A machine whose cable is pulled in the middle of a send: the send ends
// with the lost line, the station goes quiet, and when the device is there
// again (socat's link= keeps the path) the line opens by itself and
// receives the machine's next program.
TEST_F(StationTest, ALineLostMidSendGoesQuietAndComesBackToReceive)
{
    auto machine = std::make_unique<PtyPair>();
    ASSERT_TRUE(machine->ok());
    const QString link = env.root() + "ttyMaschine1";
    ASSERT_TRUE(QFile::link(machine->slavePath(), link));
    activate(0, link, 1);
    ASSERT_EQ(load(), Station::LoadOutcome::Ready);
    ASSERT_TRUE(StationInternals::comm(*station).port(0).portOpen());
    QStringList told;
    QObject::connect(station.get(), &Station::sendingChanged,
                     [&](int i, bool on) { told << QString("sending %1 %2").arg(i).arg(on); });
    QObject::connect(station.get(), &Station::lineLost, [&](int i, const QString &) { told << QString("lost %1").arg(i); });
    QObject::connect(station.get(), &Station::lineRestored, [&](int i) { told << QString("back %1").arg(i); });

    const QString path = env.writeFile("data/LANG.NC", QByteArray(512 * 1024, 'G'));
    SendJob *job = station->connections().send(SendOrder{path, 0, std::nullopt});
    ASSERT_TRUE(job);
    QString error;
    bool ended = false;
    QObject::connect(job, &Job::finished, [&, job] { error = job->error(), ended = true; });
    qsizetype got = 0;
    ASSERT_TRUE(runUntil([&] {
        got += machine->readAvailable(1).size();
        return got >= 8 * 1024;
    }));
    machine->closeMaster();
    QElapsedTimer sinceLoss;
    sinceLoss.start();
    ASSERT_TRUE(runUntil([&] { return ended; }));
    EXPECT_LT(sinceLoss.elapsed(), 2000);
    RecordProperty("ms_until_send_ended", int(sinceLoss.elapsed()));
    EXPECT_TRUE(error.startsWith("Die Verbindung zu Maschine 1 wurde unterbrochen.")) << error.toStdString();
    EXPECT_EQ(StationInternals::comm(*station).lamp(0).colour, LampColour::Red);

    timespec before{}, after{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &before);
    QElapsedTimer wall;
    wall.start();
    runUntil([&] { return wall.elapsed() >= 2000; });
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &after);
    const double cpu = double(after.tv_sec - before.tv_sec) + double(after.tv_nsec - before.tv_nsec) / 1e9;
    EXPECT_LT(cpu, 0.05 * double(wall.elapsed()) / 1000.0) << cpu << " s of processor time";
    RecordProperty("cpu_percent_after_loss", QString::number(100.0 * cpu * 1000.0 / double(wall.elapsed()), 'f', 2).toStdString());

    // The machine is back under the same name.
    machine = std::make_unique<PtyPair>();
    ASSERT_TRUE(machine->ok());
    QFile::remove(link);
    ASSERT_TRUE(QFile::link(machine->slavePath(), link));
    QElapsedTimer back;
    back.start();
    ASSERT_TRUE(runUntil([&] { return StationInternals::comm(*station).port(0).portOpen(); }));
    EXPECT_LT(back.elapsed(), 10000);
    RecordProperty("ms_until_reopened", int(back.elapsed()));
    EXPECT_EQ(StationInternals::comm(*station).lamp(0).colour, LampColour::Green);
    machine->send("%\r\nN10 M30\r\n\x1A");
    ASSERT_TRUE(runUntil([&] { return !received.isEmpty(); }));
    EXPECT_EQ(received.last().text, "%\r\nN10 M30\r\n");
    EXPECT_EQ(received.last().maschinenNummer, 1);
    // Whether the job or the line tells of the loss first is the kernel's affair.
    ASSERT_EQ(told.size(), 4);
    EXPECT_EQ(told.first(), "sending 0 1");
    EXPECT_TRUE(told.contains("lost 0") && told.contains("sending 0 0"));
    EXPECT_EQ(told.last(), "back 0");
}
