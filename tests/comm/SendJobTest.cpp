#include "CommStationFixture.h"
#include "MachineSide.h"

#include "comm/MachineReady.h"
#include "comm/SendJob.h"
#include "comm/SendUmwandeln.h"
#include "comm/SerialPort.h"
#include "comm/TraceSink.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <poll.h>
#include <sys/resource.h>
#include <thread>

namespace zep::test {
namespace {

QByteArray bytes(std::initializer_list<int> codes)
{
    QByteArray out;
    for (const int c : codes)
        out.append(char(c));
    return out;
}

QByteArray convert(QByteArray text, int scr, int slf, const QString &endCode, bool nulFilter = true)
{
    SendSettings s;
    s.conversions.scrZu = scr;
    s.conversions.slfZu = slf;
    s.endCode = endCode;
    s.conversions.exon = nulFilter ? 0 : 1;
    return SendUmwandeln(text, s, TraceSink{});
}

TEST(SendUmwandeln, ConvertsLineEndsThenAddsTheEndCodeWhereMissing)
{
    EXPECT_EQ(convert("A\r\nB", 254, 0, "<ST>"), "A\r\n\nB");
    EXPECT_EQ(convert("A\r\nB", 255, 254, "<ST>"), "A\r\nB");
    EXPECT_EQ(convert("G1\x1a", 0, 0, "<SA>26"), "G1\x1a");
    EXPECT_EQ(convert("G1", 0, 0, "<SA>26"), "G1\x1a");
    EXPECT_EQ(convert("", 0, 0, "<SA>26"), "\x1a");
    EXPECT_EQ(convert("", 0, 0, "<ST>"), "");
    EXPECT_EQ(convert("G1", 0, 0, "<SZ>%||M30"), "%G1M30");
    EXPECT_EQ(convert("%G1M30", 0, 0, "<SZ>%||M30"), "%G1M30");
    EXPECT_EQ(convert("G1", 0, 0, "<SZ>%"), "%G1");
    EXPECT_EQ(convert(bytes({'A', 0, 'B', 0}), 0, 0, "<ST>"), "AB");
    EXPECT_EQ(convert(bytes({'A', 0, 'B'}), 0, 0, "<ST>", false), bytes({'A', 0, 'B'}));
    EXPECT_EQ(convert("A\rB", 13, 10, "<ST>"), "A\rB"); // CR to CR, then no LF to touch
    // No character on the line: an end code of no known form adds nothing.
    EXPECT_EQ(convert("G1", 0, 0, "<SA>300"), "G1");
    EXPECT_EQ(convert("G1", 0, 0, "<SA>1310"), "G1");
}

// One connection open on a pty, sent to through the station, which traces
// the job and shows its lamp.
struct SendJobTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        s.activate(0, pty.slavePath(), "<SA>26");
        s.settings.write(PortSettings::section(0), "Handshaking", "0");
        s.settings.write(PortSettings::section(0), "Puffer", "256");
        s.station.SetComm();
        ASSERT_TRUE(s.station.port(0).portOpen());
        s.station.trace.isOn = [] { return true; };
        s.station.trace.appendLine = [this](const QString &t) { traceLines << t; };
        s.station.trace.appendRaw = [this](const QString &t) { raw << t; };
        QObject::connect(&s.station, &CommStation::lampChanged, [this](int i, const LampState &lamp) {
            if (i == 0)
                lamps << lamp.colour;
        });
    }
    SendJob *begin(const QByteArray &program, std::optional<double> delay = {}, int connection = 0)
    {
        path = s.env.writeFile("data/P1.NC", program);
        return begin(SendOrder{path, connection, delay});
    }
    SendJob *begin(const SendOrder &order)
    {
        ended = false;
        QString refusal;
        SendJob *job = s.station.startSend(order, &refusal);
        EXPECT_NE(job, nullptr) << refusal.toStdString();
        if (!job)
            return nullptr;
        QObject::connect(job, &SendJob::status, [this](const QString &t) {
            status << t;
            if (onStatus)
                onStatus();
        });
        QObject::connect(job, &Job::percentChanged, [this](int p) { progress << p; });
        QObject::connect(job, &Job::finished, [this, job] {
            ended = true;
            ++endings;
            error = job->error();
            cancelled = job->isCancelled();
            outcome = job->outcome();
            EXPECT_EQ(job->phase(), SendJob::Phase::Finished);
            EXPECT_EQ(job->state(), Job::State::Finished);
        });
        return job;
    }
    QString send(const QByteArray &program)
    {
        begin(program);
        EXPECT_TRUE(s.pumpUntil([this] { return ended; }));
        return error;
    }

    Station s;
    PtyPair pty;
    QString path;
    QStringList status, traceLines, raw;
    QList<int> progress;
    QList<LampColour> lamps;
    std::function<void()> onStatus;
    bool ended = false;
    int endings = 0; // finished() told, over all jobs begun
    bool cancelled = false;
    SendJob::Outcome outcome = SendJob::Outcome::None;
    QString error;
};

TEST_F(SendJobTest, GoesOutInPiecesOfTheBufferSizeWithTheirPercentagesAndArrivesWhole)
{
    MachineSide machine(pty);
    QByteArray program;
    for (int i = 0; i < 600; ++i)
        program.append(char('A' + i % 26));
    EXPECT_EQ(send(program), "");
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(outcome, SendJob::Outcome::Sent);
    EXPECT_EQ(status, QStringList({"Senden (0 %)", "Senden (42 %)"}));
    EXPECT_EQ(progress, QList<int>({0, 42}));
    ASSERT_EQ(raw.size(), 5);
    EXPECT_EQ(raw[0], "\r\n>>> Datenübertragung start: <<<\r\n");
    EXPECT_EQ(raw[1].size(), 256);
    EXPECT_EQ(raw[2].size(), 256);
    EXPECT_EQ(raw[3].size(), 89); // 88 and the end character
    EXPECT_EQ(raw[4], "\r\nENDE DER ÜBERTRAGUNG");
    EXPECT_TRUE(traceLines.contains("SendUmwandeln: ASC(26) hintenangehängt"));
    EXPECT_EQ(lamps, QList<LampColour>({LampColour::Yellow, LampColour::Green}));
    ASSERT_TRUE(s.pumpUntil([&] { return machine.count() == 601; }));
    EXPECT_EQ(machine.received(), program + "\x1a");

    status.clear();
    raw.clear();
    EXPECT_EQ(send(QByteArray(256, 'x')), ""); // 257 with the end character: one piece
    EXPECT_TRUE(status.isEmpty());
    EXPECT_EQ(raw[1].size(), 257);
}

TEST_F(SendJobTest, TellsItsEndOnceWithRisingPercentsAndACancelAfterTheEndChangesNothing)
{
    MachineSide machine(pty);
    QPointer<SendJob> job = begin(QByteArray(20 * 1024, 'G'));
    ASSERT_TRUE(job);
    EXPECT_EQ(job->state(), Job::State::Running);
    // A cancel from a receiver of the end itself, as a window's might come.
    QObject::connect(job, &Job::finished, job, [job] { job->cancel(); });
    ASSERT_TRUE(s.pumpUntil([&] { return ended; }));
    s.pump(50);
    EXPECT_EQ(endings, 1);
    EXPECT_EQ(outcome, SendJob::Outcome::Sent);
    EXPECT_EQ(lamps.last(), LampColour::Green);
    EXPECT_GT(progress.size(), 50);
    EXPECT_EQ(progress.first(), 0);
    for (qsizetype i = 1; i < progress.size(); ++i)
        EXPECT_GT(progress[i], progress[i - 1]);
    EXPECT_LE(progress.last(), 100);
    ASSERT_TRUE(s.pumpUntil([&] { return machine.count() == 20 * 1024 + 1; }));
}

TEST_F(SendJobTest, EveryByteValueArrivesUnchangedAndAnEmptyFileSendsOnlyItsEndCode)
{
    MachineSide machine(pty);
    s.settings.write(PortSettings::section(0), "EXON", "1");
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    EXPECT_EQ(send(all + all), "");
    EXPECT_EQ(send(""), "");
    ASSERT_TRUE(s.pumpUntil([&] { return machine.count() == 514; }));
    EXPECT_EQ(machine.received(), all + all + "\x1a" + "\x1a");
    // Nothing to write at all ends the job as well.
    s.settings.write(PortSettings::section(0), "EndCode", "<ST>");
    EXPECT_EQ(send(""), "");
    EXPECT_EQ(outcome, SendJob::Outcome::Sent);
}

TEST_F(SendJobTest, StartReturnsAtOnceAndTheJobRunsFromTheEventLoop)
{
    MachineSide machine(pty);
    QPointer<SendJob> job = begin(QByteArray(64 * 1024, 'G'));
    ASSERT_TRUE(job);
    // Nothing has happened yet: a caller can still connect to everything.
    EXPECT_EQ(job->phase(), SendJob::Phase::Starting);
    EXPECT_TRUE(raw.isEmpty());
    EXPECT_TRUE(s.station.sending(0));
    EXPECT_EQ(s.station.sendJob(0), job);
    ASSERT_TRUE(s.pumpUntil([&] { return ended; }));
    EXPECT_EQ(error, "");
    EXPECT_FALSE(s.station.sending(0));
    EXPECT_EQ(s.station.sendJob(0), nullptr);
    // The station lets go of the finished job.
    ASSERT_TRUE(s.pumpUntil([&] { return job.isNull(); }));
}

TEST_F(SendJobTest, AbbruchEndsTheCountdownTheTransferAndTheLastPieceAndNothingMoreGoesOut)
{
    // During the countdown: nothing is sent, the lamp is not touched.
    {
        MachineSide machine(pty);
        SendJob *job = begin("G1", 10.0);
        s.pump(60);
        EXPECT_EQ(job->phase(), SendJob::Phase::CountingDown);
        job->cancel();
        EXPECT_TRUE(ended); // told before cancel() returns
        EXPECT_TRUE(cancelled);
        EXPECT_EQ(error, "");
        s.rclock.advance(20);
        s.pump(150);
        EXPECT_EQ(machine.count(), 0);
        EXPECT_TRUE(lamps.isEmpty());
        EXPECT_TRUE(raw.isEmpty());
    }
    // While pieces go out.
    {
        MachineSide machine(pty);
        int pieces = 0;
        QPointer<SendJob> job = begin(QByteArray(400 * 1024, 'G'));
        onStatus = [&] {
            if (++pieces == 3)
                job->cancel();
        };
        ASSERT_TRUE(s.pumpUntil([&] { return ended; }));
        onStatus = nullptr;
        EXPECT_EQ(error, "");
        EXPECT_TRUE(cancelled);
        EXPECT_EQ(outcome, SendJob::Outcome::Cancelled);
        EXPECT_EQ(lamps.last(), LampColour::Red);
        EXPECT_EQ(raw.last(), "\r\nABBRUCH");
        EXPECT_EQ(pieces, 3);
        s.pump(200);
        EXPECT_LT(machine.count(), 64 * 1024);
    }
    // In the last piece, with a machine that stopped reading: the cancel is
    // still honoured and what waits is thrown away.
    {
        s.settings.write(PortSettings::section(0), "Puffer", "1048576");
        s.station.SetComm();
        raw.clear();
        SendJob *job = begin(QByteArray(512 * 1024, 'L'));
        s.pump(300);
        ASSERT_FALSE(ended);
        EXPECT_EQ(job->phase(), SendJob::Phase::Sending);
        EXPECT_TRUE(status.size() == 3); // only the earlier transfer's pieces
        job->cancel();
        EXPECT_TRUE(cancelled);
        EXPECT_EQ(raw.last(), "\r\nABBRUCH");
        EXPECT_EQ(s.station.port(0).outBufferCount(), 0);
        EXPECT_FALSE(s.station.sending(0));
    }
}

double threadCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

TEST_F(SendJobTest, AMachineWhoseLineIsLostEndsTheJobWithTheLostLineNotAHang)
{
    // The machine's end closes after 8 KiB, as when a cable is pulled.
    MachineSide machine(pty, 8 * 1024);
    begin(QByteArray(512 * 1024, 'G'));
    ASSERT_TRUE(s.pumpUntil([&] { return machine.count() >= 8 * 1024; }));
    QElapsedTimer lost;
    lost.start();
    const double cpuBefore = threadCpuSeconds();
    ASSERT_TRUE(s.pumpUntil([&] { return ended; }));
    EXPECT_LT(lost.elapsed(), 2000);
    // The pump itself sleeps between its rounds; a job that spun on the dead
    // line would use the whole time.
    EXPECT_LT(threadCpuSeconds() - cpuBefore, 0.5 * double(lost.elapsed()) / 1000.0 + 0.05);
    EXPECT_TRUE(error.startsWith("Die Verbindung zu Maschine 1 wurde unterbrochen. (")) << error.toStdString();
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(outcome, SendJob::Outcome::Failed);
    EXPECT_EQ(lamps.last(), LampColour::Red);
    EXPECT_TRUE(raw.last().startsWith("\r\nFEHLER: Die Verbindung zu Maschine 1"));
    EXPECT_EQ(endings, 1);
}

TEST_F(SendJobTest, APortThatClosesMidTransferIsALostLineAndAClosedPortSendsNothing)
{
    MachineSide machine(pty);
    int pieces = 0;
    onStatus = [&] {
        // As the port does itself when the line hangs up.
        if (++pieces == 3)
            s.station.port(0).setPortOpen(false);
    };
    EXPECT_TRUE(send(QByteArray(64 * 1024, 'G')).startsWith("Die Verbindung zu Maschine 1 wurde unterbrochen. ("));
    EXPECT_EQ(lamps.last(), LampColour::Red);

    onStatus = nullptr;
    EXPECT_EQ(send("G1"), "Die Schnittstelle von Maschine 1 ist nicht geöffnet.");
    EXPECT_EQ(outcome, SendJob::Outcome::Failed);
}

TEST_F(SendJobTest, AFileThatCannotBeReadIsAnErrorAndAMissingFileIsToldApart)
{
    MachineSide machine(pty);
    QDir().mkpath(s.env.root() + "data/ORDNER.NC");
    begin(SendOrder{s.env.root() + "data/ORDNER.NC", 0, std::nullopt});
    ASSERT_TRUE(s.pumpUntil([&] { return ended; }));
    EXPECT_TRUE(error.contains("kann nicht gelesen werden"));
    EXPECT_EQ(outcome, SendJob::Outcome::Failed);

    lamps.clear();
    begin(SendOrder{s.env.root() + "data/WEG.NC", 0, std::nullopt});
    ASSERT_TRUE(s.pumpUntil([&] { return ended; }));
    EXPECT_EQ(outcome, SendJob::Outcome::FileMissing);
    EXPECT_EQ(error, SendJob::missingText());
    EXPECT_TRUE(lamps.isEmpty());
    s.pump(100);
    EXPECT_EQ(machine.count(), 0);
}

TEST_F(SendJobTest, TheCountdownCountsWholeSecondsAndOnlyItsOwnMachineEndsItEarly)
{
    MachineSide machine(pty);
    QList<int> seconds;
    bool begun = false;
    // An XON from before the order is no answer to it.
    s.station.machineReady(0).set();
    SendJob *job = begin("G1", 3.0);
    QObject::connect(job, &SendJob::secondPassed, [&](int r) { seconds << r; });
    QObject::connect(job, &SendJob::sendingStarted, [&] { begun = true; });
    s.pump(120);
    EXPECT_EQ(seconds, QList<int>({4})); // 3 s left counts as the 4th second
    s.rclock.advance(1.2);
    s.pump(120);
    EXPECT_EQ(seconds, QList<int>({4, 2}));
    // Another machine's XON is no signal for this transfer.
    s.station.machineReady(2).set();
    s.pump(120);
    EXPECT_EQ(job->phase(), SendJob::Phase::CountingDown);
    EXPECT_FALSE(begun);
    // Its own machine's XON over the line is.
    pty.send("\x11");
    ASSERT_TRUE(s.pumpUntil([&] { return ended; }));
    EXPECT_TRUE(begun);
    EXPECT_EQ(error, "");
    ASSERT_TRUE(s.pumpUntil([&] { return machine.count() == 3; }));
    EXPECT_EQ(machine.received(), "G1\x1a");

    // Without a signal the deadline starts it.
    seconds.clear();
    job = begin("G2", 0.5);
    QObject::connect(job, &SendJob::secondPassed, [&](int r) { seconds << r; });
    s.pump(120);
    EXPECT_FALSE(ended);
    s.rclock.advance(0.5);
    ASSERT_TRUE(s.pumpUntil([&] { return ended; }));
    EXPECT_EQ(seconds, QList<int>({1}));
    ASSERT_TRUE(s.pumpUntil([&] { return machine.count() == 6; }));
}

TEST_F(SendJobTest, ABusyLineRefusesASecondSendWhileAnotherLineSendsAtTheSameTime)
{
    PtyPair other;
    ASSERT_TRUE(other.ok());
    s.activate(1, other.slavePath(), "<SA>26");
    s.settings.write(PortSettings::section(1), "Handshaking", "0");
    s.settings.write(PortSettings::section(1), "Puffer", "256");
    s.station.SetComm();
    ASSERT_TRUE(s.station.port(1).portOpen());
    QList<QPair<int, bool>> changes;
    QObject::connect(&s.station, &CommStation::sendingChanged, [&](int i, bool on) { changes.append({i, on}); });
    MachineSide first(pty), second(other);
    QByteArray a(96 * 1024, 'A'), b(80 * 1024, 'B');

    SendJob *one = begin(a);
    ASSERT_TRUE(one);
    QString refusal;
    EXPECT_EQ(s.station.startSend(SendOrder{path, 0, std::nullopt}, &refusal), nullptr);
    EXPECT_EQ(refusal, "An Maschine 1 wird gerade ein Programm gesendet. Bitte warten Sie, bis die Übertragung "
                       "beendet ist.");
    const QString pathB = s.env.writeFile("data/P2.NC", b);
    bool twoEnded = false;
    SendJob *two = s.station.startSend(SendOrder{pathB, 1, std::nullopt}, &refusal);
    ASSERT_TRUE(two);
    QObject::connect(two, &Job::finished, [&, two] {
        twoEnded = true;
        EXPECT_EQ(two->error(), "");
    });
    EXPECT_TRUE(s.station.sending(0));
    EXPECT_TRUE(s.station.sending(1));
    ASSERT_TRUE(s.pumpUntil([&] { return ended && twoEnded; }));
    EXPECT_EQ(error, "");
    ASSERT_TRUE(s.pumpUntil([&] { return first.count() == a.size() + 1 && second.count() == b.size() + 1; }));
    EXPECT_EQ(first.received(), a + "\x1a");
    EXPECT_EQ(second.received(), b + "\x1a");
    EXPECT_FALSE(s.station.sending(0));
    EXPECT_FALSE(s.station.sending(1));
    ASSERT_EQ(changes.size(), 4);
    EXPECT_EQ(changes[0], qMakePair(0, true));
    EXPECT_EQ(changes[1], qMakePair(1, true));
    EXPECT_TRUE(changes.contains(qMakePair(0, false)));
    EXPECT_TRUE(changes.contains(qMakePair(1, false)));

    // Free again: the next program may go.
    EXPECT_NE(begin("G1"), nullptr);
    ASSERT_TRUE(s.pumpUntil([&] { return ended; }));
}

} // namespace
} // namespace zep::test

namespace zep::test {
namespace {

TEST_F(SendJobTest, XoffFromTheMachineHoldsTheTransferUntilXonWithNothingLostOrDoubled)
{
    s.settings.write(PortSettings::section(0), "Handshaking", "1");
    s.station.SetComm();
    ASSERT_TRUE(s.station.port(0).portOpen());
    QByteArray program;
    for (int i = 0; i < 64 * 1024; ++i)
        program.append(char('0' + i % 10));
    std::atomic<qsizetype> duringHold{-1};
    QByteArray got;
    std::thread machine([&] {
        char buffer[512];
        qsizetype heldAt = -1;
        QElapsedTimer clock;
        clock.start();
        while (got.size() < program.size() + 1 && clock.elapsed() < 20000) {
            pollfd p{pty.master(), POLLIN, 0};
            if (::poll(&p, 1, 10) > 0) {
                const ssize_t n = ::read(pty.master(), buffer, sizeof buffer);
                if (n > 0)
                    got.append(buffer, n);
            }
            if (heldAt < 0 && got.size() >= 8 * 1024) {
                pty.send("\x13");
                // What was on its way when XOFF went out may still come.
                QThread::msleep(300);
                while (::poll(&p, 1, 0) > 0) {
                    const ssize_t n = ::read(pty.master(), buffer, sizeof buffer);
                    if (n <= 0)
                        break;
                    got.append(buffer, n);
                }
                heldAt = got.size();
                QThread::msleep(400);
                pollfd q{pty.master(), POLLIN, 0};
                duringHold = ::poll(&q, 1, 0) > 0 ? 1 : 0;
                pty.send("\x11");
            }
        }
    });
    EXPECT_EQ(send(program), "");
    machine.join();
    EXPECT_EQ(duringHold.load(), 0);
    EXPECT_EQ(got, program + "\x1a");
}

} // namespace
} // namespace zep::test
