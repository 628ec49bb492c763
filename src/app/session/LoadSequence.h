#pragma once

#include "app/session/FirstStartSetup.h"

#include <QString>
#include <functional>

namespace zep {

struct MainState;

// The main window's load sequence, in its fixed order. The window supplies
// the steps that belong to it or to later subsystems as hooks; an unset hook
// is a step that does nothing yet.
class LoadSequence {
public:
    struct Hooks {
        std::function<void(const QString &)> status;
        std::function<void()> openSettingsDialog;
        std::function<void()> openWizard;
        std::function<void()> getFileListe;
        std::function<void()> restoreGeometry;
        std::function<void()> restoreColumns;
        std::function<void()> loadFileListe;
        std::function<void(int seconds)> armTimer;
        std::function<void()> writeHeadings;
        std::function<void()> setComm;
        std::function<void()> showMaschinen;
        std::function<void()> checkWartungen;
    };

    enum class Outcome { Ready, EndProgram };

    LoadSequence(MainState &state, Hooks hooks, QString driveRoot = FirstStartSetup::defaultDriveRoot());

    Outcome run();

    // Ticks that arrive before this is true must do nothing: the directory
    // check needs the database, which opens only after the timer is armed.
    bool finished() const { return m_finished; }

private:
    void call(const std::function<void()> &hook) const
    {
        if (hook)
            hook();
    }
    void status(const QString &text) const
    {
        if (m_hooks.status)
            m_hooks.status(text);
    }

    MainState &m_state;
    Hooks m_hooks;
    QString m_driveRoot;
    bool m_finished = false;
};

} // namespace zep
