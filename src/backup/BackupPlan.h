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

    // The stored settings; backupDir is empty when none is set.
    static BackupPlan fromSettings(const SettingsStore &settings, const QString &programDir);

    // In the order they are archived.
    QStringList sources() const { return {programDir, monitoredDir, photoDir}; }
    QString databasePath() const { return programDir + databaseName(); }
    static QString databaseName() { return QStringLiteral("CNCPRG.mdb"); }
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
