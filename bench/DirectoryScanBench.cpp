// Times the directory check at shop scale: a tree of 100,000 files in 300
// directories and a catalogue of 100,000 records, one for each.
// - a Timer1 tick on the unchanged tree, against `find DIR -type f` on the
//   same tree in the same run (target within 2x of find);
// - a Timer1 tick that finds 50 new files and catalogues them on that
//   catalogue (target <= 50 ms), in a monitored tree of 5,000 files (the
//   walk of the whole 100,000-file tree alone costs about what find does),
//   beside the records made one by one with NeuerEintrag, each committed on
//   its own, for 50 other names on the same catalogue; and the same tick on
//   the 100,000-file tree.
// Each figure is the median of several runs.

#include "BenchTiming.h"
#include "NewFilesFigure.h"
#include "app/Logbook.h"
#include "app/ScriptedPrompts.h"
#include "app/SystemClock.h"
#include "catalogue/DirectoryCheck.h"
#include "catalogue/MonitoredDirectory.h"
#include "catalogue/NeuerEintrag.h"
#include "catalogue/RecordIntake.h"
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
    const int fileCount = 100000;
    // 20 directories with 14 subdirectories each (300 in all), files spread evenly.
    QStringList dirs, stored;
    for (int a = 0; a < 20; ++a) {
        dirs << QString("Halle%1/").arg(a);
        for (int b = 0; b < 14; ++b)
            dirs << QString("Halle%1/Auftrag%2/").arg(a).arg(b);
    }
    for (const QString &d : dirs)
        QDir().mkpath(root + d);
    for (int i = 0; i < fileCount; ++i) {
        const QString relative = dirs[i % dirs.size()] + QString("W%1-%2.nc").arg(4000 + i / 7).arg(i % 7);
        touch(root + relative);
        stored << relative.toUpper().replace('/', '\\');
    }

    zep::ScriptedPrompts prompts;
    zep::SystemClock clock;
    zep::Logbook logbook(programDir, clock);
    zep::Database db;
    if (!zep::createFreshDatabase(programDir + "CNCPRG.mdb") || !db.open(programDir + "CNCPRG.mdb"))
        return 1;
    QHash<QString, long> pending;
    if (!zep::RecordIntake::catalogue(db, clock, pending, stored).ok())
        return 1;
    zep::MonitoredDirectory files({prompts, logbook, programDir, root, {}});
    files.LoadFileListe();
    int editors = 0;
    zep::DirectoryCheck check({files, db, prompts, clock, pending, {}, [&](long) { ++editors; }});
    check.tick(); // the first tick compares once

    auto findTime = [&] {
        return timeMs([&] {
            QProcess find;
            find.start("find", {root, "-type", "f"});
            find.waitForFinished();
            find.readAllStandardOutput();
        });
    };

    // A second monitored tree of 5,000 files over the same catalogue.
    const QString small = home.path() + "/klein/";
    for (int i = 0; i < 4950; ++i) {
        QDir().mkpath(small + dirs[i % dirs.size()]);
        touch(small + dirs[i % dirs.size()] + QString("K%1.NC").arg(i));
    }
    const QString smallProgramDir = home.path() + "/program2/";
    QDir().mkpath(smallProgramDir);
    zep::MonitoredDirectory smallFiles({prompts, logbook, smallProgramDir, small, {}});
    smallFiles.LoadFileListe();
    zep::DirectoryCheck smallCheck({smallFiles, db, prompts, clock, pending, {}, [&](long) { ++editors; }});
    smallCheck.tick();

    std::vector<double> tick, find1, bigNewTick;
    NewFilesFigure newFiles{db, prompts, clock, pending, editors};
    for (int run = 0; run < 9; ++run) {
        find1.push_back(findTime());
        tick.push_back(timeMs([&] { check.tick(); }));
    }
    auto fifty = [&](const QString &base, const QString &prefix) {
        for (int i = 0; i < 50; ++i)
            touch(base + dirs[(i * 7) % dirs.size()] + QString("%1_%2.NC").arg(prefix).arg(i));
    };
    for (int run = 0; run < 7; ++run) {
        fifty(small, QString("NEU%1").arg(run));
        if (!newFiles.measure(smallCheck, run))
            return 1;
    }
    for (int run = 0; run < 3; ++run) {
        fifty(root, QString("GROSS%1").arg(run));
        editors = 0;
        bigNewTick.push_back(timeMs([&] { check.tick(); }));
        if (editors != 50)
            return 1;
    }
    const double f1 = median(find1), t = median(tick), n = median(newFiles.tick), o = median(newFiles.oneByOne);
    std::printf("tree of %d files in %d directories, catalogue of %d records\n", fileCount, int(dirs.size()),
                fileCount);
    std::printf("Timer1 tick, unchanged tree: median %.1f ms; find -type f: %.1f ms; ratio %.2f (target <= 2)\n", t,
                f1, t / f1);
    std::printf("Timer1 tick cataloguing 50 new files in a tree of 5,000 on the %d-record catalogue: median %.1f ms "
                "(target <= 50 ms); 50 records made one by one, each committed: %.1f ms\n",
                fileCount, n, o);
    std::printf("the same tick in the tree of %d files (its walk, and FileListe.dat written anew): "
                "median %.1f ms\n",
                fileCount, median(bigNewTick));
    return prompts.asked().isEmpty() ? 0 : 1;
}
