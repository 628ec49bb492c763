#pragma once

#include "app/Prompts.h"
#include "app/ProgramSettings.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zep {

class SettingsStore;

// The settings dialog's checks, without the dialog.
class SettingsRules {
public:
    // What the dialog does after a check: when ok is false it shows text
    // with title and icon (if text is set) and keeps the focus or stays open.
    // replacement, when set, goes into the field; beep asks for the beep.
    struct Check {
        bool ok = true;
        QString text;
        QString title;
        PromptIcon icon = PromptIcon::None;
        std::optional<QString> replacement;
        bool beep = false;
    };

    // Appends "/" to a directory field that is not empty and lacks it.
    static QString normaliseDirectory(const QString &field);

    // Interval field, on leaving it. Below 1, not a whole number or beyond a
    // 16-bit value: "5" and a beep. Above 60: a warning, the value stays
    // (ok stays true; the warning is still to be shown).
    static Check checkInterval(const QString &field);

    // JPEG quality field, on leaving it: outside 10..99 the focus stays.
    static Check checkJpgQuality(const QString &field);

    // "Übernehmen", checked in this order: passwords, empty directories,
    // equal directories, one directory inside the other.
    static Check checkSave(const QString &password, const QString &confirmation, const QString &monitoredDir,
                           const QString &photoDir);

    // The backup directory, on "Übernehmen": it must not lie in (or be) one
    // of the directories the backup archives, nor may its mirrored tree land
    // in one of them, or each backup would archive the archives before it
    // and the directory check would catalogue them. It must be a full path.
    // Empty is allowed (no backup until one is set).
    static Check checkBackupDir(const QString &backupDir, const QStringList &backedUpDirs);

    // Closing the dialog, with the program's current directories.
    static Check checkClose(const QString &monitoredDir, const QString &photoDir);

    // The same directory, ignoring case and a trailing separator.
    static bool sameDirectory(const QString &a, const QString &b);
    // One lies inside the other (either way), compared level by level, so
    // /a/b/ and /a/bc/ are unrelated. Equal directories are not nested.
    static bool nestedDirectories(const QString &a, const QString &b);

    // Intervall in seconds, always usable for a timer: 5 when missing, not a
    // number, below 1 or beyond 32767.
    static int effectiveInterval(const SettingsStore &settings);
    // JPGQualitaet: 80 when missing, not a number or outside 10..99.
    static int effectiveJpgQuality(const SettingsStore &settings);

    static bool passwordMatches(const QString &entered, const QString &stored);

    static constexpr int kDefaultInterval = ProgramSettings::kDefaultIntervall;
    static constexpr int kMaxInterval = 32767;
    static constexpr int kDefaultJpgQuality = ProgramSettings::kDefaultJpgQualitaet;
};

} // namespace zep
