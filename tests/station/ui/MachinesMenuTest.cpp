#include "UiFixture.h"

#include "machines/ui/MaintenanceDueWindow.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

using namespace zep;
using namespace zep::test;

namespace {

struct MachinesMenu : ::testing::Test, UiFixture {
    void addDueMachine(const QString &name)
    {
        ASSERT_TRUE(state->database.execute(
            "INSERT INTO Maschinen (Bezeichnung, Standort, WartungsArt1, WartStart1) VALUES (?, 'Halle', 1, ?)",
            {name, QDateTime(QDate(2026, 12, 1), QTime(8, 0))}));
    }
};

TEST_F(MachinesMenu, StartUpShowsDueTasksSilentlyAndTheMenuSaysWhenNothingIsDue)
{
    prepareRegularStart();
    ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
    EXPECT_FALSE(window->dueWindow());
    EXPECT_TRUE(prompts.asked().isEmpty());
    window->action("mmWartungen")->trigger();
    EXPECT_EQ(prompts.titles(), QStringList({"ZEP"}));
    EXPECT_EQ(prompts.asked()[0].text, "Keine Wartungsfälligkeiten für heute gefunden!");

    addDueMachine("Drehbank");
    prompts.clear();
    window->action("mmWartungen")->trigger();
    ASSERT_TRUE(window->dueWindow());
    EXPECT_TRUE(window->dueWindow()->isVisible());
    EXPECT_EQ(window->dueWindow()->parent(), window.get());
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(MachinesMenu, DueTasksOpenTheirWindowAtStartUp)
{
    prepareRegularStart();
    {
        Database db;
        ASSERT_TRUE(db.open(dbPath()));
        ASSERT_TRUE(db.execute("INSERT INTO Maschinen (Bezeichnung, Standort, WartungsArt1, WartStart1) VALUES "
                               "('Fräse', 'Halle', 2, ?)",
                               {QDateTime(QDate(2026, 11, 1), QTime(8, 0))}));
    }
    ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
    ASSERT_TRUE(window->dueWindow());
    EXPECT_EQ(window->dueWindow()->list()->topLevelItemCount(), 1);
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(MachinesMenu, TheWizardCreatesAMachineThatTheMachineFilterListsAtOnce)
{
    prepareRegularStart();
    settings.write("Settings", "HideWizSide1", "1");
    ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
    onModal = [this](QDialog &dialog) {
        EXPECT_EQ(dialog.objectName(), "frmWizard");
        dialog.findChild<QLineEdit *>("bezeichnung")->setText("Drehbank 3");
        dialog.findChild<QLineEdit *>("standort")->setText("Halle 2");
        prompts.queueAnswer(PromptAnswer::Yes);
        dialog.findChild<QPushButton *>("next")->click();
        dialog.findChild<QPushButton *>("next")->click();
        return dialog.result();
    };
    window->action("mmWizard")->trigger();
    EXPECT_EQ(prompts.asked().last().text, "Die Maschine wurde angelegt!");
    EXPECT_GE(window->machineFilter()->findText("Drehbank 3", Qt::MatchStartsWith), 1);
}

TEST_F(MachinesMenu, TheMachineManagerAsksForThePasswordAndItsNewMachineIsInTheFilterAfterwards)
{
    prepareRegularStart();
    ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
    settings.write("Settings", "Passwort", "geheim");
    QStringList offered;
    window->setLoginRunner([&](const QString &stored) { return offered << stored, false; });
    window->action("mmMaschinen")->trigger();
    EXPECT_EQ(offered, QStringList{"geheim"});
    EXPECT_TRUE(modalTitles.isEmpty());

    window->setLoginRunner([](const QString &) { return true; });
    bool timerStopped = false;
    onModal = [&](QDialog &dialog) {
        EXPECT_EQ(dialog.objectName(), "Form6");
        timerStopped = !station->monitoring();
        EXPECT_EQ(window->statusText(), "Maschinenverwaltung");
        dialog.findChild<QPushButton *>("Command1")->click();
        dialog.findChild<QPushButton *>("Command3")->click();
        return dialog.result();
    };
    window->action("mmMaschinen")->trigger();
    EXPECT_TRUE(timerStopped);
    EXPECT_TRUE(station->monitoring());
    EXPECT_EQ(window->statusText(), "Bereit");
    EXPECT_GE(window->machineFilter()->findText("neue Maschine", Qt::MatchStartsWith), 1);
}

} // namespace
