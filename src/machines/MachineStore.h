#pragma once

#include "app/ErrorInfo.h"
#include "machines/MachineRecord.h"

#include <QList>
#include <QString>

#include <optional>

namespace zep {

class Clock;
class Database;

// The machine records as the machine manager reads and writes them. Every
// write names the machine by its `Maschinennummer`, so a change can only
// land on the machine it was made for, and a write to a machine that no
// longer exists is an error, not a silent new state of some other row.
// Results come back as values; errors as ErrorInfo for the window to report.
class MachineStore {
public:
    using Result = std::optional<ErrorInfo>; // empty: success

    MachineStore(Database &database, const Clock &clock);

    // Every machine in the order "SELECT * FROM Maschinen" returns them.
    Result list(QList<MachineListEntry> &entries);
    Result load(long maschinennummer, MachineRecord &record);

    Result storeCommunication(long maschinennummer, const CommunicationFields &fields);
    Result storeMaintenance(long maschinennummer, const MaintenanceFields &fields);
    // The typed text plus the one blank the manager has always stored.
    Result storeBezeichnung(long maschinennummer, const QString &typed);
    Result storeStandort(long maschinennummer, const QString &typed);

    // Appends a machine with the manager's new-machine values; `created` gets
    // its number. `MitRS232` is left to the database's default.
    Result addMachine(long &created);
    // Clears the machine reference of the catalogue records that named the
    // machine, then deletes it; both or neither.
    Result deleteMachine(long maschinennummer);

    // The statement an error report names.
    QString lastStatement() const { return m_lastStatement; }

private:
    Result updateMachine(long maschinennummer, const QStringList &columns, QVariantList values);
    Result execute(const QString &statement, const QVariantList &params);

    Database &m_database;
    const Clock &m_clock;
    QString m_lastStatement;
};

} // namespace zep
