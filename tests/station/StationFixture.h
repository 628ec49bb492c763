#pragma once

#include "SessionFixture.h"
#include "station/StationInternals.h"

#include "station/Station.h"

#include <optional>

namespace zep::test {

// The windows the start-up may ask for, none of them shown.
struct NoStationDialogs : StationDialogs {
    void openSettingsDialog() override {}
    void openWizard() override {}
};

// The station over the user's machine; `state` is the station's own.
struct StationFixture : SessionFixture {
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
