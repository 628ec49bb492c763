#include "UiFixture.h"

#include "app/ui/TraceWindow.h"
#include "station/ui/StatusLamp.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include "catalogue/ui/RecordListView.h"
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {
struct MainWindowTest : ::testing::Test, UiFixture {};
} // namespace

TEST_F(MainWindowTest, ComesUpWithHeadingsDefaultWidthsStatusClockAndGreyLamps)
{
    prepareRegularStart();
    ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
    window->show();

    RecordListView *grid = window->grid();
    ASSERT_EQ(grid->model()->columnCount(), 9);
    QStringList headings;
    for (int i = 0; i < 9; ++i)
        headings << grid->model()->headerData(i, Qt::Horizontal).toString();
    EXPECT_EQ(headings, MainWindow::columnHeadings());
    EXPECT_TRUE(grid->isColumnHidden(6));
    EXPECT_TRUE(grid->isColumnHidden(8));
    // Widths follow the percentages: Bezeichnung 26 against Datei 15.
    EXPECT_NEAR(double(grid->columnWidth(1)) / grid->columnWidth(0), 26.0 / 15.0, 0.05);
    EXPECT_EQ(window->statusText(), "Bereit");
    EXPECT_TRUE(QTime::fromString(window->clockLabel()->text(), "HH:mm").isValid());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(window->lamp(i)->color(), LampColour::Grey);
        EXPECT_EQ(window->lamp(i)->toolTip(), QString("Maschine %1 nicht Aktiv").arg(i + 1));
    }
    EXPECT_TRUE(station->monitoring());
    EXPECT_EQ(station->monitoringInterval(), 5000);
}

TEST_F(MainWindowTest, HasEveryMenuItemWithItsCaption)
{
    const QList<QPair<QString, QString>> items{
        {"mmWartungen", "Wartungen prüfen"},
        {"mmDebugger", "RS232 Debugger"},
        {"mmInfo", "&Info"},
        {"mmEnde", "E&nde"},
        {"mmMDatensatzBearbeiten", "Datensatz Bearbeiten"},
        {"mmMDatensatzLöschen", "Datensatz löschen"},
        {"mmMProgSenden", "Programm senden"},
        {"mmMProgBearbeiten", "Programm bearbeiten"},
        {"mmSpeichern", "Programmdatei speichern..."},
        {"mmImport", "Programmdatei importieren..."},
        {"mmMaschinen", "&Maschinenverwaltung..."},
        {"mmWizard", "Maschinen-Assistent..."},
        {"mmEinst", "Programm-&Einstellungen..."},
        {"mmComPrefs", "&Kommunikations-Einstellungen..."},
        {"mmTasten", "&Tastenvorgaben..."},
        {"mmBackup", "Backup erstellen"},
        {"mmHilf", "Hilfe..."},
        {"mmDatensatzBearbeiten", "Datensatz bearbeiten"},
        {"mmDatensatzLöschen", "Datensatz und Datei löschen"},
        {"mmDatensatzÜbertragen", "Datei an Maschine übertragen..."},
        {"mmBearbeiten", "Datei bearbeiten"},
    };
    for (const auto &[name, caption] : items) {
        QAction *action = window->action(name);
        ASSERT_NE(action, nullptr) << name.toStdString();
        EXPECT_EQ(action->text(), caption);
    }
    QStringList menus;
    for (QAction *a : window->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{"&Programm", "&Datensatz", "Maschinenverwaltung", "Einstellungen", "&Sicherheit",
                                  "&Hilfe"}));
    EXPECT_EQ(window->command(1)->toolTip(), "Löscht den angewählten Datensatz incl. Programmdatei!");
    EXPECT_EQ(window->command(7)->toolTip(), "Programm an Maschine senden");
}

TEST_F(MainWindowTest, CtrlDTogglesTheTraceWindowAndItsFlag)
{
    prepareRegularStart();
    loadWindow();
    showActive();
    QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier);
    ASSERT_NE(window->traceWindow(), nullptr);
    EXPECT_TRUE(window->traceWindow()->isVisible());
    EXPECT_TRUE(state->traceFlag);
    window->appendTrace("Empfang COM2");
    EXPECT_TRUE(window->traceWindow()->text().contains("Empfang COM2"));

    QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_FALSE(window->traceWindow()->isVisible());
    EXPECT_FALSE(state->traceFlag);
    window->appendTrace("nach dem Schließen");
    EXPECT_FALSE(window->traceWindow()->text().contains("nach dem Schließen"));
}

TEST_F(MainWindowTest, EscapeMinimises)
{
    prepareRegularStart();
    loadWindow();
    showActive();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(window->isMinimized());
}

TEST_F(MainWindowTest, ShutdownQuestionYesMinimisesCancelKeepsNoEnds)
{
    prepareRegularStart();
    loadWindow();
    window->show();
    QSignalSpy ended(window.get(), &MainWindow::shutDown);

    prompts.queueAnswer(PromptAnswer::Cancel);
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
    // Geometry and columns are saved even when closing is then cancelled.
    EXPECT_FALSE(settings.read("SizeOfForm1", "Width").isEmpty());
    EXPECT_FALSE(settings.read("GridWidthForm1Grid1", "Col1").isEmpty());

    prompts.queueAnswer(PromptAnswer::Yes);
    window->close();
    EXPECT_TRUE(window->isMinimized());
    EXPECT_TRUE(station->monitoring()); // monitoring goes on
    EXPECT_EQ(ended.count(), 0);

    window->showNormal();
    prompts.queueAnswer(PromptAnswer::No);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(state->database.isOpen());
    EXPECT_EQ(prompts.titles(), QStringList(3, "Wirklich beenden?"));
}

TEST_F(MainWindowTest, WhileTheShutdownQuestionWaitsTheStationRunsOn)
{
    prepareRegularStart();
    loadWindow();
    window->show();
    QSignalSpy ended(window.get(), &MainWindow::shutDown);
    prompts.holdQuestions(true);
    window->close();
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].title, "Wirklich beenden?");
    // No loop of the question's own: the checks run in the program's loop.
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(station->monitoring());
    env.writeFile("data/WAEHREND.NC", "O1");
    QSignalSpy created(station.get(), &Station::recordCreated);
    station->tick();
    EXPECT_EQ(created.count(), 1);

    prompts.answerHeld(0, PromptAnswer::No);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(MainWindowTest, SavedColumnWidthsReplaceTheDefaults)
{
    prepareRegularStart();
    settings.write("GridWidthForm1Grid1", "Col0", "222");
    settings.write("GridWidthForm1Grid1", "Col2", "0");
    loadWindow();
    EXPECT_EQ(window->grid()->columnWidth(0), 222);
    EXPECT_GT(window->grid()->columnWidth(2), 0);
}

TEST_F(MainWindowTest, SavedGeometrySmallerThanDesignedIsIgnored)
{
    prepareRegularStart();
    const QSize designed = window->size();
    settings.write("SizeOfForm1", "Width", "300");
    settings.write("SizeOfForm1", "Height", "200");
    loadWindow();
    EXPECT_EQ(window->size(), designed);
}

TEST_F(MainWindowTest, TicksBeforeTheLoadHasFinishedOnlyMoveTheClock)
{
    EXPECT_FALSE(window->loadFinished());
    station->tick();
    EXPECT_EQ(window->clockLabel()->text(), "09:30");
    clock.set(QDateTime(QDate(2026, 12, 7), QTime(14, 5)));
    station->tick();
    EXPECT_EQ(window->clockLabel()->text(), "14:05");
}

TEST_F(MainWindowTest, LampClickShowsItsToolTip)
{
    QTest::mouseClick(window->lamp(2), Qt::LeftButton);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].text, "Maschine 3 nicht Aktiv");
    EXPECT_EQ(prompts.asked()[0].title, "Maschinenverbindung 3");
    EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Information);
}

TEST_F(MainWindowTest, GuardedSettingsNeedThePasswordExactly)
{
    prepareRegularStart();
    loadWindow();
    settings.write("Settings", "Passwort", "Geheim");
    QStringList offered;
    window->setLoginRunner([&](const QString &stored) { return offered << stored, false; });
    window->action("mmEinst")->trigger();
    EXPECT_EQ(offered, QStringList{"Geheim"});
    EXPECT_TRUE(modalTitles.isEmpty()); // denied: the dialog never opened
    EXPECT_TRUE(station->monitoring());

    window->setLoginRunner([](const QString &) { return true; });
    window->action("mmEinst")->trigger();
    EXPECT_EQ(modalTitles, QStringList{"Einstellungen"});
    EXPECT_EQ(window->statusText(), "Bereit");
    EXPECT_TRUE(station->monitoring());
}

TEST_F(MainWindowTest, FirstStartManualSetupOpensTheSettingsBeforeTheWindowShows)
{
    ASSERT_TRUE(createFreshDatabase(dbPath()));
    prompts.queueAnswer(PromptAnswer::No);
    onModal = [this](QDialog &dialog) {
        EXPECT_FALSE(window->isVisible());
        // What the user would type and store in the settings dialog.
        settings.write("Settings", "Verzeichnis", env.root() + "manuell/");
        settings.write("Settings", "FotoVerzeichnis", env.root() + "fotos/");
        return dialog.result();
    };
    EXPECT_EQ(loadWindow(), Station::LoadOutcome::Ready);
    EXPECT_EQ(modalTitles, QStringList{"Einstellungen"});
    EXPECT_EQ(state->verzeichnis, env.root() + "manuell/");
}
