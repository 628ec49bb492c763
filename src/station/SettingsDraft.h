#pragma once

#include <QString>

namespace zep {

// The program settings as the settings dialog edits them, field by field
// and as typed; nothing of it is in force until the station has applied it.
struct SettingsDraft {
    QString verzeichnis;     // monitored directory
    QString intervall;       // seconds between two directory checks
    QString fotoVerzeichnis; // photo directory
    QString jpgQualitaet;    // percent
    QString startProgram;
    QString backupDir;
    QString passwort;
    QString passwortWiederholung; // the password typed again
    QString datenbank;       // "" = CNCPRG.mdb in the program directory, or a server address
};

} // namespace zep
