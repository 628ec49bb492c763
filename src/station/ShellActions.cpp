#include "station/ShellActions.h"

#include "app/ProgramDirectory.h"
#include "app/Prompts.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace zep {

QString helpPagePath(const QString &programDir)
{
    return ProgramDirectory::findHelpPage(programDir, QCoreApplication::applicationDirPath());
}

void openHelpPage(const QString &programDir, Prompts &prompts, const std::function<bool(const QString &)> &open)
{
    const QString path = helpPagePath(programDir);
    // The desktop happily "opens" a file that is not there, so look first.
    if (QFileInfo(path).isFile() && open && open(path))
        return;
    prompts.ask({QStringLiteral("Fehler beim Aufruf der HTML-Hilfeseite. Ist eventuell die Installation "
                                "verändert worden (Datei: ..\\ZEPHelp\\ZEPHilfe.html fehlt?) oder gar kein "
                                "Standartbrowser installiert?"),
                 QStringLiteral("ZEP Fehler!"), PromptIcon::Exclamation});
}

void startExternalProgram(const QString &path, Prompts &prompts, const std::function<bool(const QString &)> &start)
{
    if (path.isEmpty())
        return;
    if (QFileInfo(path).isFile() && start && start(path))
        return;
    prompts.ask({QStringLiteral("Das Programm\r\r") + path
                     + QStringLiteral("\r\rsollte gestartet werden. Es wurde aber leider nicht gefunden. "
                                      "Überprüfen Sie Ihre Einstellungen!"),
                 QStringLiteral("Autostart-Problem"), PromptIcon::Exclamation});
}

} // namespace zep
