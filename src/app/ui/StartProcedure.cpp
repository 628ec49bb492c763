#include "app/ui/StartProcedure.h"

#include "app/ProgramSettings.h"
#include "app/SettingsStore.h"
#include "app/session/MainState.h"
#include "app/session/ShellActions.h"
#include "app/ui/AboutBox.h"
#include "app/ui/Form1.h"
#include "app/ui/frmSplash.h"

#include <QEventLoop>
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

StartProcedure::StartProcedure(MainState &state, Form1 &mainWindow, Launcher launcher)
    : m_state(state), m_mainWindow(mainWindow), m_launcher(launcher ? std::move(launcher) : Launcher(launchDetached))
{
}

bool StartProcedure::run()
{
    frmSplash splash;
    splash.show();
    splash.setStatusText(QStringLiteral(" Externes Programm starten..."));
    splash.setVersionText(versionText());
    const QString startProgram = ProgramSettings::startProgram(m_state.settings);

    if (m_mainWindow.load() == LoadSequence::Outcome::EndProgram)
        return false;

    if (!startProgram.isEmpty() && !m_mainWindow.isVisible())
        startExternalProgram(startProgram, m_state.prompts, m_launcher);

    splash.setStatusText(QStringLiteral(" Programm initialisieren..."));
    if (m_minimumSplashMs > 0) {
        // Events keep running while the splash waits: a machine may already
        // be sending.
        QEventLoop wait;
        QTimer::singleShot(m_minimumSplashMs, &wait, &QEventLoop::quit);
        wait.exec();
    }
    splash.close();
    m_mainWindow.show();
    return true;
}

} // namespace zep
