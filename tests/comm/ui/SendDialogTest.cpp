#include "../CommStationFixture.h"
#include "../MachineSide.h"

#include "app/StatusLine.h"
#include "comm/Connections.h"
#include "comm/MachineReady.h"
#include "comm/SendJob.h"
#include "comm/SerialPort.h"
#include "comm/ui/SendDialog.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "machines/CatalogueMachineLines.h"
#include "support/QStringPrinter.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace zep::test {
namespace {

struct SendDialogTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        QObject::connect(&statusLine, &StatusLine::changed, &statusLine, [this](const QString &t) {
            status << t;
            if (onStatus)
                onStatus();
        });
        ASSERT_TRUE(createFreshDatabase(s.env.programDir() + "CNCPRG.mdb"));
        ASSERT_TRUE(database.open(s.env.programDir() + "CNCPRG.mdb"));
        ASSERT_TRUE(database.execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES ('Müller''s Drehbank ', 'Halle 1 ')"));
        s.activate(0, pty.slavePath(), "<SA>26");
        s.settings.write(PortSettings::section(0), "Handshaking", "0");
        s.activate(2, "/dev/zep-fehlt");
        s.settings.write(PortSettings::section(2), "MaschinenIndex", "99");
        s.station.SetComm();
        ASSERT_TRUE(s.station.port(0).portOpen());
        s.prompts.clear();
        path = s.env.writeFile("data/P1.NC", "%\r\nG1 X10\r\nM30\r\n");
    }
    std::unique_ptr<SendDialog> open(long machine = 1)
    {
        SendRequest request{"P1.NC", path, "Welle", 7, machine};
        auto d = std::make_unique<SendDialog>(
            SendDialogContext{s.settings, s.prompts, &machines, connections, statusLine}, request);
        d->show();
        return d;
    }

    Station s;
    Connections connections{s.station};
    StatusLine statusLine;
    PtyPair pty;
    Database database;
    CatalogueMachineLines machines{database};
    QString path;
    QStringList status;
    std::function<void()> onStatus;
};

TEST_F(SendDialogTest, ListsTheConnectionsWithTheirMachinesAndPreselectsTheRecordsMachine)
{
    auto d = open();
    EXPECT_EQ(d->windowTitle(), "Datenübertragung");
    EXPECT_EQ(status.first(), "Datenübertragung wählen");
    EXPECT_EQ(d->receiver(0)->text(), "Müller's Drehbank  / Halle 1 ");
    EXPECT_TRUE(d->receiver(0)->isChecked());
    EXPECT_EQ(d->selectedConnection(), 0);
    EXPECT_EQ(d->receiver(1)->text(), "nicht Aktiv");
    EXPECT_FALSE(d->receiver(1)->isEnabled());
    EXPECT_EQ(d->receiver(2)->text(), "Nicht Definiert (COM3:)");
    EXPECT_TRUE(d->receiver(2)->isEnabled());
    EXPECT_EQ(d->delayField()->text(), "20");
    EXPECT_FALSE(d->delayBox()->isChecked());
}

TEST_F(SendDialogTest, ARecordWithoutABoundMachineMustHaveItsReceiverChosenFirst)
{
    MachineSide machine(pty);
    auto d = open(0);
    EXPECT_EQ(d->selectedConnection(), -1);
    d->sendButton()->click();
    EXPECT_EQ(s.prompts.titles(), QStringList({"Empfänger?"}));
    EXPECT_TRUE(d->isVisible());
    d->receiver(0)->click();
    d->sendButton()->click();
    EXPECT_TRUE(d->sending());
    ASSERT_TRUE(s.pumpUntil([&] { return !d->isVisible(); }));
    EXPECT_TRUE(status.contains("Senden von P1.NC..."));
    EXPECT_EQ(status.last(), "Bereit");
    ASSERT_TRUE(s.pumpUntil([&] { return machine.count() == 17; }));
    EXPECT_EQ(machine.received(), "%\r\nG1 X10\r\nM30\r\n\x1a");
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Green);
}

TEST_F(SendDialogTest, TheCountdownBeepsInItsLastSecondsAndOnlyTheChosenMachineEndsItEarly)
{
    MachineSide machine(pty);
    auto d = open();
    d->delayField()->setText("3");
    d->delayBox()->setChecked(true);
    d->sendButton()->click();
    EXPECT_TRUE(d->waiting());
    s.pump(30);
    EXPECT_TRUE(d->countdownLabel()->isVisible());
    EXPECT_EQ(d->countdownLabel()->text(), "4"); // whole seconds left, counted up
    EXPECT_EQ(s.prompts.beeps(), 1);
    EXPECT_FALSE(d->sendButton()->isEnabled());
    EXPECT_EQ(s.settings.read("Settings", "SendWithDelay"), "1");
    EXPECT_EQ(s.settings.read("Settings", "Zeitversatz"), "3");
    s.rclock.advance(1.2);
    s.pump(120);
    EXPECT_EQ(d->countdownLabel()->text(), "2");
    EXPECT_EQ(s.prompts.beeps(), 2);
    // Another machine's XON is no signal for this transfer.
    s.station.machineReady(2).set();
    s.pump(120);
    EXPECT_TRUE(d->waiting());
    s.station.machineReady(0).set();
    ASSERT_TRUE(s.pumpUntil([&] { return !d->isVisible(); }));
    EXPECT_FALSE(d->waiting());
    ASSERT_TRUE(s.pumpUntil([&] { return machine.count() == 17; }));
}

TEST_F(SendDialogTest, AbbruchEndsTheCountdownOrTheTransferAndKeepsTheDialogOpenAndClosesItWhenIdle)
{
    MachineSide machine(pty);
    auto d = open();
    d->delayBox()->setChecked(true);
    d->sendButton()->click();
    d->cancelButton()->click();
    EXPECT_FALSE(d->waiting());
    EXPECT_FALSE(d->countdownLabel()->isVisible());
    EXPECT_TRUE(d->sendButton()->isEnabled());
    EXPECT_TRUE(d->isVisible());
    s.rclock.advance(60);
    s.pump(120);
    EXPECT_EQ(machine.count(), 0);

    path = s.env.writeFile("data/P1.NC", QByteArray(512 * 1024, 'G'));
    d->delayBox()->setChecked(false);
    int pieces = 0;
    onStatus = [&] {
        if (status.last().startsWith("Senden (") && ++pieces == 3)
            d->cancelButton()->click();
    };
    d->sendButton()->click();
    ASSERT_TRUE(s.pumpUntil([&] { return !d->sending(); }));
    EXPECT_EQ(pieces, 3);
    EXPECT_EQ(status.last(), "Bereit");
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(d->sendButton()->isEnabled());
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Red);
    EXPECT_LT(machine.count(), 100 * 1024);

    d->cancelButton()->click();
    EXPECT_FALSE(d->isVisible());
}

TEST_F(SendDialogTest, AProgramGoneBeforeOrDuringTheDialogIsToldAndNothingIsSent)
{
    MachineSide machine(pty);
    QFile::remove(path);
    auto d = open();
    EXPECT_EQ(s.prompts.titles(), QStringList({"Fehler!"}));
    EXPECT_EQ(s.prompts.asked()[0].text,
              "Das zu sendende Programm konnte im Überwachungsverzeichnis nichtmehr gefunden werden!");
    d->sendButton()->click();
    ASSERT_TRUE(s.pumpUntil([&] { return s.prompts.titles().size() == 2; }));
    EXPECT_EQ(s.prompts.titles(), QStringList({"Fehler!", "Fehler!"}));
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(d->sendButton()->isEnabled());
    s.pump(100);
    EXPECT_EQ(machine.count(), 0);
}

TEST_F(SendDialogTest, ALineThatIsStillSendingRefusesTheNextProgramAndAFailedSendIsShown)
{
    // A machine that stops reading holds the first program on the line.
    s.settings.write(PortSettings::section(0), "Puffer", "1048576");
    s.station.SetComm();
    path = s.env.writeFile("data/P1.NC", QByteArray(512 * 1024, 'G'));
    SendJob *running = s.station.startSend(SendOrder{path, 0, std::nullopt});
    ASSERT_TRUE(running);
    ASSERT_TRUE(s.pumpUntil([&] { return running->phase() == SendJob::Phase::Sending; }));

    auto d = open();
    s.prompts.clear();
    d->sendButton()->click();
    ASSERT_EQ(s.prompts.asked().size(), 1);
    EXPECT_EQ(s.prompts.asked()[0].text,
              "An Maschine 1 wird gerade ein Programm gesendet. Bitte warten Sie, bis die Übertragung beendet ist.");
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(d->sendButton()->isEnabled());
    EXPECT_EQ(d->job(), nullptr);

    // The line is lost under the waiting program: the dialog that sends
    // next is told so and closes.
    running->cancel();
    MachineSide machine(pty, 1024);
    d->sendButton()->click();
    ASSERT_TRUE(s.pumpUntil([&] { return !d->isVisible(); }));
    EXPECT_TRUE(status.last().startsWith("Fehler beim Senden: \rDie Verbindung zu Maschine 1 wurde unterbrochen."))
        << status.last().toStdString();
    EXPECT_EQ(s.station.lamp(0).colour, LampColour::Red);
}

} // namespace
} // namespace zep::test
