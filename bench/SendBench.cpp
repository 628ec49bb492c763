// Drip feed: a 256 KiB program sent to a machine that reads at exactly the
// line rate (10 bits per byte, 8N1), at 9,600 and 115,200 baud with output
// buffers of 256 and 4096 bytes. Prints physical time / measured time (the
// line must stay busy: at least 0.98), whether every byte arrived in order,
// and the main thread's CPU use during the transfer (under 5 % of a core).
// Optional argument: the baud rates to run, e.g. "115200" for a quick run.
#include "BenchPty.h"

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
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace zep;

namespace {

double threadCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Result {
    double ratio = 0;
    double cpuPercent = 0;
    bool exact = false;
};

Result run(const QString &dir, int baud, int buffer, const QByteArray &program)
{
    BenchPty pty;
    const int master = pty.master;

    IniSettingsStore settings(dir + "/ZEP.ini");
    settings.write("Schnittstellen", "COM1", pty.path);
    PortSettings p;
    p.endCode = "<ST>"; // the bytes as they are
    p.conversions.exon = 1;
    p.save(settings, 0);
    SystemClock clock;
    Logbook logbook(dir + "/", clock);
    SerialPort port(settings);
    port.setCommPort(1);
    port.setSettings(QString::number(baud) + ",N,8,1");
    port.setOutBufferSize(buffer);
    port.setPortOpen(true);

    const QString path = dir + "/P.NC";
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(program);
    f.close();

    // The machine: takes no byte before the line could have carried it.
    QByteArray got;
    got.reserve(program.size());
    std::atomic<bool> started{false};
    QElapsedTimer lineClock;
    std::atomic<qint64> doneNs{0};
    std::thread machine([&] {
        while (!started)
            std::this_thread::yield();
        char chunk[4096];
        while (got.size() < program.size()) {
            const double allowed = double(lineClock.nsecsElapsed()) / 1e9 * baud / 10.0;
            const qsizetype room = qsizetype(allowed) - got.size();
            if (room <= 0) {
                usleep(200);
                continue;
            }
            pollfd pf{master, POLLIN, 0};
            if (poll(&pf, 1, 5) <= 0)
                continue;
            const ssize_t n = read(master, chunk, size_t(qMin<qsizetype>(room, sizeof chunk)));
            if (n > 0)
                got.append(chunk, n);
        }
        doneNs = lineClock.nsecsElapsed();
    });

    SteadyReceptionClock receptionClock;
    SendJob job({settings, logbook, receptionClock}, port, SendOrder{path, 0, std::nullopt});
    QString error;
    QEventLoop loop;
    QObject::connect(&job, &Job::finished, &loop, [&] {
        error = job.error();
        loop.quit();
    });
    const double cpuBefore = threadCpuSeconds();
    lineClock.start();
    started = true;
    job.start();
    // The program's own event loop: the job runs in it, as under the window.
    loop.exec();
    // The last bytes are still on their way; the program only waits.
    while (doneNs == 0) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    machine.join();
    const double cpu = threadCpuSeconds() - cpuBefore;
    const double measured = double(doneNs) / 1e9;
    const double physical = double(program.size()) * 10.0 / baud;
    port.setPortOpen(false);
    if (!error.isEmpty())
        std::fprintf(stderr, "send failed: %s\n", qPrintable(error));
    return {physical / measured, 100.0 * cpu / measured, error.isEmpty() && got == program};
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
    for (const int baud : bauds) {
        for (const int buffer : {256, 4096}) {
            const Result r = run(dir.path(), baud, buffer, program);
            std::printf("256 KiB at %d baud, buffer %d: physical/measured %.4f (target >= 0.98), CPU %.2f %% of a core "
                        "(target < 5 %%), bytes exact and in order: %s\n",
                        baud, buffer, r.ratio, r.cpuPercent, r.exact ? "yes" : "NO");
            std::fflush(stdout);
        }
    }
    return 0;
}
