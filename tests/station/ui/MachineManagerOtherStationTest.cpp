#include "UiFixture.h"

#include "db/RowReader.h"
#include "machines/MachineSession.h"
#include "machines/ui/MachineManager.h"
#include "support/PostgresServer.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace zep::test {
namespace {

// The machine manager of a station whose catalogue is on a server while
// another station changes the machines.
struct MachineManagerOtherStation : ::testing::Test, UiFixture {
    long machineNumber(const QString &bezeichnung)
    {
        long out = 0;
        other.readRows("SELECT Maschinennummer FROM Maschinen WHERE Bezeichnung = ?", {bezeichnung},
                       [&](const RowReader &r) { out = r.integer(0); });
        return out;
    }
    QStringList names(const MachineManager &manager) const
    {
        QStringList out;
        QTreeWidget *list = manager.controls().list;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            out << list->topLevelItem(i)->text(1) + " / " + list->topLevelItem(i)->text(2);
        return out;
    }

    Database other; // the other station's connection
};

TEST_F(MachineManagerOtherStation, ListAndMachineShownFollowTheOtherStationWithinASecond)
{
    auto &server = PostgresServer::shared();
    ASSERT_TRUE(server.running()) << qPrintable(server.error());
    const QString database = server.createDatabase();
    ASSERT_FALSE(database.isEmpty());
    storeDirectories();
    QDir().mkpath(env.root() + "data/");
    settings.write("Settings", "Datenbank", server.url(database));
    ASSERT_TRUE(other.openServer(server.url(database)));
    ASSERT_EQ(CheckOldDB(other).outcome, SchemaCheck::Upgraded);
    ASSERT_TRUE(other.execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES ('Drehbank ', 'Halle 1 ')"));
    const long drehbank = machineNumber("Drehbank ");
    ASSERT_GT(drehbank, 0);
    ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);

    bool opened = false;
    onModal = [&](QDialog &dialog) {
        auto *manager = qobject_cast<MachineManager *>(&dialog);
        if (!manager)
            return 0;
        opened = true;
        const MachineManagerControls &c = manager->controls();
        EXPECT_EQ(manager->loadedMachine(), drehbank);

        // A machine made there is listed; the one shown here stays chosen.
        EXPECT_TRUE(other.execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES ('Fräse ', 'Halle 2 ')"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return c.list->topLevelItemCount() == 2; }, 1000));
        EXPECT_EQ(names(*manager), QStringList({"Drehbank / Halle 1", "Fräse / Halle 2"}));
        EXPECT_TRUE(c.list->currentItem() && c.list->currentItem()->text(1) == "Drehbank");

        // Changed there while nobody edits it here: the fields show it.
        EXPECT_TRUE(other.execute("UPDATE Maschinen SET Standort='Halle 3 ' WHERE Maschinennummer=?",
                                  {qlonglong(drehbank)}));
        EXPECT_TRUE(QTest::qWaitFor([&] { return c.standort->text() == "Halle 3"; }, 1000));
        EXPECT_EQ(c.hint->text(), MachineSession::changedElsewhereNotice("Drehbank", false));
        EXPECT_FALSE(c.hint->isHidden());
        EXPECT_EQ(names(*manager).first(), "Drehbank / Halle 3");

        // Changed there while the user types here: the typing stays.
        c.bezeichnung->selectAll();
        QTest::keyClicks(c.bezeichnung, "Drehbank 7");
        EXPECT_TRUE(other.execute("UPDATE Maschinen SET Bezeichnung='Drehbank alt ' WHERE Maschinennummer=?",
                                  {qlonglong(drehbank)}));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return c.hint->text() == MachineSession::changedElsewhereNotice("Drehbank alt", true); }, 1000))
            << qPrintable(c.hint->text());
        EXPECT_EQ(c.bezeichnung->text(), "Drehbank 7");
        EXPECT_EQ(names(*manager).first(), "Drehbank alt / Halle 3");

        // Deleted there: it goes from the list, what was typed stays, and
        // nothing of it is stored to any machine.
        EXPECT_TRUE(other.execute("DELETE FROM Maschinen WHERE Maschinennummer=?", {qlonglong(drehbank)}));
        EXPECT_TRUE(QTest::qWaitFor([&] { return c.list->topLevelItemCount() == 1; }, 1000));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return c.hint->text() == MachineSession::deletedElsewhereNotice("Drehbank"); }, 1000))
            << qPrintable(c.hint->text());
        EXPECT_EQ(c.bezeichnung->text(), "Drehbank 7");
        EXPECT_FALSE(c.bezeichnung->isEnabled());
        EXPECT_FALSE(c.maintenancePage->isEnabled());
        EXPECT_TRUE(c.tabs->isEnabled());
        EXPECT_EQ(manager->loadedMachine(), 0);
        EXPECT_EQ(machineNumber("Drehbank 7 "), 0);

        // "Neue Maschine" makes it again from what the fields show.
        c.newMachine->click();
        EXPECT_EQ(c.list->topLevelItemCount(), 2);
        EXPECT_GT(manager->loadedMachine(), drehbank);
        EXPECT_EQ(c.bezeichnung->text(), "Drehbank 7");
        EXPECT_EQ(c.standort->text(), "Halle 3");
        EXPECT_TRUE(c.bezeichnung->isEnabled());
        EXPECT_TRUE(c.hint->isHidden());
        c.back->click();
        return dialog.result();
    };
    window->action("mmMaschinen")->trigger();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(prompts.asked().isEmpty()) << qPrintable(prompts.asked().first().text);
    int machines = -1;
    other.readRows("SELECT count(*) FROM Maschinen", {}, [&](const RowReader &r) { machines = r.integer(0); });
    EXPECT_EQ(machines, 2);
    EXPECT_GT(machineNumber("Drehbank 7 "), drehbank);
}

} // namespace
} // namespace zep::test
