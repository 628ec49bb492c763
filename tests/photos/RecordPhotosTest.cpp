#include "PhotoTestFiles.h"
#include "support/TestEnvironment.h"

#include "catalogue/PhotoFiles.h"
#include "photos/RecordPhotos.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace zep::test {
namespace {

struct RecordPhotosTest : ::testing::Test {
    TestEnvironment env;
    RecordPhotosTest() { QDir().mkpath(dir()); }
    QString dir() const { return env.root() + "foto/"; }
    void put(const QString &name, const QByteArray &bytes = "x") { writeBytes(dir() + name, bytes); }
    QStringList files() const { return QDir(dir()).entryList(QDir::Files, QDir::Name); }
};

TEST_F(RecordPhotosTest, ARecordListsOnlyItsOwnNumbersInTheirOrder)
{
    put("Foto_A_2.jpg");
    put("Foto_A_10.jpg");
    put("foto_a_1.JPG");
    put("Foto_A_B_1.jpg"); // the record A_B
    put("Foto_A_03.jpg");  // no number the program gives out
    put("Foto_A_11.jpg");
    put("Foto_A_x.jpg");
    put("Foto_A_4.tar.gz");
    put("Foto_A_5");
    const RecordPhotos::Listing listing = RecordPhotos(dir(), "A").list();
    EXPECT_EQ(listing.names, QStringList({"foto_a_1.JPG", "Foto_A_2.jpg", "Foto_A_10.jpg"}));
    EXPECT_FALSE(listing.tooMany);
    EXPECT_EQ(RecordPhotos(dir(), "A_B").list().names, QStringList({"Foto_A_B_1.jpg"}));

    // Deleting A's photo 1 leaves A_B's photo 1 alone.
    ASSERT_FALSE(RecordPhotos(dir(), "A").remove("foto_a_1.JPG"));
    EXPECT_TRUE(files().contains("Foto_A_B_1.jpg"));
    EXPECT_FALSE(files().contains("foto_a_1.JPG"));
}

TEST_F(RecordPhotosTest, ABackslashInTheNameBecomesADashAndMoreThanTenAreCut)
{
    for (int n = 1; n <= 10; ++n)
        put(QString("Foto_DREHEN-P1.NC_%1.jpg").arg(n));
    put("Foto_DREHEN-P1.NC_3.bmp"); // a second file for number 3
    const RecordPhotos photos(dir(), "DREHEN\\P1.NC");
    const RecordPhotos::Listing listing = photos.list();
    EXPECT_EQ(listing.count(), 10);
    EXPECT_TRUE(listing.tooMany);
    EXPECT_EQ(photos.freeNumber(), 0);
    const RecordPhotos::Added added = photos.addFromFile(dir() + "Foto_DREHEN-P1.NC_1.jpg");
    EXPECT_EQ(added.number, 0);
    EXPECT_FALSE(added.error);
}

TEST_F(RecordPhotosTest, TheFreeNumberIsTheFirstNoFileHoldsWithAnyExtension)
{
    put("Foto_X_1.jpg");
    put("Foto_X_2.jpg");
    put("Foto_X_4.jpg");
    put("Foto_X_B_3.jpg"); // another record's
    EXPECT_EQ(RecordPhotos(dir(), "X").freeNumber(), 3);
    put("Foto_X_3.tar.gz"); // not listed, but it would be overwritten
    EXPECT_EQ(RecordPhotos(dir(), "X").freeNumber(), 5);

    QDir(dir()).removeRecursively();
    QDir().mkpath(dir());
    put("Foto_X_1.bmp");
    const QByteArray jpeg = pictureBytes(40, 30);
    writeBytes(env.root() + "in/scan.jpg", jpeg);
    const RecordPhotos::Added added = RecordPhotos(dir(), "X").addFromFile(env.root() + "in/scan.jpg");
    ASSERT_FALSE(added.error);
    EXPECT_EQ(added.number, 2);
    EXPECT_EQ(QFileInfo(added.path).fileName(), "Foto_X_2.jpg");
}

TEST_F(RecordPhotosTest, AFileIsCopiedByteForByteWithTheLastThreeCharactersAsExtension)
{
    const QByteArray jpeg = pictureBytes(64, 48);
    writeBytes(env.root() + "in/scan.jpeg", jpeg);
    const RecordPhotos photos(dir(), "P4711");
    const RecordPhotos::Added added = photos.addFromFile(env.root() + "in/scan.jpeg");
    ASSERT_FALSE(added.error) << added.error->description.toStdString();
    EXPECT_EQ(files(), QStringList({"Foto_P4711_1.peg"}));
    EXPECT_EQ(env.readFile(added.path), jpeg);
    EXPECT_EQ(photos.list().names, QStringList({"Foto_P4711_1.peg"}));

    // A dot among the last three would give a name no listing finds.
    writeBytes(env.root() + "in/bild.gi", pictureBytes(8, 8, "png"));
    EXPECT_EQ(RecordPhotos::extensionFor(env.root() + "in/bild.gi"), "gi");
    EXPECT_EQ(photos.addFromFile(env.root() + "in/bild.gi").number, 2);
    EXPECT_EQ(photos.list().count(), 2);

    // A source that vanished is an error, and leaves nothing behind.
    const RecordPhotos::Added missing = photos.addFromFile(env.root() + "in/weg.jpg");
    EXPECT_TRUE(missing.error);
    EXPECT_EQ(files().size(), 2);
}

TEST_F(RecordPhotosTest, AnUnreadablePhotoGivesANullPictureAndAReason)
{
    const QByteArray jpeg = pictureBytes(400, 300);
    put("Foto_A_1.jpg", jpeg.left(120));
    put("Foto_A_2.jpg", "Dies ist kein Bild\n");
    put("Foto_A_3.jpg", jpeg);
    for (const char *name : {"Foto_A_1.jpg", "Foto_A_2.jpg"}) {
        QString why;
        EXPECT_TRUE(PhotoReader::readScaled(dir() + name, QSize(200, 150), &why).isNull()) << name;
        EXPECT_FALSE(why.isEmpty()) << name;
    }
    // The preview is decoded at its own size, never larger than the photo.
    EXPECT_EQ(PhotoReader::readScaled(dir() + "Foto_A_3.jpg", QSize(200, 200)).size(), QSize(200, 150));
    EXPECT_EQ(PhotoReader::readScaled(dir() + "Foto_A_3.jpg", QSize(1000, 1000)).size(), QSize(400, 300));
}

} // namespace
} // namespace zep::test
