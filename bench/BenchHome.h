#pragma once

#include "app/MemoryPolicy.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

// A throw-away home for a benchmark that runs the whole station: settings
// and user data in a temporary folder, a program directory for the
// catalogue, a monitored and a photo directory. Made before the application
// object, which reads the environment it sets. The memory policy is the
// program's own.
struct BenchHome {
    QTemporaryDir home;
    QString programDir;
    QString dbPath;
    QString watched;
    QString fotos;

    BenchHome()
    {
        zep::keepFreedMemory(); // as the program does at start
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
        qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
        programDir = home.path() + "/program/";
        dbPath = programDir + "CNCPRG.mdb";
        watched = home.path() + "/watched/";
        fotos = home.path() + "/fotos/";
        for (const QString &dir : {programDir, watched, fotos})
            QDir().mkpath(dir);
    }
};
