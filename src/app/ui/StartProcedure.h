#pragma once

#include <QString>
#include <functional>

namespace zep {

class Form1;
struct MainState;

// Splash window, the main window's load sequence, the start program, then
// the main window. Returns false when the program must end instead.
class StartProcedure {
public:
    // How the start program is launched (detached, no waiting).
    using Launcher = std::function<bool(const QString &path)>;

    StartProcedure(MainState &state, Form1 &mainWindow, Launcher launcher = {});

    // The splash stays up at least this long after its last text.
    void setMinimumSplashMs(int ms) { m_minimumSplashMs = ms; }

    bool run();

private:
    MainState &m_state;
    Form1 &m_mainWindow;
    Launcher m_launcher;
    int m_minimumSplashMs = 1000;
};

// Starts a program detached, minimised where the desktop allows it.
bool launchDetached(const QString &path);

} // namespace zep
