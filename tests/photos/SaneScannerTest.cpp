#include "PhotoTestFiles.h"
#include "support/SaneTestDevice.h"
#include "support/TestEnvironment.h"

#include "photos/RecordPhotos.h"
#include "photos/SaneScanner.h"
#include "photos/ScanJob.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace zep::test {
namespace {

struct SaneTestDevice {
    TestEnvironment env;
    explicit SaneTestDevice(const QByteArray &extra = {}) { setUpSaneTestDevice(extra); }
};

TEST(SaneScannerTest, TheTestDeviceIsListedAndDeliversAColourPicture)
{
    SaneTestDevice device;
    SaneScanner scanner;
    const QList<ImageScanner::Source> sources = scanner.sources();
    ASSERT_FALSE(sources.isEmpty());
    EXPECT_EQ(sources.first().name, "test:0");
    EXPECT_TRUE(sources.first().description.contains("test:0"));

    const std::atomic<bool> noCancel{false};
    const ImageScanner::Result result = scanner.acquire("test:1", noCancel);
    ASSERT_FALSE(result.image.isNull()) << result.error.toStdString();
    // 80 x 100 mm at 25 dpi.
    EXPECT_NEAR(result.image.width(), 79, 2);
    EXPECT_NEAR(result.image.height(), 98, 2);
    bool coloured = false;
    for (int x = 0; x < result.image.width() && !coloured; ++x) {
        const QRgb p = result.image.pixel(x, result.image.height() / 2);
        coloured = qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
    }
    EXPECT_TRUE(coloured);

    // Stored, it is a JPEG of the chosen quality.
    QDir().mkpath(device.env.root() + "foto/");
    const RecordPhotos photos(device.env.root() + "foto/", "A");
    const RecordPhotos::Added added = photos.addPicture(result.image, 42);
    ASSERT_FALSE(added.error);
    EXPECT_EQ(jpegQuality(device.env.readFile(added.path)), 42);
}

TEST(SaneScannerTest, ADeviceThatFailsOrIsMissingGivesNoPicture)
{
    SaneTestDevice failing("enable-test-options true\nread-status-code \"SANE_STATUS_JAMMED\"\n");
    SaneScanner scanner;
    const std::atomic<bool> noCancel{false};
    const ImageScanner::Result jammed = scanner.acquire("test:0", noCancel);
    EXPECT_TRUE(jammed.image.isNull());
    EXPECT_FALSE(jammed.error.isEmpty());
    EXPECT_FALSE(jammed.cancelled);

    const ImageScanner::Result missing = scanner.acquire("gibtsnicht:0", noCancel);
    EXPECT_TRUE(missing.image.isNull());
    EXPECT_FALSE(missing.error.isEmpty());
}

// The scan as the record editor runs it: a job off the main thread.
struct Scan {
    SaneScanner scanner;
    ScanJob job{scanner, {}};
    int endings = 0;
    Qt::HANDLE endedOn = nullptr;
    Scan()
    {
        QObject::connect(&job, &Job::finished, [this] {
            ++endings;
            endedOn = QThread::currentThreadId();
        });
    }
    ImageScanner::Result result() const { return job.scan(); }
};

TEST(SaneScannerTest, AScanOffTheMainThreadCanBeCancelled)
{
    // A slow device: 600 dpi handed over a byte a read takes many seconds.
    SaneTestDevice slow("enable-test-options true\nresolution 600\nread-limit true\nread-limit-size 1\n");
    Scan scan;
    scan.job.start();
    QThread::msleep(150);
    EXPECT_TRUE(scan.job.isRunning());
    scan.job.cancel();
    scan.job.wait();
    EXPECT_EQ(scan.endings, 1);
    EXPECT_TRUE(scan.job.isCancelled());
    EXPECT_TRUE(scan.result().cancelled);
    EXPECT_TRUE(scan.result().image.isNull());
    scan.job.cancel();
    QCoreApplication::processEvents();
    EXPECT_EQ(scan.endings, 1);
}

TEST(SaneScannerTest, AFinishedScanIsHandedToTheOwnersThread)
{
    SaneTestDevice device;
    Scan scan;
    scan.job.start();
    QElapsedTimer waited;
    waited.start();
    while (!scan.job.isFinished() && waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(scan.job.result(), Job::Result::Succeeded);
    EXPECT_FALSE(scan.result().image.isNull()) << scan.result().error.toStdString();
    EXPECT_EQ(scan.endings, 1);
    EXPECT_EQ(scan.endedOn, QThread::currentThreadId());
}

} // namespace
} // namespace zep::test
