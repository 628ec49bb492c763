#include "app/ProgramSettings.h"

#include "app/SettingsStore.h"

namespace zep {

namespace {

const QString kSection = QStringLiteral("Settings");

const QString kVerzeichnis = QStringLiteral("Verzeichnis");
const QString kFotoVerzeichnis = QStringLiteral("FotoVerzeichnis");
const QString kIntervall = QStringLiteral("Intervall");
const QString kJpgQualitaet = QStringLiteral("JPGQualitaet");
const QString kPasswort = QStringLiteral("Passwort");
const QString kStartProgram = QStringLiteral("StartProgram");
const QString kBackupDir = QStringLiteral("BackupDir");
const QString kDefaultImportDir = QStringLiteral("DefaultImportDir");
const QString kDefaultExportDir = QStringLiteral("DefaultExportDir");
const QString kDefaultFotoDir = QStringLiteral("DefaultFotoDir");
const QString kTwainQuelle = QStringLiteral("TWAINQuelle");
const QString kSendWithDelay = QStringLiteral("SendWithDelay");
const QString kZeitversatz = QStringLiteral("Zeitversatz");
const QString kEditSplitterH = QStringLiteral("EditSplitterH");
const QString kEditSplitterV = QStringLiteral("EditSplitterV");
const QString kHideWizSide1 = QStringLiteral("HideWizSide1");

// Import and export started on the floppy drive of the shop's first
// station; the callers fall back to the home directory when it is missing.
const QString kFirstLastDirectory = QStringLiteral("A:\\");
const QString kDefaultZeitversatz = QStringLiteral("20");
constexpr int kSplitterNotSet = -1;

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

const QString &lastDirectoryKey(ProgramSettings::LastDirectory which)
{
    return which == ProgramSettings::LastDirectory::Import ? kDefaultImportDir : kDefaultExportDir;
}

} // namespace

QString ProgramSettings::section()
{
    return kSection;
}

QString ProgramSettings::verzeichnis(const SettingsStore &store)
{
    return store.read(kSection, kVerzeichnis, QString());
}

void ProgramSettings::setVerzeichnis(SettingsStore &store, const QString &dir)
{
    store.write(kSection, kVerzeichnis, dir);
}

QString ProgramSettings::fotoVerzeichnis(const SettingsStore &store)
{
    return store.read(kSection, kFotoVerzeichnis, QString());
}

void ProgramSettings::setFotoVerzeichnis(SettingsStore &store, const QString &dir)
{
    store.write(kSection, kFotoVerzeichnis, dir);
}

int ProgramSettings::intervall(const SettingsStore &store)
{
    return store.readInt(kSection, kIntervall, kDefaultIntervall);
}

void ProgramSettings::setIntervall(SettingsStore &store, const QString &seconds)
{
    store.write(kSection, kIntervall, seconds);
}

int ProgramSettings::jpgQualitaet(const SettingsStore &store)
{
    return store.readInt(kSection, kJpgQualitaet, kDefaultJpgQualitaet);
}

void ProgramSettings::setJpgQualitaet(SettingsStore &store, const QString &percent)
{
    store.write(kSection, kJpgQualitaet, percent);
}

QString ProgramSettings::passwort(const SettingsStore &store)
{
    return store.read(kSection, kPasswort, QString());
}

void ProgramSettings::setPasswort(SettingsStore &store, const QString &password)
{
    store.write(kSection, kPasswort, password);
}

QString ProgramSettings::startProgram(const SettingsStore &store)
{
    return store.read(kSection, kStartProgram, QString());
}

void ProgramSettings::setStartProgram(SettingsStore &store, const QString &path)
{
    store.write(kSection, kStartProgram, path);
}

QString ProgramSettings::backupDir(const SettingsStore &store)
{
    return store.read(kSection, kBackupDir, QString());
}

void ProgramSettings::setBackupDir(SettingsStore &store, const QString &dir)
{
    store.write(kSection, kBackupDir, dir);
}

QString ProgramSettings::lastDirectory(const SettingsStore &store, LastDirectory which)
{
    return store.read(kSection, lastDirectoryKey(which), kFirstLastDirectory);
}

void ProgramSettings::setLastDirectory(SettingsStore &store, LastDirectory which, const QString &dir)
{
    store.write(kSection, lastDirectoryKey(which), dir);
}

QString ProgramSettings::defaultFotoDir(const SettingsStore &store, const QString &currentPhotoDir)
{
    return store.read(kSection, kDefaultFotoDir, currentPhotoDir);
}

void ProgramSettings::setDefaultFotoDir(SettingsStore &store, const QString &dir)
{
    store.write(kSection, kDefaultFotoDir, dir);
}

QString ProgramSettings::twainQuelle(const SettingsStore &store)
{
    return store.read(kSection, kTwainQuelle, QString());
}

void ProgramSettings::setTwainQuelle(SettingsStore &store, const QString &device)
{
    store.write(kSection, kTwainQuelle, device);
}

bool ProgramSettings::sendWithDelay(const SettingsStore &store)
{
    return store.readInt(kSection, kSendWithDelay, 0) != 0;
}

void ProgramSettings::setSendWithDelay(SettingsStore &store, bool on)
{
    store.write(kSection, kSendWithDelay, flag(on));
}

QString ProgramSettings::zeitversatz(const SettingsStore &store)
{
    return store.read(kSection, kZeitversatz, kDefaultZeitversatz);
}

void ProgramSettings::setZeitversatz(SettingsStore &store, const QString &seconds)
{
    store.write(kSection, kZeitversatz, seconds);
}

int ProgramSettings::editSplitterH(const SettingsStore &store)
{
    return store.readInt(kSection, kEditSplitterH, kSplitterNotSet);
}

void ProgramSettings::setEditSplitterH(SettingsStore &store, int position)
{
    store.write(kSection, kEditSplitterH, QString::number(position));
}

int ProgramSettings::editSplitterV(const SettingsStore &store)
{
    return store.readInt(kSection, kEditSplitterV, kSplitterNotSet);
}

void ProgramSettings::setEditSplitterV(SettingsStore &store, int position)
{
    store.write(kSection, kEditSplitterV, QString::number(position));
}

bool ProgramSettings::hideWizSide1(const SettingsStore &store)
{
    return store.readInt(kSection, kHideWizSide1, 0) == 1;
}

void ProgramSettings::setHideWizSide1(SettingsStore &store, bool hide)
{
    store.write(kSection, kHideWizSide1, flag(hide));
}

} // namespace zep
