#pragma once

#include "app/StatusLine.h"
#include "machines/MachineSession.h"
#include "machines/ui/MachineManagerControls.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLineEdit;
class QTreeWidgetItem;

namespace zep {

class Clock;
class MachinesService;
class Prompts;

// "Maschinenverwaltung": creates, edits and deletes machine records. Every
// change is stored as soon as the user leaves the field or clicks the
// control; there is no save command. The machine session does the storing:
// the window hands it what is typed and what is left, and shows what the
// session has read and stored.
class MachineManager : public QDialog
{
    Q_OBJECT

public:
    // `setStatus` writes the main window's status line.
    MachineManager(MachinesService &machines, Prompts &prompts, const Clock &clock,
          StatusLine &status, QWidget *parent = nullptr);
    ~MachineManager() override;

    void RedrawList();
    // Store the communication or maintenance fields of the loaded machine.
    void TrageCNCEin();
    void TrageWartungEin();

    // The machine whose fields the window shows and stores, 0 for none.
    long loadedMachine() const { return m_session->machine(); }
    MachineSession &session() const { return *m_session; }
    const MachineManagerControls &controls() const { return m_ui; }

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillLists();
    void listChosen(QTreeWidgetItem *item);
    void showList(const QList<MachineListEntry> &entries);
    void loadMachine(long maschinennummer);
    void handOverTyping();
    void showMachine(const MachineRecord &record);
    void showName(QLineEdit *field, const QString &stored);
    void showCommunication(const MachineRecord &record);
    void showMaintenance(const MachineRecord &record);
    void followChangesElsewhere();
    void showChangedElsewhere(const MachineRecord &record, const QList<MachineSession::Part> &shown,
                              const QList<MachineSession::Part> &kept);
    void showDeletedElsewhere(const QString &bezeichnung);
    void setHint(const QString &text);
    void machineCreated(long maschinennummer);
    void partStored(long maschinennummer, MachineSession::Part part, const QString &text);
    void setMachineEnabled(bool enabled);
    void clearAfterDelete();
    void newMachine();
    void deleteMachine();

    void leaveNameField(QLineEdit *field);
    void leaveCommunicationField(QLineEdit *field);
    bool refuseInvalid(QLineEdit *field, bool valid);

    void rs232Changed();
    void endModeChanged();
    void applyRs232Enabled();
    void applyEndMode();
    void applyTurnus(int task);
    void updatePairLimits();
    void limitPairField(QLineEdit *field, const QLineEdit *other);
    void updateListEntry(long maschinennummer);
    void resizeColumns();
    QTreeWidgetItem *entryOf(long maschinennummer) const;

    CommunicationFields communicationFields() const;
    MaintenanceFields maintenanceFields() const;

    MachineManagerControls m_ui;
    std::unique_ptr<MachineSession> m_session;
    Prompts &m_prompts;
    const Clock &m_clock;
    StatusLine &m_status;
    StatusLine::Busy m_busy; // while the manager is open
};

} // namespace zep
