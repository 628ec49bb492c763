#pragma once

#include "comm/LineSettings.h"
#include "comm/PortSettings.h"

#include <QList>
#include <QString>

#include <optional>

namespace zep {

// The machines as the connection windows need them: a name for each
// connection's list and a machine's line defaults to take over. The machine
// records sit above the connections, so the station hands the windows this
// view instead of the windows reaching up for the records themselves.
class MachineLines {
public:
    struct Machine {
        long number = 0;
        QString text; // Bezeichnung + " / " + Standort
    };

    virtual ~MachineLines() = default;

    // Every machine in table order; none while there is no catalogue.
    virtual QList<Machine> machines() const = 0;
    // Puts the machine's line defaults into `port` as a connection takes them
    // over, parts the lists do not offer kept from `shown`. False, and `port`
    // untouched, when the machine is gone.
    virtual bool takeLineDefaults(long number, PortSettings &port, const LineSettings &shown) const = 0;
};

} // namespace zep
