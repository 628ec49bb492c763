#pragma once

#include "catalogue/NeuerEintrag.h"
#include "catalogue/RecordIntake.h"

#include <functional>

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
        std::function<void()> runEvents; // empty: nothing runs in between
        Logbook *logbook = nullptr;      // where the names of already catalogued files go
        std::function<void(const QString &)> status = {};
    };

    explicit DirectoryCheck(Context context) : m_ctx(std::move(context)) {}

    // A tick that comes while the last one (its walk, or a message it shows)
    // is still running, or while the list is being rebuilt, does nothing.
    // New files are catalogued in one transaction. A file whose record could
    // not be made stays out of the file list and is tried again at the next
    // tick: a locked database is only told in the status line, any other
    // error in the retry report, once while it lasts.
    void tick();
    bool running() const { return m_running; }

    static QString busyText(qsizetype count);
    static QString notCataloguedText(qsizetype count);
    static QString manyKnownText(qsizetype count);

private:
    void letEventsRun();
    void showStatus(const QString &text);
    RecordIntake::Result catalogue(const QStringList &names);
    // Files whose names had a record already: one of them as ever (the
    // message, then the editor on its record), several in one message.
    void tellKnown(const QList<RecordIntake::Entry> &known);

    Context m_ctx;
    bool m_running = false;
    long m_toldError = 0; // the error last told in a box, while it lasts
    bool m_waiting = false; // the status line says new files wait for the database
};

} // namespace zep
