#include "CommStationFixture.h"
#include "MachineSide.h"

#include "comm/DateiSenden.h"
#include "comm/SendUmwandeln.h"
#include "comm/SerialPort.h"
#include "comm/TraceSink.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <poll.h>
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
    s.scrZu = scr;
    s.slfZu = slf;
    s.endCode = endCode;
    s.nulFilter = nulFilter;
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

// One connection open on a pty, sent to by the real routine.
struct DateiSendenTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        s.activate(0, pty.slavePath(), "<SA>26");
        s.settings.write(PortSettings::section(0), "Handshaking", "0");
        s.settings.write(PortSettings::section(0), "Puffer", "256");
        s.station.SetComm();
        ASSERT_TRUE(s.station.port(0).portOpen());
        trace.isOn = [] { return true; };
        trace.appendLine = [this](const QString &t) { traceLines << t; };
        trace.appendRaw = [this](const QString &t) { raw << t; };
    }
    QString send(const QByteArray &program)
    {
        const QString path = s.env.writeFile("data/P1.NC", program);
        SendContext ctx{s.settings, trace, s.logbook, requests,
                        [this](const QString &t) {
                            status << t;
                            if (onStatus)
                                onStatus();
                        },
                        [this](int, LampColour c) { lamps << c; }, [](int) {}};
        return DateiSenden(path, s.station.port(0), 0, ctx);
    }

    Station s;
    PtyPair pty;
    TraceSink trace;
    SendRequests requests;
    QStringList status, traceLines, raw;
    QList<LampColour> lamps;
    std::function<void()> onStatus;
};

TEST_F(DateiSendenTest, GoesOutInPiecesOfTheBufferSizeWithTheirPercentagesAndArrivesWhole)
{
    MachineSide machine(pty);
    QByteArray program;
    for (int i = 0; i < 600; ++i)
        program.append(char('A' + i % 26));
    EXPECT_EQ(send(program), "");
    EXPECT_EQ(status, QStringList({"Senden (0 %)", "Senden (42 %)"}));
    ASSERT_EQ(raw.size(), 5);
    EXPECT_EQ(raw[1].size(), 256);
    EXPECT_EQ(raw[2].size(), 256);
    EXPECT_EQ(raw[3].size(), 89); // 88 and the end character
    EXPECT_EQ(raw[4], "\r\nENDE DER ÜBERTRAGUNG");
    EXPECT_EQ(lamps, QList<LampColour>({LampColour::Yellow, LampColour::Green}));
    ASSERT_TRUE(s.pumpUntil([&] { return machine.count() == 601; }));
    EXPECT_EQ(machine.received(), program + "\x1a");

    status.clear();
    raw.clear();
    EXPECT_EQ(send(QByteArray(256, 'x')), ""); // 257 with the end character: one piece
    EXPECT_TRUE(status.isEmpty());
    EXPECT_EQ(raw[1].size(), 257);
}

TEST_F(DateiSendenTest, EveryByteValueArrivesUnchangedAndAnEmptyFileSendsOnlyItsEndCode)
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
}

TEST_F(DateiSendenTest, AbbruchStopsTheTransferAndNothingMoreGoesOut)
{
    MachineSide machine(pty);
    int pieces = 0;
    onStatus = [&] {
        if (++pieces == 3)
            requests.cancel = true;
    };
    const QByteArray program(400 * 1024, 'G');
    EXPECT_EQ(send(program), "");
    EXPECT_EQ(lamps.last(), LampColour::Red);
    EXPECT_EQ(raw.last(), "\r\nABBRUCH");
    s.pump(200);
    EXPECT_LT(machine.count(), 64 * 1024);
}

TEST_F(DateiSendenTest, AMachineThatGoesAwayMidTransferEndsItWithAnErrorNotAHang)
{
    MachineSide machine(pty, 8 * 1024);
    const QString error = send(QByteArray(512 * 1024, 'G'));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(lamps.last(), LampColour::Red);
    EXPECT_TRUE(raw.last().startsWith("\r\nFEHLER: "));
}

TEST_F(DateiSendenTest, AFileThatCannotBeReadIsAnErrorAndNothingIsSent)
{
    MachineSide machine(pty);
    QDir().mkpath(s.env.root() + "data/ORDNER.NC");
    SendContext ctx{s.settings, trace, s.logbook, requests, [](const QString &) {}, [this](int, LampColour c) { lamps << c; },
                    [](int) {}};
    const QString error = DateiSenden(s.env.root() + "data/ORDNER.NC", s.station.port(0), 0, ctx);
    EXPECT_TRUE(error.contains("kann nicht gelesen werden"));
    s.pump(100);
    EXPECT_EQ(machine.count(), 0);
}

} // namespace
} // namespace zep::test

namespace zep::test {
namespace {

TEST_F(DateiSendenTest, XoffFromTheMachineHoldsTheTransferUntilXonWithNothingLostOrDoubled)
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
                QThread::msleep(100);
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
