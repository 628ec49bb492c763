#include "support/TestEnvironment.h"

#include "app/IniSettingsStore.h"
#include "comm/PortSettings.h"
#include "comm/ReceptionJournal.h"
#include "support/PtyPair.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace zep::test;

namespace {

QString executable()
{
    return QStringLiteral(ZEP_EXECUTABLE_PATH);
}

struct RealProgram : ::testing::Test {
    void SetUp() override
    {
        if (!QFileInfo(executable()).isExecutable())
            GTEST_SKIP() << "the zep executable was not built";
        zep::IniSettingsStore settings(env.iniFile());
        settings.write("Settings", "Verzeichnis", env.root() + "data/");
        settings.write("Settings", "FotoVerzeichnis", env.root() + "foto/");
    }

    // Without a display the window system is the real one, with nothing to
    // connect to.
    int run(const QStringList &args, QByteArray *output = nullptr, bool display = true)
    {
        QProcess process;
        prepare(process, display);
        process.start(executable(), args);
        EXPECT_TRUE(process.waitForFinished(30000));
        if (output)
            *output = process.readAll();
        return process.exitCode();
    }

    void prepare(QProcess &process, bool display = true)
    {
        process.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", display ? "offscreen" : "xcb");
        if (!display) {
            e.remove("DISPLAY");
            e.remove("WAYLAND_DISPLAY");
            // The window system aborts the start; no core file for that.
            process.setChildProcessModifier([] {
                const rlimit none{0, 0};
                ::setrlimit(RLIMIT_CORE, &none);
            });
        }
        e.insert("XDG_CONFIG_HOME", env.configHome());
        e.insert("XDG_DATA_HOME", env.dataHome());
        process.setProcessEnvironment(e);
    }

    // The files in the program directory's folder `folder` whose names match.
    QStringList filesIn(const QString &folder, const QString &pattern) const
    {
        return QDir(env.programDir() + folder).entryList({pattern}, QDir::Files, QDir::Name);
    }

    TestEnvironment env;
};

} // namespace

TEST_F(RealProgram, ComesUpOnAFreshDatabaseAndEndsCleanly)
{
    ASSERT_EQ(run({"--create-database", env.programDir() + "CNCPRG.mdb"}), 0);
    QByteArray output;
    EXPECT_EQ(run({"--program-dir", env.programDir(), "--quit-after-start"}, &output), 0) << output.constData();
    EXPECT_FALSE(QFileInfo::exists(env.programDir() + "ZEP.lock")); // released on the way out
}

TEST_F(RealProgram, HelpAndVersionAnswerWithoutADisplayAndTouchNothing)
{
    QByteArray output;
    EXPECT_EQ(run({"--help", "--program-dir", env.programDir()}, &output, false), 0) << output.constData();
    EXPECT_TRUE(output.contains("Usage: zep [options]")) << output.constData();
    EXPECT_TRUE(output.contains("--program-dir <DIR>"));
    EXPECT_TRUE(output.contains("--create-database <FILE>"));

    EXPECT_EQ(run({"--version"}, &output, false), 0) << output.constData();
    EXPECT_EQ(output, "ZEP 1.8.4\n");
    EXPECT_EQ(run({"-v", "--program-dir", env.programDir()}, &output, false), 0);
    EXPECT_EQ(output, "ZEP 1.8.4\n");
    EXPECT_FALSE(QFileInfo::exists(env.programDir() + "ZEP.lock"));
}

TEST_F(RealProgram, StartsThatFailLeaveNoLockBehind)
{
    ASSERT_EQ(run({"--create-database", env.programDir() + "CNCPRG.mdb"}), 0);
    QByteArray output;
    // No display: the window system gives up before the program directory is locked.
    EXPECT_NE(run({"--program-dir", env.programDir(), "--quit-after-start"}, &output, false), 0);
    EXPECT_FALSE(QFileInfo::exists(env.programDir() + "ZEP.lock")) << output.constData();

    EXPECT_EQ(run({"--program-dir", env.programDir(), "--gibtsnicht"}, &output), 2);
    EXPECT_TRUE(output.contains("gibtsnicht")) << output.constData();
    EXPECT_TRUE(output.contains("--help")) << output.constData();
    EXPECT_FALSE(QFileInfo::exists(env.programDir() + "ZEP.lock"));

    // Qt's own options are still Qt's.
    EXPECT_EQ(run({"-platform", "offscreen", "--program-dir", env.programDir(), "--quit-after-start"}, &output), 0)
        << output.constData();
    EXPECT_FALSE(QFileInfo::exists(env.programDir() + "ZEP.lock"));
}

// A machine sends, the program is killed while the save dialog waits, and the
// next start offers the program again: closing that dialog keeps it, byte for
// byte, as the recovery file of its machine.
TEST_F(RealProgram, AProgramReceivedBeforeAKillIsOfferedAgainAtTheNextStart)
{
    ASSERT_EQ(run({"--create-database", env.programDir() + "CNCPRG.mdb"}), 0);
    PtyPair machine;
    ASSERT_TRUE(machine.ok());
    {
        zep::IniSettingsStore settings(env.iniFile());
        zep::PortSettings port;
        port.aktiviert = true;
        port.comAnschluss = 2;
        port.maschinenIndex = 7;
        port.endCode = "<SA>26";
        port.save(settings, 1);
        settings.write("Schnittstellen", "COM2", machine.slavePath());
    }
    QByteArray program("%\r\nO4711 (M\xdcLLER'S TEIL)\r\n");
    for (int b = 1; b < 256; ++b)
        if (b != 26 && b != 0x11 && b != 0x13 && b != '\r' && b != '\n')
            program += char(b);
    program += "\r\nM30\r\n";

    QProcess zep;
    prepare(zep);
    zep.start(executable(), {"--program-dir", env.programDir()});
    ASSERT_TRUE(zep.waitForStarted());
    // The line opens during the start; what the machine sends before that
    // waits in the pty.
    QThread::msleep(1500);
    machine.send(program + char(26));
    QElapsedTimer waited;
    waited.start();
    while (filesIn(zep::ReceptionJournal::folderName(), "*.zep").isEmpty() && waited.elapsed() < 15000)
        QThread::msleep(50);
    ASSERT_EQ(filesIn(zep::ReceptionJournal::folderName(), "*.zep").size(), 1) << zep.readAll().constData();
    zep.kill(); // SIGKILL: nothing is tidied up
    ASSERT_TRUE(zep.waitForFinished(5000));

    QByteArray output;
    EXPECT_EQ(run({"--program-dir", env.programDir(), "--quit-after-start"}, &output), 0) << output.constData();
    EXPECT_TRUE(filesIn(zep::ReceptionJournal::folderName(), "*.zep").isEmpty());
    const QStringList kept = filesIn(QString(), "Nicht_gespeichert_Maschine2_*.txt");
    ASSERT_EQ(kept.size(), 1) << output.constData();
    QFile file(env.programDir() + kept[0]);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), program);
    QFile logbook(env.programDir() + "Logbuch.txt");
    ASSERT_TRUE(logbook.open(QIODevice::ReadOnly));
    EXPECT_TRUE(logbook.readAll().contains("erneut angeboten"));
}
