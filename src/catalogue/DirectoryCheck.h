#pragma once

#include "catalogue/NeuerEintrag.h"
#include "catalogue/RecordIntake.h"

#include <functional>
#include <memory>
#include <optional>

namespace zep {

class Clock;
class Database;
class Logbook;
class MonitoredDirectory;
class Prompts;

// The directory part of the main window's periodic tick: new files get their
// records, and each record is handed to the editor.
class DirectoryCheck {
public:
    struct Context {
        MonitoredDirectory &files;
        Database &database;
        Prompts &prompts;
        const Clock &clock;
        PendingMachines &pending;
        std::function<void()> bringToFront;
        std::function<void(long dateiIndex)> openEditor;
        Logbook *logbook = nullptr;      // where the names of already catalogued files go
        std::function<void(const QString &)> status = {};
        // Asked before each further slice, and once a later slice has found
        // the catalogue server gone: false ends the check there (a pause,
        // the server away, the station ending); the files not yet taken stay
        // off the list, and a later tick finds them new again.
        std::function<bool()> goOn = {};
        // How long one slice may keep the window's thread.
        int sliceBudgetMs = 100;
    };

    explicit DirectoryCheck(Context context) : m_ctx(std::move(context)) {}

    // New files are catalogued in slices of as many as fit the slice budget
    // (at least one), each slice handing back to the event loop before the
    // next: the window never waits for the whole lot. Only catalogued files
    // join the file list, so FileListe.dat never lists a file without its
    // record, whenever the check stops. A tick that comes while slices are
    // still going finds nothing to do. A file whose record could
    // not be made stays out of the file list and is tried again at the next
    // tick:
    // a locked database is only told in the status line, any other error in
    // the retry report, once while it lasts. Nothing here waits for an
    // answer: while a notice or the retry report is open the next ticks go
    // on cataloguing, and Retry runs a check at once.
    void tick();
    // Slices of an earlier tick are still to come.
    bool running() const { return m_walk.has_value(); }

    static QString busyText(qsizetype count);
    static QString notCataloguedText(qsizetype count);
    static QString manyKnownText(qsizetype count);

private:
    struct Failure {
        ErrorInfo error;
        QString statement;
    };
    void showStatus(const QString &text);
    // `toTell` gets the error that is to be told in the retry report.
    RecordIntake::Result catalogue(const QStringList &names, std::optional<Failure> &toTell, qsizetype waiting);
    // The new files one tick found, while their slices run.
    struct Walk {
        QStringList rest;   // not taken yet
        QStringList failed; // their records could not be made
        QStringList deferred; // being catalogued by another station
        QList<RecordIntake::Entry> known;
        std::optional<Failure> failure;
        bool broughtToFront = false;
    };
    void runSlice(bool first);
    void nextSlice();
    void finish();
    void offerRetry(const Failure &failure);
    // Files whose names had a record already: one of them as ever (the
    // message, then the editor on its record), several in one message.
    void tellKnown(const QList<RecordIntake::Entry> &known);

    Context m_ctx;
    long m_toldError = 0; // the error last told in a box, while it lasts
    bool m_waiting = false; // the status line says new files wait for the database
    std::optional<Walk> m_walk;
    // What one record cost lately: the first slice of a tick takes as many
    // files as fit the budget by it. A file answers in well under a
    // millisecond, a server's round trips cost some each.
    double m_msPerFile = -1;
    // An answer that comes after the check has gone finds nothing to do.
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace zep
