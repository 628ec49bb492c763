#include "../MachinesFixture.h"

#include "machines/DueMaintenance.h"
#include "machines/MachinesService.h"
#include "machines/ui/MaintenanceDueWindow.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace zep::test {
namespace {

struct MaintenanceDueWindowTest : MachinesFixture {
    MachinesService machines{database, settings, prompts, clock};
    // As the station checks and the main window shows what is due.
    int check()
    {
        QList<DueTask> due;
        findDueMaintenance(database, prompts, clock, logbook, [&due](const QList<DueTask> &found) { due = found; });
        MaintenanceDueWindow::present({machines, prompts, clock, logbook}, due, window, nullptr);
        return int(due.size());
    }
    QPointer<MaintenanceDueWindow> window;
    ~MaintenanceDueWindowTest() override { delete window; }
};

TEST_F(MaintenanceDueWindowTest, DueTasksAreListedTickedOffAndAnOpenWindowIsOnlyBroughtToTheFront)
{
    const QDateTime old(QDate(2026, 11, 1), QTime(8, 0));
    const long a = addMachine("Drehbank", {{1, old}, {4, QDateTime(QDate(2026, 9, 1), QTime(8, 0))}});
    EXPECT_EQ(check(), 2);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "Wartungsplan Fälligkeiten");
    QTreeWidget *list = window->list();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    QTreeWidgetItem *first = list->topLevelItem(0);
    EXPECT_EQ(first->text(0), "Erledigt");
    EXPECT_EQ(first->checkState(0), Qt::Unchecked);
    EXPECT_EQ(first->text(1), "Drehbank  / Halle 1 ");
    EXPECT_EQ(first->text(2), "täglich");
    EXPECT_EQ(list->topLevelItem(1)->text(2), "quartal");
    EXPECT_EQ(first->text(4), QString::number(a));
    EXPECT_EQ(list->topLevelItem(1)->text(5), "2");
    EXPECT_EQ(window->detail()->toPlainText(), "Aufgabe 1 von Drehbank");
    list->setCurrentItem(list->topLevelItem(1));
    EXPECT_EQ(window->detail()->toPlainText(), "Aufgabe 2 von Drehbank");

    // A second check while it is open keeps the window and its ticks.
    list->topLevelItem(1)->setCheckState(0, Qt::Checked);
    MaintenanceDueWindow *open = window;
    EXPECT_EQ(check(), 2);
    EXPECT_EQ(window.data(), open);
    EXPECT_EQ(window->list()->topLevelItem(1)->checkState(0), Qt::Checked);

    clock.set(QDateTime(QDate(2026, 12, 7), QTime(11, 0)));
    QTest::mouseClick(window->findChild<QPushButton *>("ok"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);
    EXPECT_EQ(column(a, "WartStart1").toDateTime(), old);
    EXPECT_EQ(column(a, "WartStart2").toDateTime(), clock.now());
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(MaintenanceDueWindowTest, AMachineDeletedWhileTickedIsNamedAndTheOthersAreStillMarked)
{
    const QDateTime old(QDate(2026, 11, 1), QTime(8, 0));
    const long gone = addMachine("Weg", {{1, old}});
    const long kept = addMachine("Bleibt", {{1, old}});
    ASSERT_EQ(check(), 2);
    window->list()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    window->list()->topLevelItem(1)->setCheckState(0, Qt::Checked);
    ASSERT_TRUE(database.execute("DELETE * FROM Maschinen WHERE Maschinennummer=?", {qlonglong(gone)}));
    window->confirm();
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].text, "Die Maschine Weg  / Halle 1  konnte nicht aktualisiert werden! Bitte Autor "
                                       "benachrichtigen!");
    EXPECT_EQ(column(kept, "WartStart1").toDateTime(), clock.now());
}

TEST_F(MaintenanceDueWindowTest, NothingDueShowsNoWindowAndABadTaskIsToldAndLogged)
{
    addMachine("Neu");
    EXPECT_EQ(check(), 0);
    EXPECT_FALSE(window);
    EXPECT_TRUE(prompts.asked().isEmpty());

    addMachine("Ohne Datum", {{2, QVariant()}});
    EXPECT_EQ(check(), 0);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "Wartungsplan");
    EXPECT_TRUE(prompts.asked()[0].text.contains("Wartung 1 der Maschine Ohne Datum"));
    EXPECT_TRUE(QString::fromLatin1(env.readFile(env.programDir() + "Logbuch.txt")).contains("Ohne Datum"));
}

TEST_F(MaintenanceDueWindowTest, RetryAfterADatabaseErrorChecksAgain)
{
    addMachine("Drehbank", {{1, QDateTime(QDate(2026, 11, 1), QTime(8, 0))}});
    ASSERT_TRUE(database.execute("ALTER TABLE Maschinen RENAME TO Weg"));
    // The user puts things right while the report is open, then retries.
    prompts.queueAnswer(PromptAnswer::Retry);
    prompts.onMessage([this](const ScriptedPrompts::Asked &) {
        ASSERT_TRUE(database.execute("ALTER TABLE Weg RENAME TO Maschinen"));
    });
    EXPECT_EQ(check(), 1);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked()[0].text.contains("Form1.CheckWartungen"));
    EXPECT_TRUE(window);
}

} // namespace
} // namespace zep::test
