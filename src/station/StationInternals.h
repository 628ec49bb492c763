#pragma once

#include "station/MainState.h"
#include "station/Station.h"

namespace zep {

class CatalogueConnection;
class CommStation;
class ReceptionJournal;

// The station's parts, for tests that look inside. Windows get services
// from the station, never these.
struct StationInternals {
    static MainState &state(Station &station) { return *station.m_state; }
    static Database &database(Station &station) { return station.database(); }
    static MonitoredDirectory &files(Station &station) { return station.files(); }
    static CommStation &comm(Station &station) { return station.comm(); }
    static ReceptionJournal &journal(Station &station) { return station.journal(); }
    static QTimer *directoryTimer(Station &station) { return station.directoryTimer(); }
    static QTimer *receptionTimer(Station &station) { return station.receptionTimer(); }
    static CatalogueConnection &catalogueLink(Station &station) { return *station.m_catalogueLink; }
};

} // namespace zep
