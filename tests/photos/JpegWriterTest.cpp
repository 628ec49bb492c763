#include "PhotoTestFiles.h"
#include "support/TestEnvironment.h"

#include "photos/JpegWriter.h"
#include "photos/RecordPhotos.h"
#include "photos/cDIBSection.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImageReader>
#include <gtest/gtest.h>

namespace zep::test {
namespace {

QImage pattern(int w, int h)
{
    QImage image;
    image.loadFromData(pictureBytes(w, h, "png"));
    return image;
}

TEST(CDIBSectionTest, HoldsThreeBytesAPixelInRowsOfWholeWords)
{
    cDIBSection dib;
    ASSERT_TRUE(dib.CreateFromPicture(pattern(5, 3)));
    EXPECT_EQ(dib.Width(), 5);
    EXPECT_EQ(dib.Height(), 3);
    EXPECT_EQ(dib.BytesPerScanLine(), 16); // 15 rounded up
    const uchar *bits = dib.DIBSectionBitsPtr();
    ASSERT_TRUE(bits);
    EXPECT_EQ(bits[16 + 3 * 2 + 0], (2 * 7) & 255); // red of pixel (2, 1)
    EXPECT_EQ(bits[16 + 3 * 2 + 1], 5);
    dib.ClearUp();
    EXPECT_TRUE(dib.isNull());
    EXPECT_FALSE(dib.CreateFromPicture(QImage()));

    // Transparency is laid on white.
    QImage clear(2, 2, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    ASSERT_TRUE(dib.CreateFromPicture(clear));
    EXPECT_EQ(dib.image().pixel(1, 1), qRgb(255, 255, 255));
}

TEST(JpegWriterTest, WritesAJpegOfTheGivenQualityAndKeepsAReplacedFilesDates)
{
    TestEnvironment env;
    cDIBSection dib;
    ASSERT_TRUE(dib.CreateFromPicture(pattern(320, 240)));
    const QString path = env.root() + "Foto_A_1.jpg";
    ASSERT_FALSE(JpegWriter::SaveJPG(dib, path, 35));
    const QByteArray low = env.readFile(path);
    EXPECT_EQ(QImageReader(path).format(), "jpeg");
    EXPECT_EQ(QImageReader(path).size(), QSize(320, 240));
    EXPECT_EQ(jpegQuality(low), 35);

    const QDateTime old = QDateTime::currentDateTime().addDays(-40);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
    }
    ASSERT_FALSE(JpegWriter::SaveJPG(dib, path, 95));
    EXPECT_EQ(jpegQuality(env.readFile(path)), 95);
    EXPECT_GT(env.readFile(path).size(), low.size());
    EXPECT_EQ(QFileInfo(path).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
}

TEST(JpegWriterTest, AFailureCarriesTheNumberAndLeavesTheOldPhotoWhole)
{
    TestEnvironment env;
    cDIBSection dib;
    ASSERT_TRUE(dib.CreateFromPicture(pattern(64, 64)));
    const auto missingDir = JpegWriter::SaveJPG(dib, env.root() + "gibtsnicht/Foto_A_1.jpg", 80);
    ASSERT_TRUE(missingDir);
    EXPECT_EQ(missingDir->number, 26001);
    EXPECT_TRUE(missingDir->description.startsWith("Failed to save to JPG ")) << missingDir->description.toStdString();

    const auto empty = JpegWriter::SaveJPG(cDIBSection(), env.root() + "leer.jpg", 80);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->number, 26001);
    EXPECT_FALSE(QFileInfo::exists(env.root() + "leer.jpg"));

    const QString path = env.root() + "ro/Foto_A_1.jpg";
    writeBytes(path, "alt");
    QFile::setPermissions(env.root() + "ro", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(env.root() + "ro").isWritable())
        GTEST_SKIP() << "running as a user who may write anywhere";
    EXPECT_TRUE(JpegWriter::SaveJPG(dib, path, 80));
    EXPECT_EQ(env.readFile(path), "alt");
    QFile::setPermissions(env.root() + "ro", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(JpegWriterTest, APictureIsStoredAsTheRecordsNextJpeg)
{
    TestEnvironment env;
    writeBytes(env.root() + "foto/Foto_P-1_1.gif", "x");
    const RecordPhotos photos(env.root() + "foto/", "P\\1");
    const RecordPhotos::Added added = photos.addPicture(pattern(200, 100), 60);
    ASSERT_FALSE(added.error);
    EXPECT_EQ(QFileInfo(added.path).fileName(), "Foto_P-1_2.jpg");
    EXPECT_EQ(jpegQuality(env.readFile(added.path)), 60);
}

} // namespace
} // namespace zep::test
