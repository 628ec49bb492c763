#include "catalogue/RecordSession.h"

#include "app/CatalogueNames.h"
#include "app/ErrorReport.h"
#include "app/Prompts.h"
#include "catalogue/DateCompletion.h"
#include "catalogue/ProgramRename.h"
#include "db/Database.h"

#include <algorithm>

namespace zep {

RecordSession::RecordSession(Context context, long dateiIndex) : m_ctx(std::move(context)), m_dateiIndex(dateiIndex) {}

RecordSession::~RecordSession() = default;

QList<MachineChoice> RecordSession::machineChoices() const
{
    return MachineList::filterChoices(m_ctx.database);
}

void RecordSession::tell(const QString &text)
{
    m_ctx.prompts.ask(Question{text, QStringLiteral("Fehler!"), PromptIcon::Exclamation});
}

void RecordSession::load(LoadDone done)
{
    read(std::make_shared<LoadDone>(std::move(done)));
}

void RecordSession::read(const std::shared_ptr<LoadDone> &done)
{
    const CatalogueRecord::Loaded loaded = CatalogueRecord::load(m_ctx.database, m_dateiIndex);
    if (loaded.error.number != 0) {
        const std::weak_ptr<int> alive = m_alive;
        m_ctx.prompts.ask(retryQuestion(QStringLiteral("Aufgetreten in Form3.Form_Load"), loaded.error,
                                        m_ctx.database.lastStatement()),
                          [this, alive, done](PromptAnswer answer) {
                              if (alive.expired())
                                  return;
                              if (answer == PromptAnswer::Retry)
                                  read(done);
                              else
                                  (*done)(Loaded::GivenUp, {});
                          });
        return;
    }
    if (!loaded.found) {
        m_ctx.prompts.ask(Question{QStringLiteral("DateiIndex ") + QString::number(m_dateiIndex)
                                       + QStringLiteral(" nicht gefunden!!"),
                                   QStringLiteral("Fehler!"), PromptIcon::Exclamation});
        (*done)(Loaded::NotFound, {});
        return;
    }
    m_storedName = loaded.fields.dateiname;
    m_read = loaded.fields;
    (*done)(Loaded::Read, loaded.fields);
    offerDroppingMachine(loaded.fields.maschinenIndex);
}

void RecordSession::offerDroppingMachine(long machine)
{
    const QList<MachineChoice> choices = machineChoices();
    if (std::any_of(choices.begin(), choices.end(), [machine](const MachineChoice &c) { return c.number == machine; }))
        return;
    const std::weak_ptr<int> alive = m_alive;
    const long index = m_dateiIndex;
    // Asked only about the machine the record named when it was read: the
    // answer drops that one, not a machine chosen since.
    m_ctx.prompts.ask(
        Question{QStringLiteral("Die Maschine welche für dieses Programm angegeben war ist nichtmehr vorhanden. Wenn "
                                "Sie mit Maschinenauswahl nach Dateien suchen kann diese Datei so nicht gefunden "
                                "werden. Soll die Maschinenzuordnung desshalb für dieses Programm entfernt werden?"),
                 QStringLiteral("Achtung!"), PromptIcon::Exclamation, PromptButtons::YesNo, PromptAnswer::No},
        [this, alive, index](PromptAnswer answer) {
            if (alive.expired() || answer != PromptAnswer::Yes)
                return;
            if (const auto error = CatalogueRecord::setMachine(m_ctx.database, index, 0))
                m_ctx.prompts.ask(Question{error->description + QStringLiteral(" in Form3_DatensatzEintragen"),
                                           QStringLiteral("Fehler!"), PromptIcon::Exclamation});
            else
                // Stored from here: no change made elsewhere.
                m_read.maschinenIndex = 0;
        });
}

bool RecordSession::fileMissing() const
{
    return !CatalogueNames::resolveStoredName(m_ctx.verzeichnis, m_storedName).found();
}

CatalogueRecord::Written RecordSession::store(const RecordFields &fields, std::optional<long> machine)
{
    RecordFields stored = fields;
    stored.dateiname = m_storedName;
    return CatalogueRecord::DatensatzSchreiben(m_ctx.database, m_dateiIndex, stored, machine);
}

namespace {

const QList<RecordFields::Field> &comparedFields()
{
    static const QList<RecordFields::Field> fields{
        RecordFields::Bezeichnung, RecordFields::Zeichnungsnummer, RecordFields::Auftragsnummer,
        RecordFields::Kunde,       RecordFields::Datum,            RecordFields::Aufspannung,
        RecordFields::Werkzeuge,   RecordFields::Laufzeit,         RecordFields::Ersteller,
        RecordFields::Bemerkungen};
    return fields;
}

// What a save would store, as a read gives it back: the name aside, since
// only a rename changes it.
bool sameContent(const RecordFields &a, const RecordFields &b)
{
    for (RecordFields::Field f : comparedFields())
        if (a.text(f) != b.text(f))
            return false;
    return a.maschinenIndex == b.maschinenIndex;
}

QString shown(const QString &text)
{
    // A long memo is shown by its beginning; the box must fit the screen.
    constexpr int kShown = 160;
    QString one = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    if (one.size() > kShown)
        one = one.left(kShown) + QStringLiteral(" …");
    return one.isEmpty() ? QStringLiteral("(leer)") : QLatin1Char('"') + one + QLatin1Char('"');
}

} // namespace

RecordFields RecordSession::mineOf(const RecordFields &fields, std::optional<long> machine) const
{
    RecordFields mine = fields;
    mine.dateiname = m_storedName;
    mine.maschinenIndex = machine.value_or(m_read.maschinenIndex);
    const std::optional<QDate> date = DateCompletion::toDate(DateCompletion::complete(fields.datum.trimmed()));
    if (date && date->isValid())
        mine.datum = DateCompletion::format(*date);
    else if (!date)
        mine.datum.clear();
    return mine;
}

QList<RecordSession::Difference> RecordSession::differences(const RecordFields &theirs, const RecordFields &mine) const
{
    QList<Difference> out;
    for (RecordFields::Field f : comparedFields())
        if (theirs.text(f) != mine.text(f))
            out.append({RecordFields::label(f), theirs.text(f), mine.text(f)});
    if (theirs.maschinenIndex != mine.maschinenIndex) {
        const QList<MachineChoice> choices = machineChoices();
        auto name = [&](long number) {
            for (const MachineChoice &c : choices)
                if (c.number == number)
                    return c.text;
            return QString::number(number);
        };
        out.append({QStringLiteral("Maschine:"), name(theirs.maschinenIndex), name(mine.maschinenIndex)});
    }
    return out;
}

QString RecordSession::changedElsewhereTitle()
{
    return QStringLiteral("Datensatz inzwischen geändert!");
}

QString RecordSession::changedElsewhereNotice(const QString &storedName)
{
    return QStringLiteral("Der Datensatz ") + storedName
           + QStringLiteral(" wurde an einem anderen Arbeitsplatz geändert; beim Speichern werden beide Fassungen "
                            "gezeigt.");
}

QString RecordSession::deletedElsewhereNotice(const QString &storedName)
{
    return QStringLiteral("Der Datensatz ") + storedName + QStringLiteral(" wurde an einem anderen Arbeitsplatz gelöscht.");
}

QString RecordSession::changedElsewhereText(const QString &storedName, const QList<Difference> &differences)
{
    QString text = QStringLiteral("Der Datensatz der Datei ") + storedName
                   + QStringLiteral(" wurde an einem anderen Arbeitsplatz geändert, seit er hier geöffnet wurde. "
                                    "Die beiden Fassungen unterscheiden sich so:\r");
    for (const Difference &d : differences)
        text += QStringLiteral("\r") + d.label + QStringLiteral("\r    dort: ") + shown(d.theirs)
                + QStringLiteral("\r    hier: ") + shown(d.mine);
    text += QStringLiteral("\r\rJa: Ihre Fassung speichern (die andere wird überschrieben).\r"
                           "Nein: die andere Fassung übernehmen (Ihre Änderungen werden verworfen).\r"
                           "Abbrechen: weiter bearbeiten, nichts wird gespeichert.");
    return text;
}

void RecordSession::save(const RecordFields &fields, std::optional<long> machine, SaveDone done)
{
    saveChecked(fields, machine, std::make_shared<SaveDone>(std::move(done)));
}

void RecordSession::saveChecked(const RecordFields &fields, std::optional<long> machine,
                                const std::shared_ptr<SaveDone> &done)
{
    auto finish = [&](SaveOutcome outcome) {
        if (*done)
            (*done)(outcome);
    };
    Database &db = m_ctx.database;
    auto failed = [&](const ErrorInfo &error) {
        if (db.inTransaction())
            db.rollback();
        SaveOutcome out;
        out.written.error = error;
        finish(out);
    };
    db.setLastStatement(QStringLiteral("BEGIN"));
    if (!db.transaction())
        return failed(db.lastError());
    // Held until the commit: another station saving the same record waits
    // here and then compares with what this one stored. (A file catalogue
    // is locked whole by the transaction already.)
    if (db.isServer()
        && !db.executeNative(QStringLiteral("SELECT DateiIndex FROM DateiListe WHERE DateiIndex = $1 FOR UPDATE"),
                             {qlonglong(m_dateiIndex)}))
        return failed(db.lastError());
    const CatalogueRecord::Loaded stored = CatalogueRecord::load(db, m_dateiIndex);
    if (stored.error.number != 0)
        return failed(stored.error);
    const RecordFields mine = mineOf(fields, machine);
    if (stored.found && !sameContent(stored.fields, m_read) && !sameContent(stored.fields, mine)) {
        db.rollback();
        const RecordFields theirs = stored.fields;
        const QList<Difference> diff = differences(theirs, mine);
        const std::weak_ptr<int> alive = m_alive;
        m_ctx.prompts.ask(Question{changedElsewhereText(m_storedName, diff), changedElsewhereTitle(),
                                   PromptIcon::Question, PromptButtons::YesNoCancel, PromptAnswer::Cancel},
                          [this, alive, fields, machine, theirs, done](PromptAnswer answer) {
                              if (alive.expired())
                                  return;
                              // Kept over the version shown: stored unless
                              // that one has been changed again meanwhile.
                              if (answer == PromptAnswer::Yes) {
                                  m_read = theirs;
                                  return saveChecked(fields, machine, done);
                              }
                              SaveOutcome out;
                              out.theirs = theirs;
                              if (answer == PromptAnswer::No) {
                                  // The editor shows the stored version now;
                                  // a next save starts from it.
                                  m_read = theirs;
                                  m_storedName = theirs.dateiname;
                                  out.saved = Saved::TookTheirs;
                              } else {
                                  out.saved = Saved::BackToEditing;
                              }
                              if (*done)
                                  (*done)(out);
                          });
        return;
    }
    RecordFields toStore = fields;
    toStore.dateiname = m_storedName;
    SaveOutcome out;
    out.written = CatalogueRecord::DatensatzSchreiben(db, m_dateiIndex, toStore, machine);
    if (!out.written.ok) {
        db.rollback();
        out.saved = out.written.gone ? Saved::Gone : Saved::Failed;
        return finish(out);
    }
    db.setLastStatement(QStringLiteral("COMMIT"));
    if (!db.commit()) {
        const ErrorInfo error = db.lastError();
        return failed(error);
    }
    m_read = mine;
    out.saved = Saved::Stored;
    finish(out);
}

CatalogueRecord::Vanished RecordSession::vanished() const
{
    return CatalogueRecord::vanished(m_ctx.database, m_ctx.verzeichnis, m_storedName);
}

CatalogueRecord::Kept RecordSession::keepAsRecordOfFile(long fileRecord, const RecordFields &fields,
                                                       std::optional<long> machine)
{
    return CatalogueRecord::keepAsRecordOf(m_ctx.database, m_storedName, fileRecord, fields, machine);
}

void RecordSession::rename(const QString &typed, RenameDone done)
{
    if (m_renaming)
        return;
    m_renaming = true;
    tryRename(typed, std::make_shared<RenameDone>(std::move(done)));
}

void RecordSession::endRename(const std::shared_ptr<RenameDone> &done, Renamed outcome)
{
    m_renaming = false;
    if (*done)
        (*done)(outcome);
}

void RecordSession::tryRename(const QString &typed, const std::shared_ptr<RenameDone> &done)
{
    ProgramRename rename({m_ctx.database, m_ctx.verzeichnis, m_ctx.fotoVerzeichnis}, m_dateiIndex, m_storedName,
                         typed);
    switch (rename.check()) {
    case ProgramRename::Check::Unchanged:
        return endRename(done, Renamed::Unchanged);
    case ProgramRename::Check::Invalid:
        tell(QStringLiteral("Der Dateiname '") + typed
             + QStringLiteral("' ist ungültig! Ebenen werden mit \\ getrennt, die Zeichen \" und Steuerzeichen sind "
                              "nicht erlaubt."));
        return endRename(done, Renamed::Refused);
    case ProgramRename::Check::Hidden:
        tell(CatalogueNames::hiddenNameText(typed));
        return endRename(done, Renamed::Refused);
    case ProgramRename::Check::NameTaken:
        tell(QStringLiteral("Dieser Dateiname existiert bereits!"));
        return endRename(done, Renamed::Refused);
    case ProgramRename::Check::SourceMissing:
        tell(QStringLiteral("Die Ursprungsdatei fehlt!!!"));
        return endRename(done, Renamed::SourceMissing);
    case ProgramRename::Check::Ready:
        break;
    }
    const std::optional<ErrorInfo> error = m_ctx.rename ? m_ctx.rename(rename) : rename.run();
    if (!error) {
        m_storedName = rename.newStoredName();
        return endRename(done, Renamed::Done);
    }
    // Everything is back as it was; the user may mend the cause (a file in
    // the way, a write-protected folder) and try again.
    const std::weak_ptr<int> alive = m_alive;
    m_ctx.prompts.ask(retryQuestion(QStringLiteral("Aufgetreten in Form3.Text1_Validate"), *error),
                      [this, alive, typed, done](PromptAnswer answer) {
                          if (alive.expired())
                              return;
                          if (answer == PromptAnswer::Retry)
                              tryRename(typed, done);
                          else
                              endRename(done, Renamed::Refused);
                      });
}

} // namespace zep
