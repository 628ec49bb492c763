// A machine's request answered: from the request's last byte (its end code,
// followed by the control's XON) to the answer's first byte, median of 20 on
// a pty, with the station's one-second reception check deciding the end of
// the reception as it does in the program. Prints the whole time and the
// part after the reception was handed over (target: at most 100 ms beyond
// that detection). Then the line's busy share while the answer goes out to a
// machine reading at the line rate (10 bits per byte), at 9,600 and 115,200
// baud (target: at least 0.98 of the physical time).
// Optional argument: the baud rates for the busy share, e.g. "115200".
#include "BenchPty.h"

#include "app/IniSettingsStore.h"
#include "app/Logbook.h"
#include "app/ScriptedPrompts.h"
#include "app/SystemClock.h"
#include "comm/CommStation.h"
#include "comm/PortSettings.h"
#include "comm/SteadyReceptionClock.h"
#include "comm/UnattendedSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <poll.h>
#include <thread>
#include <unistd.h>

using namespace zep;

namespace {

struct Line {
    Line(const QString &dir, int baud)
        : settings(dir + "/ZEP.ini"), logbook(dir + "/", clock),
          station(settings, prompts, logbook, clock, receptionClock, dir + "/")
    {
        settings.write("Schnittstellen", "COM1", pty.path);
        PortSettings p;
        p.aktiviert = true;
        p.comAnschluss = 1;
        p.maschinenIndex = 1;
        p.endCode = "<SA>26";
        p.puffer = 4096;
        p.line = LineSettings::fromText(QString::number(baud) + ",N,8,1", 0);
        p.save(settings, 0);
        UnattendedSettings u;
        u.anforderungen = true;
        u.save(settings, 0);
        QDir().mkpath(dir + "/data");
        station.monitoredDirectory = [dir] { return dir + "/data/"; };
        station.SetComm();
        QObject::connect(&station, &CommStation::statusChanged, [this](const QString &t) {
            if (t.endsWith("wird gesendet"))
                handedOverNs = timer.nsecsElapsed();
        });
        // The station's reception check, once a second as in the program.
        check.setInterval(1000);
        QObject::connect(&check, &QTimer::timeout, [this] { station.comTimerTick(); });
        check.start();
        timer.start();
    }
    void pump(int msecs)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < msecs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }

    BenchPty pty;
    IniSettingsStore settings;
    ScriptedPrompts prompts;
    SystemClock clock;
    Logbook logbook;
    SteadyReceptionClock receptionClock;
    CommStation station;
    QTimer check;
    QElapsedTimer timer;
    qint64 handedOverNs = -1;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void latency(const QString &dir)
{
    Line line(dir, 115200);
    QFile f(dir + "/data/WELLE.NC");
    f.open(QIODevice::WriteOnly);
    f.write("%\r\nO1234\r\nN10 G0 X0\r\nN20 M30\r\n%\r\n");
    f.close();
    std::vector<double> whole, afterHandOver;
    for (int k = 0; k < 20; ++k) {
        // Start at a random point of the check's second, as a machine would.
        line.pump(int(k * 37 % 1000));
        line.handedOverNs = -1;
        const qint64 sent = line.timer.nsecsElapsed();
        writeAll(line.pty.master, QByteArray("%\r\n(SENDE WELLE)\r\nM30\r\n%\x1a\x11"));
        qint64 first = -1;
        QByteArray got;
        while (!got.contains('\x1a')) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            pollfd p{line.pty.master, POLLIN, 0};
            if (poll(&p, 1, 0) > 0) {
                char buffer[4096];
                const ssize_t n = read(line.pty.master, buffer, sizeof buffer);
                if (n > 0) {
                    if (first < 0)
                        first = line.timer.nsecsElapsed();
                    got.append(buffer, n);
                }
            }
        }
        whole.push_back(double(first - sent) / 1e6);
        afterHandOver.push_back(double(first - line.handedOverNs) / 1e6);
        line.pump(20); // the job ends
    }
    std::printf("request's last byte to answer's first byte, median of 20: %.1f ms in all, %.1f ms after the "
                "reception check handed the request over (target <= 100 ms beyond that)\n",
                median(whole), median(afterHandOver));
    std::fflush(stdout);
}

void busyShare(const QString &dir, int baud, qsizetype size)
{
    Line line(dir, baud);
    QByteArray program;
    for (qsizetype i = 0; i < size - 1; ++i)
        program.append(char('A' + i % 26));
    QFile f(dir + "/data/GROSS.NC");
    f.open(QIODevice::WriteOnly);
    f.write(program);
    f.close();
    program.append('\x1a'); // the end code goes out with it

    std::atomic<bool> started{false};
    std::atomic<qint64> startNs{0}, doneNs{0};
    QByteArray got;
    QElapsedTimer lineClock;
    std::thread machine([&] {
        while (!started)
            std::this_thread::yield();
        char chunk[4096];
        while (got.size() < program.size()) {
            const double allowed = double(lineClock.nsecsElapsed() - startNs) / 1e9 * baud / 10.0;
            const qsizetype room = qsizetype(allowed) - got.size();
            if (room <= 0) {
                usleep(200);
                continue;
            }
            pollfd pf{line.pty.master, POLLIN, 0};
            if (poll(&pf, 1, 5) <= 0)
                continue;
            const ssize_t n = read(line.pty.master, chunk, size_t(qMin<qsizetype>(room, sizeof chunk)));
            if (n > 0)
                got.append(chunk, n);
        }
        doneNs = lineClock.nsecsElapsed();
    });
    lineClock.start();
    writeAll(line.pty.master, QByteArray("(SENDE GROSS)\x1a\x11"));
    while (line.handedOverNs < 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    // The line is the answer's from the hand-over on.
    startNs = lineClock.nsecsElapsed();
    started = true;
    while (doneNs == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    machine.join();
    const double measured = double(doneNs - startNs) / 1e9;
    const double physical = double(program.size()) * 10.0 / baud;
    std::printf("answer of %lld bytes at %d baud: physical/measured %.4f (target >= 0.98), bytes exact: %s\n",
                static_cast<long long>(program.size()), baud, physical / measured, got == program ? "yes" : "NO");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    {
        QTemporaryDir dir;
        latency(dir.path());
    }
    QList<int> bauds{9600, 115200};
    if (argc > 1)
        bauds = {QString::fromLocal8Bit(argv[1]).toInt()};
    for (const int baud : bauds) {
        QTemporaryDir dir;
        busyShare(dir.path(), baud, baud == 9600 ? 16 * 1024 : 256 * 1024);
    }
    return 0;
}
