#pragma once

#include "app/SettingKey.h"

#include <QString>

namespace zep {

// Section "Settings" of the settings store: every key of the section and the
// value a read gives when it is missing are declared here and nowhere else.
// Read `ProgramSettings::intervall.read(store)`, write
// `ProgramSettings::intervall.write(store, value)`.
struct ProgramSettings {
    static inline const QString kSection = QStringLiteral("Settings");

    static constexpr int kDefaultIntervall = 5;
    static constexpr int kDefaultJpgQualitaet = 80;

    // Monitored directory, ending with the separator; "" = not set up yet.
    static inline const TextSetting verzeichnis{kSection, QStringLiteral("Verzeichnis")};
    // Photo directory, ending with the separator; "" = not set up yet.
    static inline const TextSetting fotoVerzeichnis{kSection, QStringLiteral("FotoVerzeichnis")};

    // Directory check interval in seconds as stored; bounds are the settings
    // rules'. Written as the settings dialog's field shows it.
    static inline const NumberSetting intervall{kSection, QStringLiteral("Intervall"), kDefaultIntervall};
    // JPEG quality in percent as stored; bounds are the settings rules'.
    // Written as the field shows it.
    static inline const NumberSetting jpgQualitaet{kSection, QStringLiteral("JPGQualitaet"), kDefaultJpgQualitaet};

    // Where the catalogue lives: "" = CNCPRG.mdb in the program directory;
    // postgresql://[user@]host[:port]/dbname[?...] = a PostgreSQL server that
    // several stations share. Read at start-up; never holds a password.
    static inline const TextSetting datenbank{kSection, QStringLiteral("Datenbank")};

    // Access password; "" = no lock.
    static inline const TextSetting passwort{kSection, QStringLiteral("Passwort")};
    // Program started after start-up; "" = none.
    static inline const TextSetting startProgram{kSection, QStringLiteral("StartProgram")};
    // Backup directory, ending with the separator; "" = not set.
    static inline const TextSetting backupDir{kSection, QStringLiteral("BackupDir")};

    // The directory an import or export last took a file from or put it
    // into. Import and export started on the floppy drive of the shop's
    // first station; the callers fall back to the home directory when it is
    // missing.
    static inline const TextSetting defaultImportDir{kSection, QStringLiteral("DefaultImportDir"),
                                                     QStringLiteral("A:\\")};
    static inline const TextSetting defaultExportDir{kSection, QStringLiteral("DefaultExportDir"),
                                                     QStringLiteral("A:\\")};
    enum class LastDirectory { Import, Export };
    static const TextSetting &lastDirectory(LastDirectory which)
    {
        return which == LastDirectory::Import ? defaultImportDir : defaultExportDir;
    }

    // The directory a photo was last taken from; read with the current photo
    // directory as the fallback until one was.
    static inline const TextSetting defaultFotoDir{kSection, QStringLiteral("DefaultFotoDir")};

    // The scanner or camera photos are taken from (a SANE device name);
    // "" = the first one found.
    static inline const TextSetting twainQuelle{kSection, QStringLiteral("TWAINQuelle")};

    // The send dialog's delay switch.
    static inline const FlagSetting sendWithDelay{kSection, QStringLiteral("SendWithDelay"), false,
                                                  FlagSetting::Form::Digit};
    // The send delay in seconds, as text: the dialog shows it as stored.
    static inline const TextSetting zeitversatz{kSection, QStringLiteral("Zeitversatz"), QStringLiteral("20")};

    // Splitter positions of the program text editor; -1 = not set.
    static inline const NumberSetting editSplitterH{kSection, QStringLiteral("EditSplitterH"), -1};
    static inline const NumberSetting editSplitterV{kSection, QStringLiteral("EditSplitterV"), -1};

    // The machine wizard skips its first page: stored "1" ("0" or anything
    // else shows it).
    static inline const FlagSetting hideWizSide1{kSection, QStringLiteral("HideWizSide1"), false,
                                                 FlagSetting::Form::DigitOne};
};

} // namespace zep
