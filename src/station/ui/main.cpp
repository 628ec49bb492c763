#include "app/CommandLine.h"
#include "backup/CommandLineBackup.h"
#include "app/IniSettingsStore.h"
#include "app/InstanceLock.h"
#include "app/Logbook.h"
#include "app/MemoryPolicy.h"
#include "app/ProgramDirectory.h"
#include "app/QtTranslation.h"
#include "station/Station.h"
#include "station/ui/MainWindow.h"
#include "app/SystemClock.h"
#include "app/ui/QtPrompts.h"
#include "station/ui/StartProcedure.h"
#include "station/FreshCatalogue.h"
#include "station/CatalogueCopyCommand.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <optional>

namespace {

int createDatabaseFile(const QString &file)
{
    if (const std::optional<QString> error = zep::createCatalogueFile(file)) {
        std::fprintf(stderr, "%s\n", qPrintable(*error));
        return 1;
    }
    return 0;
}

// The build runs `zep --create-database FILE` to put a fresh catalogue beside
// the program; no window is involved.
int createDatabase(int argc, char *argv[], const QString &file)
{
    QCoreApplication app(argc, argv);
    return createDatabaseFile(file);
}

// Answers what needs no window; nothing when the program is to start.
std::optional<int> answerWithoutWindow(const zep::CommandLine &line, int argc, char *argv[])
{
    using Action = zep::CommandLine::Action;
    switch (line.action) {
    case Action::Help:
    case Action::Version:
        std::fputs(qPrintable(line.text), stdout);
        return 0;
    case Action::CreateDatabase:
        return createDatabase(argc, argv, line.databaseFile);
    case Action::Backup: {
        // No instance lock: the nightly backup runs beside a running ZEP.
        QCoreApplication app(argc, argv);
        return zep::runBackupFromCommandLine(app.arguments(), QCoreApplication::applicationDirPath(), stdout,
                                             stderr);
    }
    case Action::CopyCatalogue: {
        QCoreApplication app(argc, argv);
        return zep::runCatalogueCopyFromCommandLine(app.arguments(), QCoreApplication::applicationDirPath(),
                                                    line.copyTarget, stdout, stderr);
    }
    case Action::Error:
    case Action::Run:
        break;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    zep::keepFreedMemory();
    // Before the application object: without a display it would abort, and
    // --help and --version must work there too.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    zep::CommandLine line = zep::CommandLine::parse(arguments);
    if (const std::optional<int> code = answerWithoutWindow(line, argc, argv))
        return *code;

    QApplication app(argc, argv);
    const zep::QtTranslation qtGerman;
    QApplication::setApplicationName(QStringLiteral("ZEP"));
    QApplication::setApplicationVersion(zep::CommandLine::version());
    // The desktop matches the windows to the menu entry zep.desktop; the icon
    // comes from the installed theme, or from beside a built program.
    QGuiApplication::setDesktopFileName(QStringLiteral("zep"));
    QApplication::setWindowIcon(QIcon::fromTheme(
        QStringLiteral("zep"), QIcon(QCoreApplication::applicationDirPath() + QStringLiteral("/zep.png"))));
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt has taken its own options (-platform, -style ...) out by now; what
    // is left must be ours.
    line = zep::CommandLine::parse(app.arguments());
    if (line.action == zep::CommandLine::Action::Error) {
        std::fputs(qPrintable(line.text), stderr);
        return 2;
    }
    if (line.action == zep::CommandLine::Action::CreateDatabase)
        return createDatabaseFile(line.databaseFile);
    if (line.action != zep::CommandLine::Action::Run) {
        std::fputs(qPrintable(line.text), stdout);
        return 0;
    }
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

    zep::MainWindow mainWindow(station);
    prompts.setOwner(&mainWindow);
    QObject::connect(&mainWindow, &zep::MainWindow::shutDown, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    zep::StartProcedure start(station, mainWindow);
    // A question at first start or about the database is answered in the
    // program's own loop; the start goes on from there.
    start.run([&mainWindow, quitAfterStart = line.quitAfterStart](bool started) {
        if (!started) {
            // Queued: the loop may not be running yet.
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
            return;
        }
        if (quitAfterStart) {
            // Used by the start-up test and the screenshot script: come up fully,
            // then end as a No in the shut-down question would.
            QTimer::singleShot(300, &mainWindow, &zep::MainWindow::endWithoutAsking);
        }
    });
    return app.exec();
}
