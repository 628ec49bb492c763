#include "support/PostgresServer.h"
#include "support/QStringPrinter.h"

#include <libpq-fe.h>

namespace zep::test {
namespace {

using PostgresServerTest = PostgresTest;

TEST_F(PostgresServerTest, AnswersOnItsOwnSocketOnlyWithTrigramSearchReady)
{
    auto &server = PostgresServer::shared();
    bool ok = false;
    EXPECT_EQ(server.query(database, "SHOW listen_addresses", &ok), QString()) << qPrintable(server.error());
    EXPECT_TRUE(ok);
    EXPECT_GE(server.query(database, "SHOW server_version_num").toInt(), 150000);
    EXPECT_EQ(server.query(database, "SELECT extname FROM pg_extension WHERE extname = 'pg_trgm'"), "pg_trgm");
    EXPECT_EQ(server.query(database, "SELECT pg_encoding_to_char(encoding) FROM pg_database "
                                     "WHERE datname = current_database()"),
              "UTF8");
    // The address is the one the `Datenbank` setting takes.
    EXPECT_TRUE(url.startsWith("postgresql://zep@/" + database + "?host=/tmp/")) << qPrintable(url);
}

TEST_F(PostgresServerTest, EachTestGetsADatabaseOfItsOwn)
{
    auto &server = PostgresServer::shared();
    bool ok = false;
    server.query(database, "CREATE TABLE t (x int); INSERT INTO t VALUES (1)", &ok);
    ASSERT_TRUE(ok) << qPrintable(server.error());
    const QString other = server.createDatabase();
    ASSERT_FALSE(other.isEmpty()) << qPrintable(server.error());
    EXPECT_EQ(server.query(database, "SELECT count(*) FROM t"), "1");
    EXPECT_EQ(server.query(other, "SELECT count(*) FROM pg_tables WHERE tablename = 't'"), "0");
}

TEST_F(PostgresServerTest, StoppedServerRefusesConnectionsAndKeepsItsDataWhenStartedAgain)
{
    auto &server = PostgresServer::shared();
    bool ok = false;
    server.query(database, "CREATE TABLE t (x text); INSERT INTO t VALUES ('Müller')", &ok);
    ASSERT_TRUE(ok) << qPrintable(server.error());

    ASSERT_TRUE(server.stop()) << qPrintable(server.error());
    PGconn *conn = PQconnectdb(url.toUtf8().constData());
    EXPECT_NE(PQstatus(conn), CONNECTION_OK);
    PQfinish(conn);

    ASSERT_TRUE(server.start()) << qPrintable(server.error());
    EXPECT_EQ(server.query(database, "SELECT x FROM t"), "Müller");
}

} // namespace
} // namespace zep::test
