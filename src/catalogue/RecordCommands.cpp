#include "catalogue/RecordCommands.h"

#include "app/CatalogueNames.h"
#include "app/ErrorReport.h"
#include "app/FileCopy.h"
#include "app/Logbook.h"
#include "app/Prompts.h"
#include "app/SettingsStore.h"
#include "catalogue/FileRemoval.h"
#include "catalogue/MonitoredDirectory.h"
#include "db/Database.h"
#include "photos/PhotoFiles.h"

#include <QDir>
#include <QFileInfo>

namespace zep {

namespace {

const QString kCr = QStringLiteral("\r");

QString missingFileText(const QString &name)
{
    return QStringLiteral("Die Datei ") + name
           + QStringLiteral(" konnte nicht gefunden werden. Der Eintrag wird trotzdem aus der Datenbank gelöscht.");
}

} // namespace

QString RecordCommands::startDirectory(ProgramSettings::LastDirectory which) const
{
    const QString stored = ProgramSettings::lastDirectory(which).read(m_ctx.settings);
    if (QFileInfo(stored).isDir())
        return stored;
    return CatalogueNames::ensureTrailingSeparator(QDir::homePath());
}

void RecordCommands::rememberDirectory(ProgramSettings::LastDirectory which, const QString &chosenFile)
{
    ProgramSettings::lastDirectory(which).write(
        m_ctx.settings, CatalogueNames::ensureTrailingSeparator(QFileInfo(chosenFile).absolutePath()));
}

RecordCommands::DeleteOutcome RecordCommands::deleteRecord(const RecordRow *row, bool inEditor)
{
    if (!row)
        return DeleteOutcome::NothingSelected;
    const QString name = (*row)[RecordRow::Datei];
    if (inEditor
        && m_ctx.prompts.message(QStringLiteral("Der Datensatz der Datei ") + name
                                     + QStringLiteral(" ist in einem Fenster zum Bearbeiten geöffnet. Wird er gelöscht, "
                                                      "können die Änderungen dort nicht mehr in ihm gespeichert werden.")
                                     + kCr + kCr + QStringLiteral("Trotzdem löschen?"),
                                 QStringLiteral("Datensatz in Bearbeitung!"), PromptIcon::Question,
                                 PromptButtons::YesNo)
               != PromptAnswer::Yes)
        return DeleteOutcome::Declined;
    const PromptAnswer answer = m_ctx.prompts.message(
        QStringLiteral("Wollen Sie wirklich die Datei ") + kCr + kCr + name + QStringLiteral(" - ")
            + (*row)[RecordRow::Bezeichnung] + kCr + kCr + QStringLiteral("incl. deren Fotos löschen?"),
        QStringLiteral("Löschen?"), PromptIcon::Question, PromptButtons::YesNo);
    if (answer != PromptAnswer::Yes)
        return DeleteOutcome::Declined;

    const CatalogueNames::Resolved program = CatalogueNames::resolveStoredName(m_ctx.verzeichnis, name);
    if (program.ambiguous) {
        m_ctx.prompts.message(CatalogueNames::twinsText(name), QStringLiteral("Löschen?"), PromptIcon::Exclamation);
        return DeleteOutcome::Kept;
    }
    QStringList parts = PhotoFiles::find(m_ctx.fotoVerzeichnis, name);
    if (program.found())
        parts.prepend(program.path);

    // All or nothing: a program deleted while its photos stay would hand
    // them to the next program of that name. The record goes in a
    // transaction that is committed only once every file is set aside, and
    // the files are deleted only once the record is gone.
    if (!deleteFromDatabaseUncommitted(*row))
        return DeleteOutcome::Kept;
    FileRemoval removal;
    if (const auto why = removal.setAside(parts)) {
        m_ctx.database.rollback();
        m_ctx.prompts.message(*why + kCr + kCr
                                  + QStringLiteral("Es wurde nichts gelöscht: Programm, Fotos und Datensatz bleiben "
                                                   "erhalten."),
                              QStringLiteral("Nicht gelöscht!"), PromptIcon::Exclamation);
        return DeleteOutcome::Kept;
    }
    if (!m_ctx.database.commit()) {
        const ErrorInfo error = m_ctx.database.lastError();
        if (m_ctx.database.inTransaction())
            m_ctx.database.rollback();
        removal.restore();
        reportErrorSimple(m_ctx.prompts, QStringLiteral(" in Form1.Command1_Click"), error.description);
        return DeleteOutcome::Kept;
    }
    const QStringList left = removal.finish();
    if (!left.isEmpty())
        m_ctx.prompts.message(QStringLiteral("Diese Dateien konnten nicht gelöscht werden:") + kCr + kCr
                                  + left.join(kCr),
                              QStringLiteral("Löschen"), PromptIcon::Exclamation);
    if (!program.found())
        m_ctx.prompts.message(missingFileText(name), QStringLiteral("Datei fehlt!"), PromptIcon::Exclamation);
    // The logbook tells of a deletion once it has happened, never of one
    // that did not.
    logDeletion(name);
    // Stored at once: a file imported again under this name after a restart
    // must be seen as new.
    m_ctx.files.GetFileListe();
    m_ctx.files.SaveFileListe();
    return DeleteOutcome::Deleted;
}

void RecordCommands::logDeletion(const QString &storedName)
{
    if (const auto error =
            m_ctx.logbook.LogbuchSchreiben(QStringLiteral("Datei ") + storedName + QStringLiteral(" gelöscht!")))
        reportErrorSimple(m_ctx.prompts, QStringLiteral(" in Form1.Command1_Click"), error->description);
}

bool RecordCommands::deleteFromDatabaseUncommitted(const RecordRow &row)
{
    const QVariant index = qlonglong(row.dateiIndex());
    return runWithRetry(
        m_ctx.prompts, QStringLiteral("Aufgetreten in Form1.Command1_Click"),
        [&]() -> std::optional<ErrorInfo> {
            if (!m_ctx.database.transaction())
                return m_ctx.database.lastError();
            if (m_ctx.database.execute(QStringLiteral("DELETE * FROM DateiListe WHERE DateiIndex=?"), {index}))
                return std::nullopt;
            const ErrorInfo error = m_ctx.database.lastError();
            m_ctx.database.rollback();
            return error;
        },
        [&] { return QStringLiteral("DELETE * FROM DateiListe WHERE DateiIndex=") + row[RecordRow::DBIndex]; });
}

void RecordCommands::importFile()
{
    const QString chosen = m_ctx.prompts.openFile(QStringLiteral("Datei auswählen"),
                                                  QStringLiteral("Alle Dateien (*)|*"),
                                                  startDirectory(ProgramSettings::LastDirectory::Import));
    if (chosen.isEmpty())
        return;
    rememberDirectory(ProgramSettings::LastDirectory::Import, chosen);

    const QString fileName = QFileInfo(chosen).fileName();
    const QString stored = CatalogueNames::toStoredName(fileName);
    if (!CatalogueNames::isStorableFileName(fileName)) {
        m_ctx.prompts.message(QStringLiteral("Der Dateiname ") + fileName
                                  + QStringLiteral(" enthält Zeichen, die der Katalog nicht speichern kann. Bitte die "
                                                   "Datei vor dem Import umbenennen."),
                              QStringLiteral("Dateiname ungültig!"), PromptIcon::Exclamation);
        return;
    }
    // The program keeps the name it was given; only a file already there
    // under another letter case is the same program and keeps its own name,
    // so the tree never holds two files for one stored name.
    const CatalogueNames::Resolved existing = CatalogueNames::resolveStoredName(m_ctx.verzeichnis, stored);
    if (existing.ambiguous) {
        m_ctx.prompts.message(CatalogueNames::twinsText(stored), QStringLiteral("Schon vorhanden!"), PromptIcon::Exclamation);
        return;
    }
    const QString target = existing.found() ? existing.path : CatalogueNames::shownPath(m_ctx.verzeichnis, fileName);
    if (QFileInfo::exists(target)) {
        if (QFileInfo(target).canonicalFilePath() == QFileInfo(chosen).canonicalFilePath()) {
            m_ctx.prompts.message(QStringLiteral("Die Datei liegt bereits im Überwachungsverzeichnis."),
                                  QStringLiteral("Information"), PromptIcon::Information);
            return;
        }
        const PromptAnswer answer =
            m_ctx.prompts.message(QStringLiteral("Das zu importierende Programm existiert bereits!") + kCr + kCr
                                      + QStringLiteral("Soll es überschrieben werden?"),
                                  QStringLiteral("Schon vorhanden!"), PromptIcon::Exclamation, PromptButtons::YesNo);
        if (answer != PromptAnswer::Yes) {
            m_ctx.prompts.message(
                QStringLiteral("Sie könnten die zu importierende Datei evtl. umbenennen um das Problem zu beseitigen!"),
                QStringLiteral("Information"), PromptIcon::Information);
            return;
        }
    }
    // No record here: the next directory check finds the file as new.
    if (const auto error = copyReplacing(chosen, target))
        reportErrorSimple(m_ctx.prompts, QStringLiteral(" in Form1.Command2"), *error);
}

void RecordCommands::exportFile(const RecordRow *row)
{
    if (!row) {
        m_ctx.prompts.beep();
        return;
    }
    const QString name = (*row)[RecordRow::Datei];
    const QString proposed = name.section(QLatin1Char('\\'), -1);
    const QString chosen = m_ctx.prompts.saveFile(QStringLiteral("Zieldatei angeben"),
                                                  QStringLiteral("Alle Dateien (*)|*"),
                                                  startDirectory(ProgramSettings::LastDirectory::Export), proposed);
    if (chosen.isEmpty())
        return;
    rememberDirectory(ProgramSettings::LastDirectory::Export, chosen);
    const CatalogueNames::Resolved source = CatalogueNames::resolveStoredName(m_ctx.verzeichnis, name);
    if (source.ambiguous) {
        m_ctx.prompts.message(CatalogueNames::twinsText(name), QStringLiteral("Fehler!"), PromptIcon::Exclamation);
        return;
    }
    if (!source.found()) {
        m_ctx.prompts.message(
            QStringLiteral("Das zu speichernde Programm konnte im Überwachungsverzeichnis nichtmehr gefunden werden!"),
            QStringLiteral("Fehler!"), PromptIcon::Exclamation);
        return;
    }
    if (const auto error = copyReplacing(source.path, chosen))
        reportErrorSimple(m_ctx.prompts, QStringLiteral(" in Form1.Command6_Click"), *error);
}

} // namespace zep
