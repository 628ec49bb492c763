#pragma once

#include <QString>

namespace zep {

class SettingsStore;

// Section "Settings" of the settings store: every key of the section and the
// default a read gives for it are written here and nowhere else. Values are
// stored as text; the accessors convert where the program uses a number.
class ProgramSettings {
public:
    static QString section();

    // Monitored directory, ending with the separator; "" = not set up yet.
    static QString verzeichnis(const SettingsStore &store);
    static void setVerzeichnis(SettingsStore &store, const QString &dir);

    // Photo directory, ending with the separator; "" = not set up yet.
    static QString fotoVerzeichnis(const SettingsStore &store);
    static void setFotoVerzeichnis(SettingsStore &store, const QString &dir);

    // Directory check interval in seconds as stored: kDefaultIntervall when
    // missing or not a whole number. Bounds are the settings rules'.
    static int intervall(const SettingsStore &store);
    // Stored as the settings dialog's field shows it.
    static void setIntervall(SettingsStore &store, const QString &seconds);
    static constexpr int kDefaultIntervall = 5;

    // JPEG quality in percent as stored: kDefaultJpgQualitaet when missing or
    // not a whole number. Bounds are the settings rules'.
    static int jpgQualitaet(const SettingsStore &store);
    static void setJpgQualitaet(SettingsStore &store, const QString &percent);
    static constexpr int kDefaultJpgQualitaet = 80;

    // Access password; "" = no lock.
    static QString passwort(const SettingsStore &store);
    static void setPasswort(SettingsStore &store, const QString &password);

    // Program started after start-up; "" = none.
    static QString startProgram(const SettingsStore &store);
    static void setStartProgram(SettingsStore &store, const QString &path);

    // Backup directory, ending with the separator; "" = not set.
    static QString backupDir(const SettingsStore &store);
    static void setBackupDir(SettingsStore &store, const QString &dir);

    // The directory an import or export last took a file from or put it
    // into; "A:\" when none was remembered yet.
    enum class LastDirectory { Import, Export };
    static QString lastDirectory(const SettingsStore &store, LastDirectory which);
    static void setLastDirectory(SettingsStore &store, LastDirectory which, const QString &dir);

    // The directory a photo was last taken from; the current photo directory
    // until one was.
    static QString defaultFotoDir(const SettingsStore &store, const QString &currentPhotoDir);
    static void setDefaultFotoDir(SettingsStore &store, const QString &dir);

    // The scanner or camera photos are taken from (a SANE device name);
    // "" = the first one found.
    static QString twainQuelle(const SettingsStore &store);
    static void setTwainQuelle(SettingsStore &store, const QString &device);

    // The send dialog's delay switch ("0"/"1"; anything but a non-zero whole
    // number is off).
    static bool sendWithDelay(const SettingsStore &store);
    static void setSendWithDelay(SettingsStore &store, bool on);

    // The send delay in seconds, as text: the dialog shows it as stored.
    static QString zeitversatz(const SettingsStore &store);
    static void setZeitversatz(SettingsStore &store, const QString &seconds);

    // Splitter positions of the program text editor; -1 = not set.
    static int editSplitterH(const SettingsStore &store);
    static void setEditSplitterH(SettingsStore &store, int position);
    static int editSplitterV(const SettingsStore &store);
    static void setEditSplitterV(SettingsStore &store, int position);

    // The machine wizard skips its first page (stored "1"; "0" or missing
    // shows it).
    static bool hideWizSide1(const SettingsStore &store);
    static void setHideWizSide1(SettingsStore &store, bool hide);
};

} // namespace zep
