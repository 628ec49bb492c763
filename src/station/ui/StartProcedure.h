#pragma once

#include <QString>
#include <functional>

namespace zep {

class MainWindow;
class Station;

// Splash window, the station's start-up, the start program, then the main
// window once the splash has had its moment.
class StartProcedure {
public:
    // How the start program is launched (detached, no waiting).
    using Launcher = std::function<bool(const QString &path)>;

    StartProcedure(Station &station, MainWindow &mainWindow, Launcher launcher = {});

    // The splash stays up at least this long after its last text.
    void setMinimumSplashMs(int ms) { m_minimumSplashMs = ms; }

    // `started` gets false when the program must end instead (the user has
    // read why), true once the main window is on its way.
    void run(std::function<void(bool started)> started);

private:
    Station &m_station;
    MainWindow &m_mainWindow;
    Launcher m_launcher;
    int m_minimumSplashMs = 1000;
};

// Starts a program detached, minimised where the desktop allows it.
bool launchDetached(const QString &path);

} // namespace zep
