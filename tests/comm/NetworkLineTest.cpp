#include "CommStationFixture.h"
#include "support/AllBytes.h"
#include "support/PtyPair.h"
#include "support/QStringPrinter.h"
#include "support/Ser2Net.h"

#include "comm/CommEvent.h"
#include "comm/LineAddress.h"
#include "comm/NetworkLine.h"
#include "comm/PortDevices.h"
#include "comm/Rfc2217Line.h"
#include "comm/SerialPort.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <arpa/inet.h>
#include <ctime>
#include <memory>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace zep::test {
namespace {

double processCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void runFor(int msecs)
{
    QEventLoop loop;
    QTimer::singleShot(msecs, &loop, &QEventLoop::quit);
    loop.exec();
}

template <class F> bool waitFor(F done, int msecs = 15000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < msecs)
        runFor(5);
    return done();
}

// Reads what the machine gets until `count` bytes or `quietMsecs` of
// quiet, with the event loop running as the program's does.
QByteArray readAtMachine(const PtyPair &pty, qsizetype count, int quietMsecs = 2000)
{
    QByteArray got;
    QElapsedTimer quiet;
    quiet.start();
    while (got.size() < count && quiet.elapsed() < quietMsecs) {
        runFor(5);
        const QByteArray more = pty.readAvailable(0);
        if (!more.isEmpty())
            quiet.restart();
        got += more;
    }
    return got;
}

TEST(LineAddressTest, NetworkAddressesAreReadAndMalformedOnesGetAMessageSayingWhatIsWrong)
{
    struct Case {
        const char *text;
        LineAddress::Kind kind;
        const char *host;
        int port;
        const char *error; // part of the message, or empty
    };
    const Case cases[] = {
        {"/dev/ttyS0", LineAddress::Kind::Device, "", 0, ""},
        {"tcp://127.0.0.1:2000", LineAddress::Kind::RawTcp, "127.0.0.1", 2000, ""},
        {"  RFC2217://maschine-3.halle:4001 ", LineAddress::Kind::Rfc2217, "maschine-3.halle", 4001, ""},
        {"tcp://[::1]:7000", LineAddress::Kind::RawTcp, "::1", 7000, ""},
        {"tcp://", LineAddress::Kind::RawTcp, "", 0, "der Rechner fehlt"},
        {"tcp://:2000", LineAddress::Kind::RawTcp, "", 0, "der Rechner fehlt"},
        {"tcp://server", LineAddress::Kind::RawTcp, "", 0, "die Portnummer fehlt"},
        {"rfc2217://server:", LineAddress::Kind::Rfc2217, "", 0, "die Portnummer fehlt"},
        {"tcp://server:0", LineAddress::Kind::RawTcp, "", 0, "zwischen 1 und 65535"},
        {"tcp://server:70000", LineAddress::Kind::RawTcp, "", 0, "zwischen 1 und 65535"},
        {"tcp://ser ver:20", LineAddress::Kind::RawTcp, "", 0, "Rechner oder Portnummer ungültig"},
        {"telnet://server:23", LineAddress::Kind::Device, "", 0, "unbekannte Art \"telnet://\""},
    };
    for (const Case &c : cases) {
        QString error;
        const LineAddress a = LineAddress::parse(c.text, &error);
        SCOPED_TRACE(c.text);
        if (*c.error) {
            EXPECT_TRUE(error.startsWith("Ungültige Netzwerkadresse \"")) << error;
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error;
            continue;
        }
        EXPECT_TRUE(error.isEmpty()) << error;
        EXPECT_EQ(a.kind, c.kind);
        EXPECT_EQ(a.host, c.host);
        EXPECT_EQ(a.port, c.port);
    }
}

TEST(NetworkLineAddress, AMalformedAddressFailsTheOpeningWithItsMessage)
{
    TestEnvironment env;
    IniSettingsStore settings(env.iniFile());
    SerialPort port(settings);
    PortDevices::setDevicePath(settings, 1, "tcp://maschine7");
    ASSERT_TRUE(port.setCommPort(1));
    EXPECT_FALSE(port.setPortOpen(true));
    EXPECT_FALSE(port.portOpen());
    EXPECT_TRUE(port.errorDescription().contains("die Portnummer fehlt")) << port.errorDescription();
}

// A real ser2net on 127.0.0.1 serving a pseudo-terminal whose master side
// plays the machine.
struct NetworkLineTest : ::testing::TestWithParam<Ser2Net::Mode> {
    void SetUp() override
    {
        if (!Ser2Net::installed())
            GTEST_SKIP() << "ser2net is not installed (scripts/setup-debian.sh installs it)";
        ASSERT_TRUE(pty.ok());
        server = std::make_unique<Ser2Net>(GetParam(), pty.slavePath(), env.root());
        ASSERT_TRUE(server->start());
        PortDevices::setDevicePath(settings, 1, server->address());
        ASSERT_TRUE(port.setCommPort(1));
    }
    void openWith(const QString &line, int handshake)
    {
        ASSERT_TRUE(port.setSettings(line)) << port.errorDescription();
        ASSERT_TRUE(port.setHandshaking(handshake));
        ASSERT_TRUE(port.setPortOpen(true)) << port.errorDescription();
        ASSERT_TRUE(waitFor([&] { return port.lineUp(); }));
        // ser2net opens its device when a client comes: let it settle.
        runFor(200);
    }

    TestEnvironment env;
    IniSettingsStore settings{env.iniFile()};
    PtyPair pty;
    std::unique_ptr<Ser2Net> server;
    SerialPort port{settings};
};

TEST_P(NetworkLineTest, EveryByteValueGoesThroughUnchangedBothWays)
{
    openWith("115200,N,8,1", 0);
    // Twice over, with the escape byte 0xFF side by side.
    const QByteArray text = allBytes() + allBytes() + QByteArray("\xFF\xFF\xFF", 3);
    ASSERT_TRUE(port.Output(text));
    EXPECT_EQ(readAtMachine(pty, text.size()), text);

    pty.send(text);
    QByteArray got;
    ASSERT_TRUE(waitFor([&] {
        got += port.Input();
        return got.size() >= text.size();
    }));
    runFor(100);
    got += port.Input();
    EXPECT_EQ(got, text);
}

TEST_P(NetworkLineTest, SendingIsPacedAtTheLineSpeed)
{
    openWith("19200,N,8,1", 0);
    // 1,920 bytes a second: two seconds of line.
    const QByteArray text(3840, 'G');
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(port.Output(text));
    EXPECT_GT(port.outBufferCount(), 3000) << "the socket must not swallow it at once";
    ASSERT_TRUE(waitFor([&] { return port.outBufferCount() == 0; }));
    const qint64 elapsed = t.elapsed();
    EXPECT_GE(elapsed, 1850);
    EXPECT_LE(elapsed, 2600);
    EXPECT_EQ(readAtMachine(pty, text.size()), text);
}

TEST_P(NetworkLineTest, PiecesWrittenOneAfterTheOtherAreStillPacedAtTheLineSpeed)
{
    openWith("19200,N,8,1", 0);
    runFor(300); // the line idle for a while first
    // As the send job writes: the next piece when the last has gone.
    const QByteArray piece(192, 'G');
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(port.Output(piece));
        ASSERT_TRUE(waitFor([&] { return port.outBufferCount() == 0; }));
    }
    // 3,840 bytes at 1,920 a second, less one lead of 0.1 s.
    EXPECT_GE(t.elapsed(), 1800);
    EXPECT_EQ(readAtMachine(pty, 20 * piece.size()).size(), 20 * piece.size());
}

TEST_P(NetworkLineTest, AnXoffFromTheMachineHoldsTheSendAndXonResumesItWithNothingLostOrDoubled)
{
    openWith("19200,N,8,1", 1);
    QByteArray text;
    for (int i = 0; i < 600; ++i)
        text += QByteArray::number(100000 + i) + "\r\n"; // 4,800 bytes, each line different
    ASSERT_TRUE(port.Output(text));
    QByteArray got = readAtMachine(pty, 600);
    pty.send("\x13");
    const qsizetype atXoff = got.size();
    got += readAtMachine(pty, text.size(), 1000);
    // Within one TCP segment of the pacing, then nothing.
    EXPECT_LE(got.size() - atXoff, 1460);
    const qsizetype held = got.size();
    runFor(500);
    got += pty.readAvailable(0);
    EXPECT_EQ(got.size(), held) << "the send went on under XOFF";
    EXPECT_GT(port.outBufferCount(), 0);

    pty.send("\x11");
    got += readAtMachine(pty, text.size() - got.size(), 3000);
    EXPECT_EQ(got, text);
    // The machine's XOFF and XON still reach the receive steps.
    EXPECT_EQ(port.Input(), QByteArray("\x13\x11"));
}

INSTANTIATE_TEST_SUITE_P(Ser2Net, NetworkLineTest, ::testing::Values(Ser2Net::Mode::Raw, Ser2Net::Mode::Rfc2217),
                         [](const auto &info) { return info.param == Ser2Net::Mode::Raw ? "Raw" : "Rfc2217"; });

// The five connections with connection 1 on a ser2net that dies and comes back.
struct NetworkLineLoss : ::testing::TestWithParam<Ser2Net::Mode> {
    void SetUp() override
    {
        if (!Ser2Net::installed())
            GTEST_SKIP() << "ser2net is not installed (scripts/setup-debian.sh installs it)";
        server = std::make_unique<Ser2Net>(GetParam(), pty.slavePath(), s.env.root());
        ASSERT_TRUE(server->start());
        s.activate(0, server->address());
        QObject::connect(&s.station, &CommStation::lineLost, &s.station,
                         [this](int c, const QString &reason) { lost.append({c, reason}); });
        QObject::connect(&s.station, &CommStation::lineRestored, &s.station, [this](int c) { restored.append(c); });
        QObject::connect(&s.station, &CommStation::statusChanged, &s.station,
                         [this](const QString &text) { status.append(text); });
        s.station.SetComm();
        ASSERT_TRUE(waitFor([&] { return s.station.port(0).lineUp(); }));
        runFor(200);
    }
    // The server away for `msecs`: lamp, quiet retries and an idle processor.
    void downFor(int msecs)
    {
        server->kill();
        ASSERT_TRUE(waitFor([&] { return !lost.isEmpty(); }, 3000));
        EXPECT_EQ(s.station.lamp(0).colour, LampColour::Red);
        EXPECT_TRUE(s.station.lamp(0).toolTip.startsWith("Maschine 1 - Verbindung unterbrochen: 127.0.0.1:"))
            << s.station.lamp(0).toolTip;
        const double cpu0 = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runFor(msecs);
        const double cpu = processCpuSeconds() - cpu0;
        EXPECT_LT(cpu, 0.02 * double(wall.elapsed()) / 1000.0) << cpu << " s of processor time";
        EXPECT_EQ(lost.size(), 1) << "failed tries are quiet";
        ASSERT_EQ(status.size(), 1);
        EXPECT_EQ(status[0], s.station.lamp(0).toolTip);
        EXPECT_TRUE(s.prompts.asked().isEmpty());
    }

    Station s;
    PtyPair pty;
    std::unique_ptr<Ser2Net> server;
    QList<QPair<int, QString>> lost;
    QList<int> restored;
    QStringList status;
};

TEST_P(NetworkLineLoss, ServerKilledMidReceptionKeepsTheHalfProgramAndTheLineComesBackByItself)
{
    const QByteArray half = "%\r\nN10 G0 X0\r\nN20 Y";
    pty.send(half);
    ASSERT_TRUE(waitFor([&] { return s.station.receiver(0).collected() == half; }));
    downFor(6000);

    QElapsedTimer back;
    back.start();
    ASSERT_TRUE(server->start());
    ASSERT_TRUE(waitFor([&] { return !restored.isEmpty(); }, 13000));
    EXPECT_LE(back.elapsed(), 12000);
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Green);
    ASSERT_EQ(s.station.recoveryFiles().size(), 1);
    EXPECT_EQ(s.env.readFile(s.station.recoveryFiles()[0]), half);
    EXPECT_TRUE(QFileInfo(s.station.recoveryFiles()[0]).fileName().startsWith("Abgebrochen_Maschine1_"));

    // And it receives as before.
    runFor(300);
    pty.send("%\r\nN10 X5\r\nM30\r\n\x1A");
    ASSERT_TRUE(waitFor([&] { return s.station.receiver(0).finished(); }));
    s.station.comTimerTick();
    ASSERT_EQ(s.handed.size(), 1);
    EXPECT_EQ(s.handed[0], qMakePair(1, QByteArray("%\r\nN10 X5\r\nM30\r\n")));
}

TEST_P(NetworkLineLoss, ServerKilledMidSendEndsTheSendWithTheReasonAndTheLineComesBack)
{
    SerialPort &port = s.station.port(0);
    // What a sender sees when the line goes.
    QString sendError;
    qsizetype unsent = -1;
    QObject::connect(&port, &SerialPort::lineLost, &port, [&] {
        sendError = port.outputError();
        unsent = port.outBufferCount();
    });
    ASSERT_TRUE(port.Output(QByteArray(20000, 'G')));
    runFor(500);
    ASSERT_GT(port.outBufferCount(), 0);
    downFor(3000);
    EXPECT_TRUE(sendError.startsWith("127.0.0.1:")) << sendError;
    EXPECT_EQ(unsent, 0);
    ASSERT_TRUE(server->start());
    ASSERT_TRUE(waitFor([&] { return !restored.isEmpty(); }, 13000));
    EXPECT_TRUE(port.outputError().isEmpty());
    pty.readAvailable(100);
    ASSERT_TRUE(port.Output("N10 X1\r\n"));
    EXPECT_EQ(readAtMachine(pty, 8), "N10 X1\r\n");
}

INSTANTIATE_TEST_SUITE_P(Ser2Net, NetworkLineLoss, ::testing::Values(Ser2Net::Mode::Raw, Ser2Net::Mode::Rfc2217),
                         [](const auto &info) { return info.param == Ser2Net::Mode::Raw ? "Raw" : "Rfc2217"; });

speed_t speedAt(const QString &device)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios t{};
    ::tcgetattr(fd, &t);
    ::close(fd);
    return ::cfgetospeed(&t);
}

struct Rfc2217LineTest : NetworkLineTest {};

TEST_P(Rfc2217LineTest, TheConnectionsLineSettingsAreSetOnTheServersPort)
{
    openWith("57600,E,7,2", 0);
    const auto *line = qobject_cast<const Rfc2217Line *>(&port.line());
    ASSERT_NE(line, nullptr);
    // The speed reaches the device; a pseudo-terminal keeps its framing bits,
    // so those are read from what the server acknowledged.
    EXPECT_EQ(speedAt(pty.slavePath()), speed_t(B57600));
    EXPECT_EQ(line->acknowledgedSpeed(), 57600u);
    EXPECT_EQ(line->acknowledged(2), QByteArray("\x07", 1)); // data bits
    EXPECT_EQ(line->acknowledged(3), QByteArray("\x03", 1)); // even parity
    EXPECT_EQ(line->acknowledged(4), QByteArray("\x02", 1)); // two stop bits

    // New settings while open go to the server too.
    ASSERT_TRUE(port.setSettings("19200,N,8,1"));
    ASSERT_TRUE(waitFor([&] { return line->acknowledgedSpeed() == 19200u; }, 3000));
    EXPECT_EQ(speedAt(pty.slavePath()), speed_t(B19200));
    EXPECT_EQ(line->acknowledged(3), QByteArray("\x01", 1));
}

INSTANTIATE_TEST_SUITE_P(Ser2Net, Rfc2217LineTest, ::testing::Values(Ser2Net::Mode::Rfc2217),
                         [](const auto &) { return "Rfc2217"; });

// ser2net serving a pseudo-terminal has no line errors or modem lines to
// report, so the server's side of those messages is played here, byte for
// byte as RFC 2217 has them.
TEST(Rfc2217Peer, LineAndModemStatesBecomeEventsAndTelnetBytesAreTakenApartAcrossSegments)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    TestEnvironment env;
    IniSettingsStore settings(env.iniFile());
    SerialPort port(settings);
    PortDevices::setDevicePath(settings, 1, "rfc2217://127.0.0.1:" + QString::number(server.serverPort()));
    ASSERT_TRUE(port.setCommPort(1));
    ASSERT_TRUE(port.setSettings("9600,N,8,1"));
    ASSERT_TRUE(port.setPortOpen(true));
    ASSERT_TRUE(waitFor([&] { return server.hasPendingConnections(); }, 3000));
    QTcpSocket *peer = server.nextPendingConnection();
    QByteArray heard;
    auto hear = [&](const QByteArray &what) {
        return waitFor([&] {
            heard += peer->readAll();
            return heard.contains(what);
        }, 3000);
    };
    EXPECT_TRUE(hear(QByteArray("\xFF\xFB\x2C", 3))) << "WILL COM-PORT-OPTION";
    EXPECT_FALSE(port.lineUp());
    peer->write(QByteArray("\xFF\xFD\x2C", 3)); // DO COM-PORT-OPTION
    // SET-BAUDRATE 9600 (0x00002580), then the framing.
    EXPECT_TRUE(hear(QByteArray("\xFF\xFA\x2C\x01\x00\x00\x25\x80\xFF\xF0", 10))) << heard.toHex(' ').constData();
    EXPECT_TRUE(hear(QByteArray("\xFF\xFA\x2C\x02\x08\xFF\xF0", 7)));
    EXPECT_TRUE(hear(QByteArray("\xFF\xFA\x2C\x03\x01\xFF\xF0", 7)));
    EXPECT_TRUE(hear(QByteArray("\xFF\xFA\x2C\x04\x01\xFF\xF0", 7)));
    peer->write(QByteArray("\xFF\xFA\x2C\x65\x00\x00\x25\x80\xFF\xF0", 10));
    ASSERT_TRUE(waitFor([&] { return port.lineUp(); }, 3000));

    QList<int> events;
    QObject::connect(&port, &SerialPort::OnComm, &port, [&] { events << port.CommEvent(); });
    QByteArray got;
    // A doubled 0xFF cut between two segments, and an option the line does not take.
    peer->write(QByteArray("A\xFF", 2));
    peer->flush();
    runFor(100);
    peer->write(QByteArray("\xFF" "B\xFF\xFB\x01", 5));
    ASSERT_TRUE(waitFor([&] {
        got += port.Input();
        return got.size() >= 3;
    }, 3000));
    EXPECT_EQ(got, QByteArray("A\xFF" "B", 3));
    EXPECT_TRUE(hear(QByteArray("\xFF\xFE\x01", 3))) << "DONT ECHO";

    events.clear();
    peer->write(QByteArray("\xFF\xFA\x2C\x6A\x08\xFF\xF0", 7)); // line state: framing error
    peer->write(QByteArray("\xFF\xFA\x2C\x6B\x11\xFF\xF0", 7)); // modem state: CTS changed (and on)
    peer->write(QByteArray("\xFF\xFA\x2C\x6A\x12\xFF\xF0", 7)); // break and overrun
    ASSERT_TRUE(waitFor([&] { return events.size() >= 4; }, 3000));
    EXPECT_EQ(events, (QList<int>{CommEvent::Frame, CommEvent::Cts, CommEvent::Break, CommEvent::Overrun}));
    EXPECT_TRUE(port.reportsLineEvents());

    // Sending: 0xFF doubled on the wire, nothing else added.
    heard.clear();
    ASSERT_TRUE(port.Output(QByteArray("\x01\xFF\x02", 3)));
    EXPECT_TRUE(hear(QByteArray("\x01\xFF\xFF\x02", 4))) << heard.toHex(' ').constData();
    runFor(100);
    heard += peer->readAll();
    EXPECT_EQ(heard, QByteArray("\x01\xFF\xFF\x02", 4));
}

// A server that takes the connection and then says nothing at all: the
// kernel accepts on its behalf, nobody ever reads or writes.
struct SilentServer {
    SilentServer()
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(listener, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(listener, 4) != 0)
            return;
        socklen_t len = sizeof a;
        ::getsockname(listener, reinterpret_cast<sockaddr *>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~SilentServer() { ::close(listener); }
    bool listening() const { return port != 0; }
    QString where() const { return "127.0.0.1:" + QString::number(port); }

    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    quint16 port = 0;
};

TEST(NetworkLineSilentServer, AnRfc2217ServerThatNeverAnswersIsALostLineTriedAgainLater)
{
    const SilentServer server;
    ASSERT_TRUE(server.listening());
    const QString where = server.where();

    Station s;
    s.activate(0, "rfc2217://" + where);
    QStringList lost;
    QObject::connect(&s.station, &CommStation::lineLost, &s.station,
                     [&](int, const QString &reason) { lost << reason; });
    QElapsedTimer t;
    t.start();
    s.station.SetComm();
    // Opening never waits for the network: the silence is found later, by
    // the running station.
    EXPECT_TRUE(lost.isEmpty());
    EXPECT_FALSE(s.station.port(0).lineUp());
    ASSERT_TRUE(waitFor([&] { return !lost.isEmpty(); }, NetworkLine::kAnswerMsecs + 10000));
    // A coarse timer may fire up to 5 % early.
    EXPECT_GE(t.elapsed(), NetworkLine::kAnswerMsecs * 9 / 10);
    EXPECT_EQ(lost, QStringList{where + " antwortet nicht"});
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Red);
    EXPECT_EQ(s.station.lamp(0).toolTip, "Maschine 1 - Verbindung unterbrochen: " + where + " antwortet nicht");
    EXPECT_TRUE(s.station.reopenPending(0));
    EXPECT_TRUE(s.prompts.asked().isEmpty());
}

TEST(NetworkLineSilentServer, ARawLineToASilentServerIsUpAndNeverHoldsTheStation)
{
    const SilentServer server;
    ASSERT_TRUE(server.listening());
    const QString where = server.where();

    TestEnvironment env;
    IniSettingsStore settings(env.iniFile());
    SerialPort port(settings);
    PortDevices::setDevicePath(settings, 1, "tcp://" + where);
    ASSERT_TRUE(port.setCommPort(1));
    ASSERT_TRUE(port.setPortOpen(true));
    EXPECT_FALSE(port.lineUp()) << "opening never waits for the network: the line comes up in the event loop";
    ASSERT_TRUE(waitFor([&] { return port.lineUp(); }, 10000));
    QStringList lost;
    QObject::connect(&port, &SerialPort::lineLost, &port, [&](const QString &r) { lost << r; });
    runFor(NetworkLine::kAnswerMsecs + 500);
    EXPECT_TRUE(lost.isEmpty()) << "a raw line to a quiet machine is a quiet line";
    EXPECT_TRUE(port.portOpen());
}

} // namespace
} // namespace zep::test
