#pragma once

#include "backup/BackupRun.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>
#include <utime.h>

namespace zep::test {

// A program, a monitored and a photo directory with a few files, and a
// backup directory beside them; archives are read back with unzip.
struct BackupFixture : ::testing::Test {
    QString program() const { return env.root() + "program/"; }
    QString daten() const { return env.root() + "werk/Daten/"; }
    QString fotos() const { return env.root() + "werk/Fotos/"; }
    QString backup() const { return env.root() + "sicherung/"; }

    BackupPlan plan() const
    {
        BackupPlan p;
        p.backupDir = backup();
        p.programDir = program();
        p.monitoredDir = daten();
        p.photoDir = fotos();
        return p;
    }

    // The archive of a source directory, as the backup names it.
    QString archiveOf(const QString &source) const
    {
        QString s = source;
        s.chop(1);
        const QString name = s.mid(s.lastIndexOf('/') + 1);
        return backup() + s.mid(1) + "/" + name + ".zip";
    }

    QString write(const QString &path, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path;
        f.write(bytes);
        return path;
    }

    static void setTime(const QString &path, qint64 seconds)
    {
        const utimbuf times{time_t(seconds), time_t(seconds)};
        ASSERT_EQ(::utime(QFile::encodeName(path).constData(), &times), 0);
    }

    static QByteArray runTool(const QString &tool, const QStringList &args, int *exitCode = nullptr)
    {
        QProcess p;
        p.start(tool, args);
        EXPECT_TRUE(p.waitForFinished(60000));
        if (exitCode)
            *exitCode = p.exitCode();
        return p.readAllStandardOutput();
    }

    // The names in an archive, sorted.
    static QStringList entries(const QString &archive)
    {
        int code = -1;
        QStringList names =
            QString::fromUtf8(runTool("unzip", {"-Z1", archive}, &code)).split('\n', Qt::SkipEmptyParts);
        EXPECT_EQ(code, 0) << archive;
        names.sort();
        return names;
    }

    static bool testArchive(const QString &archive)
    {
        int code = -1;
        runTool("unzip", {"-tq", archive}, &code);
        return code == 0;
    }

    static QByteArray entry(const QString &archive, const QString &name)
    {
        return runTool("unzip", {"-p", archive, name});
    }

    // Every .zip below the backup directory, relative to it, sorted.
    QStringList archives() const
    {
        QStringList found;
        const QString root = backup();
        std::function<void(const QString &)> walk = [&](const QString &dir) {
            const QFileInfoList list =
                QDir(dir).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
            for (const QFileInfo &fi : list) {
                if (fi.isDir())
                    walk(fi.filePath());
                else if (fi.fileName().endsWith(".zip"))
                    found << fi.filePath().mid(root.size());
            }
        };
        walk(root);
        found.sort();
        return found;
    }

    TestEnvironment env;
};

} // namespace zep::test
