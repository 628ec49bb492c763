#include "catalogue/RecordSession.h"

#include "app/CatalogueNames.h"
#include "app/ErrorReport.h"
#include "app/Prompts.h"
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
