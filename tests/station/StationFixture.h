#pragma once

#include "SessionFixture.h"
#include "station/StationInternals.h"

#include "station/Station.h"
#include "comm/PortSettings.h"
#include "comm/UnattendedSettings.h"

#include <optional>

namespace zep::test {

// The windows the start-up may ask for, none of them shown.
struct NoStationDialogs : StationDialogs {
    void openSettingsDialog() override {}
    void openWizard() override {}
};

// The station over the user's machine; `state` is the station's own.
struct StationFixture : SessionFixture {
    // Machine 7 on connection 3, ending its programs with character 26,
    // behind `slavePath`; what it sends is saved without a dialog.
    void connectAutoSavingMachine(const QString &slavePath, UnattendedSettings &unattended)
    {
        PortSettings p;
        p.aktiviert = true;
        p.comAnschluss = 3;
        p.maschinenIndex = 7;
        p.endCode = "<SA>26";
        p.save(settings, 2);
        settings.write("Schnittstellen", "COM3", slavePath);
        unattended.autoSpeichern = true;
        unattended.save(settings, 2);
    }

    StationFixture() : station(std::make_unique<Station>(settings, prompts, clock, logbook, env.programDir()))
    {
        state = &StationInternals::state(*station);
    }

    // The start-up, with every question in it answered at once by the
    // scripted prompts.
    Station::LoadOutcome loadStation(StationDialogs &dialogs, const QString &driveRoot)
    {
        std::optional<Station::LoadOutcome> outcome;
        station->load(dialogs, driveRoot, [&](Station::LoadOutcome o) { outcome = o; });
        EXPECT_TRUE(outcome.has_value()) << "a question of the start-up is still open";
        return outcome.value_or(Station::LoadOutcome::EndProgram);
    }

    std::unique_ptr<Station> station;
};

} // namespace zep::test
