#pragma once

#include "machines/CatalogueMachineLines.h"
#include "machines/MachineCreation.h"
#include "machines/MachineSession.h"
#include "machines/MaintenanceSchedule.h"

#include <QList>
#include <QObject>
#include <memory>

namespace zep {

class Clock;
class Database;
class Prompts;
class SettingsStore;

// What the windows may do with the machine records: edit them in a session
// (the machine manager), create one from the wizard's choices, tick off
// due maintenance, and see the machines as the connection windows know
// them. The station hands it out; no window sees the database behind it.
class MachinesService : public QObject
{
    Q_OBJECT

public:
    MachinesService(Database &database, SettingsStore &settings, Prompts &prompts, const Clock &clock);

    std::unique_ptr<MachineSession> openSession(QObject *parent = nullptr);
    // The wizard's last step; `done` gets the result once the record is
    // settled. See MachineCreation::CreateMachine.
    void create(const WizardChoices &choices, std::function<void(const MachineCreation::Result &)> done);
    // The due window's confirmation; see MaintenanceSchedule::markDone.
    MaintenanceSchedule::Marked markDone(const QList<DueTask> &done);
    // The machines for the port settings and send dialogs.
    const MachineLines &lines() const { return m_lines; }

Q_SIGNALS:
    // Another station changed, added or deleted machines or their
    // maintenance (the station tells it as the server's notice comes).
    void changedElsewhere();

private:
    Database &m_database;
    SettingsStore &m_settings;
    Prompts &m_prompts;
    const Clock &m_clock;
    CatalogueMachineLines m_lines;
};

} // namespace zep
