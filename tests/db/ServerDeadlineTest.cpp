#include "db/Database.h"
#include "db/JetErrors.h"
#include "support/PostgresServer.h"
#include "support/QStringPrinter.h"

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

namespace zep::test {
namespace {

struct ServerDeadlineTest : PostgresTest {
    void SetUp() override
    {
        PostgresTest::SetUp();
        ASSERT_TRUE(db.openServer(url)) << qPrintable(db.lastError().description);
        db.setStatementDeadline(Database::kWindowDeadlineMs);
    }

    int sleepers()
    {
        return PostgresServer::shared()
            .query(database, "SELECT count(*) FROM pg_stat_activity WHERE query LIKE 'SELECT pg_sleep%'")
            .toInt();
    }

    Database db;
};

TEST_F(ServerDeadlineTest, AStatementWithoutAnAnswerInTimeIsCancelledAndTheConnectionCountsAsLost)
{
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(db.executeNative("SELECT pg_sleep(5)"));
    const qint64 ms = waited.elapsed();
    // The deadline, and not the five seconds; generous for a loaded machine.
    EXPECT_GE(ms, Database::kWindowDeadlineMs - 10);
    EXPECT_LT(ms, 2000);
    EXPECT_TRUE(db.serverLost());
    EXPECT_EQ(db.lastError().number, JetErrors::DiskError) << qPrintable(db.lastError().description);
    EXPECT_TRUE(db.lastError().description.contains("nicht rechtzeitig")) << qPrintable(db.lastError().description);
    // Every further statement fails at once, until a new connection.
    waited.restart();
    EXPECT_FALSE(db.execute("SELECT 1"));
    EXPECT_FALSE(db.serverAnswers());
    EXPECT_LT(waited.elapsed(), 100);
    // The server does not go on sleeping for nobody.
    QElapsedTimer gone;
    gone.start();
    while (sleepers() > 0 && gone.elapsed() < 3000)
        QThread::msleep(50);
    EXPECT_EQ(sleepers(), 0);
}

TEST_F(ServerDeadlineTest, TheWorkAllowedToTakeLongerRunsWithoutTheDeadline)
{
    {
        const Database::WithoutDeadline unbounded(db);
        EXPECT_TRUE(db.executeNative("SELECT pg_sleep(0.5)")) << qPrintable(db.lastError().description);
    }
    EXPECT_TRUE(db.serverAnswers());
    EXPECT_FALSE(db.executeNative("SELECT pg_sleep(0.5)"));
    EXPECT_TRUE(db.serverLost());
}

TEST_F(ServerDeadlineTest, AStoppedServerIsNoticedAtTheNextStatementWithoutWaiting)
{
    ASSERT_TRUE(db.serverAnswers());
    ASSERT_TRUE(PostgresServer::shared().stop());
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(db.serverAnswers());
    EXPECT_LT(waited.elapsed(), Database::kWindowDeadlineMs + 100);
    EXPECT_TRUE(db.serverLost());
    ASSERT_TRUE(PostgresServer::shared().start()) << qPrintable(PostgresServer::shared().error());
    EXPECT_TRUE(db.openServer(url));
    EXPECT_TRUE(db.serverAnswers());
}

} // namespace
} // namespace zep::test
