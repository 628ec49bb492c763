#include "../../station/ui/UiFixture.h"
#include "station/StationInternals.h"
#include "../RecordRows.h"

#include "catalogue/RecordListModel.h"
#include "catalogue/RecordSession.h"
#include "catalogue/ui/RecordEditor.h"
#include "catalogue/ui/RecordEditors.h"
#include "catalogue/ui/RecordListView.h"
#include "station/ui/MainDialogs.h"
#include "support/PostgresServer.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>

namespace zep::test {
namespace {

// The windows of a station whose catalogue another station (or another
// program) changes meanwhile.
struct SharedCatalogueWindows : ::testing::Test, UiFixture, PostgresDatabase {
    // `server` empty: the catalogue file.
    void start(const QString &server = {})
    {
        storeDirectories();
        QDir().mkpath(env.root() + "data/");
        if (server.isEmpty()) {
            ASSERT_TRUE(createFreshDatabase(dbPath()));
            ASSERT_TRUE(other.open(dbPath()));
        } else {
            settings.write("Settings", "Datenbank", server);
            ASSERT_TRUE(other.openServer(server));
            ASSERT_EQ(CheckOldDB(other).outcome, SchemaCheck::Upgraded);
        }
        a = insertRecord(other, "A.NC", 0, "Zander");
        b = insertRecord(other, "B.NC", 0, "Albrecht");
        ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
        showActive();
    }
    void TearDown() override { window->dialogs().closeRecordEditors(); }


    Database other; // the other station's (or program's) connection
    long a = 0, b = 0;
};

TEST_F(SharedCatalogueWindows, ListFollowsTheOtherStationsChangesWithinASecond)
{
    ASSERT_NO_FATAL_FAILURE(takeFreshDatabase());
    start(url);
    searchFor("");
    ASSERT_EQ(listColumn(RecordRow::Datei), QStringList({"A.NC", "B.NC"}));
    window->grid()->selectRecord(1);

    // An editor open on the record says at once that it was changed there.
    window->dialogs().openRecordEditor(a);
    ASSERT_TRUE(window->dialogs().recordEditors()->editor(a));
    ASSERT_TRUE(other.execute("UPDATE DateiListe SET Kunde=? WHERE DateiIndex=?", {"Müller", qlonglong(a)}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return listColumn(RecordRow::Kunde).contains("Müller"); }, 1000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->statusText() == RecordSession::changedElsewhereNotice("A.NC"); }, 1000))
        << qPrintable(window->statusText());

    const long c = insertRecord(other, "C.NC", 0, "Berger");
    ASSERT_GT(c, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return listColumn(RecordRow::Datei).size() == 3; }, 1000));
    ASSERT_TRUE(other.execute("DELETE FROM DateiListe WHERE DateiIndex=?", {qlonglong(a)}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return listColumn(RecordRow::Datei) == QStringList({"B.NC", "C.NC"}); }, 1000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->statusText() == RecordSession::deletedElsewhereNotice("A.NC"); }, 1000))
        << qPrintable(window->statusText());
    // The selected record stays selected across the new search.
    const int selected = window->grid()->selectedRecord();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(window->grid()->records()->row(selected)[RecordRow::Datei], "B.NC");

    // Machines made at the other station appear in the filter; the machine
    // chosen here stays chosen.
    ASSERT_TRUE(other.execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES ('DMU 50', 'Halle 1')"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->machineFilter()->count() == 2; }, 1000));
    window->machineFilter()->setCurrentIndex(1);
    ASSERT_TRUE(other.execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES ('CTX 400', 'Halle 2')"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->machineFilter()->count() == 3; }, 1000));
    EXPECT_EQ(window->machineFilter()->currentText(), "DMU 50 / Halle 1");
}

TEST_F(SharedCatalogueWindows, EditorSavingARecordChangedMeanwhileShowsBothVersions)
{
    start();
    window->dialogs().openRecordEditor(a);
    RecordEditor *form = window->dialogs().recordEditors()->editor(a);
    ASSERT_TRUE(form);
    ASSERT_TRUE(other.execute("UPDATE DateiListe SET Kunde=? WHERE DateiIndex=?", {"Müller", qlonglong(a)}));

    auto *kunde = static_cast<QLineEdit *>(form->field(RecordFields::Kunde));
    kunde->setText("Meier");
    // Taking the other version: the editor shows it and stays open.
    prompts.queueAnswer(PromptAnswer::No);
    EXPECT_FALSE(form->uebernehmen());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().first().title, RecordSession::changedElsewhereTitle());
    EXPECT_TRUE(prompts.asked().first().text.contains("Kunde:\r    dort: \"Müller\"\r    hier: \"Meier\""));
    EXPECT_EQ(kunde->text(), "Müller");
    EXPECT_EQ(window->dialogs().recordEditors()->editor(a), form);
    EXPECT_EQ(recordColumn(other, a, "Kunde").toString(), "Müller");

    // Edited on from that version, the save goes through without a question.
    kunde->setText("Müller & Meier");
    EXPECT_TRUE(form->uebernehmen());
    EXPECT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(recordColumn(other, a, "Kunde").toString(), "Müller & Meier");
}

} // namespace
} // namespace zep::test
