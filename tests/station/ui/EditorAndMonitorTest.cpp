#include "UiFixture.h"

#include "comm/CommStation.h"
#include "comm/PortSettings.h"
#include "comm/SerialPort.h"
#include "db/Database.h"
#include "editor/ui/CNCEditor.h"
#include "editor/ui/CodeView.h"
#include "editor/ui/SerialMonitor.h"
#include "support/PtyPair.h"
#include "support/QStringPrinter.h"
#include "station/StationInternals.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

struct EditorAndMonitor : ::testing::Test, UiFixture {
    void SetUp() override
    {
        prepareRegularStart();
        Database db;
        ASSERT_TRUE(db.open(dbPath()));
        ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Bezeichnung) VALUES ('DREHEN\\WELLE.NC', 'Welle')"));
        db.close();
    }
};

} // namespace

TEST_F(EditorAndMonitor, ProgrammBearbeitenOpensTheEditorOnTheSelectedFile)
{
    const QString path = env.writeFile("data/DREHEN/WELLE.NC", "%\r\nN10 G0\r\n");
    ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
    showActive();
    window->searchField()->setText("");
    QTest::keyClick(window->searchField(), Qt::Key_Return);
    window->command(4)->click();
    const QList<CNCEditor *> editors = window->findChildren<CNCEditor *>();
    ASSERT_EQ(editors.size(), 1);
    EXPECT_TRUE(editors[0]->isVisible());
    EXPECT_EQ(editors[0]->windowTitle(), "CNC-Editor[*]");
    EXPECT_EQ(editors[0]->fileLine(), "Datei: " + path);
    EXPECT_EQ(editors[0]->currentBytes().value_or("?"), "%\r\nN10 G0\r\n");
    editors[0]->close();
}

TEST_F(EditorAndMonitor, TheDebuggerTakesAConnectionsLineAndTheConnectionIsOpenAgainAfterwards)
{
    PtyPair machine;
    ASSERT_TRUE(machine.ok());
    PortSettings p;
    p.aktiviert = true;
    p.comAnschluss = 2;
    p.maschinenIndex = 1;
    p.save(settings, 0);
    settings.write("Schnittstellen", "COM2", machine.slavePath());
    ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
    ASSERT_TRUE(StationInternals::comm(*station).port(0).portOpen());

    bool recorded = false;
    bool connectionClosedMeanwhile = false;
    bool pausedMeanwhile = false;
    onModal = [&](QDialog &dialog) {
        auto *monitor = qobject_cast<SerialMonitor *>(&dialog);
        if (!monitor)
            return 0;
        pausedMeanwhile = !station->monitoring();
        monitor->portList()->setCurrentIndex(1);
        monitor->handshakeList()->setCurrentIndex(0);
        monitor->parameterField()->setText("9600,N,8,1");
        monitor->start();
        recorded = monitor->recorder().recording();
        connectionClosedMeanwhile = !StationInternals::comm(*station).port(0).portOpen();
        monitor->done(0);
        return 0;
    };
    window->action("mmDebugger")->trigger();
    EXPECT_EQ(modalTitles, QStringList{"RS232-Debugger"});
    EXPECT_TRUE(pausedMeanwhile);
    EXPECT_TRUE(recorded);
    EXPECT_TRUE(connectionClosedMeanwhile);
    EXPECT_TRUE(StationInternals::comm(*station).port(0).portOpen());
    EXPECT_TRUE(station->monitoring());
    EXPECT_TRUE(prompts.asked().isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(EditorAndMonitor, EndingTheProgramAsksForAnEditedProgramFirst)
{
    const QString path = env.writeFile("data/DREHEN/WELLE.NC", "N10\r\n");
    ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
    showActive();
    window->dialogs().openEditor(path);
    CNCEditor *editor = window->findChild<CNCEditor *>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor->view(0), "X");

    prompts.queueAnswer(PromptAnswer::No); // end the program
    prompts.queueAnswer(PromptAnswer::No); // but keep the changes
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(prompts.titles(), (QStringList{"Wirklich beenden?", "CNC-Editor"}));

    prompts.queueAnswer(PromptAnswer::No);
    prompts.queueAnswer(PromptAnswer::Yes); // throw them away
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(env.readFile(path), "N10\r\n");
}
