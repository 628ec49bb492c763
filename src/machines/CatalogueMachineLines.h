#pragma once

#include "comm/MachineLines.h"

namespace zep {

class Database;

// The connection windows' view of the machine table of the catalogue.
class CatalogueMachineLines : public MachineLines {
public:
    explicit CatalogueMachineLines(Database &database);

    QList<Machine> machines() const override;
    bool takeLineDefaults(long number, PortSettings &port, const LineSettings &shown) const override;

private:
    Database &m_database;
};

} // namespace zep
