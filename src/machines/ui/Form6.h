#pragma once

#include "machines/MachineStore.h"
#include "machines/ui/Form6Controls.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QTreeWidgetItem;

namespace zep {

class Clock;
class Database;
class Prompts;

// "Maschinenverwaltung": creates, edits and deletes machine records. Every
// change is stored as soon as the user leaves the field or clicks the
// control; there is no save command. Whatever is still being typed when the
// user turns to another machine, creates or deletes one or closes the window
// is stored first, to the machine it was typed for.
class Form6 : public QDialog
{
    Q_OBJECT

public:
    // `setStatus` writes the main window's status line.
    Form6(Database &database, Prompts &prompts, const Clock &clock, std::function<void(const QString &)> setStatus,
          QWidget *parent = nullptr);
    ~Form6() override;

    void RedrawList();
    // Store the communication or maintenance fields of the loaded machine.
    void TrageCNCEin();
    void TrageWartungEin();

    // The machine whose fields the window shows and stores, 0 for none.
    long loadedMachine() const { return m_machineLoaded ? m_loaded : 0; }
    const Form6Controls &controls() const { return m_ui; }

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillLists();
    void listChosen(QTreeWidgetItem *item);
    void loadMachine(long maschinennummer);
    void showMachine(const MachineRecord &record);
    void setMachineEnabled(bool enabled);
    void clearAfterDelete();
    void newMachine();
    void deleteMachine();

    bool mayStore() const { return m_machineLoaded && m_loaded != 0; }
    void storePendingEdits();
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
    void updateListEntry();
    void resizeColumns();
    QTreeWidgetItem *entryOf(long maschinennummer) const;

    CommunicationFields communicationFields() const;
    MaintenanceFields maintenanceFields() const;

    Form6Controls m_ui;
    MachineStore m_store;
    Prompts &m_prompts;
    const Clock &m_clock;
    std::function<void(const QString &)> m_setStatus;
    // The machine the fields belong to; writes go to it by number only while
    // it is loaded, never while a load, a delete or the closing fills them.
    long m_loaded = 0;
    bool m_machineLoaded = false;
    bool m_closing = false;
    bool m_filling = false; // a load is putting a record into the fields
};

} // namespace zep
