#include "../../station/ui/UiFixture.h"
#include "station/StationInternals.h"
#include "../RecordRows.h"
#include "support/OneColourPng.h"
#include "support/SaneTestDevice.h"

#include "app/ProgramSettings.h"
#include "catalogue/ui/RecordEditor.h"
#include "catalogue/ui/PhotoArea.h"
#include "catalogue/ui/PhotoView.h"
#include "catalogue/ui/RecordEditors.h"
#include "catalogue/ui/ScanSourceDialog.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QUrl>

namespace zep::test {
namespace {

QByteArray jpegBytes(int w, int h, int quality = 90)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x / 8 * 40) & 255, (y / 8 * 30) & 255, 90));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

// A press, one move with the button held, and the release.
void drag(QWidget *w, QPoint from, QPoint to)
{
    const QPointF global = w->mapToGlobal(QPointF(0, 0));
    QMouseEvent press(QEvent::MouseButtonPress, from, global + from, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent move(QEvent::MouseMove, to, global + to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, global + to, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

struct PhotoAreaTest : ::testing::Test, UiFixture {
    void SetUp() override
    {
        prepareRegularStart();
        QDir().mkpath(env.root() + "data/");
        QDir().mkpath(fotoDir());
        ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
        showActive();
    }
    void TearDown() override { window->dialogs().closeRecordEditors(); }

    QString fotoDir() const { return env.root() + "foto/"; }
    QStringList photoFiles() const { return QDir(fotoDir()).entryList(QDir::Files, QDir::Name); }
    long addRecord(const QString &name)
    {
        env.writeFile("data/" + name, "%\r\nM30\r\n");
        return insertRecord(StationInternals::database(*station), name);
    }
    RecordEditor *openEditor(long index)
    {
        window->dialogs().openRecordEditor(index);
        return window->dialogs().recordEditors()->editor(index);
    }
    PhotoArea *area(RecordEditor *form) { return form->photos(); }
    QStringList messages() const { return prompts.messageTexts(); }
    const ScriptedPrompts::Asked *lastAsked() const { return prompts.asked().isEmpty() ? nullptr : &prompts.asked().last(); }
};

TEST_F(PhotoAreaTest, TheEditorListsOnlyItsRecordsPhotosAndAddsFromAFile)
{
    const long index = addRecord("A");
    addRecord("A_B");
    env.writeFile("foto/Foto_A_1.jpg", jpegBytes(640, 480));
    env.writeFile("foto/Foto_A_B_1.jpg", jpegBytes(64, 48));
    env.writeFile("foto/Foto_A_B_2.jpg", jpegBytes(64, 48));
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    PhotoArea *photos = area(form);
    EXPECT_EQ(photos->names(), QStringList({"Foto_A_1.jpg"}));
    EXPECT_EQ(photos->selector()->minimum(), 1);
    EXPECT_EQ(photos->selector()->maximum(), 1);
    EXPECT_TRUE(photos->button("cmdFotoLoeschen")->isEnabled());
    EXPECT_TRUE(photos->button("cmdFotoGross")->isEnabled());
    EXPECT_EQ(photos->preview().size(), QSize(240, 180)); // decoded small
    for (const char *caption : {"Foto hinzufügen (aus Datei)", "Foto hinzufügen (über TWAIN)", "TWAIN-Quelle wählen...",
                                "Foto löschen", "Foto groß zeigen"}) {
        bool found = false;
        for (QPushButton *b : photos->findChildren<QPushButton *>())
            found = found || b->text() == QString::fromUtf8(caption);
        EXPECT_TRUE(found) << caption;
    }

    // From a file: the dialog starts in the photo directory, then where the
    // last photo came from; the copy keeps every byte.
    const QByteArray scan = jpegBytes(320, 200);
    env.writeFile("bilder/scan.jpeg", scan);
    prompts.queuePath(env.root() + "bilder/scan.jpeg");
    photos->button("cmdFotoDatei")->click();
    ASSERT_TRUE(lastAsked());
    EXPECT_EQ(lastAsked()->title, "Bilddatei wählen...");
    EXPECT_EQ(lastAsked()->filter, "Bilddateien (*.jpg, *.gif, *.bmp)|*.jpg;*.gif;*.bmp|alle Dateien (*.*)|*.*");
    EXPECT_EQ(QDir(lastAsked()->text).absolutePath(), QDir(fotoDir()).absolutePath());
    EXPECT_EQ(env.readFile(fotoDir() + "Foto_A_2.peg"), scan);
    EXPECT_EQ(photos->count(), 2);
    EXPECT_EQ(photos->selected(), 2);
    EXPECT_EQ(QDir(ProgramSettings::defaultFotoDir.read(settings, {})).absolutePath(), QDir(env.root() + "bilder").absolutePath());
    photos->addFromFile(); // cancelled: nothing happens
    EXPECT_EQ(QDir(lastAsked()->text).absolutePath(), QDir(env.root() + "bilder").absolutePath());
    EXPECT_EQ(photos->count(), 2);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(PhotoAreaTest, DeletingAsksAndTakesOnlyTheSelectedPhotoOfThisRecord)
{
    const long index = addRecord("A");
    env.writeFile("foto/Foto_A_1.jpg", jpegBytes(64, 48));
    env.writeFile("foto/Foto_A_2.jpg", jpegBytes(64, 48));
    env.writeFile("foto/Foto_A_B_2.jpg", jpegBytes(64, 48));
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    PhotoArea *photos = area(form);
    photos->select(2);
    photos->button("cmdFotoLoeschen")->click(); // answered No
    EXPECT_EQ(lastAsked()->text, "Wollen Sie wirklich dieses Foto löschen?");
    EXPECT_EQ(lastAsked()->title, "Foto Löschen?");
    EXPECT_EQ(lastAsked()->icon, PromptIcon::Question);
    EXPECT_EQ(photoFiles().size(), 3);
    photos->select(2);
    prompts.queueAnswer(PromptAnswer::Yes);
    photos->deletePhoto();
    EXPECT_EQ(photoFiles(), QStringList({"Foto_A_1.jpg", "Foto_A_B_2.jpg"}));
    EXPECT_EQ(photos->count(), 1);
    prompts.queueAnswer(PromptAnswer::Yes);
    photos->deletePhoto();
    EXPECT_EQ(photos->count(), 0);
    EXPECT_FALSE(photos->selector()->isEnabled());
    EXPECT_FALSE(photos->button("cmdFotoLoeschen")->isEnabled());
    EXPECT_FALSE(photos->button("cmdFotoGross")->isEnabled());
    EXPECT_TRUE(photos->preview().isNull());
    EXPECT_EQ(photoFiles(), QStringList({"Foto_A_B_2.jpg"}));
}

TEST_F(PhotoAreaTest, AllTenNumbersTakenStopsTheAddWithItsMessage)
{
    const long index = addRecord("X");
    for (int n = 1; n <= 10; ++n)
        env.writeFile(QString("foto/Foto_X_%1.%2").arg(n).arg(n == 1 ? "bmp" : "jpg"), jpegBytes(16, 16));
    env.writeFile("bilder/neu.jpg", jpegBytes(16, 16));
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    EXPECT_EQ(area(form)->count(), 10);
    prompts.queuePath(env.root() + "bilder/neu.jpg");
    area(form)->addFromFile();
    EXPECT_EQ(messages(), QStringList({"Kein freier Fotoname verfügbar! Entwickler kontaktieren!"}));
    EXPECT_EQ(lastAsked()->title, "Abbruch!");
    EXPECT_EQ(photoFiles().size(), 10);
}

TEST_F(PhotoAreaTest, MoreThanTenFilesAreToldOnceAndARenameListsThePhotosUnderTheNewName)
{
    const long index = addRecord("A1.NC");
    for (int n = 1; n <= 10; ++n)
        env.writeFile(QString("foto/Foto_A1.NC_%1.jpg").arg(n), jpegBytes(16, 16));
    env.writeFile("foto/Foto_A1.NC_4.png", jpegBytes(16, 16)); // a second file for number 4
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    EXPECT_EQ(messages(), QStringList({"Es sind zu viele Fotos für diese Datei gefunden worden. Verständigen Sie den "
                                       "Entwickler um die Grenze hochzusetzen!"}));
    EXPECT_EQ(lastAsked()->title, "Fehler!");
    EXPECT_EQ(area(form)->count(), 10);
    QFile::remove(fotoDir() + "Foto_A1.NC_4.png");

    form->startRename();
    form->fileNameField()->setText("B2.NC");
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([form] { return QApplication::activeWindow() == form; }));
    form->fileNameField()->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(form->fileNameField(), Qt::Key_Tab);
    QApplication::processEvents();
    ASSERT_EQ(form->fileNameField()->text(), "B2.NC");
    EXPECT_EQ(area(form)->count(), 10);
    EXPECT_TRUE(area(form)->names().first().startsWith("Foto_B2.NC_"));
}

TEST_F(PhotoAreaTest, AnUnreadablePhotoShowsAnEmptyPreviewAndNamesTheFile)
{
    const long index = addRecord("A");
    env.writeFile("foto/Foto_A_1.jpg", jpegBytes(640, 480).left(150)); // cut off
    env.writeFile("foto/Foto_A_2.jpg", "Dies ist kein Foto\n");
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    PhotoArea *photos = area(form);
    EXPECT_TRUE(photos->preview().isNull());
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().last().contains("Foto_A_1.jpg"));
    photos->select(2);
    EXPECT_TRUE(photos->preview().isNull());
    ASSERT_EQ(messages().size(), 2);
    EXPECT_TRUE(messages().last().contains("Foto_A_2.jpg"));
    photos->showLarge();
    EXPECT_FALSE(photos->largeView());
    EXPECT_EQ(messages().size(), 3);
}

TEST_F(PhotoAreaTest, APictureAboveQtsOwnDecodingLimitIsPreviewedAndShownLarge)
{
    const long index = addRecord("A");
    // 9000 × 8000: 288 MB decoded, more than Qt decodes on its own.
    writeOneColourPng(fotoDir() + "Foto_A_1.png", 9000, 8000, 30, 90, 160);
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    PhotoArea *photos = area(form);
    EXPECT_EQ(photos->preview().height(), 180);
    photos->showLarge();
    EXPECT_TRUE(messages().isEmpty()) << messages().join("|").toStdString();
    ASSERT_TRUE(photos->largeView());
    QApplication::processEvents();
    EXPECT_FALSE(photos->largeView()->horizontalBar()->isHidden());
    EXPECT_EQ(photos->largeView()->horizontalBar()->maximum(), 9000 - photos->largeView()->canvas()->width());
}

TEST_F(PhotoAreaTest, AnEmptyFileOrATextChosenAsPhotoIsRefusedAndNothingIsCopied)
{
    const long index = addRecord("A");
    env.writeFile("bilder/leer.jpg", "");
    env.writeFile("bilder/notiz.jpg", "Spannmittel: Schraubstock\n");
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    PhotoArea *photos = area(form);
    for (const QString name : {"leer.jpg", "notiz.jpg"}) {
        prompts.queuePath(env.root() + "bilder/" + name);
        photos->button("cmdFotoDatei")->click();
        ASSERT_TRUE(lastAsked());
        EXPECT_EQ(lastAsked()->title, "Foto");
        EXPECT_TRUE(lastAsked()->text.startsWith("Die Datei '" + env.root() + "bilder/" + name
                                                 + "' wird nicht als Foto übernommen: "))
            << lastAsked()->text.toStdString();
    }
    EXPECT_TRUE(QDir(fotoDir()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(photos->count(), 0);
}

TEST_F(PhotoAreaTest, AWidePhotoInTheLargeViewTakesTheWholeWidthAndStaysZoomed)
{
    const long index = addRecord("A");
    env.writeFile("foto/Foto_A_1.jpg", jpegBytes(3000, 120, 10));
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    area(form)->showLarge();
    PhotoView *view = area(form)->largeView();
    ASSERT_TRUE(view);
    QApplication::processEvents();
    EXPECT_TRUE(view->verticalBar()->isHidden());
    EXPECT_EQ(view->canvas()->width(), view->width());
    const QPoint centre(60, 60);
    drag(view->canvas(), centre, centre - QPoint(40, 40));
    QApplication::processEvents();
    ASSERT_TRUE(view->isZoomed());
    EXPECT_EQ(view->zoomedImage().size(), view->canvas()->size());
}

TEST_F(PhotoAreaTest, TheLargeViewScrollsZoomsFiltersAndClosesBeforeTheEditor)
{
    const long index = addRecord("A");
    env.writeFile("foto/Foto_A_1.jpg", jpegBytes(2000, 1600, 10));
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    area(form)->button("cmdFotoGross")->click();
    PhotoView *view = area(form)->largeView();
    ASSERT_TRUE(view);
    QApplication::processEvents();
    EXPECT_EQ(view->geometry(), form->rect());
    EXPECT_FALSE(view->horizontalBar()->isHidden());
    EXPECT_FALSE(view->verticalBar()->isHidden());
    EXPECT_EQ(view->horizontalBar()->maximum(), 2000 - view->canvas()->width());
    // The picture fills the view but for the scroll bar.
    EXPECT_EQ(view->canvas()->width() + view->verticalBar()->width(), view->width());
    EXPECT_TRUE(view->deBlockButton()->isHidden());
    EXPECT_EQ(view->deBlockButton()->toolTip(), "Versucht die Blöcke zu reduzieren");
    EXPECT_EQ(view->deBlockPlusButton()->toolTip(), "Versucht die Blöcke zu reduzieren und Konturen zu verstärken");

    // The limit is counted in twips: 20 pixels are 300 twips at 96 dpi.
    const double tpp = view->twipsPerPixel();
    QWidget *canvas = view->canvas();
    const QPoint centre(200, 150);
    const int small = int(300 / tpp / 2);
    drag(canvas, centre, centre + QPoint(small, small + 10));
    EXPECT_FALSE(view->isZoomed());
    drag(canvas, centre, centre - QPoint(small + 2, small + 2));
    ASSERT_TRUE(view->isZoomed());
    // Showing the filter buttons leaves the picture as it is.
    QApplication::processEvents();
    ASSERT_TRUE(view->isZoomed());
    EXPECT_EQ(view->zoomedImage().size(), canvas->size());
    EXPECT_FALSE(view->deBlockButton()->isHidden());
    EXPECT_FALSE(view->deBlockPlusButton()->isHidden());

    const QImage before = view->zoomedImage();
    view->deBlockPlusButton()->click();
    EXPECT_TRUE(view->deBlockButton()->isHidden()); // hidden while it runs
    EXPECT_TRUE(QTest::qWaitFor([view] { return !view->filterRunning(); }, 20000));
    EXPECT_FALSE(view->deBlockButton()->isHidden());
    EXPECT_NE(view->zoomedImage(), before);

    // A press unzooms; scrolling shows the photo 1:1 again.
    QTest::mouseClick(canvas, Qt::LeftButton, {}, centre);
    EXPECT_FALSE(view->isZoomed());
    EXPECT_TRUE(view->deBlockButton()->isHidden());

    // "Änderung verwerfen" closes the view only; then the editor.
    QPointer<RecordEditor> guard(form);
    form->verwerfen();
    QApplication::processEvents();
    EXPECT_TRUE(guard);
    EXPECT_FALSE(area(form)->largeView() && area(form)->largeView()->isVisible());
    area(form)->showLarge();
    ASSERT_TRUE(area(form)->largeView());
    QTest::mouseDClick(area(form)->largeView()->canvas(), Qt::LeftButton, {}, centre);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(area(form)->largeView());
    form->verwerfen();
    QApplication::processEvents();
    EXPECT_FALSE(guard);
}

TEST_F(PhotoAreaTest, APhotoFromTheScannerIsStoredAsJpegAndTheSourceIsKept)
{
    setUpSaneTestDevice();
    settings.write("Settings", "JPGQualitaet", "55");
    const long index = addRecord("P\\1");
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    PhotoArea *photos = area(form);

    onModal = [](QDialog &dialog) {
        auto *choice = dynamic_cast<ScanSourceDialog *>(&dialog);
        if (!choice)
            return 0;
        choice->list()->setCurrentRow(1);
        return int(QDialog::Accepted);
    };
    photos->button("cmdTwainQuelle")->click();
    EXPECT_TRUE(QTest::qWaitFor([this] { return modalTitles.contains("TWAIN-Quelle wählen"); }, 20000));
    EXPECT_EQ(ProgramSettings::twainQuelle.read(settings), "test:1");

    photos->button("cmdFotoTwain")->click();
    EXPECT_FALSE(photos->scanLabel()->isHidden());
    EXPECT_EQ(photos->scanLabel()->text(), "TWAIN einlesen läuft...");
    ASSERT_TRUE(QTest::qWaitFor([photos] { return !photos->scanRunning(); }, 20000));
    EXPECT_TRUE(messages().isEmpty()) << messages().join("\n").toStdString();
    EXPECT_EQ(photoFiles(), QStringList({"Foto_P-1_1.jpg"}));
    EXPECT_EQ(photos->count(), 1);
    EXPECT_FALSE(photos->preview().isNull());
    // Quality 55 packs smaller than the same scan at 95.
    const qint64 at55 = QFileInfo(fotoDir() + "Foto_P-1_1.jpg").size();
    settings.write("Settings", "JPGQualitaet", "95");
    photos->addFromScanner();
    ASSERT_TRUE(QTest::qWaitFor([photos] { return !photos->scanRunning(); }, 20000));
    EXPECT_GT(QFileInfo(fotoDir() + "Foto_P-1_2.jpg").size(), at55);
}

TEST_F(PhotoAreaTest, AScanThatFailsIsToldAndOneThatIsCancelledIsNot)
{
    const long index = addRecord("A");
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    PhotoArea *photos = area(form);

    setUpSaneTestDevice("enable-test-options true\nread-status-code \"SANE_STATUS_JAMMED\"\n");
    photos->addFromScanner();
    ASSERT_TRUE(QTest::qWaitFor([photos] { return !photos->scanRunning(); }, 20000));
    EXPECT_EQ(messages(), QStringList({"Entweder wurde kein Bild eingelesen oder der Transfer über das Clipboard schlug fehl!"}));
    EXPECT_EQ(lastAsked()->title, "TWAIN-Error");
    EXPECT_EQ(lastAsked()->icon, PromptIcon::Information);

    // A slow device: the window answers while it reads, and cancel stops it.
    setUpSaneTestDevice("enable-test-options true\nresolution 600\nread-limit true\nread-limit-size 1\n");
    photos->addFromScanner();
    QTest::qWait(150);
    EXPECT_TRUE(photos->scanRunning());
    photos->findChild<QPushButton *>("cmdTwainAbbrechen")->click();
    EXPECT_FALSE(photos->scanRunning());
    QTest::qWait(50);
    EXPECT_EQ(messages().size(), 1);
    EXPECT_TRUE(photoFiles().isEmpty());

    // Closing the editor during a scan ends the scan with it.
    photos->addFromScanner();
    form->verwerfen();
    QApplication::processEvents();
    EXPECT_TRUE(photoFiles().isEmpty());
}

TEST_F(PhotoAreaTest, DroppedPicturesAreAddedAndOtherFilesRefused)
{
    const long index = addRecord("A");
    env.writeFile("bilder/teil.jpg", jpegBytes(100, 80));
    env.writeFile("bilder/programm.nc", "%\r\nM30\r\n");
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    PhotoArea *photos = area(form);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(env.root() + "bilder/teil.jpg"), QUrl::fromLocalFile(env.root() + "bilder/programm.nc")});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(photos, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(photos, &drop);
    QApplication::processEvents();
    EXPECT_EQ(photoFiles(), QStringList({"Foto_A_1.jpg"}));
    EXPECT_EQ(env.readFile(fotoDir() + "Foto_A_1.jpg"), env.readFile(env.root() + "bilder/teil.jpg"));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().contains("programm.nc"));
    EXPECT_EQ(photos->count(), 1);
}

} // namespace
} // namespace zep::test
