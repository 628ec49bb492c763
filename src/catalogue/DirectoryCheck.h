#pragma once

#include "catalogue/NeuerEintrag.h"

#include <functional>

namespace zep {

class Clock;
class Database;
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
    };

    explicit DirectoryCheck(Context context) : m_ctx(std::move(context)) {}

    // A tick that comes while the last one (its walk, or a message it shows)
    // is still running, or while the list is being rebuilt, does nothing.
    void tick();
    bool running() const { return m_running; }

private:
    void letEventsRun();

    Context m_ctx;
    bool m_running = false;
};

} // namespace zep
