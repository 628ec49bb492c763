#pragma once

#include "app/SettingsRules.h"
#include "station/SettingsDraft.h"

#include <QList>

namespace zep {

struct MainState;

// The program settings for the settings dialog: a draft of the values in
// force, and applying an edited draft. Applying checks it first and stores
// nothing unless every check passed; the checks come back for the dialog to
// show, in the order they ran.
class StationSettings {
public:
    explicit StationSettings(MainState &state) : m_state(state) {}

    struct Applied {
        bool applied = false;
        // As checked: directories end with the separator, an unusable
        // interval became the default. The dialog shows it back.
        SettingsDraft draft;
        // Every check that has something to tell (a text, a beep).
        QList<SettingsRules::Check> checks;
        // The quality was refused: its field keeps the focus.
        bool qualityRefused = false;
        // The `Datenbank` value was refused: its field keeps the focus.
        bool databaseRefused = false;
    };

    // The stored values, with the monitored directory the station runs on
    // (on a first start it may not be stored yet).
    SettingsDraft draft();
    Applied apply(SettingsDraft draft);
    // May the dialog close: the directories in force must be usable.
    SettingsRules::Check closeCheck() const;

    // Told when a changed `Datenbank` value has been stored: the station
    // keeps the catalogue it started with until the next start.
    static QString databaseChangedText();

private:
    MainState &m_state;
};

} // namespace zep
