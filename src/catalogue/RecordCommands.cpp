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

QString goneMeanwhileText(const QString &name)
{
    return QStringLiteral("Der Datensatz der Datei ") + name
           + QStringLiteral(" ist inzwischen schon gelöscht worden. Es wurde nichts weiter gelöscht.");
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

void RecordCommands::tell(const QString &text, const QString &title, PromptIcon icon)
{
    m_ctx.prompts.ask({text, title, icon});
}

void RecordCommands::deleteRecord(const RecordRow *row, bool inEditor, DeleteDone done)
{
    if (!done)
        done = [](DeleteOutcome) {};
    if (!row)
        return done(DeleteOutcome::NothingSelected);
    if (!inEditor)
        return confirmDeletion(*row, std::move(done));
    const QString name = (*row)[RecordRow::Datei];
    // Nobody at the PC deletes nothing, here as at every question of a
    // delete.
    m_ctx.prompts.ask({QStringLiteral("Der Datensatz der Datei ") + name
                           + QStringLiteral(" ist in einem Fenster zum Bearbeiten geöffnet. Wird er gelöscht, "
                                            "können die Änderungen dort nicht mehr in ihm gespeichert werden.")
                           + kCr + kCr + QStringLiteral("Trotzdem löschen?"),
                       QStringLiteral("Datensatz in Bearbeitung!"), PromptIcon::Question, PromptButtons::YesNo,
                       PromptAnswer::No},
                      [self = *this, row = *row, done](PromptAnswer answer) mutable {
                          if (answer != PromptAnswer::Yes)
                              return done(DeleteOutcome::Declined);
                          self.confirmDeletion(row, done);
                      });
}

void RecordCommands::confirmDeletion(const RecordRow &row, DeleteDone done)
{
    m_ctx.prompts.ask({QStringLiteral("Wollen Sie wirklich die Datei ") + kCr + kCr + row[RecordRow::Datei]
                           + QStringLiteral(" - ") + row[RecordRow::Bezeichnung] + kCr + kCr
                           + QStringLiteral("incl. deren Fotos löschen?"),
                       QStringLiteral("Löschen?"), PromptIcon::Question, PromptButtons::YesNo, PromptAnswer::No},
                      [self = *this, row, done](PromptAnswer answer) mutable {
                          if (answer != PromptAnswer::Yes)
                              return done(DeleteOutcome::Declined);
                          self.deleteConfirmed(row, done);
                      });
}

void RecordCommands::deleteConfirmed(const RecordRow &row, DeleteDone done)
{
    // Looked up once the answer is there: the file may have come or gone
    // while the question was open.
    const QString name = row[RecordRow::Datei];
    const CatalogueNames::Resolved program = CatalogueNames::resolveStoredName(m_ctx.verzeichnis, name);
    if (program.ambiguous) {
        tell(CatalogueNames::twinsText(name), QStringLiteral("Löschen?"));
        return done(DeleteOutcome::Kept);
    }
    QStringList parts = PhotoFiles::find(m_ctx.fotoVerzeichnis, name);
    if (program.found())
        parts.prepend(program.path);

    // All or nothing: a program deleted while its photos stay would hand
    // them to the next program of that name. The record goes in a
    // transaction that is committed only once every file is set aside, and
    // the files are deleted only once the record is gone.
    deleteFromDatabaseUncommitted(row, [self = *this, row, parts, found = program.found(),
                                        done](bool deleted) mutable {
        if (!deleted)
            return done(DeleteOutcome::Kept);
        // Deleted meanwhile (a second delete of the same line, answered
        // first): the files now under its name may be a newer program's.
        if (self.m_ctx.database.recordsAffected() == 0) {
            self.m_ctx.database.rollback();
            self.tell(goneMeanwhileText(row[RecordRow::Datei]), QStringLiteral("Nicht gelöscht!"));
            return done(DeleteOutcome::Kept);
        }
        self.deleteFilesAndCommit(row, parts, found, done);
    });
}

void RecordCommands::deleteFilesAndCommit(const RecordRow &row, const QStringList &parts, bool programFound,
                                          DeleteDone done)
{
    const QString name = row[RecordRow::Datei];
    FileRemoval removal;
    if (const auto why = removal.setAside(parts)) {
        m_ctx.database.rollback();
        tell(*why + kCr + kCr
                 + QStringLiteral("Es wurde nichts gelöscht: Programm, Fotos und Datensatz bleiben erhalten."),
             QStringLiteral("Nicht gelöscht!"));
        return done(DeleteOutcome::Kept);
    }
    if (!m_ctx.database.commit()) {
        const ErrorInfo error = m_ctx.database.lastError();
        if (m_ctx.database.inTransaction())
            m_ctx.database.rollback();
        removal.restore();
        reportErrorSimple(m_ctx.prompts, QStringLiteral(" in Form1.Command1_Click"), error.description);
        return done(DeleteOutcome::Kept);
    }
    const QStringList left = removal.finish();
    if (!left.isEmpty())
        tell(QStringLiteral("Diese Dateien konnten nicht gelöscht werden:") + kCr + kCr + left.join(kCr),
             QStringLiteral("Löschen"));
    if (!programFound)
        tell(missingFileText(name), QStringLiteral("Datei fehlt!"));
    // The logbook tells of a deletion once it has happened, never of one
    // that did not.
    logDeletion(name);
    // Stored at once: a file imported again under this name after a restart
    // must be seen as new.
    m_ctx.files.GetFileListe();
    m_ctx.files.SaveFileListe();
    done(DeleteOutcome::Deleted);
}

void RecordCommands::logDeletion(const QString &storedName)
{
    if (const auto error =
            m_ctx.logbook.LogbuchSchreiben(QStringLiteral("Datei ") + storedName + QStringLiteral(" gelöscht!")))
        reportErrorSimple(m_ctx.prompts, QStringLiteral(" in Form1.Command1_Click"), error->description);
}

void RecordCommands::deleteFromDatabaseUncommitted(const RecordRow &row, std::function<void(bool)> done)
{
    // No transaction stays open while the retry report waits: a failed try
    // rolls back at once.
    Database *database = &m_ctx.database;
    const QVariant index = qlonglong(row.dateiIndex());
    const QString shownIndex = row[RecordRow::DBIndex];
    retryUntilDone(
        m_ctx.prompts, QStringLiteral("Aufgetreten in Form1.Command1_Click"),
        [database, index]() -> std::optional<ErrorInfo> {
            if (!database->transaction())
                return database->lastError();
            if (database->execute(QStringLiteral("DELETE * FROM DateiListe WHERE DateiIndex=?"), {index}))
                return std::nullopt;
            const ErrorInfo error = database->lastError();
            database->rollback();
            return error;
        },
        std::move(done),
        [shownIndex] { return QStringLiteral("DELETE * FROM DateiListe WHERE DateiIndex=") + shownIndex; });
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
        tell(QStringLiteral("Der Dateiname ") + fileName
                 + QStringLiteral(" enthält Zeichen, die der Katalog nicht speichern kann. Bitte die Datei vor dem "
                                  "Import umbenennen."),
             QStringLiteral("Dateiname ungültig!"));
        return;
    }
    // The program keeps the name it was given; only a file already there
    // under another letter case is the same program and keeps its own name,
    // so the tree never holds two files for one stored name.
    const CatalogueNames::Resolved existing = CatalogueNames::resolveStoredName(m_ctx.verzeichnis, stored);
    if (existing.ambiguous) {
        tell(CatalogueNames::twinsText(stored), QStringLiteral("Schon vorhanden!"));
        return;
    }
    const QString target = existing.found() ? existing.path : CatalogueNames::shownPath(m_ctx.verzeichnis, fileName);
    if (!QFileInfo::exists(target))
        return copyIntoDirectory(chosen, target);
    if (QFileInfo(target).canonicalFilePath() == QFileInfo(chosen).canonicalFilePath()) {
        tell(QStringLiteral("Die Datei liegt bereits im Überwachungsverzeichnis."), QStringLiteral("Information"),
             PromptIcon::Information);
        return;
    }
    // Nobody at the PC overwrites nothing.
    m_ctx.prompts.ask({QStringLiteral("Das zu importierende Programm existiert bereits!") + kCr + kCr
                           + QStringLiteral("Soll es überschrieben werden?"),
                       QStringLiteral("Schon vorhanden!"), PromptIcon::Exclamation, PromptButtons::YesNo,
                       PromptAnswer::No},
                      [self = *this, chosen, target](PromptAnswer answer) mutable {
                          if (answer == PromptAnswer::Yes)
                              return self.copyIntoDirectory(chosen, target);
                          self.tell(QStringLiteral("Sie könnten die zu importierende Datei evtl. umbenennen um das "
                                                   "Problem zu beseitigen!"),
                                    QStringLiteral("Information"), PromptIcon::Information);
                      });
}

void RecordCommands::copyIntoDirectory(const QString &chosen, const QString &target)
{
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
        tell(CatalogueNames::twinsText(name), QStringLiteral("Fehler!"));
        return;
    }
    if (!source.found()) {
        tell(QStringLiteral("Das zu speichernde Programm konnte im Überwachungsverzeichnis nichtmehr gefunden werden!"),
             QStringLiteral("Fehler!"));
        return;
    }
    if (const auto error = copyReplacing(source.path, chosen))
        reportErrorSimple(m_ctx.prompts, QStringLiteral(" in Form1.Command6_Click"), *error);
}

} // namespace zep
