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

    // FileOnly: the program file (and its photos) went, the record stayed.
    enum class DeleteOutcome { NothingSelected, Declined, Deleted, Kept, FileOnly };

    explicit RecordCommands(Context context) : m_ctx(context) {}

    // `row` is null when no record is selected. `inEditor`: a record editor
    // has the record open; its edits could no longer be stored as they are,
    // so the user is warned before anything else.
    DeleteOutcome deleteRecord(const RecordRow *row, bool inEditor = false);
    void importFile();
    void exportFile(const RecordRow *row);

    // Where the import and export dialogs start: the last directory used, or
    // the home directory while none is known (or it has gone).
    QString startDirectory(ProgramSettings::LastDirectory which) const;

private:
    enum class ProgramFile { Deleted, Missing, Kept };

    ProgramFile deleteProgramFile(const RecordRow &row);
    void logDeletion(const QString &storedName);
    void deletePhotos(const QString &storedName);
    bool deleteFromDatabase(const RecordRow &row);
    void rememberDirectory(ProgramSettings::LastDirectory which, const QString &chosenFile);

    Context m_ctx;
};

} // namespace zep
