#pragma once

#include "app/ErrorInfo.h"
#include "catalogue/CatalogueRecord.h"
#include "catalogue/RecordFields.h"
#include "machines/MachineList.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace zep {

class Database;
class ProgramRename;
class Prompts;

// One record as the record editor works on it: read, stored, renamed, and
// its machine. What it asks (a retry, the machine that has gone) is asked
// without waiting; the editor learns the end of each conversation through
// the callback it handed in. The editor itself never touches the database.
class RecordSession {
public:
    struct Context {
        Database &database;
        Prompts &prompts;
        const QString &verzeichnis;     // the current monitored directory
        const QString &fotoVerzeichnis; // the current photo directory
        // Carries out a checked rename; the station's keeps the directory
        // check from taking the renamed file for a new one.
        std::function<std::optional<ErrorInfo>(ProgramRename &)> rename;
    };

    RecordSession(Context context, long dateiIndex);
    ~RecordSession();
    RecordSession(const RecordSession &) = delete;
    RecordSession &operator=(const RecordSession &) = delete;

    long dateiIndex() const { return m_dateiIndex; }
    // The record's Dateiname as stored now.
    const QString &storedName() const { return m_storedName; }
    const QString &fotoVerzeichnis() const { return m_ctx.fotoVerzeichnis; }

    // "keine Auswahl" first, then every machine.
    QList<MachineChoice> machineChoices() const;

    enum class Loaded { Read, NotFound, GivenUp };
    using LoadDone = std::function<void(Loaded, const RecordFields &)>;
    // Reads the record; a failure is offered for a retry. When the record
    // names a machine that no longer exists, the user is asked whether the
    // record should drop it (a search by machine could not find it), and a
    // Yes is stored at once. `done` runs once the record is read, missing
    // ("DateiIndex n nicht gefunden!!" has been told) or given up.
    void load(LoadDone done);

    // The program file is not in the monitored directory.
    bool fileMissing() const;

    // The descriptive fields and, when given, the machine; see
    // CatalogueRecord::DatensatzSchreiben.
    CatalogueRecord::Written store(const RecordFields &fields, std::optional<long> machine);
    // One field in which the stored record and the edits differ, as the
    // user sees it: the label and both texts.
    struct Difference {
        QString label;
        QString theirs;
        QString mine;
    };
    enum class Saved {
        Stored,        // the edits are in the record
        Failed,        // not stored: `written` says why (a date, the database)
        Gone,          // the record was deleted meanwhile (see vanished())
        TookTheirs,    // changed elsewhere meanwhile; the user took that version
        BackToEditing, // changed elsewhere meanwhile; the user edits on
    };
    struct SaveOutcome {
        Saved saved = Saved::Failed;
        CatalogueRecord::Written written;
        RecordFields theirs; // TookTheirs and BackToEditing: the stored record
    };
    using SaveDone = std::function<void(const SaveOutcome &)>;
    // Stores the edits unless someone else (another station, another
    // window) has changed the record since it was read here: then the user
    // sees both versions, field by field, and chooses whether to keep these
    // edits, take the stored version or go on editing. Nobody at the PC
    // goes on editing: both versions stay. The stored record is compared
    // inside the saving transaction, locked, so no change slips in between.
    // `done` runs once it is settled (at once unless there is a question).
    void save(const RecordFields &fields, std::optional<long> machine, SaveDone done);
    // The record as read (or last stored) here: what a save compares with.
    const RecordFields &readFields() const { return m_read; }
    // The fields in which `theirs` and `mine` differ, as shown to the user.
    QList<Difference> differences(const RecordFields &theirs, const RecordFields &mine) const;
    static QString changedElsewhereText(const QString &storedName, const QList<Difference> &differences);
    static QString changedElsewhereTitle();
    // For the status line while the record is open in an editor.
    static QString changedElsewhereNotice(const QString &storedName);
    static QString deletedElsewhereNotice(const QString &storedName);

    // The record went while it was edited: where its edits may go.
    CatalogueRecord::Vanished vanished() const;
    CatalogueRecord::Kept keepAsRecordOfFile(long fileRecord, const RecordFields &fields, std::optional<long> machine);

    enum class Renamed {
        Unchanged,     // the same name but for letter case
        Done,          // file, photos and record carry the new name
        Refused,       // nothing moved; the old name stands (the user was told why)
        SourceMissing, // the program file has gone (told)
    };
    using RenameDone = std::function<void(Renamed)>;
    // Renames file, photos and record together to `typed`. A failure puts
    // everything back and is offered for a retry, which checks the name
    // again; `done` runs when the rename is done or given up.
    void rename(const QString &typed, RenameDone done);
    // A rename waits for its retry answer.
    bool renaming() const { return m_renaming; }

private:
    void read(const std::shared_ptr<LoadDone> &done);
    // The edits with the machine they will store, the date as shown.
    RecordFields mineOf(const RecordFields &fields, std::optional<long> machine) const;
    void saveChecked(const RecordFields &fields, std::optional<long> machine, const std::shared_ptr<SaveDone> &done);
    void offerDroppingMachine(long machine);
    void tryRename(const QString &typed, const std::shared_ptr<RenameDone> &done);
    void endRename(const std::shared_ptr<RenameDone> &done, Renamed outcome);
    void tell(const QString &text);

    Context m_ctx;
    long m_dateiIndex;
    QString m_storedName;
    RecordFields m_read;
    bool m_renaming = false;
    // Answers that come after the editor has closed find nothing to finish.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

} // namespace zep
