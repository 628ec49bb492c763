// Times the directory check on a tree of 5,000 files in 300 directories:
// a Timer1 tick on the unchanged tree, and FindNewFile after 50 new files
// (4,950 known plus 50 new, so that all fit the list's capacity),
// each against `find DIR -type f` on the same tree in the same run. The
// target is within 2x of find.

#include "app/Logbook.h"
#include "app/ScriptedPrompts.h"
#include "app/SystemClock.h"
#include "catalogue/DirectoryCheck.h"
#include "catalogue/MonitoredDirectory.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeMs(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

void touch(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("%\r\nM30\r\n");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    const QString root = home.path() + "/watched/";
    const QString programDir = home.path() + "/program/";
    QDir().mkpath(programDir);
    // 20 directories with 14 subdirectories each (300 in all), files spread evenly.
    QStringList dirs;
    for (int a = 0; a < 20; ++a) {
        dirs << root + QString("Halle%1/").arg(a);
        for (int b = 0; b < 14; ++b)
            dirs << root + QString("Halle%1/Auftrag%2/").arg(a).arg(b);
    }
    for (const QString &d : dirs)
        QDir().mkpath(d);
    for (int i = 0; i < 4950; ++i)
        touch(dirs[i % dirs.size()] + QString("P%1.NC").arg(i));

    zep::ScriptedPrompts prompts;
    zep::SystemClock clock;
    zep::Logbook logbook(programDir, clock);
    zep::Database db;
    if (!zep::createFreshDatabase(programDir + "CNCPRG.mdb") || !db.open(programDir + "CNCPRG.mdb"))
        return 1;
    QHash<QString, long> pending;
    zep::MonitoredDirectory files({prompts, logbook, programDir, root, {}, {}});
    files.LoadFileListe();
    zep::DirectoryCheck check({files, db, prompts, clock, pending, {}, {}, {}});
    check.tick(); // the first tick compares once

    auto findTime = [&] {
        return timeMs([&] {
            QProcess find;
            find.start("find", {root, "-type", "f"});
            find.waitForFinished();
            find.readAllStandardOutput();
        });
    };

    std::vector<double> tick, find1, newFiles, find2;
    for (int run = 0; run < 15; ++run) {
        find1.push_back(findTime());
        tick.push_back(timeMs([&] { check.tick(); }));
    }
    for (int run = 0; run < 9; ++run) {
        QStringList added;
        for (int i = 0; i < 50; ++i) {
            added << dirs[(i * 7) % dirs.size()] + QString("NEU_%1_%2.NC").arg(run).arg(i);
            touch(added.last());
        }
        find2.push_back(findTime());
        QString found;
        newFiles.push_back(timeMs([&] { found = files.FindNewFile(); }));
        if (found.split("\r\n").size() != 50) {
            std::fprintf(stderr, "expected 50 new files, got %d\n", int(found.split("\r\n", Qt::SkipEmptyParts).size()));
            return 1;
        }
        for (const QString &f : added)
            QFile::remove(f);
        files.FindNewFile();
    }
    const double f1 = median(find1), t = median(tick), f2 = median(find2), n = median(newFiles);
    std::printf("tree of 4950 + 50 files in %d directories\n", int(dirs.size()));
    std::printf("Timer1 tick, unchanged tree: median %.2f ms; find -type f: %.2f ms; ratio %.2f (target <= 2)\n", t,
                f1, t / f1);
    std::printf("FindNewFile after 50 new files: median %.2f ms; find -type f: %.2f ms; ratio %.2f (target <= 2)\n",
                n, f2, n / f2);
    return prompts.asked().isEmpty() ? 0 : 1;
}
