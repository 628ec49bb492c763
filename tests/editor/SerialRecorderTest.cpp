#include "editor/DebuggerSettings.h"
#include "editor/SerialRecorder.h"

#include "comm/CommEvent.h"
#include "comm/CommStation.h"
#include "comm/PortDevices.h"
#include "comm/PortSettings.h"
#include "comm/SerialPort.h"
#include "db/Schema.h"
#include "station/StationFixture.h"
#include "station/StationInternals.h"
#include "support/AllBytes.h"
#include "support/PtyPair.h"
#include "support/RunUntil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <optional>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

struct RecorderTest : ::testing::Test, StationFixture {
    void SetUp() override
    {
        ASSERT_TRUE(line.ok());
        PortDevices::setDevicePath(settings, 3, line.slavePath());
    }
    SerialRecorder::PortLender noLender() { return {}; }
    // Stop with the name box answered at once: the file saved, or empty.
    QString stop(SerialRecorder &recorder, const QString &presetPath)
    {
        std::optional<QString> saved;
        recorder.stop(presetPath, [&](const QString &path) { saved = path; });
        EXPECT_TRUE(saved.has_value()) << "the name is still being asked for";
        return saved.value_or(QString("(offen)"));
    }
    // Machine connection 2 active on port 3, the test's line, and the
    // station running.
    void loadWithConnectionOnTheLine()
    {
        ASSERT_TRUE(createFreshDatabase(dbPath()));
        storeDirectories();
        PortSettings p;
        p.aktiviert = true;
        p.comAnschluss = 3;
        p.maschinenIndex = 1;
        p.save(settings, 1);
        ASSERT_EQ(loadStation(dialogs, env.root() + "drive/"), Station::LoadOutcome::Ready);
    }

    PtyPair line;
    NoStationDialogs dialogs;
};

} // namespace

TEST_F(RecorderTest, RecordsEveryByteRawAndSavesItByteForByte)
{
    SerialRecorder recorder(settings, prompts, noLender());
    ASSERT_TRUE(recorder.start(3, 0, "9600,N,8,1"));
    EXPECT_TRUE(recorder.recording());
    EXPECT_TRUE(prompts.asked().isEmpty());
    // The three keys are kept for the next time.
    EXPECT_EQ(DebuggerSettings::comPort.read(settings), 3);
    EXPECT_EQ(DebuggerSettings::handshake.read(settings), 0);
    EXPECT_EQ(DebuggerSettings::comString.read(settings), "9600,N,8,1");

    const QByteArray sent = QByteArray("%\r\nN10\0\0X1\n", 11) + allBytes() + "\x11\x13\x1a\xff";
    line.send(sent.left(100));
    line.send(sent.mid(100));
    ASSERT_TRUE(runUntil([&] { return recorder.recorded().size() >= sent.size(); }));
    EXPECT_EQ(recorder.recorded(), sent);

    const QString target = env.root() + "CNC.txt";
    env.writeFile("CNC.txt", "eine alte Aufnahme, die ersetzt wird");
    prompts.queueInput(target);
    EXPECT_EQ(stop(recorder, env.root() + "Dokumente/CNC.txt"), target);
    EXPECT_FALSE(QFileInfo::exists(env.root() + "Dokumente"));
    EXPECT_FALSE(recorder.recording());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].text, "Aufnahme speichern unter:");
    EXPECT_EQ(prompts.asked()[0].title, "Speichern...");
    EXPECT_EQ(env.readFile(target), sent);
}

TEST_F(RecorderTest, StopWithNothingReceivedSaysSoAndAsksForNoName)
{
    SerialRecorder recorder(settings, prompts, noLender());
    ASSERT_TRUE(recorder.start(3, 2, "2400,N,8,1"));
    EXPECT_EQ(stop(recorder, env.root() + "CNC.txt"), QString());
    EXPECT_EQ(prompts.messageTexts(), QStringList{"Nichts empfangen..."});
    EXPECT_EQ(prompts.asked()[0].title, "ZEP");
    EXPECT_EQ(prompts.asked().size(), 1);
}

TEST_F(RecorderTest, AnInvalidParameterTextIsToldAndThePortStillOpens)
{
    SerialRecorder recorder(settings, prompts, noLender());
    EXPECT_TRUE(recorder.start(3, 2, "X,N,8,1"));
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked()[0].text.startsWith("COM konnte nicht geöffnet werden: "));
    EXPECT_EQ(prompts.asked()[0].title, "ZEP");
    EXPECT_TRUE(recorder.recording());
    EXPECT_EQ(DebuggerSettings::comString.read(settings), "X,N,8,1");
}

TEST_F(RecorderTest, AMissingDeviceLeavesEverythingClosedAndTheKeysUnchanged)
{
    PortDevices::setDevicePath(settings, 5, env.root() + "kein-geraet");
    SerialRecorder recorder(settings, prompts, noLender());
    EXPECT_FALSE(recorder.start(5, 1, "9600,N,8,1"));
    EXPECT_FALSE(recorder.recording());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked()[0].text.startsWith("COM konnte nicht geöffnet werden: "));
    EXPECT_EQ(DebuggerSettings::comPort.read(settings), 1);
}

TEST_F(RecorderTest, ALineErrorEndsTheRecordingButKeepsItForStop)
{
    SerialRecorder recorder(settings, prompts, noLender());
    ASSERT_TRUE(recorder.start(3, 0, "9600,N,8,1"));
    line.send("N10 G0");
    ASSERT_TRUE(runUntil([&] { return recorder.recorded().size() == 6; }));
    recorder.port().raiseEvent(CommEvent::Frame);
    ASSERT_TRUE(runUntil([&] { return !recorder.recording(); }));
    EXPECT_EQ(prompts.messageTexts(), QStringList{"Fehler im Übertragungs-Raster"});
    EXPECT_EQ(recorder.recorded(), "N10 G0");
    prompts.queueInput(env.root() + "F.txt");
    EXPECT_EQ(stop(recorder, env.root() + "CNC.txt"), env.root() + "F.txt");
    EXPECT_EQ(env.readFile(env.root() + "F.txt"), "N10 G0");

    EXPECT_EQ(SerialRecorder::lineErrorMessage(CommEvent::Break), "Anhaltesignal empfangen?");
    EXPECT_EQ(SerialRecorder::lineErrorMessage(CommEvent::Dcb), "Unbekannter Fehler! (Aufruf DCB)");
    EXPECT_EQ(SerialRecorder::lineErrorMessage(CommEvent::Cts), QString());
}

TEST_F(RecorderTest, AFailedSaveKeepsTheRecordingAndAsksAgain)
{
    SerialRecorder recorder(settings, prompts, noLender());
    ASSERT_TRUE(recorder.start(3, 0, "9600,N,8,1"));
    line.send("O1");
    ASSERT_TRUE(runUntil([&] { return recorder.recorded() == "O1"; }));
    prompts.queueInput(env.root() + "fehlt/CNC.txt");
    prompts.queueInput(QString("CNC.txt")); // a bare name lies in the preset's folder
    EXPECT_EQ(stop(recorder, env.root() + "CNC.txt"), env.root() + "CNC.txt");
    EXPECT_TRUE(prompts.wasAsked("konnte nicht unter"));
    EXPECT_EQ(env.readFile(env.root() + "CNC.txt"), "O1");

    // The offered documents folder is made when it is not there yet.
    prompts.clear();
    prompts.queueInput(QString());
    EXPECT_EQ(stop(recorder, env.root() + "Dokumente/CNC.txt"), QString()); // cancelled
    prompts.queueInput(env.root() + "Dokumente/CNC.txt");
    EXPECT_EQ(stop(recorder, env.root() + "Dokumente/CNC.txt"), env.root() + "Dokumente/CNC.txt");
    EXPECT_EQ(env.readFile(env.root() + "Dokumente/CNC.txt"), "O1");
}

TEST_F(RecorderTest, StopAsksForTheNameWithoutWaitingAndSavesWhatWasRecordedThen)
{
    SerialRecorder recorder(settings, prompts, noLender());
    ASSERT_TRUE(recorder.start(3, 0, "9600,N,8,1"));
    line.send("O1");
    ASSERT_TRUE(runUntil([&] { return recorder.recorded() == "O1"; }));
    prompts.holdQuestions(true);
    std::optional<QString> saved;
    recorder.stop(env.root() + "CNC.txt", [&](const QString &path) { saved = path; });
    EXPECT_FALSE(saved.has_value());
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].text, "Aufnahme speichern unter:");

    // The line is free while the name is being asked for: a new recording
    // starts, and the one that waits for its name is still the one stopped.
    ASSERT_TRUE(recorder.start(3, 0, "9600,N,8,1"));
    line.send("O2");
    ASSERT_TRUE(runUntil([&] { return recorder.recorded() == "O2"; }));
    prompts.answerHeldText(0, QString("ERSTE.txt"));
    EXPECT_EQ(saved, env.root() + "ERSTE.txt");
    EXPECT_EQ(env.readFile(env.root() + "ERSTE.txt"), "O1");
    EXPECT_TRUE(recorder.recording());

    // A failed write is told first; the name is asked again once it was read.
    saved.reset();
    recorder.stop(env.root() + "CNC.txt", [&](const QString &path) { saved = path; });
    prompts.answerHeldText(0, env.root() + "fehlt/ZWEITE.txt");
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_TRUE(prompts.heldQuestions()[0].text.startsWith("Die Aufnahme konnte nicht unter"));
    prompts.answerHeld(0, PromptAnswer::Ok);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].text, "Aufnahme speichern unter:");
    prompts.answerHeldText(0, std::nullopt);
    EXPECT_EQ(saved, QString());
}

TEST_F(RecorderTest, TheIndicatorStepsAtMostEveryHalfSecond)
{
    SerialRecorder recorder(settings, prompts, noLender());
    qint64 now = 1000;
    recorder.setTicks([&] { return now; });
    QList<QChar> steps;
    QObject::connect(&recorder, &SerialRecorder::indicatorStepped, [&](QChar c) { steps << c; });
    ASSERT_TRUE(recorder.start(3, 0, "9600,N,8,1"));
    auto feed = [&](const QByteArray &b) {
        const qsizetype before = recorder.recorded().size();
        line.send(b);
        ASSERT_TRUE(runUntil([&] { return recorder.recorded().size() == before + b.size(); }));
    };
    feed("a");
    now += 499;
    feed("b");
    now += 1;
    feed("c");
    now += 500;
    feed("d");
    EXPECT_EQ(steps, (QList<QChar>{'/', '-', '\\'}));
}

TEST_F(RecorderTest, StartTakesTheLineFromItsConnectionAndClosingGivesItBack)
{
    loadWithConnectionOnTheLine();
    if (HasFatalFailure())
        return;
    CommStation &comm = StationInternals::comm(*station);
    ASSERT_TRUE(comm.port(1).portOpen());

    {
        Connections::LineLoan loan = station->connections().lendLines();
        SerialRecorder recorder(settings, prompts,
                                [&loan](int n, const QString &device) { return loan.take(n, device); });
        ASSERT_TRUE(recorder.start(3, 0, "9600,N,8,1"));
        EXPECT_FALSE(comm.port(1).portOpen());
        line.send("N1");
        ASSERT_TRUE(runUntil([&] { return recorder.recorded() == "N1"; }));
        recorder.close();
        EXPECT_FALSE(comm.port(1).portOpen());
    }
    EXPECT_TRUE(comm.port(1).portOpen());
    EXPECT_TRUE(prompts.asked().isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(RecorderTest, StartIsRefusedWhileAProgramIsBeingSentOnThatLine)
{
    loadWithConnectionOnTheLine();
    if (HasFatalFailure())
        return;
    const QString program = env.writeFile("data/P1.NC", "N10 G0\r\n");
    // Counting down before the transfer: the line is in use already.
    CommStation &comm = StationInternals::comm(*station);
    ASSERT_NE(station->connections().send({program, 1, 30.0}), nullptr);

    Connections::LineLoan loan = station->connections().lendLines();
    SerialRecorder recorder(settings, prompts,
                            [&loan](int n, const QString &device) { return loan.take(n, device); });
    EXPECT_FALSE(recorder.start(3, 0, "9600,N,8,1"));
    EXPECT_FALSE(recorder.recording());
    EXPECT_TRUE(comm.port(1).portOpen());
    EXPECT_TRUE(loan.taken().isEmpty());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked()[0].text.contains("Maschinenverbindung 2"));
    EXPECT_TRUE(prompts.asked()[0].text.contains("gesendet"));
    comm.sendJob(1)->cancel();
}

TEST(DebuggerSettingsTest, DefaultsAndAViewerFoundOnThePath)
{
    TestEnvironment env;
    IniSettingsStore settings(env.iniFile());
    EXPECT_EQ(DebuggerSettings::handshake.read(settings), 2);
    EXPECT_EQ(DebuggerSettings::comPort.read(settings), 1);
    EXPECT_EQ(DebuggerSettings::comString.read(settings), "2400,N,8,1");
    settings.write("Debugger", "COMPort", "17");
    settings.write("Debugger", "Handshake", "x");
    EXPECT_EQ(DebuggerSettings::comPort.read(settings), 1);
    EXPECT_EQ(DebuggerSettings::handshake.read(settings), 2);

    // The last line is written as typed, whatever it holds, and read back so.
    for (const char *typed : {"19200,E,7,1.5", "X,N,8,1", " 9600 , n , 8 , 1", ""}) {
        DebuggerSettings::save(settings, LineSettings::fromText(QString::fromUtf8(typed), 3), 16);
        EXPECT_EQ(settings.read("Debugger", "COMString", "fehlt"), QString::fromUtf8(typed));
        EXPECT_EQ(settings.read("Debugger", "Handshake"), "3");
        EXPECT_EQ(settings.read("Debugger", "COMPort"), "16");
        EXPECT_EQ(DebuggerSettings::line(settings), LineSettings::fromText(QString::fromUtf8(typed), 3));
    }

    const QByteArray oldPath = qgetenv("PATH");
    const QString bin = env.root() + "bin/";
    const QString ghex = env.writeFile("bin/ghex", "#!/bin/sh\n");
    QFile::setPermissions(ghex, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", bin.toLocal8Bit());
    EXPECT_EQ(DebuggerSettings::findHexViewer(settings), ghex);
    DebuggerSettings::hexViewer.write(settings, env.root() + "nicht-da");
    EXPECT_EQ(DebuggerSettings::findHexViewer(settings), QString());
    qputenv("PATH", QByteArray());
    DebuggerSettings::hexViewer.write(settings, QString());
    EXPECT_EQ(DebuggerSettings::findHexViewer(settings), QString());
    qputenv("PATH", oldPath);
}
