#include "UiFixture.h"

#include "app/ui/Form8.h"
#include "app/ui/StatusLamp.h"
#include "comm/CommStation.h"
#include "comm/PortSettings.h"
#include "comm/ui/ReceivedTextWindow.h"
#include "support/PtyPair.h"
#include "support/QStringPrinter.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

struct MachineConnections : ::testing::Test, UiFixture {
    // Connection i (0-4) active on `device`.
    void activate(int i, const QString &device)
    {
        PortSettings p;
        p.aktiviert = true;
        p.comAnschluss = i + 1;
        p.maschinenIndex = 1;
        p.save(settings, i);
        settings.write("Schnittstellen", "COM" + QString::number(i + 1), device);
    }

    // The ComTimer runs for real here: the main window's own second.
    template <class F> bool waitFor(F done)
    {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 10000)
            QTest::qWait(20);
        return done();
    }

    static QList<ReceivedTextWindow *> receivedWindows()
    {
        QList<ReceivedTextWindow *> found;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *r = qobject_cast<ReceivedTextWindow *>(w); r && r->isVisible())
                found << r;
        return found;
    }
};

} // namespace

TEST_F(MachineConnections, ProgramFromAMachineArrivesWhileAMissingDeviceFailsOnlyItsConnection)
{
    prepareRegularStart();
    PtyPair machine;
    ASSERT_TRUE(machine.ok());
    activate(0, env.root() + "no-such-device");
    activate(1, machine.slavePath());
    ASSERT_EQ(window->load(), LoadSequence::Outcome::Ready);
    window->show();

    EXPECT_EQ(window->lamp(0)->color(), LampColour::Red);
    ASSERT_FALSE(prompts.asked().isEmpty());
    EXPECT_EQ(prompts.asked()[0].title, "COM-Fehler");
    EXPECT_EQ(window->lamp(1)->color(), LampColour::Green);
    EXPECT_EQ(window->lamp(1)->toolTip(), "Maschine 2 - COM2:9600,N,8,1");
    EXPECT_EQ(window->lamp(2)->color(), LampColour::Grey);
    EXPECT_TRUE(window->comTimer()->isActive());

    // With the trace window open, the received bytes show up there as they
    // came, not one line per piece.
    window->toggleTraceWindow();
    machine.send("%\r\nN10 G0 X1\r\nN20 M30\r\n\x1A");
    ASSERT_TRUE(waitFor([] { return !receivedWindows().isEmpty(); }));
    ReceivedTextWindow *received = receivedWindows().first();
    EXPECT_EQ(received->windowTitle(), "Empfangen von Maschine 2");
    EXPECT_EQ(received->text(), "%\r\nN10 G0 X1\r\nN20 M30\r\n");
    EXPECT_EQ(window->lamp(1)->color(), LampColour::Green);
    EXPECT_TRUE(window->traceWindow()->text().contains("N10 G0 X1"));
    EXPECT_TRUE(window->traceWindow()->text().contains("EndZeichen empfangen!"));
    prompts.queueAnswer(PromptAnswer::No);
    received->close();
    EXPECT_FALSE(received->isVisible());
}

TEST_F(MachineConnections, LampClickTellsTheConnectionsStateAndThePortDialogOpensFromTheMenu)
{
    prepareRegularStart();
    PtyPair machine;
    activate(3, machine.slavePath());
    ASSERT_EQ(window->load(), LoadSequence::Outcome::Ready);
    prompts.clear();

    window->showLampInfo(3);
    window->showLampInfo(4);
    ASSERT_EQ(prompts.asked().size(), 2);
    EXPECT_EQ(prompts.asked()[0].title, "Maschinenverbindung 4");
    EXPECT_EQ(prompts.asked()[0].text, "Maschine 4 - COM4:9600,N,8,1");
    EXPECT_EQ(prompts.asked()[1].text, "Maschine 5 nicht Aktiv");

    window->action("mmComPrefs")->trigger();
    EXPECT_EQ(modalTitles, QStringList{"Kommunikations-Einstellungen"});
    EXPECT_TRUE(window->timer1()->isActive());
    EXPECT_EQ(window->statusText(), "Bereit");
}
