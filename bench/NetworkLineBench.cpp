// Machines behind an Ethernet serial server: a real ser2net on 127.0.0.1
// serving a pseudo-terminal, raw TCP and RFC 2217.
// - Send: a 256 KiB program to a machine that reads at exactly the line rate
//   (8N1, 10 bits a byte) at 9,600 and 115,200 baud. Prints physical time /
//   measured time (the line must stay busy: at least 0.98), whether every
//   byte arrived in order, and the main thread's CPU use (under 5 % of a
//   core).
// - Receive: 4 MiB written by the machine as fast as the pty takes it,
//   through the same server, read by the port object, against `socat`
//   reading a raw server.
// Optional argument: the baud rate to run, e.g. "115200" for a quick run, or
// "0" for the receive half only.
#include "BenchPty.h"
#include "PacedSend.h"

#include "app/IniSettingsStore.h"
#include "app/Logbook.h"
#include "app/SystemClock.h"
#include "comm/PortSettings.h"
#include "comm/SendJob.h"
#include "comm/SerialPort.h"
#include "comm/SteadyReceptionClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace zep;

namespace {

quint16 freePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    close(fd);
    return ntohs(a.sin_port);
}

// ser2net in the foreground, serving `device`; gone with the object.
struct Server {
    pid_t pid = -1;
    quint16 port = freePort();
    Server(const QString &dir, const QString &device, bool rfc2217)
    {
        const QString config = dir + "/ser2net.yaml";
        QFile f(config);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(QString("connection: &line\n  accepter: %1tcp,127.0.0.1,%2\n  enable: on\n"
                        "  connector: serialdev,%3,9600n81,local\n")
                    .arg(rfc2217 ? "telnet(rfc2217)," : "")
                    .arg(port)
                    .arg(device)
                    .toUtf8());
        f.close();
        const QByteArray c = config.toLocal8Bit();
        pid = fork();
        if (pid == 0) {
            const int null = open("/dev/null", O_RDWR);
            dup2(null, 1);
            dup2(null, 2);
            execl("/usr/sbin/ser2net", "ser2net", "-n", "-d", "-c", c.constData(), static_cast<char *>(nullptr));
            _exit(127);
        }
        usleep(500 * 1000);
    }
    ~Server()
    {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    QString address(bool rfc2217) const
    {
        return QString(rfc2217 ? "rfc2217" : "tcp") + "://127.0.0.1:" + QString::number(port);
    }
};

void openAndWait(SerialPort &port)
{
    port.setPortOpen(true);
    QElapsedTimer t;
    t.start();
    while (!port.lineUp() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    // ser2net opens its device when the client comes.
    QEventLoop settle;
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();
}

using SendResult = SendFigures;

SendResult send(const QString &dir, bool rfc2217, int baud, const QByteArray &program)
{
    BenchPty pty;
    Server server(dir, pty.path, rfc2217);
    IniSettingsStore settings(dir + "/ZEP.ini");
    settings.write("Schnittstellen", "COM1", server.address(rfc2217));
    PortSettings p;
    p.endCode = "<ST>"; // the bytes as they are
    p.conversions.exon = 1;
    p.save(settings, 0);
    SystemClock clock;
    Logbook logbook(dir + "/", clock);
    SerialPort port(settings);
    port.setCommPort(1);
    port.setSettings(QString::number(baud) + ",N,8,1");
    port.setHandshaking(0);
    port.setOutBufferSize(4096);
    openAndWait(port);

    const QString path = dir + "/P.NC";
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(program);
    f.close();

    return sendAtLineRate(port, settings, logbook, path, program, pty.master, baud);
}

// Seconds for `size` bytes from the machine to arrive through the server.
double receive(const QString &dir, bool rfc2217, qsizetype size, bool *exact)
{
    BenchPty pty;
    Server server(dir, pty.path, rfc2217);
    IniSettingsStore settings(dir + "/ZEP.ini");
    settings.write("Schnittstellen", "COM1", server.address(rfc2217));
    SerialPort port(settings);
    port.setCommPort(1);
    port.setSettings("115200,N,8,1");
    port.setHandshaking(0);
    openAndWait(port);
    QByteArray data;
    for (qsizetype i = 0; i < size; ++i)
        data.append(char(i * 13 % 256));
    QByteArray got;
    QObject::connect(&port, &SerialPort::OnComm, &port, [&] { got += port.Input(); });
    QElapsedTimer t;
    t.start();
    std::thread machine([&] {
        qsizetype done = 0;
        while (done < data.size()) {
            const ssize_t n = write(pty.master, data.constData() + done, size_t(data.size() - done));
            if (n > 0)
                done += n;
        }
    });
    while (got.size() < size && t.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    machine.join();
    *exact = got == data;
    port.setPortOpen(false);
    return seconds;
}

// Seconds until socat, reading a raw server into a file, has `size` bytes.
double socatReceive(const QString &dir, qsizetype size)
{
    BenchPty pty;
    Server server(dir, pty.path, false);
    const QString out = dir + "/socat.out";
    const QByteArray address = "TCP:127.0.0.1:" + QByteArray::number(server.port);
    const QByteArray target = "OPEN:" + out.toLocal8Bit() + ",creat,trunc";
    const pid_t pid = fork();
    if (pid == 0) {
        execlp("socat", "socat", "-u", address.constData(), target.constData(), static_cast<char *>(nullptr));
        _exit(127);
    }
    usleep(300 * 1000);
    QElapsedTimer t;
    t.start();
    QByteArray data(size, 'x');
    std::thread machine([&] {
        qsizetype done = 0;
        while (done < data.size()) {
            const ssize_t n = write(pty.master, data.constData() + done, size_t(data.size() - done));
            if (n > 0)
                done += n;
        }
    });
    while (QFileInfo(out).size() < size && t.elapsed() < 60000)
        usleep(1000);
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    machine.join();
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QByteArray program;
    for (int i = 0; i < 256 * 1024; ++i)
        program.append(char(i * 7 % 251));
    QList<int> bauds{9600, 115200};
    if (argc > 1)
        bauds = {QString::fromLocal8Bit(argv[1]).toInt()};
    // "0": the receive half only.
    bauds.removeAll(0);
    for (const bool rfc2217 : {false, true}) {
        const char *kind = rfc2217 ? "RFC 2217" : "raw TCP";
        for (const int baud : bauds) {
            const SendResult r = send(dir.path(), rfc2217, baud, program);
            std::printf("send %s, 256 KiB at %d baud: physical/measured %.4f (target >= 0.98), CPU %.2f %% of a core "
                        "(target < 5 %%), bytes exact and in order: %s\n",
                        kind, baud, r.ratio, r.cpuPercent, r.exact ? "yes" : "NO");
            std::fflush(stdout);
        }
    }
    const qsizetype size = 4 * 1024 * 1024;
    const double socat = socatReceive(dir.path(), size);
    std::printf("receive 4 MiB through ser2net: socat (raw) %.3f s, %.1f MiB/s\n", socat, 4.0 / socat);
    for (const bool rfc2217 : {false, true}) {
        bool exact = false;
        const double s = receive(dir.path(), rfc2217, size, &exact);
        std::printf("receive 4 MiB through ser2net, %s: %.3f s, %.1f MiB/s (%.2f x socat), bytes exact: %s\n",
                    rfc2217 ? "RFC 2217" : "raw TCP", s, 4.0 / s, socat / s, exact ? "yes" : "NO");
        std::fflush(stdout);
    }
    return 0;
}
