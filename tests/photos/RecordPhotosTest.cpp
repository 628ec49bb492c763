#include "PhotoTestFiles.h"
#include "support/OneColourPng.h"
#include "support/TestEnvironment.h"

#include "app/ErrorReport.h"
#include "photos/PhotoFiles.h"
#include "photos/PhotoReader.h"
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

    // A source that vanished is refused with its reason, and leaves nothing behind.
    const RecordPhotos::Added missing = photos.addFromFile(env.root() + "in/weg.jpg");
    EXPECT_TRUE(missing.refused.contains("Die Datei existiert nicht")) << missing.refused.toStdString();
    EXPECT_EQ(missing.number, 0);
    EXPECT_EQ(files().size(), 2);
}

TEST_F(RecordPhotosTest, AnEmptyFileOrATextNamedLikeAPictureIsRefusedAndNothingIsCopied)
{
    writeBytes(env.root() + "in/leer.jpg", "");
    writeBytes(env.root() + "in/notiz.jpg", "Spannmittel: Schraubstock 125\n");
    writeBytes(env.root() + "in/programm.nc", "%\r\nN10 G0 X0\r\nM30\r\n");
    const RecordPhotos photos(dir(), "P4711");
    const struct {
        const char *file;
        const char *reason;
    } cases[] = {{"leer.jpg", "Die Datei ist leer."}, {"notiz.jpg", "Die Datei ist kein Bild."},
                 {"programm.nc", "Die Datei ist kein Bild."}};
    for (const auto &c : cases) {
        const QString source = env.root() + "in/" + c.file;
        const RecordPhotos::Added added = photos.addFromFile(source);
        EXPECT_EQ(added.refused, "Die Datei '" + source + "' wird nicht als Foto übernommen: " + c.reason) << c.file;
        EXPECT_EQ(added.number, 0) << c.file;
        EXPECT_FALSE(added.error) << c.file;
    }
    EXPECT_TRUE(QDir(dir()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    // A picture whose name says otherwise is still a picture.
    writeBytes(env.root() + "in/bild.txt", pictureBytes(16, 12, "png"));
    EXPECT_EQ(photos.addFromFile(env.root() + "in/bild.txt").number, 1);
}

TEST_F(RecordPhotosTest, AMissingPhotoDirectoryIsNamedInGermanWithoutANumber)
{
    writeBytes(env.root() + "in/teil.jpg", pictureBytes(16, 12));
    QDir(dir()).removeRecursively();
    const RecordPhotos::Added added = RecordPhotos(dir(), "P4711").addFromFile(env.root() + "in/teil.jpg");
    ASSERT_TRUE(added.error);
    EXPECT_EQ(retryReportText("Aufgetreten in Form3.Command1_Click", *added.error),
              "Der Ordner existiert nicht: '" + QDir::cleanPath(dir()) + "'\r\rAufgetreten in Form3.Command1_Click");
}

TEST_F(RecordPhotosTest, AnUnreadablePhotoGivesANullPictureAndAReason)
{
    const QByteArray jpeg = pictureBytes(400, 300);
    put("Foto_A_1.jpg", jpeg.left(120));
    put("Foto_A_2.jpg", "Dies ist kein Bild\n");
    put("Foto_A_3.jpg", jpeg);
    put("Foto_A_4.jpg", "");
    const struct {
        const char *name;
        const char *why;
    } cases[] = {{"Foto_A_1.jpg", "Die Datei ist beschädigt, das Bild darin kann nicht gelesen werden."},
                 {"Foto_A_2.jpg", "Die Datei ist kein Bild."},
                 {"Foto_A_4.jpg", "Die Datei ist leer."},
                 {"Foto_A_9.jpg", "Die Datei existiert nicht."}};
    for (const auto &c : cases) {
        const PhotoReader::Result read = PhotoReader::readScaled(dir() + c.name, QSize(200, 150));
        EXPECT_TRUE(read.image.isNull()) << c.name;
        EXPECT_EQ(read.why, QString::fromUtf8(c.why)) << c.name;
        EXPECT_EQ(PhotoReader::unreadableText(dir() + c.name, read),
                  "Das Foto '" + dir() + c.name + "' kann nicht angezeigt werden: " + QString::fromUtf8(c.why));
    }
    // The preview is decoded at its own size, never larger than the photo.
    EXPECT_EQ(PhotoReader::readScaled(dir() + "Foto_A_3.jpg", QSize(200, 200)).image.size(), QSize(200, 150));
    EXPECT_EQ(PhotoReader::readScaled(dir() + "Foto_A_3.jpg", QSize(1000, 1000)).image.size(), QSize(400, 300));
}

// 20000 × 20000 pixels, 1.6 GB decoded: far above what Qt decodes on its
// own (128 or 256 MB, by version), a valid picture all the same.
TEST_F(RecordPhotosTest, AValidHugePictureIsShownOrToldTooLargeButNeverDamaged)
{
    const QString path = dir() + "Foto_A_1.png";
    writeOneColourPng(path, 20000, 20000, 200, 120, 40);
    constexpr qint64 kMB = 1024 * 1024;

    // The preview is decoded at its size, in little memory.
    const PhotoReader::Result preview = PhotoReader::readScaled(path, QSize(240, 180), 64 * kMB);
    ASSERT_FALSE(preview.image.isNull()) << preview.why.toStdString();
    EXPECT_EQ(preview.image.size(), QSize(180, 180));
    EXPECT_EQ(preview.image.pixel(90, 90), qRgb(200, 120, 40));

    // 1:1 where the memory set aside allows it.
    {
        const PhotoReader::Result whole = PhotoReader::read(path, 2048 * kMB);
        ASSERT_FALSE(whole.image.isNull()) << whole.why.toStdString();
        EXPECT_EQ(whole.image.size(), QSize(20000, 20000));
        EXPECT_EQ(whole.image.pixel(19999, 19999), qRgb(200, 120, 40));
    }

    // Told in words where it does not, judged before anything is decoded.
    const PhotoReader::Result tooLarge = PhotoReader::read(path, 1024 * kMB);
    EXPECT_TRUE(tooLarge.image.isNull());
    EXPECT_TRUE(tooLarge.tooLarge);
    EXPECT_EQ(PhotoReader::unreadableText(path, tooLarge),
              "Das Foto '" + path + "' ist zu groß zum Anzeigen: 20000 × 20000 Bildpunkte (400 Megapixel) brauchen "
                                    "1526 MB Arbeitsspeicher, für ein Foto sind höchstens 1024 MB vorgesehen.");
    // And it is a picture a record may take as its photo.
    EXPECT_FALSE(PhotoReader::refusalAsPhoto(path));
}

} // namespace
} // namespace zep::test
