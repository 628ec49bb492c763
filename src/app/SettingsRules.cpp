#include "app/SettingsRules.h"

#include "app/BackupLocation.h"
#include "app/CatalogueNames.h"
#include "app/ProgramSettings.h"

#include <QDir>
#include <QStringList>

namespace zep {

namespace {

const QString kHinweis = QStringLiteral("HINWEIS!");

// A field that is not a whole number counts as 0, as an empty field does.
int fieldValue(const QString &field)
{
    bool ok = false;
    const int value = field.trimmed().toInt(&ok);
    return ok ? value : 0;
}

QStringList levels(const QString &dir)
{
    return CatalogueNames::upperKeepLength(QDir::cleanPath(dir)).split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

SettingsRules::Check refuse(const QString &text, const QString &title, PromptIcon icon = PromptIcon::None)
{
    SettingsRules::Check check;
    check.ok = false;
    check.text = text;
    check.title = title;
    check.icon = icon;
    return check;
}

const QString kIdentical = QStringLiteral("Das Fotoverzeichnis darf nicht identisch mit dem Überwachungsverzeichnis sein!");
const QString kNested = QStringLiteral(
    "Das Fotoverzeichnis darf nicht innerhalb des Überwachungsverzeichnisses liegen (und umgekehrt)!");

// Steps shared by saving and closing once the directories are known not empty.
std::optional<SettingsRules::Check> directoryConflict(const QString &monitoredDir, const QString &photoDir)
{
    if (SettingsRules::sameDirectory(monitoredDir, photoDir))
        return refuse(kIdentical, kHinweis);
    // Photos inside the monitored tree would be catalogued as programs;
    // programs inside the photo tree would be mixed with the photos.
    if (SettingsRules::nestedDirectories(monitoredDir, photoDir))
        return refuse(kNested, kHinweis);
    return std::nullopt;
}

} // namespace

QString SettingsRules::normaliseDirectory(const QString &field)
{
    return CatalogueNames::ensureTrailingSeparator(field);
}

SettingsRules::Check SettingsRules::checkInterval(const QString &field)
{
    const int value = fieldValue(field);
    Check check;
    if (value < 1 || value > kMaxInterval) {
        check.replacement = QString::number(kDefaultInterval);
        check.beep = true;
    } else if (value > 60) {
        check.text = QStringLiteral(
            "Es wird nicht empfohlen das Überwachungsverzeichnis seltener als alle 60 Sekunden zu prüfen!");
        check.title = QStringLiteral("Intervall?");
        check.icon = PromptIcon::Information;
    }
    return check;
}

SettingsRules::Check SettingsRules::checkJpgQuality(const QString &field)
{
    const int value = fieldValue(field);
    if (value < 10 || value > 99)
        return refuse(QStringLiteral("Bitte zwischen 10% (schlecht) und 99% (sehr gut) wählen."),
                      QStringLiteral("JPG-Qualität"), PromptIcon::Exclamation);
    return {};
}

namespace {

// Both directories given, and neither the same as nor inside the other;
// `missingText` is the caller's own wording for an empty one.
SettingsRules::Check checkDirectories(const QString &monitoredDir, const QString &photoDir, const QString &missingText)
{
    if (monitoredDir.isEmpty() || photoDir.isEmpty())
        return refuse(missingText, kHinweis);
    if (const auto conflict = directoryConflict(monitoredDir, photoDir))
        return *conflict;
    return {};
}

} // namespace

SettingsRules::Check SettingsRules::checkSave(const QString &password, const QString &confirmation,
                                              const QString &monitoredDir, const QString &photoDir)
{
    if (password != confirmation)
        return refuse(QStringLiteral("Passwörter nicht Identisch!"), QStringLiteral("Achtung!"), PromptIcon::Exclamation);
    return checkDirectories(monitoredDir, photoDir,
                            QStringLiteral("Sie müssen ein gültiges Überwachungsverzeichnis und ein gültiges "
                                           "Fotoverzeichnis auswählen!"));
}

namespace {

// inner is outer itself or lies below it.
bool sameOrInside(const QString &inner, const QString &outer)
{
    const QStringList in = levels(inner);
    const QStringList out = levels(outer);
    return in.size() >= out.size() && std::equal(out.begin(), out.end(), in.begin());
}

} // namespace

SettingsRules::Check SettingsRules::checkBackupDir(const QString &backupDir, const QStringList &backedUpDirs)
{
    if (backupDir.isEmpty())
        return {};
    const QString dir = normaliseDirectory(backupDir);
    // A relative path would land wherever the program happens to be started.
    if (!QDir::isAbsolutePath(dir))
        return refuse(QStringLiteral("Das Backup-Verzeichnis muss ein vollständiger Pfad sein (beginnend mit \"/\")!"),
                      kHinweis);
    for (const QString &source : backedUpDirs) {
        if (source.isEmpty())
            continue;
        bool conflict = sameOrInside(dir, source);
        for (const QString &other : backedUpDirs)
            conflict = conflict || (!other.isEmpty() && sameOrInside(BackupLocation::archiveDirectory(dir, source), other));
        if (conflict)
            return refuse(QStringLiteral("Das Backup-Verzeichnis darf nicht im Programmverzeichnis, im "
                                         "Überwachungsverzeichnis oder im Fotoverzeichnis liegen!"),
                          kHinweis);
    }
    return {};
}

SettingsRules::Check SettingsRules::checkClose(const QString &monitoredDir, const QString &photoDir)
{
    return checkDirectories(monitoredDir, photoDir,
                            QStringLiteral("Sie müssen JETZT ein gültiges Überwachungsverzeichnis und ein gültiges "
                                           "Fotoverzeichnis auswählen!"));
}

bool SettingsRules::sameDirectory(const QString &a, const QString &b)
{
    return levels(a) == levels(b) && QDir::isAbsolutePath(a) == QDir::isAbsolutePath(b);
}

bool SettingsRules::nestedDirectories(const QString &a, const QString &b)
{
    const QStringList la = levels(a);
    const QStringList lb = levels(b);
    if (la.size() == lb.size() || QDir::isAbsolutePath(a) != QDir::isAbsolutePath(b))
        return false;
    const QStringList &shorter = la.size() < lb.size() ? la : lb;
    const QStringList &longer = la.size() < lb.size() ? lb : la;
    return std::equal(shorter.begin(), shorter.end(), longer.begin());
}

int SettingsRules::effectiveInterval(const SettingsStore &settings)
{
    const int value = ProgramSettings::intervall.read(settings);
    return value >= 1 && value <= kMaxInterval ? value : kDefaultInterval;
}

int SettingsRules::effectiveJpgQuality(const SettingsStore &settings)
{
    const int value = ProgramSettings::jpgQualitaet.read(settings);
    return value >= 10 && value <= 99 ? value : kDefaultJpgQuality;
}

bool SettingsRules::passwordMatches(const QString &entered, const QString &stored)
{
    return entered == stored;
}

} // namespace zep
