#pragma once

#include "SessionFixture.h"

#include "station/Station.h"

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
        state = &station->state();
    }

    std::unique_ptr<Station> station;
};

} // namespace zep::test
