// `zep --copy-catalogue-to` as a shop runs it: the real program, without a
// display, on a real catalogue file and the test server.
#include "db/Database.h"
#include "db/Schema.h"
#include "support/PostgresServer.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace zep::test {
namespace {

struct CatalogueCopyProgramTest : PostgresTest {
    void SetUp() override
    {
        if (!QFileInfo(QStringLiteral(ZEP_EXECUTABLE_PATH)).isExecutable())
            GTEST_SKIP() << "the zep executable was not built";
        PostgresTest::SetUp();
        QDir().mkpath(env.programDir());
        ASSERT_TRUE(createFreshDatabase(env.programDir() + "CNCPRG.mdb"));
        Database file;
        ASSERT_TRUE(file.open(env.programDir() + "CNCPRG.mdb"));
        ASSERT_TRUE(file.execute("INSERT INTO DateiListe (Dateiname, Kunde) VALUES ('P1.NC', 'Weiß')"));
        ASSERT_TRUE(file.execute("INSERT INTO Maschinen (Bezeichnung) VALUES ('Drehbank')"));
    }

    int run(const QString &target, QByteArray *output)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        // No window system at all: the copy must not need one.
        e.insert("QT_QPA_PLATFORM", "xcb");
        e.remove("DISPLAY");
        e.remove("WAYLAND_DISPLAY");
        process.setProcessEnvironment(e);
        process.start(ZEP_EXECUTABLE_PATH, {"--copy-catalogue-to", target, "--program-dir", env.programDir()});
        EXPECT_TRUE(process.waitForFinished(60000));
        *output = process.readAll();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    TestEnvironment env;
};

TEST_F(CatalogueCopyProgramTest, CopiesWithoutADisplayAndRefusesTheSecondTime)
{
    QByteArray output;
    EXPECT_EQ(run(url, &output), 0) << output.constData();
    EXPECT_TRUE(output.contains("DateiListe: 1 von 1 Eintr")) << output.constData();
    EXPECT_TRUE(output.contains("Maschinen: 1 von 1 Eintr")) << output.constData();
    EXPECT_EQ(PostgresServer::shared().query(database, "SELECT Kunde FROM DateiListe"), "Weiß");

    EXPECT_EQ(run(url, &output), 1) << output.constData();
    EXPECT_TRUE(output.contains("ist nicht leer")) << output.constData();
    EXPECT_EQ(PostgresServer::shared().query(database, "SELECT count(*) FROM DateiListe"), "1");
}

} // namespace
} // namespace zep::test
