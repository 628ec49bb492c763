#include "station/MonitoringPause.h"

#include "station/Station.h"

namespace zep {

MonitoringPause::MonitoringPause(MonitoringPause &&other) noexcept : m_station(std::move(other.m_station))
{
    other.m_station = nullptr;
}

MonitoringPause &MonitoringPause::operator=(MonitoringPause &&other) noexcept
{
    if (this != &other) {
        end();
        m_station = std::move(other.m_station);
        other.m_station = nullptr;
    }
    return *this;
}

MonitoringPause::~MonitoringPause()
{
    end();
}

void MonitoringPause::end()
{
    if (Station *station = m_station.data())
        station->resumeMonitoring();
    m_station = nullptr;
}

} // namespace zep
