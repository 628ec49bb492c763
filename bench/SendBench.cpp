// Drip feed: a 256 KiB program sent to a machine that reads at exactly the
// line rate (10 bits per byte, 8N1), at 9,600 and 115,200 baud with output
// buffers of 256 and 4096 bytes. Prints physical time / measured time (the
// line must stay busy: at least 0.98), whether every byte arrived in order,
// and the main thread's CPU use during the transfer (under 5 % of a core).
// Optional argument: the baud rates to run, e.g. "115200" for a quick run.
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

using Result = SendFigures;

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
    return sendAtLineRate(port, settings, logbook, path, program, master, baud);
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
