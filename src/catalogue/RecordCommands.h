#pragma once

#include "app/ProgramSettings.h"
#include "catalogue/RecordRow.h"

#include <QString>

namespace zep {

class Database;
class Logbook;
class MonitoredDirectory;
class Prompts;
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

    // `row` is null when no record is selected. The program file, its photos
    // and the record go all together or not at all. `inEditor`: a record
    // editor has the record open; its edits could no longer be stored as they
    // are, so the user is warned before anything else.
    DeleteOutcome deleteRecord(const RecordRow *row, bool inEditor = false);
    void importFile();
    void exportFile(const RecordRow *row);

    // Where the import and export dialogs start: the last directory used, or
    // the home directory while none is known (or it has gone).
    QString startDirectory(ProgramSettings::LastDirectory which) const;

private:
    void logDeletion(const QString &storedName);
    // Deletes the record in a transaction left open for the caller.
    bool deleteFromDatabaseUncommitted(const RecordRow &row);
    void rememberDirectory(ProgramSettings::LastDirectory which, const QString &chosenFile);

    Context m_ctx;
};

} // namespace zep
