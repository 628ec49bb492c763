#include "comm/ReceivedProgramIntake.h"

#include "app/CatalogueNames.h"
#include "app/ErrorReport.h"
#include "app/Logbook.h"
#include "app/Prompts.h"
#include "comm/DateiLesen.h"
#include "comm/ReceptionJournal.h"
#include "comm/RecoveryFile.h"
#include "comm/WriteTextFile.h"

namespace zep {

namespace {

const QString kPlace = QStringLiteral("Aufgetreten in Form10.Command1_Click");
const QString kInvalidName = QStringLiteral("Ungültiger Name!");
const QString kOriginal = QStringLiteral("Originaldatei?");
constexpr long kPathFileAccessError = 75;

QString quoted(const QString &name)
{
    return QStringLiteral("'") + name + QStringLiteral("'");
}

QString existsText(const QString &name)
{
    return QStringLiteral("Die Datei ") + quoted(name) + QStringLiteral(" existiert bereits!");
}

QString ambiguousText(const QString &name)
{
    return QStringLiteral("Der Name ") + quoted(name)
           + QStringLiteral(" passt auf mehrere Dateien oder Verzeichnisse, die sich nur in der "
                            "Groß-/Kleinschreibung unterscheiden. Bitte im überwachten Verzeichnis eine davon "
                            "umbenennen.");
}

using Status = ReceivedProgramIntake::Status;

ReceivedProgramIntake::SaveResult result(Status status, const ReceivedProgramTarget &target = {})
{
    ReceivedProgramIntake::SaveResult r;
    r.status = status;
    if (status == Status::Saved) {
        r.path = target.path;
        r.storedName = target.storedName;
    }
    return r;
}

} // namespace

ReceivedProgramIntake::ReceivedProgramIntake(Context context, PendingMachine pendingMachine, ReceivedProgram program)
    : m_context(std::move(context)), m_pendingMachine(std::move(pendingMachine)), m_program(std::move(program))
{
}

bool ReceivedProgramIntake::replaceText(const QByteArray &edited)
{
    if (m_settled || edited.isEmpty() || edited == m_program.text)
        return false;
    m_program.text = edited;
    return true;
}

ReceivedProgramIntake::SaveResult ReceivedProgramIntake::saveAsNew(const QString &typedName)
{
    if (m_settled)
        return result(Status::Refused);
    const ReceivedProgramTarget target = ReceivedProgramTarget::forNewFile(m_context.verzeichnis(), typedName);
    if (!target.ok()) {
        refused(target, typedName, false);
        return result(Status::Refused);
    }
    m_context.trace.line(QStringLiteral("Datei ") + quoted(typedName) + QStringLiteral(" wird gespeichert."));
    if (!writeProgram(target.path))
        return result(Status::NotWritten);
    // By the catalogue's name: the next scan creates the record under it.
    if (m_pendingMachine)
        m_pendingMachine(target.storedName, m_program.machine);
    settle();
    return result(Status::Saved, target);
}

ReceivedProgramIntake::SaveResult ReceivedProgramIntake::saveAsUpdate(const QString &name)
{
    if (m_settled)
        return result(Status::Refused);
    const ReceivedProgramTarget target = ReceivedProgramTarget::forUpdate(m_context.verzeichnis(), name);
    if (target.verdict == ReceivedProgramTarget::Verdict::Missing) {
        m_context.prompts.message(
            QStringLiteral("Originaldatei nicht gefunden. Die Datei wäre keinem Datensatz zugeordnet!"), kOriginal,
            PromptIcon::Exclamation);
        SaveResult missing = result(Status::OriginalMissing);
        // The user can switch over to a new file and save under this name.
        missing.offeredName = name;
        return missing;
    }
    if (!target.ok()) {
        refused(target, name, true);
        return result(Status::Refused);
    }
    // The file keeps its name, so its catalogue record stays as it is.
    if (!writeProgram(target.path))
        return result(Status::NotWritten);
    settle();
    return result(Status::Saved, target);
}

void ReceivedProgramIntake::discard()
{
    if (!m_settled)
        settle();
}

ReceivedProgramIntake::KeepResult ReceivedProgramIntake::keepAsRecovery()
{
    KeepResult kept;
    if (m_settled) {
        kept.kept = true;
        return kept;
    }
    // An empty reception has nothing to lose.
    if (m_program.text.isEmpty()) {
        settle();
        kept.kept = true;
        return kept;
    }
    const QString machine = QString::number(m_program.maschinenNummer);
    const RecoveryFile copy =
        RecoveryFile::write(m_context.programDir, QStringLiteral("Nicht_gespeichert_Maschine"),
                            m_program.maschinenNummer, m_context.clock, m_program.text);
    if (!copy.error.isEmpty()) {
        m_context.prompts.message(QStringLiteral("Das Programm von Maschine ") + machine
                                      + QStringLiteral(" konnte nicht gesichert werden und bleibt in diesem Fenster:\r")
                                      + copy.error,
                                  QStringLiteral("Fehler!"), PromptIcon::Exclamation);
        return kept;
    }
    if (const auto error = m_context.logbook.LogbuchSchreiben(
            QStringLiteral("Empfangenes Programm von Maschine ") + machine
            + QStringLiteral(" nicht gespeichert, gesichert als ") + copy.path))
        m_context.prompts.message(error->description + QStringLiteral("\r\rDas Programm von Maschine ") + machine
                                      + QStringLiteral(" wurde gesichert als:\r") + copy.path,
                                  QStringLiteral("Fehler!"), PromptIcon::Exclamation);
    settle();
    kept.kept = true;
    kept.path = copy.path;
    return kept;
}

bool ReceivedProgramIntake::warnIfTaken(const QString &typedName)
{
    if (!ReceivedProgramTarget::exists(m_context.verzeichnis(), typedName))
        return false;
    m_context.prompts.message(existsText(typedName), kInvalidName, PromptIcon::Exclamation);
    return true;
}

std::optional<ReceivedProgramIntake::Original> ReceivedProgramIntake::original(const QString &name)
{
    const ReceivedProgramTarget target = ReceivedProgramTarget::forUpdate(m_context.verzeichnis(), name);
    if (target.verdict == ReceivedProgramTarget::Verdict::Ambiguous) {
        m_context.prompts.message(ambiguousText(name), kOriginal, PromptIcon::Exclamation);
        return std::nullopt;
    }
    if (!target.ok()) {
        m_context.prompts.message(QStringLiteral("Die Datei ") + quoted(name)
                                      + QStringLiteral(" wurde im überwachten Verzeichnis nicht gefunden!"),
                                  kOriginal, PromptIcon::Exclamation);
        return std::nullopt;
    }
    const FileText file = DateiLesen(target.path);
    if (!file.ok()) {
        // An empty left side would look like an empty program.
        m_context.prompts.message(file.error, QStringLiteral("Fehler!"), PromptIcon::Exclamation);
        return std::nullopt;
    }
    return Original{target.path, file.text};
}

bool ReceivedProgramIntake::refused(const ReceivedProgramTarget &target, const QString &name, bool update)
{
    using Verdict = ReceivedProgramTarget::Verdict;
    Prompts &prompts = m_context.prompts;
    const QString shown = QStringLiteral("Der Name ") + quoted(name);
    switch (target.verdict) {
    case Verdict::Ok:
        return true;
    case Verdict::Empty:
        prompts.beep();
        break;
    case Verdict::Exists:
        prompts.message(existsText(name), QStringLiteral("ZEP"), PromptIcon::Exclamation);
        break;
    case Verdict::Hidden:
        prompts.message(CatalogueNames::hiddenNameText(name), kInvalidName, PromptIcon::Exclamation);
        break;
    case Verdict::Unstorable:
        prompts.message(shown + QStringLiteral(" enthält Zeichen, die ZEP nicht speichern kann (Anführungszeichen, "
                                               "Steuerzeichen oder Zeichen außerhalb des Zeichensatzes)."),
                        kInvalidName, PromptIcon::Exclamation);
        break;
    case Verdict::Invalid:
        prompts.message(shown + QStringLiteral(" ist kein gültiger Dateiname im überwachten Verzeichnis!"),
                        kInvalidName, PromptIcon::Exclamation);
        break;
    case Verdict::NoDirectory:
        prompts.message(QStringLiteral("Das Verzeichnis für ") + quoted(name)
                            + QStringLiteral(" gibt es im überwachten Verzeichnis nicht!"),
                        kInvalidName, PromptIcon::Exclamation);
        break;
    case Verdict::Ambiguous:
        prompts.message(ambiguousText(name), update ? kOriginal : kInvalidName, PromptIcon::Exclamation);
        break;
    case Verdict::Missing:
        break;
    }
    return false;
}

bool ReceivedProgramIntake::writeProgram(const QString &path)
{
    return runWithRetry(m_context.prompts, kPlace, [&]() -> std::optional<ErrorInfo> {
        const std::optional<QString> error = WriteTextFile(path, m_program.text);
        if (!error)
            return std::nullopt;
        return ErrorInfo{kPathFileAccessError,
                         QStringLiteral("Die Datei ") + quoted(path) + QStringLiteral(" kann nicht geschrieben werden: ")
                             + *error};
    });
}

void ReceivedProgramIntake::settle()
{
    m_settled = true;
    m_program.text.clear();
    if (m_context.journal && !m_program.journalId.isEmpty()) {
        // Left behind, the entry would only be offered once more at the next
        // start; nothing is lost, so the user is not bothered with it.
        if (const auto error = m_context.journal->remove(m_program.journalId))
            m_context.trace.line(QStringLiteral("Empfangsjournal: Eintrag ") + m_program.journalId
                                 + QStringLiteral(" nicht entfernt: ") + *error);
    }
}

} // namespace zep
