#include "../../station/ui/UiFixture.h"

#include "app/CatalogueNames.h"
#include "catalogue/RecordListModel.h"
#include "catalogue/ui/RecordListView.h"

#include <QDir>
#include <QLineEdit>
#include <QToolButton>

namespace zep::test {
namespace {

// Two files whose names differ only in letter case share one stored name.
// Every command that goes from a record to its file takes the one join of
// directory and stored name, also when the directory setting lacks its "/".
struct CaseTwinCommandsTest : ::testing::Test, UiFixture {
    void SetUp() override
    {
        prepareRegularStart();
        // Set by hand, without the closing "/".
        settings.write("Settings", "Verzeichnis", env.root() + "data");
        env.writeFile("data/dup.nc", "klein");
        env.writeFile("data/DUP.NC", "GROSS");
        env.writeFile("data/Drehen/einzel.nc", "EINZEL");
        Database db;
        ASSERT_TRUE(db.open(dbPath()));
        for (const char *name : {"DUP.NC", "DREHEN\\EINZEL.NC", "WEG.NC"})
            ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Bezeichnung) VALUES (?, 'Teil')",
                                   {QString::fromLatin1(name)}));
        db.close();
        ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
        prompts.clear();
        window->setModalRunner([this](QDialog &dialog) {
            modalTitles << dialog.windowTitle();
            return 0;
        });
    }
    void select(const QString &name)
    {
        window->searchField()->setText(name);
        QTest::keyClick(window->searchField(), Qt::Key_Return);
        ASSERT_EQ(window->grid()->records()->rowCount(), 1);
        window->grid()->selectRecord(0);
        prompts.clear();
    }
    QString twins() const { return CatalogueNames::twinsText("DUP.NC"); }
    QString data() const { return env.root() + "data/"; }
};

TEST_F(CaseTwinCommandsTest, SendAndEditProgramTellTheTwinsAndOpenNothing)
{
    select("DUP");
    window->command(7)->click();
    window->command(4)->click();
    EXPECT_EQ(prompts.messageTexts(), QStringList({twins(), twins()}));
    EXPECT_EQ(prompts.titles(), QStringList({"Datei doppelt!", "Datei doppelt!"}));
    EXPECT_TRUE(modalTitles.isEmpty());
}

TEST_F(CaseTwinCommandsTest, ExportAndDeleteTouchNeitherTwin)
{
    select("DUP");
    const QString target = env.root() + "usb/DUP.NC";
    QDir().mkpath(env.root() + "usb");
    prompts.queuePath(target);
    window->command(6)->click();
    EXPECT_EQ(prompts.messageTexts(), QStringList({twins()}));
    EXPECT_FALSE(QFile::exists(target));

    prompts.clear();
    prompts.queueAnswer(PromptAnswer::Yes);
    window->command(1)->click();
    EXPECT_EQ(prompts.titles(), QStringList({"Löschen?", "Löschen?"}));
    EXPECT_EQ(prompts.asked().last().text, twins());
    EXPECT_EQ(env.readFile(data() + "dup.nc"), "klein");
    EXPECT_EQ(env.readFile(data() + "DUP.NC"), "GROSS");
    window->searchField()->setText("DUP");
    QTest::keyClick(window->searchField(), Qt::Key_Return);
    EXPECT_EQ(window->grid()->records()->rowCount(), 1);
}

TEST_F(CaseTwinCommandsTest, ADirectoryWithoutItsSeparatorStillFindsAndNamesTheFile)
{
    // A missing file is named with the separator in place.
    select("WEG");
    window->command(7)->click();
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().first().text, "Die Datei '" + data() + "WEG.NC' konnte nicht gefunden werden!");

    // A file in a subdirectory is found under its real case and exported.
    select("EINZEL");
    const QString target = env.root() + "usb/einzel.nc";
    QDir().mkpath(env.root() + "usb");
    prompts.queuePath(target);
    window->command(6)->click();
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
    EXPECT_EQ(env.readFile(target), "EINZEL");
    // Sending it opens the send dialog.
    window->command(7)->click();
    EXPECT_EQ(modalTitles, QStringList({"Datenübertragung"}));
    // Deleting it deletes exactly that file.
    prompts.clear();
    prompts.queueAnswer(PromptAnswer::Yes);
    window->command(1)->click();
    EXPECT_FALSE(QFile::exists(data() + "Drehen/einzel.nc"));
    EXPECT_EQ(prompts.titles(), QStringList({"Löschen?"}));
}

} // namespace
} // namespace zep::test
