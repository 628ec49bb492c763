#include "station/ui/StartProcedure.h"

#include "app/ProgramSettings.h"
#include "app/SettingsStore.h"
#include "station/ShellActions.h"
#include "app/ui/AboutBox.h"
#include "station/ui/Form1.h"
#include "app/ui/frmSplash.h"

#include <QFileInfo>
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

StartProcedure::StartProcedure(Station &station, Form1 &mainWindow, Launcher launcher)
    : m_station(station), m_mainWindow(mainWindow),
      m_launcher(launcher ? std::move(launcher) : Launcher(launchDetached))
{
}

bool StartProcedure::run()
{
    auto *splash = new frmSplash;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    splash->setStatusText(QStringLiteral(" Externes Programm starten..."));
    splash->setVersionText(versionText());
    const QString startProgram = ProgramSettings::startProgram.read(m_station.settings());

    if (m_mainWindow.load() == Station::LoadOutcome::EndProgram) {
        splash->close();
        return false;
    }

    if (!startProgram.isEmpty() && !m_mainWindow.isVisible())
        startExternalProgram(startProgram, m_station.prompts(), m_launcher);

    splash->setStatusText(QStringLiteral(" Programm initialisieren..."));
    // The splash stays a moment without holding anything up: a machine may
    // already be sending.
    Form1 *window = &m_mainWindow;
    QTimer::singleShot(m_minimumSplashMs, splash, [splash, window] {
        splash->close();
        window->show();
    });
    return true;
}

} // namespace zep
