#include "machines/MachineSession.h"

#include "app/ErrorReport.h"
#include "app/Prompts.h"

#include <utility>

namespace zep {

MachineSession::MachineSession(Database &database, Prompts &prompts, const Clock &clock, QObject *parent)
    : QObject(parent), m_store(database, clock), m_prompts(prompts)
{
}

MachineSession::~MachineSession() = default;

void MachineSession::run(const QString &place, Step step, std::function<void()> done)
{
    if (const MachineStore::Result error = step()) {
        const std::weak_ptr<int> alive = m_alive;
        m_prompts.ask(retryQuestion(place, *error, m_store.lastStatement()),
                      [this, alive, place, step, done](PromptAnswer answer) {
                          if (!alive.expired() && answer == PromptAnswer::Retry)
                              run(place, step, done);
                      });
        return;
    }
    if (done)
        done();
}

void MachineSession::readList()
{
    auto entries = std::make_shared<QList<MachineListEntry>>();
    run(QStringLiteral("Aufgetreten in Form6.RedrawList"), [this, entries] { return m_store.list(*entries); },
        [this, entries] { Q_EMIT listRead(*entries); });
}

void MachineSession::load(long maschinennummer)
{
    if (m_ended)
        return;
    // What was typed for the machine shown so far belongs to that machine.
    storeDrafts();
    // While the window fills its fields with the record, what they signal
    // is no edit.
    m_machine = 0;
    auto record = std::make_shared<MachineRecord>();
    run(QStringLiteral("Aufgetreten in Form6.ListView1_Click"),
        [this, maschinennummer, record] { return m_store.load(maschinennummer, *record); },
        [this, maschinennummer, record] {
            if (m_ended)
                return;
            m_machine = 0;
            Q_EMIT loaded(*record);
            m_machine = maschinennummer;
        });
}

void MachineSession::addMachine()
{
    if (m_ended)
        return;
    storeDrafts();
    auto created = std::make_shared<long>(0);
    run(QStringLiteral("Aufgetreten in Form6.Command1_Click"), [this, created] { return m_store.addMachine(*created); },
        [this, created] {
            Q_EMIT changed();
            Q_EMIT this->created(*created);
        });
}

void MachineSession::deleteMachine()
{
    if (m_ended || m_machine == 0)
        return;
    storeDrafts();
    const long number = m_machine;
    run(QStringLiteral("Aufgetreten in Form6.Command2_Click"), [this, number] { return m_store.deleteMachine(number); },
        [this, number] {
            // From here on the fields belong to no machine: whatever they
            // signal while they are emptied must not reach the database.
            if (m_machine == number)
                m_machine = 0;
            Q_EMIT changed();
            Q_EMIT deleted(number);
        });
}

void MachineSession::end()
{
    if (m_ended)
        return;
    storeDrafts();
    // Closing moves the focus and hides the fields; nothing they signal
    // from here on is an edit.
    m_ended = true;
    m_machine = 0;
}

void MachineSession::draftName(Part part, const QString &typed)
{
    if (!editing())
        return;
    (part == Part::Bezeichnung ? m_bezeichnung : m_standort) = typed;
}

void MachineSession::draftCommunication(const CommunicationFields &fields)
{
    if (editing())
        m_communication = fields;
}

void MachineSession::draftMaintenance(const MaintenanceFields &fields)
{
    if (editing())
        m_maintenance = fields;
}

bool MachineSession::hasDraft(Part part) const
{
    switch (part) {
    case Part::Bezeichnung: return m_bezeichnung.has_value();
    case Part::Standort: return m_standort.has_value();
    case Part::Communication: return m_communication.has_value();
    case Part::Maintenance: return m_maintenance.has_value();
    }
    return false;
}

void MachineSession::leave(Part part)
{
    if (!editing())
        return;
    switch (part) {
    case Part::Bezeichnung:
    case Part::Standort: {
        std::optional<QString> &draft = part == Part::Bezeichnung ? m_bezeichnung : m_standort;
        if (draft) {
            const QString typed = *std::exchange(draft, std::nullopt);
            storeName(part, m_machine, typed);
        }
        break;
    }
    case Part::Communication:
        if (m_communication)
            storeCommunication(*m_communication);
        break;
    case Part::Maintenance:
        if (m_maintenance)
            storeMaintenance(*m_maintenance);
        break;
    }
}

void MachineSession::storeCommunication(const CommunicationFields &fields)
{
    if (!editing())
        return;
    // `fields` may be the draft itself.
    const CommunicationFields copy = fields;
    m_communication.reset();
    storeCommunicationOf(m_machine, copy);
}

void MachineSession::storeMaintenance(const MaintenanceFields &fields)
{
    if (!editing())
        return;
    const MaintenanceFields copy = fields;
    m_maintenance.reset();
    storeMaintenanceOf(m_machine, copy);
}

void MachineSession::storeDrafts()
{
    for (Part part : {Part::Bezeichnung, Part::Standort, Part::Communication, Part::Maintenance})
        leave(part);
}

void MachineSession::storeName(Part part, long machine, const QString &typed)
{
    const bool designation = part == Part::Bezeichnung;
    run(designation ? QStringLiteral("Aufgetreten in Form6.TrageBezeichnungEin")
                    : QStringLiteral("Aufgetreten in Form6.TrageStandortEin"),
        [this, designation, machine, typed] {
            return designation ? m_store.storeBezeichnung(machine, typed) : m_store.storeStandort(machine, typed);
        },
        [this, part, machine, typed] {
            Q_EMIT stored(machine, part, typed);
            Q_EMIT changed();
        });
}

void MachineSession::storeCommunicationOf(long machine, const CommunicationFields &fields)
{
    run(QStringLiteral("Aufgetreten in Form6.TrageCNCEin"),
        [this, machine, fields] { return m_store.storeCommunication(machine, fields); },
        [this, machine] {
            Q_EMIT stored(machine, Part::Communication, {});
            Q_EMIT changed();
        });
}

void MachineSession::storeMaintenanceOf(long machine, const MaintenanceFields &fields)
{
    // A maintenance plan that silently failed to store would only show up as
    // a missed maintenance, so the failure is told like every other one.
    run(QStringLiteral("Aufgetreten in Form6.TrageWartungEin"),
        [this, machine, fields] { return m_store.storeMaintenance(machine, fields); },
        [this, machine] {
            Q_EMIT stored(machine, Part::Maintenance, {});
            Q_EMIT changed();
        });
}

} // namespace zep
