#include "machines/CatalogueMachineLines.h"

#include "app/SystemClock.h"
#include "db/Database.h"
#include "machines/MachineList.h"
#include "machines/MachineStore.h"

namespace zep {

CatalogueMachineLines::CatalogueMachineLines(Database &database) : m_database(database)
{
}

QList<MachineLines::Machine> CatalogueMachineLines::machines() const
{
    QList<Machine> out;
    if (!m_database.isOpen())
        return out;
    for (const MachineChoice &choice : MachineList::all(m_database))
        out.append({choice.number, choice.text});
    return out;
}

bool CatalogueMachineLines::takeLineDefaults(long number, PortSettings &port, const LineSettings &shown) const
{
    if (!m_database.isOpen())
        return false;
    MachineRecord record;
    SystemClock clock;
    if (MachineStore(m_database, clock).load(number, record))
        return false;
    record.copyDefaultsTo(port, shown);
    return true;
}

} // namespace zep
