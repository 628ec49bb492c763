#pragma once

#include "app/Logbook.h"
#include "app/SettingsStore.h"
#include "comm/SendJob.h"
#include "comm/SerialPort.h"
#include "comm/SteadyReceptionClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

inline double threadCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct SendFigures {
    double ratio = 0; // physical time / measured time: the line's busy share
    double cpuPercent = 0;
    bool exact = false;
};

// Sends the file `path` (holding `program`) through the open `port` with a
// send job, while a machine on `machineFd` takes no byte before a line of
// `baud` could have carried it. The port is closed afterwards.
inline SendFigures sendAtLineRate(zep::SerialPort &port, zep::SettingsStore &settings, zep::Logbook &logbook,
                                  const QString &path, const QByteArray &program, int machineFd, int baud)
{
    using namespace zep;
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
            pollfd pf{machineFd, POLLIN, 0};
            if (poll(&pf, 1, 5) <= 0)
                continue;
            const ssize_t n = read(machineFd, chunk, size_t(qMin<qsizetype>(room, sizeof chunk)));
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
