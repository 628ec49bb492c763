#include "machines/MachinesService.h"

namespace zep {

MachinesService::MachinesService(Database &database, SettingsStore &settings, Prompts &prompts, const Clock &clock)
    : m_database(database), m_settings(settings), m_prompts(prompts), m_clock(clock), m_lines(database)
{
}

std::unique_ptr<MachineSession> MachinesService::openSession(QObject *parent)
{
    return std::make_unique<MachineSession>(m_database, m_prompts, m_clock, parent);
}

void MachinesService::create(const WizardChoices &choices, std::function<void(const MachineCreation::Result &)> done)
{
    MachineCreation::CreateMachine(m_database, m_settings, m_prompts, m_clock, choices, std::move(done));
}

MaintenanceSchedule::Marked MachinesService::markDone(const QList<DueTask> &done)
{
    return MaintenanceSchedule::markDone(m_database, m_clock, done);
}

} // namespace zep
