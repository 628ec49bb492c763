#include "app/SystemClock.h"
#include "app/IniSettingsStore.h"
#include "app/InstanceLock.h"
#include "app/Logbook.h"
#include "app/ProgramDirectory.h"
#include "station/Station.h"
#include "station/ui/Form1.h"
#include "app/ui/QtPrompts.h"
#include "station/ui/StartProcedure.h"
#include "db/Schema.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {

// The build runs `zep --create-database FILE` to put a fresh catalogue beside
// the program; no window is involved.
int createDatabase(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--create-database"));
    if (at < 0 || at + 1 >= args.size()) {
        std::fputs("zep --create-database FILE\n", stderr);
        return 2;
    }
    zep::ErrorInfo error;
    if (!zep::createFreshDatabase(args[at + 1], &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description));
        return 1;
    }
    return 0;
}

bool hasArgument(int argc, char *argv[], const char *name)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (hasArgument(argc, argv, "--create-database"))
        return createDatabase(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZEP"));
    QApplication::setQuitOnLastWindowClosed(false);
    zep::QtPrompts prompts;

    const zep::ProgramDirectory::Result dir =
        zep::ProgramDirectory::resolve(app.arguments(), QCoreApplication::applicationDirPath());
    if (!dir.ok()) {
        prompts.message(dir.error, QStringLiteral("ZEP Fehler!"), zep::PromptIcon::Critical);
        return 1;
    }

    zep::InstanceLock lock(dir.path);
    if (!lock.tryLock()) {
        // Two running copies would both catalogue every new file.
        prompts.message(QStringLiteral("ZEP läuft bereits für das Programmverzeichnis ")
                            + QDir::toNativeSeparators(dir.path)
                            + QStringLiteral(".\r\rEs kann nur ein ZEP je Programmverzeichnis laufen."),
                        QStringLiteral("ZEP"), zep::PromptIcon::Exclamation);
        return 1;
    }

    zep::IniSettingsStore settings;
    zep::SystemClock clock;
    zep::Logbook logbook(dir.path, clock);
    zep::Station station(settings, prompts, clock, logbook, dir.path);

    zep::Form1 mainWindow(station);
    prompts.setOwner(&mainWindow);
    QObject::connect(&mainWindow, &zep::Form1::shutDown, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    zep::StartProcedure start(station, mainWindow);
    if (!start.run())
        return 0;

    if (app.arguments().contains(QStringLiteral("--quit-after-start"))) {
        // Used by the start-up test and the screenshot script: come up fully,
        // then end as a No in the shut-down question would.
        QTimer::singleShot(300, &mainWindow, &zep::Form1::endWithoutAsking);
    }
    return app.exec();
}
