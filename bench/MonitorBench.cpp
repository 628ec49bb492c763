// The serial monitor recording 10 MB from a pseudo-terminal at memory speed,
// its window shown (off screen) with the live hex view; beside it, in the
// same run, `cat` reading the same amount from the same kind of line.
// Median of five runs each.
#include "BenchTiming.h"
#include "BenchPty.h"

#include "app/IniSettingsStore.h"
#include "app/ScriptedPrompts.h"
#include "comm/PortDevices.h"
#include "editor/ui/SerialMonitor.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

using namespace zep;

namespace {

double recordSeconds(const QByteArray &data, bool *exact)
{
    QTemporaryDir dir;
    IniSettingsStore settings(dir.path() + "/ZEP.ini");
    ScriptedPrompts prompts;
    BenchPty pty;
    PortDevices::setDevicePath(settings, 1, pty.path);
    SerialMonitor monitor(settings, prompts, {});
    monitor.show();
    monitor.handshakeList()->setCurrentIndex(0);
    monitor.parameterField()->setText("9600,N,8,1");
    monitor.start();
    QElapsedTimer timer;
    timer.start();
    std::thread peer([&] { writeAll(pty.master, data); });
    while (monitor.recorder().recorded().size() < data.size() && timer.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    const double secs = timer.nsecsElapsed() / 1e9;
    peer.join();
    *exact = monitor.recorder().recorded() == data;
    monitor.done(0);
    return secs;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QByteArray data;
    data.reserve(10 * 1000 * 1000);
    for (int i = 0; data.size() < 10 * 1000 * 1000; ++i)
        data += char(i * 7 % 256); // every byte value, NUL, CR, LF, XON and XOFF among them
    std::vector<double> runs, cats;
    bool exact = true;
    for (int run = 0; run < 5; ++run) {
        bool ok = false;
        runs.push_back(recordSeconds(data, &ok));
        exact = exact && ok;
        cats.push_back(catSeconds(data));
    }
    const double mb = data.size() / 1e6;
    const double rate = mb / median(runs);
    std::printf("monitor recording %.0f MB over a pty, live view shown: %.1f MB/s (%.0f ms; at least 10 MB/s), "
                "nothing lost: %s\n",
                mb, rate, median(runs) * 1000, exact ? "yes" : "NO");
    std::printf("cat reading the same pty: %.1f MB/s (%.0f ms)\n", mb / median(cats), median(cats) * 1000);
    return exact && rate >= 10 ? 0 : 1;
}
