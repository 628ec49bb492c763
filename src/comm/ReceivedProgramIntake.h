#pragma once

#include "comm/ReceivedProgramTarget.h"
#include "comm/TraceSink.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace zep {

class Clock;
class Logbook;
class Prompts;
class ReceptionJournal;

// One program a machine sent, as it was handed over at the end of its
// reception.
struct ReceivedProgram {
    int maschinenNummer = 0; // the connection, 1 to 5 as the user counts them
    long machine = 0;        // the machine bound to that connection at reception; 0 for none
    QByteArray text;
    QString journalId;       // its entry in the reception journal; empty when it has none
};

// What becomes of one received program: written as a new file or over a
// catalogued one in the monitored directory, thrown away, or kept as a
// recovery file in the program directory. No window here; the save dialog
// shows the controls and forwards to this. Expected conditions (a name
// taken, an original missing) are told through the prompts, as the dialog
// always did; the outcome comes back as a value. Nothing here waits for an
// answer: a failed write asks whether to try again and the save ends when
// the answer comes.
//
// The machine is the one bound to the connection when the program arrived:
// rebinding the connection while the dialog is open must not move a program
// to another machine. Once the program has been saved, discarded or kept,
// its journal entry goes and the intake is settled.
class ReceivedProgramIntake {
public:
    // Hands the catalogue the machine for the record the next directory
    // check makes for a new file, by the file's catalogue name.
    using PendingMachine = std::function<void(const QString &storedName, long machine)>;

    struct Context {
        Prompts &prompts;
        Logbook &logbook;
        const Clock &clock;
        QString programDir;                   // ends with "/"
        std::function<QString()> verzeichnis; // monitored directory, ends with "/"; read at each use
        TraceSink trace;
        ReceptionJournal *journal = nullptr;  // where the program's entry is, if it has one
    };

    enum class Status {
        Saved,           // written; the intake is settled
        Refused,         // the name was refused (told, or a beep for no name); nothing written
        OriginalMissing, // update: no file of that name to replace (told); nothing written
        NotWritten,      // writing failed and the user gave up retrying; nothing changed on disk
        AlreadyThere,    // automatic: the same bytes are there under the name; nothing written, settled
    };
    struct SaveResult {
        Status status = Status::Refused;
        QString path;       // the file written (Saved)
        QString storedName; // its catalogue name (Saved)
        QString offeredName; // OriginalMissing: the name to offer for saving as a new file
        QString reason;      // automatic, Refused: why, for the logbook
        bool saved() const { return status == Status::Saved; }
    };
    struct Original {
        QString path;    // the real file in the monitored directory
        QByteArray text; // its bytes, unchanged
    };
    struct KeepResult {
        bool kept = false; // false: the recovery file could not be written (told)
        QString path;      // the recovery file; empty when there was no text to keep
    };

    using SaveDone = std::function<void(const SaveResult &)>;

    ReceivedProgramIntake(Context context, PendingMachine pendingMachine, ReceivedProgram program);
    ReceivedProgramIntake(ReceivedProgramIntake &&) noexcept = default;
    ReceivedProgramIntake &operator=(ReceivedProgramIntake &&) noexcept = default;
    ~ReceivedProgramIntake();

    int maschinenNummer() const { return d->program.maschinenNummer; }
    long machine() const { return d->program.machine; }
    const QByteArray &text() const { return d->program.text; }
    const QString &journalId() const { return d->program.journalId; }
    // Saved, discarded or kept: nothing left that could be lost.
    bool settled() const { return d->settled; }

    // The text as taken over from the comparison; true when it replaced the
    // program's text. An empty text is a cancelled comparison and the same
    // text no edit. The journal keeps what was received.
    bool replaceText(const QByteArray &edited);

    // "Als neue Datei": the typed name, relative to the monitored directory.
    // `done` gets the result: at once, or when the question after a failed
    // write has been answered. Not at all once the intake is gone, or when it
    // was settled otherwise in the meantime (it then writes nothing).
    void saveAsNew(const QString &typedName, SaveDone done);
    // "Als Aktualisierung": the catalogue name of the file to replace.
    void saveAsUpdate(const QString &name, SaveDone done);
    // Saved with nobody asked: as `fileName` (ProgramNaming's), in `folder`
    // below the monitored directory ("" for the directory itself; "/" or "\"
    // between levels; made when missing). A name taken by another program
    // gets "_2", "_3" … in front of its extension; a file there with the same
    // bytes is not written again (AlreadyThere). An existing file is never
    // replaced, not even one that appears while the text is written. Only a
    // failed write asks (whether to try again); a folder or name that cannot
    // be used is Refused with its reason and nothing asked, and the intake
    // stays open for the save dialog.
    void saveAutomatically(const QString &folder, const QString &fileName, SaveDone done);
    void discard();
    // Closed without a decision: the program goes to a recovery file
    // "Nicht_gespeichert_Maschine<n>_<time>.txt" and into the logbook.
    KeepResult keepAsRecovery();

    // True, after telling the user, when a file of the typed name is there already.
    bool warnIfTaken(const QString &typedName);
    // The file to compare the program with, read whole, or nothing after
    // telling why not (not there, ambiguous, unreadable).
    std::optional<Original> original(const QString &name);

private:
    // Shared with the continuations of its questions, which must find out
    // whether the intake still exists when the answer comes.
    struct Data {
        Context context;
        PendingMachine pendingMachine;
        ReceivedProgram program;
        bool settled = false;
    };

    bool refused(const ReceivedProgramTarget &target, const QString &name, bool update);
    static void writeProgram(const std::weak_ptr<Data> &data, const QString &path, std::function<void()> written,
                             std::function<void()> givenUp);
    static void settle(Data &data);
    static void saveNextFree(const std::weak_ptr<Data> &data, const QString &folder, const QString &fileName, int k,
                             SaveDone done);

    std::shared_ptr<Data> d;
};

} // namespace zep
