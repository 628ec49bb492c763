#include "backup/BackupPlan.h"

#include "app/CatalogueNames.h"
#include "app/ProgramSettings.h"
#include "db/Database.h"

namespace zep {

BackupPlan BackupPlan::fromSettings(const SettingsStore &settings, const QString &programDir)
{
    BackupPlan plan;
    plan.backupDir = CatalogueNames::ensureTrailingSeparator(ProgramSettings::backupDir.read(settings));
    plan.programDir = CatalogueNames::ensureTrailingSeparator(programDir);
    plan.monitoredDir = CatalogueNames::ensureTrailingSeparator(ProgramSettings::verzeichnis.read(settings));
    plan.photoDir = CatalogueNames::ensureTrailingSeparator(ProgramSettings::fotoVerzeichnis.read(settings));
    const QString catalogue = ProgramSettings::datenbank.read(settings);
    if (Database::isServerAddress(catalogue))
        plan.catalogueServer = catalogue.trimmed();
    return plan;
}

namespace BackupTexts {

QString missingPath()
{
    return QStringLiteral("Bitte wählen Sie in den Programm-Einstellungen einen Backup-Pfad.\r\r"
                          "Aktuell ist kein Backup möglich, da ZEP nicht weiss, wohin\r"
                          "die gesicherten Daten kopiert werden sollen.");
}

QString missingPathTitle()
{
    return QStringLiteral("Pfad fehlt!");
}

QString errors(const QStringList &errorList, const QString &lineBreak)
{
    // The error list: each failure starts with a line break.
    QString list;
    for (const QString &error : errorList)
        list += lineBreak + error;
    return QStringLiteral("Folgende Fehler traten beim Backup auf:") + lineBreak + list;
}

QString errorsTitle()
{
    return QStringLiteral("Backup-Fehler!");
}

QString success(const QString &backupDir, const QString &lineBreak)
{
    return QStringLiteral("Das Backup wurde erfolgreich ausgeführt!") + lineBreak + lineBreak
           + QStringLiteral("Sie finden das Backup an folgendem Ort:") + lineBreak + backupDir;
}

QString successTitle()
{
    return QStringLiteral("Backup ausgeführt!");
}

QString notice()
{
    return QStringLiteral("Backup läuft (kann mehrere Minuten dauern)...");
}

} // namespace BackupTexts

} // namespace zep
