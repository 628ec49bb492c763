#pragma once

#include "app/ErrorInfo.h"
#include "machines/MachineRecord.h"
#include "machines/MachineStore.h"

#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace zep {

class Clock;
class Database;
class Prompts;

// What the machine manager shows of a machine, typed or read.
struct ShownMachine {
    QString bezeichnung;
    QString standort;
    CommunicationFields communication;
    MaintenanceFields maintenance;
};

// The machine manager's editing of the machine records. Every change is
// stored as soon as the user leaves the field or clicks the control; what is
// still being typed (a draft) is stored first, to the machine it was typed
// for, when the user turns to another machine, creates or deletes one, or
// ends the session. Writes go to the machine by its number; while a record
// is being read, and after the end, nothing the window tells is stored.
// Failures are offered for a retry without waiting for the answer; the
// session tells what it has read and stored through its signals.
class MachineSession : public QObject
{
    Q_OBJECT

public:
    enum class Part { Bezeichnung, Standort, Communication, Maintenance };

    MachineSession(Database &database, Prompts &prompts, const Clock &clock, QObject *parent = nullptr);
    ~MachineSession() override;

    // The machine being edited, 0 for none.
    long machine() const { return m_machine; }
    bool editing() const { return m_machine != 0; }
    bool ended() const { return m_ended; }

    // Reads the machine list: listRead.
    void readList();
    // Stores the drafts, then reads the machine: loaded, after which the
    // machine is the one being edited.
    void load(long maschinennummer);
    // Stores the drafts, then appends a machine: created. It gets the new
    // machine's values, unless the machine shown was deleted at another
    // station: then it is made again from what the window still shows of it
    // (`shown`), so what the user typed for it is not lost.
    void addMachine(const ShownMachine &shown);
    // The machine shown was deleted at another station (and nothing else
    // has been loaded or created since).
    bool shownDeletedElsewhere() const { return m_deletedElsewhere != 0; }
    // Stores the drafts, then deletes the machine being edited (its records
    // lose their machine): deleted. The window has asked the user.
    void deleteMachine();
    // Stores the drafts; from now on nothing is stored.
    void end();
    // Another station changed, added or deleted machines. The list is read
    // again (listRead), and so is the machine being edited: the parts
    // changed there are shown anew (changedElsewhere), except those the user
    // is typing in or whose store waits for an answer: they stay as typed,
    // and their store shows both versions as it always does. A machine
    // deleted there is edited no longer (deletedElsewhere); what was typed
    // for it stays in the window and is stored nowhere.
    void followChanges();

    // What the user is typing into a field not yet left.
    void draftName(Part part, const QString &typed);
    void draftCommunication(const CommunicationFields &fields);
    void draftMaintenance(const MaintenanceFields &fields);
    // The user left the field: its draft is stored.
    void leave(Part part);
    // A click on a control: stored at once, with what is typed beside it.
    void storeCommunication(const CommunicationFields &fields);
    void storeMaintenance(const MaintenanceFields &fields);
    // Every draft, to the machine it was typed for.
    void storeDrafts();
    bool hasDraft(Part part) const;

    // A part of the machine as stored, as the user reads it: what a store
    // compares with the reading, and what the question shows.
    static QString partText(const MachineRecord &record, Part part);
    static QString partLabel(Part part);
    static QString changedElsewhereText(const QString &machine, Part part, const QString &theirs, const QString &mine);
    // The window's hint after another station changed or deleted the
    // machine shown; `keptTyping`: the user's typing was left in the fields.
    static QString changedElsewhereNotice(const QString &machine, bool keptTyping);
    static QString deletedElsewhereNotice(const QString &machine);

Q_SIGNALS:
    void listRead(const QList<zep::MachineListEntry> &entries);
    // The record of the machine now being edited.
    void loaded(const zep::MachineRecord &record);
    void created(long maschinennummer);
    void deleted(long maschinennummer);
    // `part` of machine `maschinennummer` was stored; `text` is the typed
    // text of a name part.
    void stored(long maschinennummer, zep::MachineSession::Part part, const QString &text);
    // Any machine record changed: the lists of machines elsewhere follow.
    void changed();
    // Another station changed the machine being edited: `shown` are the
    // parts of `record` to show now, `kept` those changed there that stay as
    // the user typed them. Nothing the fields signal meanwhile is an edit.
    void changedElsewhere(const zep::MachineRecord &record, const QList<zep::MachineSession::Part> &shown,
                          const QList<zep::MachineSession::Part> &kept);
    // Another station deleted the machine being edited; it is edited no
    // longer. `bezeichnung` as it was read here.
    void deletedElsewhere(long maschinennummer, const QString &bezeichnung);

private:
    using Step = std::function<MachineStore::Result()>;
    // Runs `step`; a failure is told with `place` and, on Retry, run again.
    // `done` runs after success.
    // `givenUp` runs when the user does not retry.
    void run(const QString &place, Step step, std::function<void()> done, std::function<void()> givenUp = {});
    void followMachine(const QList<MachineListEntry> &entries);
    void dropDrafts();
    // A machine with the values of `shown`, all stored or none.
    MachineStore::Result addAgain(const ShownMachine &shown, long &created);
    // Stores one part unless another station (or window) changed it since
    // it was read here: then the user sees both versions and chooses to
    // keep these (Yes), take the stored ones (No: the machine is read
    // anew) or go on editing (Cancel, and nobody at the PC: nothing is
    // stored, the typed draft stays for the next store). The stored part is
    // compared inside the storing transaction, its row locked.
    void storeChecked(const QString &place, Part part, long machine, Step store, std::function<void()> done,
                      std::function<void()> keepDraft);
    void storeName(Part part, long machine, const QString &typed);
    void storeCommunicationOf(long machine, const CommunicationFields &fields);
    void storeMaintenanceOf(long machine, const MaintenanceFields &fields);

    Database &m_database;
    MachineStore m_store;
    Prompts &m_prompts;
    // The machine as read (parts updated as they are stored here).
    MachineRecord m_read;
    long m_machine = 0;
    long m_deletedElsewhere = 0;
    bool m_ended = false;
    std::optional<QString> m_bezeichnung;
    std::optional<QString> m_standort;
    std::optional<CommunicationFields> m_communication;
    std::optional<MaintenanceFields> m_maintenance;
    // Stores of each part not yet settled (a question about them is open):
    // what they hold is the user's, however the fields look.
    std::array<int, 4> m_unsettled{};
    // Answers that come after the session has gone find nothing to finish.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

} // namespace zep
