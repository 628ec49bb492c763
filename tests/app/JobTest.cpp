#include "app/ThreadJob.h"
#include "support/QStringPrinter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

namespace zep::test {
namespace {

// What a job told, in the order it told it.
struct Watched {
    explicit Watched(Job &job) : job(job)
    {
        QObject::connect(&job, &Job::percentChanged, [this](int p) { percents << p; });
        QObject::connect(&job, &Job::finished, [this] {
            ++endings;
            endedOn = QThread::currentThreadId();
        });
    }
    bool runUntilFinished(int ms = 10000)
    {
        QElapsedTimer t;
        t.start();
        while (!job.isFinished() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return job.isFinished();
    }
    Job &job;
    QList<int> percents;
    int endings = 0;
    Qt::HANDLE endedOn = nullptr;
};

TEST(ThreadJobTest, RunsOffTheMainThreadAndHandsItsResultBackOnItWithRisingPercents)
{
    std::atomic<Qt::HANDLE> workedOn{nullptr};
    ThreadJob job([&](ThreadJob::Control &control) {
        workedOn = QThread::currentThreadId();
        // A work may tell any value as often as it likes: only a rise counts,
        // and past 100 is 100.
        for (const int p : {-5, 0, 10, 10, 40, 20, 40, 90, 130, 60})
            control.setPercent(p);
        return QVariant(QStringLiteral("fertig"));
    });
    Watched told(job);
    EXPECT_EQ(job.state(), Job::State::Ready);
    EXPECT_EQ(job.percent(), -1);
    EXPECT_EQ(job.result(), Job::Result::None);
    job.start();
    EXPECT_EQ(job.state(), Job::State::Running);
    ASSERT_TRUE(told.runUntilFinished());
    EXPECT_NE(workedOn.load(), QThread::currentThreadId());
    EXPECT_EQ(told.endedOn, QThread::currentThreadId());
    EXPECT_EQ(told.percents, QList<int>({0, 10, 40, 90, 100}));
    EXPECT_EQ(job.percent(), 100);
    EXPECT_EQ(job.result(), Job::Result::Succeeded);
    EXPECT_EQ(job.value().toString(), "fertig");
    EXPECT_EQ(job.error(), "");
    EXPECT_EQ(told.endings, 1);

    // Afterwards nothing changes it: a cancel, a second start, a wait.
    job.cancel();
    job.start();
    job.wait();
    QCoreApplication::processEvents();
    EXPECT_EQ(told.endings, 1);
    EXPECT_EQ(job.result(), Job::Result::Succeeded);
    EXPECT_FALSE(job.isCancelled());
}

TEST(ThreadJobTest, ACancelMidWayEndsTheWorkAtItsNextStepAndIsToldOnce)
{
    std::atomic<bool> begun{false};
    ThreadJob job([&](ThreadJob::Control &control) {
        begun = true;
        int steps = 0;
        while (!control.cancelled()) {
            control.setPercent(++steps % 100);
            QThread::msleep(1);
        }
        return QVariant(steps);
    });
    Watched told(job);
    job.start();
    while (!begun)
        QThread::msleep(1);
    job.cancel();
    // The work stops on its own thread; its end comes through the event loop.
    EXPECT_EQ(told.endings, 0);
    job.cancel();
    ASSERT_TRUE(told.runUntilFinished());
    EXPECT_EQ(told.endings, 1);
    EXPECT_TRUE(job.isCancelled());
    EXPECT_EQ(job.error(), "");
    // What the work handed back is kept for whoever wants to know how far it came.
    EXPECT_GE(job.value().toInt(), 0);
    for (qsizetype i = 1; i < told.percents.size(); ++i)
        EXPECT_GT(told.percents[i], told.percents[i - 1]);
    job.cancel();
    QCoreApplication::processEvents();
    EXPECT_EQ(told.endings, 1);
}

TEST(ThreadJobTest, WaitTellsTheEndBeforeItReturns)
{
    ThreadJob job([](ThreadJob::Control &control) {
        while (!control.cancelled())
            QThread::msleep(1);
        return QVariant(7);
    });
    Watched told(job);
    job.start();
    job.cancel();
    job.wait();
    EXPECT_EQ(told.endings, 1);
    EXPECT_TRUE(job.isCancelled());
    EXPECT_EQ(job.value().toInt(), 7);
    // The end the work's thread posted finds the job finished.
    QCoreApplication::processEvents();
    EXPECT_EQ(told.endings, 1);
}

TEST(ThreadJobTest, AJobCancelledBeforeItsStartEndsAtOnceAndNeverRuns)
{
    bool ran = false;
    ThreadJob job([&](ThreadJob::Control &) {
        ran = true;
        return QVariant();
    });
    Watched told(job);
    job.cancel();
    EXPECT_EQ(told.endings, 1);
    EXPECT_EQ(job.state(), Job::State::Finished);
    EXPECT_TRUE(job.isCancelled());
    job.start();
    job.wait();
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
    EXPECT_EQ(told.endings, 1);
}

TEST(ThreadJobTest, AFailureEndsWithItsErrorAndACancelAfterwardsChangesNothing)
{
    ThreadJob job([](ThreadJob::Control &control) {
        control.setPercent(50);
        control.fail(QStringLiteral("Datei nicht lesbar"));
        return QVariant();
    });
    Watched told(job);
    job.start();
    ASSERT_TRUE(told.runUntilFinished());
    EXPECT_EQ(job.result(), Job::Result::Failed);
    EXPECT_EQ(job.error(), "Datei nicht lesbar");
    EXPECT_EQ(told.percents, QList<int>({50}));
    job.cancel();
    EXPECT_EQ(job.result(), Job::Result::Failed);
    EXPECT_EQ(told.endings, 1);
}

TEST(ThreadJobTest, DestroyingARunningJobStopsItsWorkAndTellsNothing)
{
    std::atomic<bool> begun{false}, stopped{false};
    int endings = 0;
    {
        ThreadJob job([&](ThreadJob::Control &control) {
            begun = true;
            while (!control.cancelled())
                QThread::msleep(1);
            stopped = true;
            return QVariant();
        });
        QObject::connect(&job, &Job::finished, [&] { ++endings; });
        job.start();
        while (!begun)
            QThread::msleep(1);
    }
    EXPECT_TRUE(stopped);
    QCoreApplication::processEvents();
    EXPECT_EQ(endings, 0);
}

} // namespace
} // namespace zep::test
