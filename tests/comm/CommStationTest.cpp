#include "CommStationFixture.h"
#include "support/PtyPair.h"

#include "app/IniSettingsStore.h"
#include "app/Logbook.h"
#include "app/ManualClock.h"
#include "app/ScriptedPrompts.h"
#include "comm/CommStation.h"
#include "comm/MachineReady.h"
#include "comm/ManualReceptionClock.h"
#include "comm/PortSettings.h"
#include "comm/SerialPort.h"
#include "comm/SteadyReceptionClock.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include "comm/CommEvent.h"

using namespace zep;
using namespace zep::test;

namespace {



} // namespace

TEST(CommStation, FreshSettingsLeaveAllLampsGreyWithNotActiveTips)
{
    Station s;
    s.station.SetComm();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(s.station.lamp(i).colour, LampColour::Grey);
        EXPECT_EQ(s.station.lamp(i).toolTip, "Maschine " + QString::number(i + 1) + " nicht Aktiv");
    }
    EXPECT_TRUE(s.prompts.asked().isEmpty());
}

TEST(CommStation, MissingDeviceFailsOnlyItsConnection)
{
    Station s;
    PtyPair a;
    ASSERT_TRUE(a.ok());
    s.activate(0, a.slavePath());
    s.activate(2, s.env.root() + "no-such-tty");
    s.station.SetComm();
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Green);
    EXPECT_TRUE(s.station.port(0).portOpen());
    EXPECT_EQ(s.station.lamp(2).colour, LampColour::Red);
    EXPECT_EQ(s.station.lamp(2).toolTip, "Maschine 3 - COM3:9600,N,8,1");
    ASSERT_EQ(s.prompts.asked().size(), 1);
    EXPECT_TRUE(s.prompts.asked()[0].text.startsWith("Konnte Maschineneinstellung3 nicht öffnen: "));
    EXPECT_EQ(s.prompts.asked()[0].title, "COM-Fehler");
    EXPECT_EQ(s.prompts.asked()[0].icon, PromptIcon::Exclamation);

    a.send("%N10X1\r\n\x1A");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).finished(); }));
    s.station.comTimerTick();
    ASSERT_EQ(s.handed.size(), 1);
    EXPECT_EQ(s.handed[0].first, 1);
    EXPECT_EQ(s.handed[0].second, "%N10X1\r\n");
}

TEST(CommStation, BusyDeviceAndBadSettingsGiveTheirMessages)
{
    Station s;
    PtyPair a;
    s.activate(0, a.slavePath());
    s.activate(1, a.slavePath()); // the same device twice: the second is busy
    s.settings.write(PortSettings::section(1), "Einstellungen", "9600,X,8,1");
    s.settings.write(PortSettings::section(1), "Handshaking", "7");
    s.station.SetComm();
    const QStringList texts = s.prompts.messageTexts();
    ASSERT_EQ(texts.size(), 3) << texts.join("|").toStdString();
    EXPECT_TRUE(texts[0].startsWith("Konnte Maschineneinstellungen (9600,X,8,1) für Maschine 2 nicht setzen: "));
    EXPECT_TRUE(texts[1].startsWith("Protokoll für Maschineneinstellung2 konnte nicht zugewiesen werden: "));
    EXPECT_TRUE(texts[2].startsWith("Konnte Maschineneinstellung2 nicht öffnen: "));
    EXPECT_TRUE(texts[2].contains("bereits von einem anderen Programm benutzt")) << texts[2].toStdString();
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Green);
    EXPECT_EQ(s.station.lamp(1).colour, LampColour::Red);
}

TEST(CommStation, TwoMachinesSendingAtOnceEachArriveWhole)
{
    Station s;
    PtyPair a, b;
    s.activate(0, a.slavePath());
    s.activate(3, b.slavePath(), "<SZ>%||M30");
    s.station.SetComm();
    QByteArray pa, pb;
    for (int k = 0; k < 200; ++k) {
        pa += "N" + QByteArray::number(k) + " X1.5\r\n";
        pb += "N" + QByteArray::number(k) + " Y2.5\r\n";
    }
    const QByteArray sa = pa + "\x1A", sb = "%" + pb + "M30";
    for (int pos = 0; pos < qMax(sa.size(), sb.size()); pos += 100) {
        a.send(sa.mid(pos, 100));
        b.send(sb.mid(pos, 100));
        s.pump(2);
    }
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).finished() && s.station.receiver(3).finished(); }));
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Yellow);
    s.station.comTimerTick();
    ASSERT_EQ(s.handed.size(), 2);
    EXPECT_EQ(s.handed[0], qMakePair(1, pa));
    EXPECT_EQ(s.handed[1], qMakePair(4, pb));
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Green);
}

TEST(CommStation, AllByteValuesArriveByteExact)
{
    Station s;
    PtyPair a;
    s.activate(0, a.slavePath(), "<ST>");
    s.settings.write(PortSettings::section(0), "EXON", "1");
    s.station.SetComm();
    QByteArray all;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 256; ++c)
            all.append(char(c));
    a.send(all);
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).collected().size() == all.size(); }));
    s.rclock.advance(5.5);
    s.station.comTimerTick(); // end by silence
    s.station.comTimerTick(); // hand-over
    ASSERT_EQ(s.handed.size(), 1);
    EXPECT_EQ(s.handed[0].second, all);
}

TEST(CommStation, AbortAfterThirtySecondsKeepsARecoveryFile)
{
    Station s;
    PtyPair a;
    s.activate(1, a.slavePath());
    s.station.SetComm();
    const QByteArray half = "%\r\nN10 G0 X0 Ä'\r\nN20";
    a.send(half);
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(1).collected() == half; }));
    s.rclock.advance(30);
    s.station.comTimerTick();
    EXPECT_TRUE(s.prompts.asked().isEmpty());
    s.rclock.advance(0.5);
    s.station.comTimerTick();
    ASSERT_EQ(s.prompts.asked().size(), 1);
    EXPECT_EQ(s.prompts.asked()[0].text, "Die Datenübertragung von Maschine 2 wurde abgebrochen! Es wurden seit den "
                                         "letzten Zeichen über 30 Sekunden lang keine weiteren Zeichen empfangen!");
    EXPECT_EQ(s.prompts.asked()[0].title, "Timeout");
    EXPECT_EQ(s.station.lamp(1).colour, LampColour::Red);
    ASSERT_EQ(s.station.recoveryFiles().size(), 1);
    const QString file = s.station.recoveryFiles()[0];
    EXPECT_EQ(file, s.env.programDir() + "Abgebrochen_Maschine2_2026-12-07_09-30-15.txt");
    EXPECT_EQ(s.env.readFile(file), half);
    EXPECT_TRUE(QString::fromLatin1(s.env.readFile(s.logbook.filePath())).contains("Abgebrochen_Maschine2_"));
    EXPECT_TRUE(s.handed.isEmpty());
    EXPECT_FALSE(s.station.receiver(1).running());

    // A second abort in the same second gets its own file.
    a.send(half);
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(1).running(); }));
    s.rclock.advance(31);
    s.station.comTimerTick();
    ASSERT_EQ(s.station.recoveryFiles().size(), 2);
    EXPECT_NE(s.station.recoveryFiles()[1], file);
}

TEST(CommStation, LoneXonOverTheLineSetsMachineReady)
{
    Station s;
    PtyPair a;
    s.activate(0, a.slavePath());
    s.settings.write(PortSettings::section(0), "Handshaking", "0");
    s.station.SetComm();
    a.send("\x11");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.machineReady(0).isSet(); }));
    EXPECT_FALSE(s.station.machineReady(1).isSet());
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Green);
    EXPECT_FALSE(s.station.receiver(0).running());
}

TEST(CommStation, TraceLinesGoToTheSinkOnlyWhileOn)
{
    Station s;
    PtyPair a;
    bool on = false;
    QStringList lines;
    s.station.trace.isOn = [&] { return on; };
    s.station.trace.appendLine = [&](const QString &l) { lines << l; };
    s.activate(0, a.slavePath());
    s.station.SetComm();
    a.send("N10X1\r\n\x1A");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).finished(); }));
    EXPECT_TRUE(lines.isEmpty());
    on = true;
    s.station.comTimerTick();
    EXPECT_TRUE(lines.join("|").contains("Endzeichen von Maschine 0 empfangen/erkannt/timeout."));
}

TEST(CommStation, RealTimeSilenceEndsATimeoutReception)
{
    TestEnvironment env;
    IniSettingsStore settings(env.iniFile());
    ScriptedPrompts prompts;
    ManualClock clock;
    Logbook logbook(env.programDir(), clock);
    SteadyReceptionClock rclock;
    CommStation station(settings, prompts, logbook, clock, rclock, env.programDir());
    QByteArray got;
    QObject::connect(&station, &CommStation::programReceived, &station, [&](int, const QByteArray &t) { got = t; });
    PtyPair a;
    PortSettings p;
    p.aktiviert = true;
    p.endCode = "<ST>";
    p.save(settings, 0);
    settings.write("Schnittstellen", "COM1", a.slavePath());
    station.SetComm();
    a.send("N10 X1\r\n");
    QElapsedTimer t;
    t.start();
    while (got.isEmpty() && t.elapsed() < 9000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        station.comTimerTick();
        QThread::msleep(200);
    }
    EXPECT_EQ(got, "N10 X1\r\n");
    EXPECT_GT(t.elapsed(), 5000);
}

TEST(CommStation, LineErrorShowsOneBoxAtATimeAndKeepsTheTimeOut)
{
    Station s;
    PtyPair a;
    s.activate(0, a.slavePath());
    s.station.SetComm();
    QString status;
    QObject::connect(&s.station, &CommStation::statusChanged, &s.station, [&](const QString &t) { status = t; });
    a.send("N10 X1\r\nN20");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).running(); }));
    s.prompts.holdQuestions(true);
    s.station.port(0).raiseEvent(CommEvent::Frame);
    ASSERT_EQ(s.prompts.heldQuestions().size(), 1);
    EXPECT_EQ(s.prompts.heldQuestions()[0].text, "Fehler bei Übertragung von Maschine1:\r\rFehler im Übertragungs-Raster");
    EXPECT_EQ(s.prompts.heldQuestions()[0].title, "Comm-Fehler");
    // A noisy line while the box is open: told by the lamp and the status
    // line, not by a second box.
    s.station.port(0).raiseEvent(CommEvent::RxParity);
    EXPECT_EQ(s.prompts.heldQuestions().size(), 1);
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Red);
    EXPECT_EQ(s.station.lamp(0).toolTip, "Letzter Fehler: Paritätsfehler (meistens Störsignale auf der Leitung)!");
    EXPECT_EQ(status, "Paritätsfehler (meistens Störsignale auf der Leitung)!");

    // The machine gives up: the half text is saved, not put in front of
    // the next program; the box is still open meanwhile.
    s.rclock.advance(31);
    s.station.comTimerTick();
    ASSERT_EQ(s.station.recoveryFiles().size(), 1);
    EXPECT_EQ(s.env.readFile(s.station.recoveryFiles()[0]), "N10 X1\r\nN20");
    a.send("%N30\r\n\x1A");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).finished(); }));
    s.station.comTimerTick();
    ASSERT_EQ(s.handed.size(), 1);
    EXPECT_EQ(s.handed[0].second, "%N30\r\n");

    // Once read, the next error gets a box of its own again.
    ASSERT_EQ(s.prompts.heldQuestions().size(), 2);
    EXPECT_EQ(s.prompts.heldQuestions()[1].title, "Timeout");
    s.prompts.answerHeld(0, PromptAnswer::Ok);
    s.station.port(0).raiseEvent(CommEvent::Break);
    ASSERT_EQ(s.prompts.heldQuestions().size(), 2);
    EXPECT_EQ(s.prompts.heldQuestions()[1].text, "Fehler bei Übertragung von Maschine1:\r\rAnhaltesignal empfangen?");
}

TEST(CommStation, GarbageInOneHugePieceIsKeptAndBounded)
{
    Station s;
    PtyPair a;
    s.activate(0, a.slavePath());
    s.station.SetComm();
    QByteArray garbage(4 * 1024 * 1024, '\0');
    for (qint64 k = 0; k < garbage.size(); ++k) {
        const char c = char((k * 7919) % 251 + 1); // 1..251: no NUL for the filter to drop
        garbage[k] = c == '\x1A' ? 'x' : c;
    }
    a.send(garbage.left(1)); // keep the master writable while the port reads
    std::thread writer([&] { a.send(garbage.mid(1)); });
    const bool all = s.pumpUntil([&] { return s.station.receiver(0).collected().size() == garbage.size(); });
    writer.join();
    ASSERT_TRUE(all) << s.station.receiver(0).collected().size() << " of " << garbage.size();
    s.rclock.advance(31);
    s.station.comTimerTick();
    ASSERT_EQ(s.station.recoveryFiles().size(), 1);
    EXPECT_EQ(s.env.readFile(s.station.recoveryFiles()[0]), garbage);
}

TEST(CommStation, TwoProgramsSentBackToBackAreHandedOverOneAfterTheOther)
{
    Station s;
    PtyPair a;
    s.activate(0, a.slavePath());
    s.station.SetComm();
    a.send("%O0001\r\nN10 X1\r\n\x1A\r\n%O0002\r\nN10 X2\r\n\x1A\r\n");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).finished(); }));
    s.pump(50);
    s.station.comTimerTick();
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Yellow);
    s.station.comTimerTick();
    ASSERT_EQ(s.handed.size(), 2);
    EXPECT_EQ(s.handed[0].second, "%O0001\r\nN10 X1\r\n");
    EXPECT_EQ(s.handed[1].second, "\r\n%O0002\r\nN10 X2\r\n");
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Green);
    EXPECT_FALSE(s.station.receiver(0).running());
}

TEST(CommStation, ProgramGoesOnArrivingWhileAnErrorBoxIsOpenAndOtherConnectionsAreServed)
{
    Station s;
    PtyPair a, b;
    s.activate(0, a.slavePath());
    s.activate(1, b.slavePath());
    s.station.SetComm();
    a.send("%N10 X1\r\n");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).running(); }));
    s.prompts.holdQuestions(true);
    s.station.port(0).raiseEvent(CommEvent::Frame);
    ASSERT_EQ(s.prompts.heldQuestions().size(), 1);
    // Nobody answers the box for a while: the machine sends on, the other
    // machine sends a program, the seconds go by.
    b.send("%B1 X0\r\n\x1A");
    for (int k = 0; k < 40; ++k) {
        a.send("N" + QByteArray::number(20 + k) + "\r\n");
        s.pump(5);
        s.rclock.advance(1);
        s.station.comTimerTick();
    }
    // The bytes counted as received, so no abort and no recovery file; the
    // second machine's program was handed over meanwhile.
    EXPECT_TRUE(s.station.recoveryFiles().isEmpty());
    ASSERT_EQ(s.handed.size(), 1);
    EXPECT_EQ(s.handed[0].first, 2);
    EXPECT_EQ(s.handed[0].second, "%B1 X0\r\n");
    EXPECT_EQ(s.prompts.heldQuestions().size(), 1);
    s.prompts.answerHeld(0, PromptAnswer::Ok);

    a.send("N30 M30\r\n\x1A");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).finished(); }));
    s.station.comTimerTick();
    ASSERT_EQ(s.handed.size(), 2);
    QByteArray expected = "%N10 X1\r\n";
    for (int k = 0; k < 40; ++k)
        expected += "N" + QByteArray::number(20 + k) + "\r\n";
    EXPECT_EQ(s.handed[1].second, expected + "N30 M30\r\n");
}

TEST(CommStation, OnlyAPseudoTerminalMayIgnoreLineParameters)
{
    // A pty cannot take parity or 7 bits; a real line that refuses them must
    // fail its opening instead of running with other parameters.
    PtyPair a;
    const int pty = ::open(a.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(pty, 0);
    EXPECT_TRUE(SerialPort::isPseudoTerminal(pty));
    ::close(pty);
    const int null = ::open("/dev/null", O_RDWR);
    EXPECT_FALSE(SerialPort::isPseudoTerminal(null));
    ::close(null);

    Station s;
    s.activate(0, a.slavePath());
    s.settings.write(PortSettings::section(0), "Einstellungen", "4800,E,7,2");
    s.station.SetComm();
    EXPECT_TRUE(s.prompts.asked().isEmpty());
    EXPECT_TRUE(s.station.port(0).portOpen());
}

TEST(CommStation, AProgramIsReceivedUnderTheRulesItStartedWithAndTheNextTakesChangedOnes)
{
    Station s;
    PtyPair a;
    s.activate(0, a.slavePath());
    s.station.SetComm();
    a.send("%\r\nN10 X1\r\n");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).running(); }));
    // Changed by hand (or in the port settings) while the machine sends.
    s.settings.write(PortSettings::section(0), "EndCode", "<SA>4");
    a.send("N20 M30\r\n\x1A");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).finished(); }));
    s.station.comTimerTick();
    ASSERT_EQ(s.handed.size(), 1);
    EXPECT_EQ(s.handed[0].second, "%\r\nN10 X1\r\nN20 M30\r\n");

    a.send("%\r\nN30\r\n\x04");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).finished(); }));
    s.station.comTimerTick();
    ASSERT_EQ(s.handed.size(), 2);
    EXPECT_EQ(s.handed[1].second, "%\r\nN30\r\n");
}
