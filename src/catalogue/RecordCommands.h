#pragma once

#include "app/ProgramSettings.h"
#include "app/Prompts.h"
#include "catalogue/RecordRow.h"

#include <QString>

#include <functional>

namespace zep {

class Database;
class Logbook;
class MonitoredDirectory;
class SettingsStore;

// The main list's record commands that touch files: delete (record, program
// file and photos), import and export.
class RecordCommands {
public:
    struct Context {
        Database &database;
        Prompts &prompts;
        Logbook &logbook;
        SettingsStore &settings;
        MonitoredDirectory &files;
        const QString &verzeichnis;
        const QString &fotoVerzeichnis;
    };

    // Kept: nothing was deleted (the user was told why).
    enum class DeleteOutcome { NothingSelected, Declined, Deleted, Kept };

    explicit RecordCommands(Context context) : m_ctx(context) {}

    using DeleteDone = std::function<void(DeleteOutcome)>;

    // `row` is null when no record is selected. The program file, its photos
    // and the record go all together or not at all. `inEditor`: a record
    // editor has the record open; its edits could no longer be stored as they
    // are, so the user is warned before anything else. Nothing waits for the
    // answers: `done` gets the outcome once the conversation has ended (at
    // once when there is nothing to ask). Everything in the context must
    // outlive the conversation.
    void deleteRecord(const RecordRow *row, bool inEditor = false, DeleteDone done = {});
    // The file dialogs are the user's own command and wait; the questions
    // and notices after them do not.
    void importFile();
    void exportFile(const RecordRow *row);

    // Where the import and export dialogs start: the last directory used, or
    // the home directory while none is known (or it has gone).
    QString startDirectory(ProgramSettings::LastDirectory which) const;

private:
    void confirmDeletion(const RecordRow &row, DeleteDone done);
    void deleteConfirmed(const RecordRow &row, DeleteDone done);
    void deleteFilesAndCommit(const RecordRow &row, const QStringList &parts, bool programFound, DeleteDone done);
    void copyIntoDirectory(const QString &chosen, const QString &target);
    void tell(const QString &text, const QString &title, PromptIcon icon = PromptIcon::Exclamation);
    void logDeletion(const QString &storedName);
    // Deletes the record in a transaction left open for `done(true)`.
    void deleteFromDatabaseUncommitted(const RecordRow &row, std::function<void(bool deleted)> done);
    void rememberDirectory(ProgramSettings::LastDirectory which, const QString &chosenFile);

    Context m_ctx;
};

} // namespace zep
