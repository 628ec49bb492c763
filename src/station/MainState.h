#pragma once

#include "db/Database.h"

#include <QHash>
#include <QString>

namespace zep {

class Clock;
class Logbook;
class Prompts;
class SettingsStore;

// What the main window holds for the whole run: the one database
// connection, the current directory and timer values, the trace flag and the
// machine number a saved reception hands to the next directory check.
struct MainState {
    MainState(SettingsStore &settings, Prompts &prompts, const Clock &clock, Logbook &logbook,
              const QString &programDir)
        : settings(settings), prompts(prompts), clock(clock), logbook(logbook), programDir(programDir)
    {
    }

    SettingsStore &settings;
    Prompts &prompts;
    const Clock &clock;
    Logbook &logbook;
    const QString programDir; // ends with "/"

    Database database;

    QString verzeichnis;
    QString fotoVerzeichnis;
    int intervall = 5;
    int jpgQualitaet = 80;

    bool traceFlag = false;
    // Stored name -> machine, set by whoever writes a received program into
    // the monitored directory and taken by the record made for that name.
    QHash<QString, long> pendingMachines;

    QString databasePath() const { return programDir + QStringLiteral("CNCPRG.mdb"); }

    // The `Datenbank` setting the run started with: a server address, or
    // empty for the file. A change counts from the next start.
    QString catalogueSetting;
    void readCatalogueSetting();
    bool catalogueOnServer() const;
    // Where the catalogue is, as the user may see it: the file's path, or
    // the server's address without any password.
    QString shownCatalogue() const;

    // The stored monitored directory; empty means the first start.
    void readMonitoredDirectory();
    // The photo directory, interval and quality, with sane defaults for
    // values someone mangled by hand.
    void readCurrentValues();
};

} // namespace zep
