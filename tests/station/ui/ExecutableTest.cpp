#include "support/TestEnvironment.h"

#include "app/IniSettingsStore.h"

#include <QFileInfo>
#include <QProcess>
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
        process.start(executable(), args);
        EXPECT_TRUE(process.waitForFinished(30000));
        if (output)
            *output = process.readAll();
        return process.exitCode();
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
