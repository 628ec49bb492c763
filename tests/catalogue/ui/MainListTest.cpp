#include "../../station/ui/UiFixture.h"
#include "station/StationInternals.h"

#include "app/ui/TraceWindow.h"
#include "catalogue/MonitoredDirectory.h"
#include "station/ui/MainListController.h"
#include "catalogue/RecordListModel.h"
#include "catalogue/ui/RecordListView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace zep::test {
namespace {

struct MainListTest : ::testing::Test, UiFixture {
    void SetUp() override
    {
        prepareRegularStart();
        QDir().mkpath(dataDir());
        Database db;
        ASSERT_TRUE(db.open(dbPath()));
        ASSERT_TRUE(db.execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES ('DMU 50', 'Halle 1')"));
        auto add = [&](const char *name, const char *kunde, int machine, const QDate &date) {
            ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Bezeichnung, Kunde, MaschinenIndex, Datum) "
                                   "VALUES (?, 'Teil', ?, ?, ?)",
                                   {QString(name), QString::fromUtf8(kunde), machine, QDateTime(date, QTime(8, 0))}));
        };
        add("B.NC", "Zander", 1, QDate(2026, 1, 5));
        add("A.NC", "Müller's", 0, QDate(2026, 6, 1));
        add("C.NC", "Albrecht", 1, QDate(2025, 2, 3));
        db.close();
        ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
        showActive();
    }
    QString dataDir() const { return env.root() + "data/"; }
    bool recordCommandsEnabled() const
    {
        bool all = true, none = true;
        for (int n : {1, 3, 4, 6, 7}) {
            all = all && window->command(n)->isEnabled();
            none = none && !window->command(n)->isEnabled();
        }
        for (const char *a : {"mmSpeichern", "mmMDatensatzBearbeiten", "mmMDatensatzLöschen", "mmMProgSenden",
                              "mmMProgBearbeiten"}) {
            all = all && window->action(QString::fromUtf8(a))->isEnabled();
            none = none && !window->action(QString::fromUtf8(a))->isEnabled();
        }
        EXPECT_TRUE(all || none);
        return all;
    }
};

TEST_F(MainListTest, EnterSearchesFillsTheListSortedAndEnablesTheRecordCommands)
{
    EXPECT_FALSE(recordCommandsEnabled());
    EXPECT_TRUE(window->command(2)->isEnabled());
    EXPECT_EQ(window->machineFilter()->itemText(0), "keine Auswahl");
    EXPECT_EQ(window->machineFilter()->itemText(1), "DMU 50 / Halle 1");

    searchFor("");
    EXPECT_EQ(listColumn(0), QStringList({"A.NC", "B.NC", "C.NC"}));
    EXPECT_EQ(listColumn(RecordRow::Maschine), QStringList({"", "DMU 50 / Halle 1", "DMU 50 / Halle 1"}));
    EXPECT_EQ(window->grid()->selectedRecord(), 0);
    EXPECT_TRUE(recordCommandsEnabled());
    EXPECT_EQ(window->statusText(), "Bereit");
    EXPECT_EQ(window->searchField()->selectedText(), "");

    searchFor("müller'S");
    EXPECT_EQ(listColumn(0), QStringList({"A.NC"}));
    EXPECT_EQ(window->searchField()->selectedText(), "müller'S");

    window->machineFilter()->setCurrentIndex(1);
    searchFor("");
    EXPECT_EQ(listColumn(0), QStringList({"B.NC", "C.NC"}));

    searchFor("gibtsnicht");
    EXPECT_EQ(window->statusText(), "NIX GEFUNDEN!");
    EXPECT_EQ(window->grid()->records()->rowCount(), 0);
    EXPECT_FALSE(recordCommandsEnabled());
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(MainListTest, HeadingClicksSortByDateNewestFirstAndByTextAToZ)
{
    searchFor("");
    QHeaderView *header = window->grid()->horizontalHeader();
    auto clickHeading = [&](int c) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(c) + 5, header->height() / 2));
    };
    clickHeading(RecordRow::Datum);
    EXPECT_EQ(listColumn(0), QStringList({"A.NC", "B.NC", "C.NC"}));
    EXPECT_EQ(header->sortIndicatorSection(), RecordRow::Datum);
    clickHeading(RecordRow::Datum);
    EXPECT_EQ(listColumn(0), QStringList({"A.NC", "B.NC", "C.NC"}));
    clickHeading(RecordRow::Kunde);
    EXPECT_EQ(listColumn(RecordRow::Kunde), QStringList({"Albrecht", "Müller's", "Zander"}));
    EXPECT_EQ(window->grid()->selectedRecord(), 0);
}

TEST_F(MainListTest, TraceWindowShowsTheStatement)
{
    window->toggleTraceWindow();
    searchFor("O'NEIL");
    EXPECT_TRUE(window->traceWindow()->text().contains(
        "SQL: SELECT * FROM DateiListe WHERE Dateiname LIKE '*O''NEIL*' OR Bezeichnung"));
}

TEST_F(MainListTest, ShiftFunctionKeysInsertPresetsAtTheCaret)
{
    settings.write("Vorgaben", "F3", "Müller");
    window->searchField()->setText("A B");
    window->searchField()->setCursorPosition(2);
    QTest::keyClick(window->searchField(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(window->searchField()->text(), "A MüllerB");
    QTest::keyClick(window->searchField(), Qt::Key_F3);
    QTest::keyClick(window->searchField(), Qt::Key_F3, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(window->searchField()->text(), "A MüllerB");
    // A held key repeats press and release; only the real release inserts.
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_F3, Qt::ShiftModifier, QString(), true);
    QApplication::sendEvent(window->searchField(), &repeated);
    EXPECT_EQ(window->searchField()->text(), "A MüllerB");
    window->searchField()->selectAll();
    QTest::keyClick(window->searchField(), Qt::Key_F4, Qt::ShiftModifier); // empty preset
    EXPECT_EQ(window->searchField()->text(), "");
}

TEST_F(MainListTest, DeleteAsksDeletesAndSearchesAgain)
{
    env.writeFile("data/a.nc", "X");
    searchFor("");
    prompts.queueAnswer(PromptAnswer::Yes);
    window->command(1)->click();
    EXPECT_EQ(listColumn(0), QStringList({"B.NC", "C.NC"}));
    EXPECT_FALSE(QFile::exists(dataDir() + "a.nc"));
    EXPECT_EQ(prompts.titles(), QStringList({"Löschen?"}));
}

TEST_F(MainListTest, CommandsForAMissingProgramFileSayItIsMissing)
{
    searchFor("");
    window->command(4)->click();
    window->command(7)->click();
    EXPECT_EQ(prompts.titles(), QStringList({"Datei fehlt!", "Datei fehlt!"}));
    EXPECT_EQ(prompts.asked().first().text, "Die Datei '" + dataDir() + "A.NC' konnte nicht gefunden werden!");
    EXPECT_TRUE(station->monitoring());
}

TEST_F(MainListTest, RightClickSelectsTheRecordUnderTheMouse)
{
    searchFor("");
    RecordListView *grid = window->grid();
    const QRect second = grid->visualRect(grid->records()->index(1, 0));
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, second.center());
    EXPECT_EQ(grid->selectedRecord(), 1);
}

TEST_F(MainListTest, TickCataloguesNewFilesAndCtrlNRebuildsTheList)
{
    env.writeFile("data/Drehen/neu.nc", "X");
    window->showMinimized();
    station->tick();
    searchFor("NEU");
    EXPECT_EQ(listColumn(0), QStringList({"DREHEN\\NEU.NC"}));
    EXPECT_EQ(listColumn(RecordRow::Bezeichnung), QStringList({"Neue Datei"}));
    EXPECT_FALSE(window->isMinimized());

    showActive();
    env.writeFile("data/zwei.nc", "X");
    // Declined first: the rebuilt list holds it, the catalogue does not.
    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(prompts.titles(), QStringList({"ZEP", "Dateien ohne Datensatz"}));
    EXPECT_EQ(prompts.asked().first().text, "Dateiliste neu eingelesen!");
    EXPECT_TRUE(prompts.asked().last().text.startsWith("Im Überwachungsverzeichnis liegen 1 Dateien ohne Datensatz"));
    EXPECT_EQ(StationInternals::files(*station).count(), 2);
    station->tick();
    searchFor("ZWEI");
    EXPECT_EQ(window->statusText(), "NIX GEFUNDEN!");
    // Ctrl+N again, and yes: every listed file has its record.
    prompts.clear();
    prompts.queueAnswer(PromptAnswer::Ok);
    prompts.queueAnswer(PromptAnswer::Yes);
    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    searchFor("ZWEI");
    EXPECT_EQ(listColumn(0), QStringList({"ZWEI.NC"}));
    EXPECT_EQ(listColumn(RecordRow::Bezeichnung), QStringList({"Neue Datei"}));
}

} // namespace
} // namespace zep::test
