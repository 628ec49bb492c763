#include "UiFixture.h"

#include "app/ui/TraceWindow.h"
#include "station/ui/StatusLamp.h"
#include "comm/CommStation.h"
#include "comm/PortSettings.h"
#include "comm/ui/SaveReceivedDialog.h"
#include "comm/ui/SaveReceivedDialogControls.h"
#include "comm/ui/SendDialog.h"
#include "catalogue/DirectoryCheck.h"
#include "catalogue/ui/RecordListView.h"
#include "station/ui/MainListController.h"
#include "db/Database.h"
#include "support/PtyPair.h"
#include "support/QStringPrinter.h"
#include "station/StationInternals.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
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

    QList<SaveReceivedDialog *> saveDialogs() const
    {
        QList<SaveReceivedDialog *> open;
        for (const QPointer<SaveReceivedDialog> &d : window->saveDialogs())
            if (d && d->isVisible())
                open << d;
        return open;
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
    ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
    window->show();

    EXPECT_EQ(window->lamp(0)->color(), LampColour::Red);
    ASSERT_FALSE(prompts.asked().isEmpty());
    EXPECT_EQ(prompts.asked()[0].title, "COM-Fehler");
    EXPECT_EQ(window->lamp(1)->color(), LampColour::Green);
    EXPECT_EQ(window->lamp(1)->toolTip(), "Maschine 2 - COM2:9600,N,8,1");
    EXPECT_EQ(window->lamp(2)->color(), LampColour::Grey);
    EXPECT_TRUE(StationInternals::receptionTimer(*station)->isActive());

    // With the trace window open, the received bytes show up there as they
    // came, not one line per piece.
    window->toggleTraceWindow();
    machine.send("%\r\nN10 G0 X1\r\nN20 M30\r\n\x1A");
    ASSERT_TRUE(waitFor([this] { return !saveDialogs().isEmpty(); }));
    SaveReceivedDialog *received = saveDialogs().first();
    EXPECT_EQ(received->maschinenNummer(), 2);
    EXPECT_EQ(received->dateiString(), "%\r\nN10 G0 X1\r\nN20 M30\r\n");
    EXPECT_EQ(window->lamp(1)->color(), LampColour::Green);
    EXPECT_TRUE(window->traceWindow()->text().contains("N10 G0 X1"));
    EXPECT_TRUE(window->traceWindow()->text().contains("EndZeichen empfangen!"));
    received->discard();
    EXPECT_TRUE(saveDialogs().isEmpty());
}

TEST_F(MachineConnections, LampClickTellsTheConnectionsStateAndThePortDialogOpensFromTheMenu)
{
    prepareRegularStart();
    PtyPair machine;
    activate(3, machine.slavePath());
    ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
    prompts.clear();

    QTest::mouseClick(window->lamp(3), Qt::LeftButton);
    QTest::mouseClick(window->lamp(4), Qt::LeftButton);
    ASSERT_EQ(prompts.asked().size(), 2);
    EXPECT_EQ(prompts.asked()[0].title, "Maschinenverbindung 4");
    EXPECT_EQ(prompts.asked()[0].text, "Maschine 4 - COM4:9600,N,8,1");
    EXPECT_EQ(prompts.asked()[1].text, "Maschine 5 nicht Aktiv");

    window->action("mmComPrefs")->trigger();
    EXPECT_EQ(modalTitles, QStringList{"Kommunikations-Einstellungen"});
    EXPECT_TRUE(station->monitoring());
    EXPECT_EQ(window->statusText(), "Bereit");
}

TEST_F(MachineConnections, ARoundTripFromTheMachineIntoTheCatalogueAndBackGivesTheMachineItsOwnBytes)
{
    prepareRegularStart();
    {
        Database db;
        ASSERT_TRUE(db.open(dbPath()));
        ASSERT_TRUE(db.execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES ('Fräse ', 'Halle 2 ')"));
    }
    PtyPair machine;
    ASSERT_TRUE(machine.ok());
    activate(1, machine.slavePath()); // connection 2, bound to machine 1
    ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
    window->show();

    // The machine sends a program; its save dialog opens.
    const QByteArray program("%\r\nN10 G0 X1 \xC4\r\nN20 M30\r\n");
    machine.send(program + "\x1A");
    ASSERT_TRUE(waitFor([this] { return !saveDialogs().isEmpty(); }));
    SaveReceivedDialog *dialog = saveDialogs().first();
    EXPECT_EQ(dialog->maschinenNummer(), 2);
    dialog->controls().newName->setCursorPosition(0);
    dialog->controls().newName->insert("RUECK");
    dialog->controls().save->click();
    EXPECT_TRUE(saveDialogs().isEmpty());
    EXPECT_EQ(env.readFile(state->verzeichnis + "RUECK.cnc"), program);

    // The next check catalogues it under the machine of connection 2.
    station->tick();
    auto record = state->database.openRecordset("SELECT * FROM DateiListe WHERE Dateiname=?", RecordsetType::Snapshot,
                                                {QString("RUECK.CNC")});
    ASSERT_TRUE(record && !record->eof());
    EXPECT_EQ(record->value("MaschinenIndex").toInt(), 1);

    // Sent back from the main list: the dialog offers that machine's
    // connection, and the machine gets exactly what the conversions make of
    // the file (here: its end character back).
    window->searchField()->setText("RUECK");
    window->mainList()->search();
    window->grid()->selectRecord(0);
    onModal = [this](QDialog &d) {
        auto *send = qobject_cast<SendDialog *>(&d);
        EXPECT_NE(send, nullptr);
        if (!send)
            return 0;
        EXPECT_EQ(send->selectedConnection(), 1);
        EXPECT_EQ(send->receiver(1)->text(), "Fräse  / Halle 2 ");
        send->sendButton()->click();
        // The transfer runs from the event loop, as it would under exec().
        EXPECT_TRUE(waitFor([send] { return send->job() == nullptr; }));
        return d.result();
    };
    window->command(7)->click();
    EXPECT_EQ(modalTitles.last(), "Datenübertragung");
    QByteArray back;
    ASSERT_TRUE(waitFor([&] { return (back += machine.readAvailable(20)).size() >= program.size() + 1; }));
    EXPECT_EQ(back, program + "\x1A");
    EXPECT_EQ(window->statusText(), "Bereit");
    EXPECT_EQ(window->lamp(1)->color(), LampColour::Green);
}

TEST_F(MachineConnections, EndingWithASaveDialogOpenKeepsItsProgram)
{
    prepareRegularStart();
    ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
    window->dialogs().openSaveDialog(ReceivedProgram{3, 0, "%\r\nN10 M30\r\n", {}});
    window->endWithoutAsking();
    const QStringList kept = QDir(env.programDir()).entryList({"Nicht_gespeichert_Maschine3_*.txt"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(env.readFile(env.programDir() + kept.first()), "%\r\nN10 M30\r\n");
    EXPECT_TRUE(QString::fromLatin1(env.readFile(env.programDir() + "Logbuch.txt")).contains(kept.first()));
}
