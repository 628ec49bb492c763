#include "photos/BlockFilters.h"
#include "photos/FilterJob.h"
#include "photos/SaneScanner.h"
#include "photos/ScanJob.h"
#include "support/SaneTestDevice.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

namespace zep::test {
namespace {

// A zoomed view's surface with hard 8 x 8 blocks for the filters to smooth.
QImage blocks(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int shade = ((x / 8 + y / 8) % 2) ? 200 : 40;
            image.setPixel(x, y, qRgb(shade, shade / 2, 255 - shade));
        }
    return image;
}

struct Told {
    explicit Told(Job &job)
    {
        QObject::connect(&job, &Job::percentChanged, [this](int p) { percents << p; });
        QObject::connect(&job, &Job::finished, [this] { ++endings; });
    }
    QList<int> percents;
    int endings = 0;
};

bool runUntilFinished(Job &job)
{
    QElapsedTimer t;
    t.start();
    while (!job.isFinished() && t.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return job.isFinished();
}

TEST(FilterJobTest, FiltersACopyOffTheMainThreadWithRisingPercents)
{
    const QImage surface = blocks(320, 240);
    for (const FilterJob::Filter filter : {FilterJob::Filter::DeBlock, FilterJob::Filter::DeBlockPlus}) {
        FilterJob job(surface, filter, BlockFilters::kDefaultDistance);
        Told told(job);
        EXPECT_TRUE(job.image().isNull());
        job.start();
        ASSERT_TRUE(runUntilFinished(job));
        EXPECT_EQ(job.result(), Job::Result::Succeeded);
        EXPECT_EQ(told.endings, 1);
        ASSERT_FALSE(told.percents.isEmpty());
        for (qsizetype i = 1; i < told.percents.size(); ++i)
            EXPECT_GT(told.percents[i], told.percents[i - 1]);
        EXPECT_LE(told.percents.last(), 100);

        // The same filter run here gives the same picture; the surface is untouched.
        QImage expected = surface.copy();
        if (filter == FilterJob::Filter::DeBlock)
            BlockFilters::DeBlock(expected);
        else
            BlockFilters::DeBlockPlus(expected, BlockFilters::kDefaultDistance);
        EXPECT_EQ(job.image(), expected);
        EXPECT_NE(job.image(), surface);
        EXPECT_EQ(surface, blocks(320, 240));
    }
}

TEST(FilterJobTest, ACancelMidWayHandsNoPictureBack)
{
    // Large enough to be still running when cancelled.
    FilterJob job(blocks(4000, 3000), FilterJob::Filter::DeBlockPlus, BlockFilters::kDefaultDistance);
    Told told(job);
    QObject::connect(&job, &Job::percentChanged, &job, [&job](int) { job.cancel(); });
    job.start();
    ASSERT_TRUE(runUntilFinished(job));
    EXPECT_TRUE(job.isCancelled());
    EXPECT_TRUE(job.image().isNull());
    EXPECT_EQ(told.endings, 1);
    EXPECT_LT(told.percents.last(), 100);
    job.cancel();
    QCoreApplication::processEvents();
    EXPECT_EQ(told.endings, 1);
}

TEST(ScanJobTest, AJammedDeviceEndsTheJobAsFailedWithTheDevicesWords)
{
    TestEnvironment env;
    setUpSaneTestDevice("enable-test-options true\nread-status-code \"SANE_STATUS_JAMMED\"\n");
    SaneScanner scanner;
    ScanJob job(scanner, {});
    Told told(job);
    job.start();
    ASSERT_TRUE(runUntilFinished(job));
    EXPECT_EQ(job.result(), Job::Result::Failed);
    EXPECT_FALSE(job.error().isEmpty());
    EXPECT_EQ(job.error(), job.scan().error);
    EXPECT_TRUE(job.scan().image.isNull());
    EXPECT_EQ(told.endings, 1);
}

} // namespace
} // namespace zep::test
