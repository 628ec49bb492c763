#pragma once

#include "app/IniSettingsStore.h"
#include "app/Logbook.h"
#include "app/ManualClock.h"
#include "app/ScriptedPrompts.h"
#include "comm/CommStation.h"
#include "comm/ManualReceptionClock.h"
#include "comm/PortSettings.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>

namespace zep::test {

// The five machine connections over a real INI file, with hand-overs
// collected instead of shown.
struct Station {
    Station()
        : settings(env.iniFile()), logbook(env.programDir(), clock),
          station(settings, prompts, logbook, clock, rclock, env.programDir())
    {
        QDir().mkpath(env.programDir());
        clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 30, 15)));
        // Kept as the machine connection number the user sees (1-5).
        QObject::connect(&station, &CommStation::programReceived, &station,
                         [this](int connection, const QByteArray &t) { handed.append({connection + 1, t}); });
    }
    // Connection i (0-4) active on `device` as port number i + 1.
    void activate(int i, const QString &device, const QString &endCode = "<SA>26")
    {
        PortSettings p;
        p.aktiviert = true;
        p.comAnschluss = i + 1;
        p.maschinenIndex = 1;
        p.endCode = endCode;
        p.save(settings, i);
        settings.write("Schnittstellen", "COM" + QString::number(i + 1), device);
    }
    void pump(int msecs = 30)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < msecs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(1);
        }
    }
    // Lets events run until `done` or about two seconds.
    template <class F> bool pumpUntil(F done)
    {
        // A generous bound: a loaded build machine moves a pty slowly, and
        // this only guards against waiting forever.
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 30000)
            pump(5);
        return done();
    }

    TestEnvironment env;
    IniSettingsStore settings;
    ScriptedPrompts prompts;
    ManualClock clock;
    Logbook logbook;
    ManualReceptionClock rclock;
    CommStation station;
    QList<QPair<int, QByteArray>> handed;
};

} // namespace zep::test
