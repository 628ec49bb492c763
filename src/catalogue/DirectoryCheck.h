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
    };

    explicit DirectoryCheck(Context context) : m_ctx(std::move(context)) {}

    // New files are catalogued in one transaction. A file whose record could
    // not be made stays out of the file list and is tried again at the next
    // tick:
    // a locked database is only told in the status line, any other error in
    // the retry report, once while it lasts. Nothing here waits for an
    // answer: while a notice or the retry report is open the next ticks go
    // on cataloguing, and Retry runs a check at once.
    void tick();

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
    RecordIntake::Result catalogue(const QStringList &names, std::optional<Failure> &toTell);
    void offerRetry(const Failure &failure);
    // Files whose names had a record already: one of them as ever (the
    // message, then the editor on its record), several in one message.
    void tellKnown(const QList<RecordIntake::Entry> &known);

    Context m_ctx;
    long m_toldError = 0; // the error last told in a box, while it lasts
    bool m_waiting = false; // the status line says new files wait for the database
    // An answer that comes after the check has gone finds nothing to do.
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace zep
