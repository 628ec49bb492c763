#include "db/Database.h"
#include "db/RowReader.h"
#include "db/Schema.h"
#include "support/PostgresServer.h"
#include "support/QStringPrinter.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace zep::test {
namespace {

// The server set-up as the README shows it: the block after its marker.
QStringList readmeSetup()
{
    QFile file(QStringLiteral(ZEP_README_PATH));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    const qsizetype marker = text.indexOf("<!-- zep-server-setup");
    const qsizetype open = text.indexOf("```sql\n", marker);
    const qsizetype close = text.indexOf("```", open + 7);
    if (marker < 0 || open < 0 || close < 0)
        return {};
    return text.mid(open + 7, close - open - 7).split('\n', Qt::SkipEmptyParts);
}

// The README's statements run on the test server, with the role and the
// database named `werk` instead of `zep` (the test server's owner is zep).
struct StationRoleTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(server.running()) << qPrintable(server.error());
        setup = readmeSetup();
        ASSERT_GE(setup.size(), 5) << "no server set-up block in the README";
    }

    QString url(const QString &role) const
    {
        return QString("postgresql://%1@/werk?host=%2").arg(role, server.socketDir());
    }

    PostgresServer &server = PostgresServer::shared();
    QStringList setup;
};

TEST_F(StationRoleTest, TheReadmesRoleRunsAStationAndCanDoNothingMore)
{
    QString database = "postgres";
    for (QString line : setup) {
        line.replace(QRegularExpression("\\bzep\\b"), "werk");
        if (line.startsWith("\\connect ")) {
            database = line.mid(9).trimmed();
            continue;
        }
        bool ok = false;
        server.query(database, line, &ok);
        ASSERT_TRUE(ok) << qPrintable(server.error());
    }

    // A station's start on the empty database: the schema check makes the
    // catalogue; then what a station does with it.
    Database station;
    ASSERT_TRUE(station.openServer(url("werk"))) << qPrintable(station.lastError().description);
    const SchemaCheckResult check = CheckOldDB(station);
    ASSERT_EQ(check.outcome, SchemaCheck::Upgraded) << qPrintable(check.error.description + " " + check.statement);
    EXPECT_TRUE(station.execute("INSERT INTO DateiListe (Dateiname, Kunde) VALUES ('P1.NC', 'Müller')"));
    EXPECT_TRUE(station.execute("UPDATE DateiListe SET Kunde = 'Groß' WHERE Dateiname = 'P1.NC'"));
    EXPECT_TRUE(station.execute("INSERT INTO Maschinen (Bezeichnung) VALUES ('Drehbank')"));
    EXPECT_TRUE(station.execute("INSERT INTO Wartungen (Maschinennummer, Wartungstext) VALUES (1, 'Öl')"));
    EXPECT_TRUE(station.execute("DELETE FROM DateiListe WHERE Dateiname = 'P1.NC'"));
    station.close();
    // The next start finds it current.
    ASSERT_TRUE(station.openServer(url("werk")));
    EXPECT_EQ(CheckOldDB(station).outcome, SchemaCheck::Current);

    // And nothing beyond it.
    for (const char *statement : {"CREATE DATABASE anderes", "CREATE ROLE fremd", "DROP DATABASE werk",
                                  "ALTER ROLE werk SUPERUSER", "DROP EXTENSION citext"})
        EXPECT_FALSE(station.executeNative(statement)) << statement;
    // No other role gets in.
    server.query("postgres", "CREATE ROLE fremd LOGIN");
    Database stranger;
    EXPECT_FALSE(stranger.openServer(url("fremd")));
}

TEST_F(StationRoleTest, TheHelpShowsTheSameSetUp)
{
    QFile file(QStringLiteral(ZEP_HELP_PAGE_PATH));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(file.readAll());
    for (const QString &line : setup)
        EXPECT_TRUE(page.contains("\n" + line + "\n") || page.contains("<pre>" + line + "\n")
                    || page.contains("\n" + line + "</pre>"))
            << qPrintable(line);
}

TEST_F(StationRoleTest, TheTestsStationRoleHasTheReadmesRights)
{
    // Run with ZEP_TEST_PG_ROLE, the server suites use these grants; they
    // must be the README's, word for word.
    for (const QString &grant : PostgresServer::stationGrants("zep", "zep"))
        EXPECT_TRUE(setup.contains(grant)) << qPrintable(grant);
}

} // namespace
} // namespace zep::test
