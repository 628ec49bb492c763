#include "db/PgConnection.h"
#include "station/ServerConnectJob.h"
#include "support/PostgresServer.h"
#include "support/RunUntil.h"

#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

// A job started here, with what it told.
struct StartedJob {
    explicit StartedJob(const QString &url) : job(new ServerConnectJob(url))
    {
        QObject::connect(job.get(), &Job::finished, [this] {
            ++told;
            toldOnOwnThread = QThread::currentThread() == job->thread();
        });
        job->start();
    }

    bool waitForEnd() { return runUntil([this] { return job->isFinished(); }, 15000); }

    std::unique_ptr<ServerConnectJob> job;
    int told = 0;
    bool toldOnOwnThread = false;
};

using ServerConnectJobTest = PostgresTest;

TEST_F(ServerConnectJobTest, HandsOverTheConnectionOnTheOwnersThread)
{
    StartedJob started(url);
    ASSERT_TRUE(started.waitForEnd());
    EXPECT_EQ(started.job->result(), Job::Result::Succeeded) << qPrintable(started.job->error());
    EXPECT_EQ(started.told, 1);
    EXPECT_TRUE(started.toldOnOwnThread);
    const std::unique_ptr<PgConnection> connection = started.job->takeConnection();
    ASSERT_TRUE(connection);
    EXPECT_FALSE(started.job->takeConnection()) << "taken once";
}

TEST(ServerConnectJob, ANonAnsweringServerFailsWithTheReason)
{
    const QTemporaryDir noServer; // a socket directory nobody listens in
    StartedJob started(QStringLiteral("postgresql://zep@/zep?host=%1").arg(noServer.path()));
    ASSERT_TRUE(started.waitForEnd());
    EXPECT_EQ(started.job->result(), Job::Result::Failed);
    EXPECT_EQ(started.told, 1);
    EXPECT_FALSE(started.job->failure().description.isEmpty());
    EXPECT_EQ(started.job->error(), started.job->failure().description);
    EXPECT_FALSE(started.job->takeConnection());
}

// The station ending: the connecting thread is not waited for, and what it
// brings later is dropped, for a job cancelled or already gone.
TEST_F(ServerConnectJobTest, AnAnswerAfterTheEndIsDropped)
{
    StartedJob cancelled(url);
    cancelled.job->cancel(); // before any answer could have been handed over
    EXPECT_EQ(cancelled.job->result(), Job::Result::Cancelled);
    EXPECT_EQ(cancelled.told, 1);

    StartedJob deleted(url);
    deleted.job.reset();

    runUntil([] { return false; }, 500); // an answer on its way arrives meanwhile
    EXPECT_EQ(cancelled.told, 1);
    EXPECT_EQ(cancelled.job->result(), Job::Result::Cancelled);
    EXPECT_FALSE(cancelled.job->takeConnection());
    EXPECT_EQ(deleted.told, 0);
}

} // namespace
