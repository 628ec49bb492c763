#pragma once

#include "app/SettingKey.h"

#include <QString>
#include <QStringList>

namespace zep {

class SettingsStore;

// What a connection does with nobody at the PC: received programs saved by
// themselves, and programs sent back when the machine asks for them. Both
// off unless a shop turns them on, so a station keeps its save dialog. The
// keys live in the connection's port group beside its line settings.
struct UnattendedSettings {
    static constexpr int kDefaultWaitSeconds = 5;
    static constexpr int kLongestWaitSeconds = 600;

    bool autoSpeichern = false;
    // A folder below the monitored directory; empty for the directory itself.
    QString autoOrdner;
    QString autoEndung = QStringLiteral(".NC");
    bool anforderungen = false;
    int anforderungWartezeit = kDefaultWaitSeconds;
    QString anforderungWorte = QStringLiteral("ANFORDERUNG,SENDE");

    struct Keys {
        explicit Keys(int connection);
        FlagSetting autoSpeichern;
        TextSetting autoOrdner;
        TextSetting autoEndung;
        FlagSetting anforderungen;
        NumberSetting anforderungWartezeit;
        TextSetting anforderungWorte;
    };

    static UnattendedSettings load(const SettingsStore &store, int connection);
    void save(SettingsStore &store, int connection) const;

    // The extension as names get it: upper case with its dot; a stored value
    // that could not end a file name (a path character, a space, a hidden
    // name alone) reads as the default, so a typo never makes a name the
    // directory check cannot catalogue.
    QString extension() const;
    // Why a folder for automatic saving cannot be used (empty when it can):
    // it must stay below the monitored directory and be catalogued there.
    static QString folderProblem(const QString &folder);

    bool operator==(const UnattendedSettings &) const = default;

    // The request keywords, upper case, without blanks and empty entries.
    QStringList requestWords() const;
};

} // namespace zep
