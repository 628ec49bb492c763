#pragma once

#include <QString>
#include <QStringList>

namespace zep {

class SettingsStore;

// What one backup archives and where: the program directory (its catalogue
// as a snapshot), the monitored directory and the photo directory, below
// the backup directory. Every directory ends with "/".
struct BackupPlan {
    QString backupDir;
    QString programDir;
    QString monitoredDir;
    QString photoDir;
    // The catalogue's server address when the station works on a server
    // catalogue (`Datenbank`): its dump is archived in the program
    // directory's archive, in the place of the catalogue file.
    QString catalogueServer;
    // The dump program; empty: pg_dump from PATH, else from the server
    // package's own directory.
    QString dumpProgram;

    // The stored settings; backupDir is empty when none is set.
    static BackupPlan fromSettings(const SettingsStore &settings, const QString &programDir);

    // In the order they are archived.
    QStringList sources() const { return {programDir, monitoredDir, photoDir}; }
    QString databasePath() const { return programDir + databaseName(); }
    static QString databaseName() { return QStringLiteral("CNCPRG.mdb"); }
    // The server catalogue's dump in the archive (pg_dump's custom format,
    // read back with pg_restore).
    static QString serverDumpName() { return QStringLiteral("CNCPRG.dump"); }
};

// The texts the backup tells its user, the same in the window and on the
// command line.
namespace BackupTexts {
QString missingPath();
QString missingPathTitle();  // "Pfad fehlt!"
QString errors(const QStringList &errorList, const QString &lineBreak);
QString errorsTitle();       // "Backup-Fehler!"
QString success(const QString &backupDir, const QString &lineBreak);
QString successTitle();      // "Backup ausgeführt!"
QString notice();            // "Backup läuft (kann mehrere Minuten dauern)..."
} // namespace BackupTexts

} // namespace zep
