#include "PhotoTestFiles.h"
#include "support/SaneTestDevice.h"
#include "support/TestEnvironment.h"

#include "photos/RecordPhotos.h"
#include "photos/SaneScanner.h"
#include "photos/WorkerThread.h"

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

TEST(SaneScannerTest, AScanOffTheMainThreadCanBeCancelled)
{
    // A slow device: 600 dpi handed over a byte a read takes many seconds.
    SaneTestDevice slow("enable-test-options true\nresolution 600\nread-limit true\nread-limit-size 1\n");
    SaneScanner scanner;
    WorkerThread worker;
    bool delivered = false;
    std::atomic<bool> started{false};
    worker.start([&](WorkerThread &self, const std::atomic<bool> &cancel) {
        started = true;
        const ImageScanner::Result result = scanner.acquire("test:0", cancel);
        self.post([&] { delivered = true; });
        EXPECT_TRUE(result.cancelled);
    });
    while (!started)
        QThread::msleep(1);
    QThread::msleep(100);
    EXPECT_TRUE(worker.isRunning());
    worker.cancel();
    EXPECT_FALSE(worker.isRunning());
    QCoreApplication::processEvents();
    EXPECT_FALSE(delivered); // a cancelled scan hands nothing back
}

TEST(SaneScannerTest, AFinishedScanIsHandedToTheOwnersThread)
{
    SaneTestDevice device;
    SaneScanner scanner;
    WorkerThread worker;
    QImage got;
    Qt::HANDLE deliveredOn = nullptr;
    worker.start([&](WorkerThread &self, const std::atomic<bool> &cancel) {
        ImageScanner::Result result = scanner.acquire({}, cancel);
        EXPECT_FALSE(result.image.isNull()) << result.error.toStdString();
        self.post([&, image = result.image] {
            got = image;
            deliveredOn = QThread::currentThreadId();
        });
    });
    QElapsedTimer waited;
    waited.start();
    while (got.isNull() && waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(got.isNull());
    EXPECT_EQ(deliveredOn, QThread::currentThreadId());
}

} // namespace
} // namespace zep::test
