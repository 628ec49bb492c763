#include "station/ui/StartProcedure.h"

#include "app/ProgramSettings.h"
#include "app/SettingsStore.h"
#include "station/ShellActions.h"
#include "app/ui/AboutBox.h"
#include "station/ui/MainWindow.h"
#include "app/ui/SplashScreen.h"

#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QTimer>

namespace zep {

bool launchDetached(const QString &path)
{
    QProcess process;
    process.setProgram(path);
    process.setWorkingDirectory(QFileInfo(path).absolutePath());
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

StartProcedure::StartProcedure(Station &station, MainWindow &mainWindow, Launcher launcher)
    : m_station(station), m_mainWindow(mainWindow),
      m_launcher(launcher ? std::move(launcher) : Launcher(launchDetached))
{
}

void StartProcedure::run(std::function<void(bool started)> started)
{
    QPointer<SplashScreen> splash = new SplashScreen;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    splash->setStatusText(QStringLiteral(" Externes Programm starten..."));
    splash->setVersionText(versionText());
    const QString startProgram = ProgramSettings::startProgram.read(m_station.settings());

    QPointer<MainWindow> window = &m_mainWindow;
    Station *station = &m_station;
    const Launcher launcher = m_launcher;
    const int splashMs = m_minimumSplashMs;
    m_mainWindow.load([=](Station::LoadOutcome outcome) {
        if (outcome == Station::LoadOutcome::EndProgram || !window) {
            if (splash)
                splash->close();
            started(false);
            return;
        }
        if (!startProgram.isEmpty() && !window->isVisible())
            startExternalProgram(startProgram, station->prompts(), launcher);
        if (!splash) {
            window->show();
            started(true);
            return;
        }
        splash->setStatusText(QStringLiteral(" Programm initialisieren..."));
        // The splash stays a moment without holding anything up: a machine may
        // already be sending.
        QTimer::singleShot(splashMs, splash, [splash, window] {
            splash->close();
            if (window)
                window->show();
        });
        started(true);
    });
}

} // namespace zep
