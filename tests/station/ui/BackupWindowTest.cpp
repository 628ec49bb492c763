#include "UiFixture.h"

#include "app/InstanceLock.h"
#include "station/StationBackup.h"
#include "support/Noise.h"
#include "station/ui/SettingsDialog.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

struct BackupWindow : ::testing::Test, UiFixture {
    void SetUp() override
    {
        prepareRegularStart();
        env.writeFile("data/P1.NC", "G1");
        env.writeFile("foto/F.jpg", "jpg");
        settings.write("Settings", "BackupDir", env.root() + "sicherung/");
        ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
        // Whatever the start asked about the uncatalogued program is not the backup's concern.
        prompts.clear();
        window->show();
    }

    StationBackup &backup() { return window->dialogs().backup(); }
    bool waitForEnd()
    {
        QElapsedTimer t;
        t.start();
        while (backup().running() && t.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(2);
        }
        return !backup().running();
    }
    QLabel *notice() const { return window->findChild<QLabel *>("Command5"); }
};

} // namespace

TEST_F(BackupWindow, TheCommandIsDisabledWhileTheNoticeAndProgressShow)
{
    QAction *command = window->action("mmBackup");
    ASSERT_TRUE(command);
    command->trigger();
    EXPECT_FALSE(command->isEnabled());
    ASSERT_TRUE(notice());
    EXPECT_TRUE(notice()->isVisible());
    EXPECT_EQ(notice()->text(), "Backup läuft (kann mehrere Minuten dauern)...");
    EXPECT_TRUE(window->progressBar()->isVisible());
    // In percent, a third for each of the three directories.
    EXPECT_EQ(window->progressBar()->maximum(), 100);
    EXPECT_EQ(window->progressBar()->value(), 0);
    // The window answers meanwhile: its list and search stay usable.
    EXPECT_TRUE(window->searchField()->isEnabled());

    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(command->isEnabled());
    EXPECT_FALSE(notice()->isVisible());
    EXPECT_FALSE(window->progressBar()->isVisible());
    EXPECT_EQ(prompts.titles(), QStringList({"Backup ausgeführt!"}));
    EXPECT_TRUE(station->monitoring());
    EXPECT_TRUE(state->database.isOpen());
}

TEST_F(BackupWindow, QuittingDuringTheBackupAsksFirst)
{
    const QByteArray bytes = noise(400000);
    for (int i = 0; i < 40; ++i)
        env.writeFile(QStringLiteral("data/D%1/P.NC").arg(i), bytes);
    QSignalSpy ended(window.get(), &MainWindow::shutDown);
    window->action("mmBackup")->trigger();
    ASSERT_TRUE(backup().running());

    // No in the shut-down question, then No to ending the backup: stays.
    prompts.queueAnswer(PromptAnswer::No);
    prompts.queueAnswer(PromptAnswer::No);
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(ended.count(), 0);
    EXPECT_EQ(prompts.titles(), QStringList({"Wirklich beenden?", "ZEP"}));

    prompts.queueAnswer(PromptAnswer::No);
    prompts.queueAnswer(PromptAnswer::Yes);
    window->close();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(backup().running());
    EXPECT_FALSE(state->database.isOpen());
}

TEST_F(BackupWindow, SettingsRefuseABackupDirectoryInsideABackedUpOne)
{
    SettingsDialog dialog(window.get(), station->stationSettings(), station->prompts());
    dialog.show();
    dialog.field(6)->setText(env.root() + "data/Sicherung");
    dialog.pressApply();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(prompts.wasAsked("Das Backup-Verzeichnis darf nicht"));
    EXPECT_EQ(settings.read("Settings", "BackupDir"), env.root() + "sicherung/");

    dialog.field(6)->setText(env.root() + "woanders");
    dialog.pressApply();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings.read("Settings", "BackupDir"), env.root() + "woanders/");
}

namespace {

struct HeadlessBackup : ::testing::Test {
    void SetUp() override
    {
        if (!QFileInfo(ZEP_EXECUTABLE_PATH).isExecutable())
            GTEST_SKIP() << "the zep executable was not built";
        IniSettingsStore settings(env.iniFile());
        settings.write("Settings", "Verzeichnis", env.root() + "data/");
        settings.write("Settings", "FotoVerzeichnis", env.root() + "foto/");
        env.writeFile("data/P1.NC", "G1");
        env.writeFile("foto/F.jpg", "jpg");
        ASSERT_TRUE(createFreshDatabase(env.programDir() + "CNCPRG.mdb"));
    }
    // Without any display: the nightly run has none.
    int run(QByteArray *out, QByteArray *err)
    {
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.remove("DISPLAY");
        e.remove("WAYLAND_DISPLAY");
        e.insert("QT_QPA_PLATFORM", "xcb");
        e.insert("XDG_CONFIG_HOME", env.configHome());
        e.insert("XDG_DATA_HOME", env.dataHome());
        p.setProcessEnvironment(e);
        p.start(ZEP_EXECUTABLE_PATH, {"--backup", "--program-dir", env.programDir()});
        EXPECT_TRUE(p.waitForFinished(60000));
        *out = p.readAllStandardOutput();
        *err = p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    TestEnvironment env;
};

} // namespace

TEST_F(HeadlessBackup, RunsBesideARunningZepAndEndsWithItsStatus)
{
    QByteArray out;
    QByteArray err;
    EXPECT_EQ(run(&out, &err), 1);
    EXPECT_TRUE(err.startsWith("Pfad fehlt!\n")) << err.constData();

    IniSettingsStore(env.iniFile()).write("Settings", "BackupDir", env.root() + "sicherung");
    // Another ZEP holds the program directory.
    InstanceLock lock(env.programDir());
    ASSERT_TRUE(lock.tryLock());
    EXPECT_EQ(run(&out, &err), 0) << err.constData();
    EXPECT_EQ(out, "Das Backup wurde erfolgreich ausgeführt!\n\nSie finden das Backup an folgendem Ort:\n"
                       + (env.root() + "sicherung/").toUtf8() + "\n");
    EXPECT_TRUE(QFileInfo::exists(env.root() + "sicherung" + env.programDir() + "program.zip"));
    EXPECT_TRUE(QFileInfo::exists(env.root() + "sicherung" + env.root() + "data/data.zip"));
    EXPECT_TRUE(QString::fromLatin1(env.readFile(env.programDir() + "Logbuch.txt"))
                    .contains("Backup ausgeführt: " + env.root() + "sicherung/"));

    QDir(env.root() + "foto").removeRecursively();
    EXPECT_EQ(run(&out, &err), 1);
    EXPECT_EQ(err, "Backup-Fehler!\nFolgende Fehler traten beim Backup auf:\n\nDas Verzeichnis '"
                       + (env.root() + "foto/").toUtf8() + "' wurde nicht gefunden!\n");
}
