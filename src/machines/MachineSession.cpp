#include "machines/MachineSession.h"

#include "app/ErrorReport.h"
#include "app/Prompts.h"
#include "db/Database.h"
#include "db/JetErrors.h"

#include <QStringList>

#include <algorithm>
#include <utility>

namespace zep {

namespace {

// Ends a transaction that went wrong, handing on why.
MachineStore::Result rolledBack(Database &db, MachineStore::Result error)
{
    if (db.inTransaction())
        db.rollback();
    return error;
}

void copyPart(const MachineRecord &from, MachineRecord &to, MachineSession::Part part)
{
    using Part = MachineSession::Part;
    switch (part) {
    case Part::Bezeichnung: to.bezeichnung = from.bezeichnung; break;
    case Part::Standort: to.standort = from.standort; break;
    case Part::Communication: {
        const MachineRecord keep = to;
        to = from;
        to.bezeichnung = keep.bezeichnung;
        to.standort = keep.standort;
        to.wartungsArt = keep.wartungsArt;
        to.wartStart = keep.wartStart;
        to.wartText = keep.wartText;
        break;
    }
    case Part::Maintenance:
        to.wartungsArt = from.wartungsArt;
        to.wartStart = from.wartStart;
        to.wartText = from.wartText;
        break;
    }
}

} // namespace

MachineSession::MachineSession(Database &database, Prompts &prompts, const Clock &clock, QObject *parent)
    : QObject(parent), m_database(database), m_store(database, clock), m_prompts(prompts)
{
}

MachineSession::~MachineSession() = default;

void MachineSession::run(const QString &place, Step step, std::function<void()> done, std::function<void()> givenUp)
{
    if (const MachineStore::Result error = step()) {
        const std::weak_ptr<int> alive = m_alive;
        m_prompts.ask(retryQuestion(place, *error, m_store.lastStatement()),
                      [this, alive, place, step, done, givenUp](PromptAnswer answer) {
                          if (alive.expired())
                              return;
                          if (answer == PromptAnswer::Retry)
                              run(place, step, done, givenUp);
                          else if (givenUp)
                              givenUp();
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
            m_deletedElsewhere = 0;
            m_read = *record;
            Q_EMIT loaded(*record);
            m_machine = maschinennummer;
        });
}

void MachineSession::addMachine(const ShownMachine &shown)
{
    if (m_ended)
        return;
    storeDrafts();
    const bool again = shownDeletedElsewhere();
    auto created = std::make_shared<long>(0);
    run(
        QStringLiteral("Aufgetreten in Form6.Command1_Click"),
        [this, created, again, shown] { return again ? addAgain(shown, *created) : m_store.addMachine(*created); },
        [this, created] {
            m_deletedElsewhere = 0;
            Q_EMIT changed();
            Q_EMIT this->created(*created);
        });
}

MachineStore::Result MachineSession::addAgain(const ShownMachine &shown, long &created)
{
    Database &db = m_database;
    const auto undo = [&db](MachineStore::Result error) { return rolledBack(db, std::move(error)); };
    if (!db.transaction())
        return db.lastError();
    MachineStore::Result error = m_store.addMachine(created);
    if (!error && created == 0)
        error = JetErrors::make(JetErrors::NoCurrentRecord);
    if (!error)
        error = m_store.storeBezeichnung(created, shown.bezeichnung);
    if (!error)
        error = m_store.storeStandort(created, shown.standort);
    if (!error)
        error = m_store.storeCommunication(created, shown.communication);
    if (!error)
        error = m_store.storeMaintenance(created, shown.maintenance);
    if (error)
        return undo(error);
    if (!db.commit())
        return undo(db.lastError());
    return std::nullopt;
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

void MachineSession::followChanges()
{
    if (m_ended)
        return;
    auto entries = std::make_shared<QList<MachineListEntry>>();
    run(QStringLiteral("Aufgetreten in Form6.RedrawList"), [this, entries] { return m_store.list(*entries); },
        [this, entries] {
            if (m_ended)
                return;
            Q_EMIT listRead(*entries);
            followMachine(*entries);
        });
}

void MachineSession::followMachine(const QList<MachineListEntry> &entries)
{
    const long number = m_machine;
    // A machine still being read is shown as it is read.
    if (number == 0 || m_read.maschinennummer != number)
        return;
    bool there = std::any_of(entries.begin(), entries.end(),
                             [number](const MachineListEntry &e) { return e.maschinennummer == number; });
    MachineRecord now;
    if (there) {
        if (const MachineStore::Result error = m_store.load(number, now)) {
            // Not readable now: the next notice, or the next store, tells.
            if (error->number != JetErrors::NoCurrentRecord)
                return;
            there = false;
        }
    }
    if (!there) {
        // Nothing typed may land anywhere now: the number is gone, and a
        // store would only end in a report. The window keeps the fields.
        m_machine = 0;
        m_deletedElsewhere = number;
        dropDrafts();
        Q_EMIT deletedElsewhere(number, m_read.bezeichnung.trimmed());
        return;
    }
    QList<Part> shown, kept;
    for (Part part : {Part::Bezeichnung, Part::Standort, Part::Communication, Part::Maintenance}) {
        if (partText(now, part) == partText(m_read, part))
            continue;
        // What the user typed is theirs until they store it; the reading
        // of that part stays the old one, so the store asks about both.
        (hasDraft(part) || m_unsettled[int(part)] > 0 ? kept : shown).append(part);
    }
    if (shown.isEmpty() && kept.isEmpty())
        return;
    for (Part part : std::as_const(shown))
        copyPart(now, m_read, part);
    // While the window fills its fields, what they signal is no edit.
    m_machine = 0;
    Q_EMIT changedElsewhere(now, shown, kept);
    if (!m_ended)
        m_machine = number;
}

void MachineSession::dropDrafts()
{
    m_bezeichnung.reset();
    m_standort.reset();
    m_communication.reset();
    m_maintenance.reset();
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
    storeChecked(designation ? QStringLiteral("Aufgetreten in Form6.TrageBezeichnungEin")
                    : QStringLiteral("Aufgetreten in Form6.TrageStandortEin"),
        part, machine,
        [this, designation, machine, typed] {
            return designation ? m_store.storeBezeichnung(machine, typed) : m_store.storeStandort(machine, typed);
        },
        [this, part, machine, typed] {
            Q_EMIT stored(machine, part, typed);
            Q_EMIT changed();
        },
        [this, part, machine, typed] {
            if (m_machine == machine && !hasDraft(part))
                (part == Part::Bezeichnung ? m_bezeichnung : m_standort) = typed;
        });
}

QString MachineSession::partLabel(Part part)
{
    switch (part) {
    case Part::Bezeichnung: return QStringLiteral("Bezeichnung:");
    case Part::Standort: return QStringLiteral("Standort:");
    case Part::Communication: return QStringLiteral("Schnittstelle:");
    case Part::Maintenance: return QStringLiteral("Wartung:");
    }
    return {};
}

QString MachineSession::partText(const MachineRecord &r, Part part)
{
    switch (part) {
    case Part::Bezeichnung: return r.bezeichnung.trimmed();
    case Part::Standort: return r.standort.trimmed();
    case Part::Communication: {
        const LineConversions &c = r.conversions;
        return QStringLiteral("RS232 %1, Ende %2 %3|%4|%5, Umwandlung %6 %7 %8 %9 %10 %11, Baudrate %12, %13")
            .arg(r.mitRS232 != 0 ? QStringLiteral("ja") : QStringLiteral("nein"))
            .arg(r.sonderzeichen)
            .arg(r.param1, r.param2, r.param3)
            .arg(c.ecrZu)
            .arg(c.elfZu)
            .arg(c.scrZu)
            .arg(c.slfZu)
            .arg(c.exon)
            .arg(c.sxon)
            .arg(r.baudrate, r.comString);
    }
    case Part::Maintenance: {
        QStringList tasks;
        for (int k = 0; k < 3; ++k)
            tasks << QStringLiteral("%1. Art %2 ab %3: %4")
                         .arg(k + 1)
                         .arg(r.wartungsArt[k])
                         .arg(r.wartStart[k].isValid() ? r.wartStart[k].toString(QStringLiteral("dd.MM.yyyy"))
                                                       : QStringLiteral("-"),
                              r.wartText[k].simplified());
        return tasks.join(QStringLiteral("; "));
    }
    }
    return {};
}

QString MachineSession::changedElsewhereNotice(const QString &machine, bool keptTyping)
{
    return QStringLiteral("Die Maschine ") + machine
           + (keptTyping ? QStringLiteral(" wurde an einem anderen Arbeitsplatz geändert. Ihre Eingaben bleiben "
                                          "stehen; beim Speichern werden beide Fassungen gezeigt.")
                         : QStringLiteral(" wurde an einem anderen Arbeitsplatz geändert; die Felder zeigen den "
                                          "neuen Stand."));
}

QString MachineSession::deletedElsewhereNotice(const QString &machine)
{
    return QStringLiteral("Die Maschine ") + machine
           + QStringLiteral(" wurde an einem anderen Arbeitsplatz gelöscht. Ihre Eingaben bleiben stehen; "
                            "\"Neue Maschine\" legt sie damit wieder an.");
}

QString MachineSession::changedElsewhereText(const QString &machine, Part part, const QString &theirs,
                                             const QString &mine)
{
    return QStringLiteral("Die Maschine ") + machine
           + QStringLiteral(" wurde an einem anderen Arbeitsplatz geändert, seit sie hier gelesen wurde.\r\r")
           + partLabel(part) + QStringLiteral("\r    dort: ") + theirs + QStringLiteral("\r    hier: ") + mine
           + QStringLiteral("\r\rJa: Ihre Fassung speichern (die andere wird überschrieben).\r"
                            "Nein: die andere Fassung übernehmen (die Maschine wird neu gelesen).\r"
                            "Abbrechen: weiter bearbeiten, nichts wird gespeichert.");
}


void MachineSession::storeChecked(const QString &place, Part part, long machine, Step store,
                                  std::function<void()> done, std::function<void()> keepDraft)
{
    struct Outcome {
        MachineRecord before;
        MachineRecord after;
        bool conflict = false;
    };
    auto outcome = std::make_shared<Outcome>();
    ++m_unsettled[int(part)];
    auto settle = [this, part] { --m_unsettled[int(part)]; };
    run(
        place,
        [this, part, machine, store, outcome]() -> MachineStore::Result {
            *outcome = Outcome();
            Database &db = m_database;
            const auto undo = [&db](MachineStore::Result error) { return rolledBack(db, std::move(error)); };
            if (!db.transaction())
                return db.lastError();
            if (db.isServer()
                && !db.executeNative(
                    QStringLiteral("SELECT Maschinennummer FROM Maschinen WHERE Maschinennummer = $1 FOR UPDATE"),
                    {qlonglong(machine)}))
                return undo(db.lastError());
            if (MachineStore::Result e = m_store.load(machine, outcome->before))
                return undo(e);
            if (MachineStore::Result e = store())
                return undo(e);
            if (MachineStore::Result e = m_store.load(machine, outcome->after))
                return undo(e);
            // Changed elsewhere since it was read here, and this store
            // would change it again: the user decides.
            const bool readHere = m_read.maschinennummer == machine;
            const QString before = partText(outcome->before, part);
            if (readHere && before != partText(m_read, part)
                && partText(outcome->after, part) != before) {
                outcome->conflict = true;
                return undo(std::nullopt);
            }
            if (!db.commit())
                return undo(db.lastError());
            return std::nullopt;
        },
        [this, place, part, machine, store, done, keepDraft, outcome, settle] {
            if (!outcome->conflict) {
                settle();
                // Only this part counts as seen here: a change elsewhere to
                // another part is still asked about when that one is stored.
                if (m_read.maschinennummer == machine)
                    copyPart(outcome->after, m_read, part);
                if (done)
                    done();
                return;
            }
            const std::weak_ptr<int> alive = m_alive;
            m_prompts.ask(
                Question{changedElsewhereText(outcome->before.bezeichnung.trimmed(), part,
                                              partText(outcome->before, part), partText(outcome->after, part)),
                         QStringLiteral("Datensatz inzwischen geändert!"), PromptIcon::Question,
                         PromptButtons::YesNoCancel, PromptAnswer::Cancel},
                [this, alive, place, part, machine, store, done, keepDraft, outcome, settle](PromptAnswer answer) {
                    if (alive.expired())
                        return;
                    settle();
                    // Kept over the version shown: stored unless that one
                    // has been changed again meanwhile.
                    if (answer == PromptAnswer::Yes) {
                        if (m_read.maschinennummer == machine)
                            copyPart(outcome->before, m_read, part);
                        return storeChecked(place, part, machine, store, done, keepDraft);
                    }
                    if (answer == PromptAnswer::No) {
                        if (m_read.maschinennummer == machine)
                            m_read = outcome->before;
                        if (m_machine == machine && !m_ended)
                            load(machine);
                        return;
                    }
                    if (keepDraft)
                        keepDraft();
                });
        },
        settle);
}

void MachineSession::storeCommunicationOf(long machine, const CommunicationFields &fields)
{
    storeChecked(
        QStringLiteral("Aufgetreten in Form6.TrageCNCEin"), Part::Communication, machine,
        [this, machine, fields] { return m_store.storeCommunication(machine, fields); },
        [this, machine] {
            Q_EMIT stored(machine, Part::Communication, {});
            Q_EMIT changed();
        },
        [this, machine, fields] {
            if (m_machine == machine && !m_communication)
                m_communication = fields;
        });
}

void MachineSession::storeMaintenanceOf(long machine, const MaintenanceFields &fields)
{
    // A maintenance plan that silently failed to store would only show up as
    // a missed maintenance, so the failure is told like every other one.
    storeChecked(
        QStringLiteral("Aufgetreten in Form6.TrageWartungEin"), Part::Maintenance, machine,
        [this, machine, fields] { return m_store.storeMaintenance(machine, fields); },
        [this, machine] {
            Q_EMIT stored(machine, Part::Maintenance, {});
            Q_EMIT changed();
        },
        [this, machine, fields] {
            if (m_machine == machine && !m_maintenance)
                m_maintenance = fields;
        });
}

} // namespace zep
