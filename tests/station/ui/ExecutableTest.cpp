#include "support/TestEnvironment.h"

#include "app/IniSettingsStore.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

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

    int run(const QStringList &args, QByteArray *output = nullptr)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", "offscreen");
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
