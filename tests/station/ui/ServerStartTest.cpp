#include "support/PostgresServer.h"
#include "support/TestEnvironment.h"

#include "app/IniSettingsStore.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace zep::test;

namespace {

// The real program, headless, given nothing but its ZEP.ini with the
// `Datenbank` setting naming a catalogue on the test server.
struct RealProgramOnServer : PostgresTest {
    void SetUp() override
    {
        if (!QFileInfo(QStringLiteral(ZEP_EXECUTABLE_PATH)).isExecutable())
            GTEST_SKIP() << "the zep executable was not built";
        PostgresTest::SetUp();
        zep::IniSettingsStore settings(env.iniFile());
        settings.write("Settings", "Verzeichnis", env.root() + "data/");
        settings.write("Settings", "FotoVerzeichnis", env.root() + "foto/");
        settings.write("Settings", "Datenbank", url);
    }

    int run(const QStringList &args, QByteArray *output)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("XDG_CONFIG_HOME", env.configHome());
        e.insert("XDG_DATA_HOME", env.dataHome());
        process.setProcessEnvironment(e);
        process.start(QStringLiteral(ZEP_EXECUTABLE_PATH), args);
        EXPECT_TRUE(process.waitForFinished(30000));
        *output = process.readAll();
        return process.exitCode();
    }

    TestEnvironment env;
};

} // namespace

TEST_F(RealProgramOnServer, ComesUpOnAServerCatalogueWithoutAFileOfItsOwn)
{
    QByteArray output;
    EXPECT_EQ(run({"--program-dir", env.programDir(), "--quit-after-start"}, &output), 0) << output.constData();
    EXPECT_FALSE(QFileInfo::exists(env.programDir() + "CNCPRG.mdb"));
    EXPECT_EQ(PostgresServer::shared().query(
                  database, "SELECT count(*) FROM information_schema.tables WHERE table_name = 'maschinen'"),
              "1");
    // Started once more on the catalogue it made.
    EXPECT_EQ(run({"--program-dir", env.programDir(), "--quit-after-start"}, &output), 0) << output.constData();
}
