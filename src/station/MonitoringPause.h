#pragma once

#include <QPointer>

namespace zep {

class Station;

// The directory check stays stopped while this lives: a dialog that may
// change the settings, the machines or the ports holds one for as long as
// it is open, and the backup for as long as it runs. Pauses nest; the check
// goes on when the last one ends.
class [[nodiscard]] MonitoringPause {
public:
    MonitoringPause() = default;
    MonitoringPause(MonitoringPause &&other) noexcept;
    MonitoringPause &operator=(MonitoringPause &&other) noexcept;
    MonitoringPause(const MonitoringPause &) = delete;
    MonitoringPause &operator=(const MonitoringPause &) = delete;
    ~MonitoringPause();

    // Lets the check go on now (if no other pause holds it).
    void end();
    bool active() const { return !m_station.isNull(); }

private:
    friend class Station;
    explicit MonitoringPause(Station *station) : m_station(station) {}
    QPointer<Station> m_station;
};

} // namespace zep
