#pragma once

#include "app/IniSettingsStore.h"
#include "app/Logbook.h"
#include "app/ManualClock.h"
#include "app/ScriptedPrompts.h"
#include "station/MainState.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <memory>

namespace zep::test {

// One user's machine with a program directory, a real INI file and
// scripted prompts, and the main window's state over them.
struct SessionFixture {
    SessionFixture()
        : settings(env.iniFile()), logbook(env.programDir(), clock),
          ownState(std::make_unique<MainState>(settings, prompts, clock, logbook, env.programDir())),
          state(ownState.get())
    {
        clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    }

    QString dbPath() const { return env.programDir() + "CNCPRG.mdb"; }
    void storeDirectories()
    {
        settings.write("Settings", "Verzeichnis", env.root() + "data/");
        settings.write("Settings", "FotoVerzeichnis", env.root() + "foto/");
    }

    TestEnvironment env;
    IniSettingsStore settings;
    ScriptedPrompts prompts;
    ManualClock clock;
    Logbook logbook;
    std::unique_ptr<MainState> ownState;
    MainState *state; // the station's own where a station runs

};

} // namespace zep::test
