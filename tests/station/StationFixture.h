#pragma once

#include "SessionFixture.h"

#include "station/Station.h"

namespace zep::test {

// The station over the user's machine; `state` is the station's own.
struct StationFixture : SessionFixture {
    StationFixture() : station(std::make_unique<Station>(settings, prompts, clock, logbook, env.programDir()))
    {
        state = &station->state();
    }

    std::unique_ptr<Station> station;
};

} // namespace zep::test
