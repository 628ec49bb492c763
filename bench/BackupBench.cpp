// Times the backup on a tree of 5,000 files / 100 MB in 300 directories
// against `zip -r -q -6` over the same tree in the same run: the first
// backup (every archive new) within 1.2x of zip, a second one with nothing
// changed within 0.3x. Also measures how long the main thread's event loop
// waits at most while a backup job runs (it should keep answering).

#include "BenchTiming.h"
#include "backup/BackupJob.h"
#include "backup/BackupRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace zep;

namespace {

// A part program of about `size` bytes: G-code lines with varying
// coordinates, compressing roughly as real programs do.
QByteArray program(int size, quint32 seed)
{
    QByteArray text("%\r\nO1000\r\n");
    int n = 10;
    while (text.size() < size) {
        seed = seed * 1103515245u + 12345u;
        const int x = int(seed >> 8) % 200000;
        seed = seed * 1103515245u + 12345u;
        const int y = int(seed >> 8) % 200000;
        text += "N" + QByteArray::number(n += 10) + " G1 X" + QByteArray::number(x / 1000.0, 'f', 3) + " Y"
                + QByteArray::number(y / 1000.0, 'f', 3) + " F" + QByteArray::number(100 + (seed >> 24)) + "\r\n";
    }
    text.truncate(size);
    return text;
}

void removeTree(const QString &dir)
{
    QDir(dir).removeRecursively();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    const QString tree = home.path() + "/werk/Daten/";
    const QString programDir = home.path() + "/program/";
    const QString photoDir = home.path() + "/werk/Fotos/";
    const QString backupDir = home.path() + "/sicherung/";
    QDir().mkpath(programDir);
    QDir().mkpath(photoDir);
    QStringList dirs;
    for (int a = 0; a < 20; ++a) {
        dirs << tree + QStringLiteral("D%1/").arg(a);
        for (int b = 0; b < 14; ++b)
            dirs << tree + QStringLiteral("D%1/S%2/").arg(a).arg(b);
    }
    dirs << tree; // 301 with the root
    for (const QString &d : dirs)
        QDir().mkpath(d);
    const int files = 5000;
    qint64 bytes = 0;
    for (int i = 0; i < files; ++i) {
        // 20 kB on average, from 2 kB to 38 kB.
        const int size = 2000 + (i * 7919) % 36000;
        QFile f(dirs[i % dirs.size()] + QStringLiteral("P%1.NC").arg(i));
        f.open(QIODevice::WriteOnly);
        bytes += f.write(program(size, quint32(i)));
    }
    std::printf("tree: %d files, %.1f MB, %lld directories\n", files, bytes / 1e6, (long long)dirs.size());

    BackupPlan plan;
    plan.backupDir = backupDir;
    plan.programDir = programDir;
    plan.monitoredDir = tree;
    plan.photoDir = photoDir;

    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    std::vector<double> zipMs, firstMs, secondMs;
    for (int r = 0; r < runs; ++r) {
        const QString zipFile = home.path() + "/ref.zip";
        QFile::remove(zipFile);
        zipMs.push_back(timeMs([&] {
            QProcess zip;
            zip.setWorkingDirectory(tree);
            zip.start("zip", {"-r", "-q", "-6", zipFile, "."});
            if (!zip.waitForFinished(-1) || zip.exitCode() != 0)
                std::printf("zip failed (is it installed?): the reference is void\n");
        }));
        removeTree(backupDir);
        firstMs.push_back(timeMs([&] {
            const BackupOutcome o = BackupRun(plan).run();
            if (!o.ok())
                std::printf("errors: %s\n", qPrintable(o.errors.join('\n')));
        }));
        secondMs.push_back(timeMs([&] { BackupRun(plan).run(); }));
    }
    const double zip = median(zipMs);
    const double first = median(firstMs);
    const double second = median(secondMs);
    std::printf("zip -r -q -6 (reference): %8.1f ms (median of %d)\n", zip, runs);
    std::printf("first backup:             %8.1f ms  = %.2fx zip (target <= 1.2x)\n", first, first / zip);
    std::printf("second backup, unchanged: %8.1f ms  = %.2fx zip (target <= 0.3x)\n", second, second / zip);

    // The main thread while a job writes every archive anew, against the
    // same loop with nothing else running in this process (the machine's
    // other load shows in both).
    QElapsedTimer gap;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] { longest = std::max(longest, gap.restart()); });
    gap.start();
    tick.start();
    QTimer::singleShot(3000, &app, &QCoreApplication::quit);
    app.exec();
    const qint64 idle = longest;

    removeTree(backupDir);
    BackupJob job(plan);
    QObject::connect(&job, &Job::finished, &app, &QCoreApplication::quit);
    longest = 0;
    gap.restart();
    job.start();
    app.exec();
    std::printf("main thread, longest wait between 5 ms ticks: %lld ms during a backup job, %lld ms idle "
                "(reference)\n",
                (long long)longest, (long long)idle);
    return 0;
}
