#include "CommStationFixture.h"
#include "MachineSide.h"
#include "support/PtyPair.h"

#include "comm/CommEvent.h"
#include "comm/SerialPort.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <memory>
#include <unistd.h>

namespace zep::test {
namespace {

constexpr const char *kHangUp = "Die Gegenstelle hat aufgelegt (Hang-up)";

double processCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The station with its signals recorded and the configured device of
// connection 0 a symbolic link, as socat's "link=" makes one: the test
// points it at a new pseudo-terminal when the machine comes back.
struct LineLoss : ::testing::Test {
    void SetUp() override
    {
        link = s.env.root() + "ttyMaschine1";
        pty = std::make_unique<PtyPair>();
        ASSERT_TRUE(pty->ok());
        pointLinkAt(pty->slavePath());
        s.activate(0, link);
        QObject::connect(&s.station, &CommStation::lineLost, &s.station,
                         [this](int c, const QString &reason) { lost.append({c, reason}); });
        QObject::connect(&s.station, &CommStation::lineRestored, &s.station, [this](int c) { restored.append(c); });
        s.station.SetComm();
        ASSERT_TRUE(s.station.port(0).portOpen());
        ASSERT_EQ(s.station.lamp(0).colour, LampColour::Green);
    }
    // Replaced in one step, so the port never sees a half-made link.
    void pointLinkAt(const QString &target)
    {
        const QString next = link + ".neu";
        ::unlink(next.toLocal8Bit().constData());
        ASSERT_EQ(::symlink(target.toLocal8Bit().constData(), next.toLocal8Bit().constData()), 0);
        ASSERT_EQ(::rename(next.toLocal8Bit().constData(), link.toLocal8Bit().constData()), 0);
    }
    void removeLink() { ::unlink(link.toLocal8Bit().constData()); }
    // Runs the event loop as the program does, blocking while idle.
    void runFor(int msecs)
    {
        QEventLoop loop;
        QTimer::singleShot(msecs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // The machine hangs up; returns how long the station took to notice.
    qint64 hangUp()
    {
        QElapsedTimer t;
        t.start();
        pty->closeMaster();
        s.pumpUntil([&] { return !lost.isEmpty(); });
        return t.elapsed();
    }

    Station s;
    QString link;
    std::unique_ptr<PtyPair> pty;
    QList<QPair<int, QString>> lost;
    QList<int> restored;
};

TEST_F(LineLoss, AHangUpMidReceptionClosesThePortAtOnceAndTheHalfProgramIsStillSaved)
{
    const QByteArray half = "%\r\nN10 G0 X0\r\nN20 Y";
    pty->send(half);
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).collected() == half; }));

    EXPECT_LT(hangUp(), 2000);
    ASSERT_EQ(lost.size(), 1);
    EXPECT_EQ(lost[0], qMakePair(0, QString(kHangUp)));
    EXPECT_FALSE(s.station.port(0).portOpen());
    EXPECT_EQ(s.station.port(0).lostReason(), kHangUp);
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Red);
    EXPECT_EQ(s.station.lamp(0).toolTip, QString("Maschine 1 - Verbindung unterbrochen: ") + kHangUp);
    EXPECT_TRUE(s.station.reopenPending(0));
    EXPECT_TRUE(s.prompts.asked().isEmpty());

    // A dead line must not keep the main thread busy.
    const double cpu0 = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runFor(2000);
    const double cpu = processCpuSeconds() - cpu0;
    EXPECT_LT(cpu, 0.05 * double(wall.elapsed()) / 1000.0) << cpu << " s of processor time";
    EXPECT_EQ(lost.size(), 1);

    // The reception keeps its text; the long time-out saves it as always.
    EXPECT_EQ(s.station.receiver(0).collected(), half);
    s.rclock.advance(31);
    s.station.comTimerTick();
    ASSERT_EQ(s.station.recoveryFiles().size(), 1);
    EXPECT_EQ(s.env.readFile(s.station.recoveryFiles()[0]), half);
    ASSERT_EQ(s.prompts.asked().size(), 1);
    EXPECT_EQ(s.prompts.asked()[0].title, "Timeout");
    EXPECT_TRUE(s.handed.isEmpty());
}

TEST_F(LineLoss, BytesWaitingWhileAnErrorBoxIsOpenAreNotLostWithTheLine)
{
    pty->send("%\r\nN10 X1\r\n");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).running(); }));
    s.prompts.holdQuestions(true);
    s.station.port(0).raiseEvent(CommEvent::Frame);
    ASSERT_EQ(s.prompts.heldQuestions().size(), 1);
    // The box stays open; the machine sends on and then hangs up.
    pty->send("N20 X2\r\n");
    s.pumpUntil([&] { return s.station.receiver(0).collected().endsWith("N20 X2\r\n"); });
    hangUp();
    ASSERT_EQ(lost.size(), 1);
    EXPECT_EQ(s.station.receiver(0).collected(), "%\r\nN10 X1\r\nN20 X2\r\n");
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Red);
}

TEST_F(LineLoss, TheSameDeviceIsOpenedAgainByItselfWhenItComesBack)
{
    // The machine is switched off halfway through a program and its
    // device disappears for a while.
    pty->send("%\r\nN10 X1\r\nN20");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).running(); }));
    hangUp();
    ASSERT_EQ(lost.size(), 1);
    removeLink();
    QElapsedTimer away;
    away.start();
    runFor(CommStation::kReopenMsecs + 500); // at least one attempt fails
    EXPECT_TRUE(restored.isEmpty());
    EXPECT_TRUE(s.station.reopenPending(0));
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Red);
    EXPECT_TRUE(s.prompts.asked().isEmpty()) << "no box for a failed attempt";

    auto back = std::make_unique<PtyPair>();
    pointLinkAt(back->slavePath());
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(s.pumpUntil([&] { return !restored.isEmpty(); }));
    EXPECT_LT(t.elapsed(), 10000);
    EXPECT_EQ(restored, QList<int>{0});
    EXPECT_TRUE(s.station.port(0).portOpen());
    EXPECT_TRUE(s.station.port(0).lostReason().isEmpty());
    EXPECT_FALSE(s.station.reopenPending(0));
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Green);
    EXPECT_EQ(s.station.lamp(0).toolTip, "Maschine 1 - COM1:9600,N,8,1");

    // The cut program was kept as a recovery file instead of being put in
    // front of the next one, and the line receives as before.
    ASSERT_EQ(s.station.recoveryFiles().size(), 1);
    EXPECT_EQ(s.env.readFile(s.station.recoveryFiles()[0]), "%\r\nN10 X1\r\nN20");
    back->send("%\r\nN10 X5\r\nM30\r\n\x1A");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(0).finished(); }));
    s.station.comTimerTick();
    ASSERT_EQ(s.handed.size(), 1);
    EXPECT_EQ(s.handed[0], qMakePair(1, QByteArray("%\r\nN10 X5\r\nM30\r\n")));
    EXPECT_TRUE(s.prompts.asked().isEmpty());
    pty = std::move(back);
}

TEST_F(LineLoss, SavedSettingsOpenAfreshAndADeactivatedLineIsNotReopened)
{
    hangUp();
    ASSERT_TRUE(s.station.reopenPending(0));
    PtyPair back;
    pointLinkAt(back.slavePath());
    // The user saves the port settings: opened now, no attempt left over.
    s.station.SetComm();
    EXPECT_TRUE(s.station.port(0).portOpen());
    EXPECT_FALSE(s.station.reopenPending(0));
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Green);

    // Lost again, and meanwhile the connection is switched off.
    back.closeMaster();
    ASSERT_TRUE(s.pumpUntil([&] { return lost.size() == 2; }));
    PtyPair third;
    pointLinkAt(third.slavePath());
    PortSettings p = PortSettings::load(s.settings, 0);
    p.aktiviert = false;
    p.save(s.settings, 0);
    runFor(CommStation::kReopenMsecs + 500);
    EXPECT_FALSE(s.station.port(0).portOpen());
    EXPECT_FALSE(s.station.reopenPending(0));
    EXPECT_TRUE(restored.isEmpty());
}

TEST_F(LineLoss, ASendToAMachineThatHangsUpFindsThePortClosedWithTheReason)
{
    s.settings.write(PortSettings::section(0), "Handshaking", "0");
    s.station.SetComm();
    SerialPort &port = s.station.port(0);
    QStringList portLost;
    QObject::connect(&port, &SerialPort::lineLost, &port, [&](const QString &r) { portLost << r; });
    MachineSide machine(*pty, 8 * 1024);
    ASSERT_TRUE(port.Output(QByteArray(512 * 1024, 'G')));
    EXPECT_TRUE(port.outputError().isEmpty());
    ASSERT_TRUE(s.pumpUntil([&] { return !port.portOpen(); }));
    EXPECT_EQ(portLost, QStringList{kHangUp});
    // What a sender looks at to stop.
    EXPECT_EQ(port.outputError(), kHangUp);
    EXPECT_EQ(port.outBufferCount(), 0);
    EXPECT_FALSE(port.Output("N10"));
    EXPECT_EQ(port.errorDescription(), kHangUp);
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Red);
    EXPECT_TRUE(s.station.reopenPending(0));

    // Closing on purpose forgets the loss.
    port.setPortOpen(false);
    EXPECT_TRUE(port.lostReason().isEmpty());
    EXPECT_EQ(port.outputError(), "Die Schnittstelle ist nicht geöffnet");
}

} // namespace
} // namespace zep::test
