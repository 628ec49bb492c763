// Receive pipeline throughput: a 1 MiB program written into a pseudo-terminal
// as fast as the peer can, received, ended, converted and handed over; and,
// in the same run, `cat` reading the same amount from the same kind of line.
#include "BenchPty.h"

#include "app/IniSettingsStore.h"
#include "app/Logbook.h"
#include "app/ManualClock.h"
#include "app/ScriptedPrompts.h"
#include "comm/CommStation.h"
#include "comm/PortSettings.h"
#include "comm/SteadyReceptionClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace zep;

namespace {

double receiveSeconds(const QByteArray &program, const QByteArray &expected, bool *exact)
{
    QTemporaryDir dir;
    IniSettingsStore settings(dir.path() + "/ZEP.ini");
    ScriptedPrompts prompts;
    ManualClock clock;
    Logbook logbook(dir.path() + "/", clock);
    SteadyReceptionClock rclock;
    CommStation station(settings, prompts, logbook, clock, rclock, dir.path() + "/");
    BenchPty pty;
    PortSettings p;
    p.aktiviert = true;
    p.maschinenIndex = 1;
    p.conversions.ecrZu = 255; // CR deleted: the conversion is part of the work
    p.save(settings, 0);
    settings.write("Schnittstellen", "COM1", pty.path);
    station.SetComm();
    QByteArray got;
    QObject::connect(&station, &CommStation::programReceived, &station, [&](int, const QByteArray &t) { got = t; });

    QElapsedTimer timer;
    timer.start();
    std::thread peer([&] { writeAll(pty.master, program); });
    while (!station.receiver(0).finished())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    station.comTimerTick();
    const double secs = timer.nsecsElapsed() / 1e9;
    peer.join();
    *exact = got == expected;
    return secs;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray line = "N10 G01 X-123.456 Y78.901 Z-5.000 F1200\r\n";
    QByteArray body;
    while (body.size() + line.size() < 1024 * 1024 - 1)
        body += line;
    body += QByteArray(1024 * 1024 - 1 - body.size(), 'X');
    const QByteArray program = body + "\x1A";
    QByteArray expected = body;
    expected.replace("\r", "");

    double best = 1e9, bestCat = 1e9;
    bool exact = true;
    for (int run = 0; run < 5; ++run) {
        bool ok = false;
        best = std::min(best, receiveSeconds(program, expected, &ok));
        exact = exact && ok;
        bestCat = std::min(bestCat, catSeconds(program));
    }
    const double mb = program.size() / 1e6;
    std::printf("receive 1 MiB over a pty: %.1f MB/s (%.1f ms), byte-exact after conversion: %s\n", mb / best,
                best * 1000, exact ? "yes" : "NO");
    std::printf("cat reading the same pty: %.1f MB/s (%.1f ms); receive/cat ratio %.2f\n", mb / bestCat,
                bestCat * 1000, bestCat / best);
    return exact ? 0 : 1;
}
