#include "CommStationFixture.h"
#include "support/PtyPair.h"

#include "comm/CommEvent.h"
#include "comm/Connections.h"
#include "comm/SendJob.h"
#include "comm/SerialPort.h"
#include "support/QStringPrinter.h"

#include <QList>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

QString busyText(const QString &what)
{
    return "Über Maschinenverbindung 2 (COM2) wird gerade ein Programm " + what
           + ".\r\rBitte warten Sie, bis die Übertragung beendet ist, und starten Sie die Aufnahme dann erneut.";
}

} // namespace

// The serial monitor asks for a machine's line. A program moving on it in
// either direction keeps the line with its connection: taken half-way, a
// program sent would be cut, and one received would be split between a
// recovery file and the monitor's recording.
TEST(CommStation, ALineIsLentOnlyWhileNoProgramMovesOnIt)
{
    struct Case {
        const char *name;
        QByteArray arrived;    // from the machine before the monitor asks
        bool sending;          // a send job (counting down) on the line
        QString refusal;       // empty: the line is lent
    };
    const QList<Case> cases = {
        {"idle", {}, false, {}},
        {"receiving", "%\r\nN10 G0 X1\r\nN20", false, busyText("empfangen")},
        {"sending", {}, true, busyText("gesendet")},
        // The finished text needs no line for its hand-over.
        {"finished", "%\r\nN10 G0 X1\r\nM30\r\n\x1A", false, {}},
        {"the next program behind a finished one", "%\r\nN10 G0 X1\r\nM30\r\n\x1A%\r\nN5", false,
         busyText("empfangen")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Station s;
        PtyPair machine;
        ASSERT_TRUE(machine.ok());
        s.activate(1, machine.slavePath());
        s.station.SetComm();
        ASSERT_TRUE(s.station.port(1).portOpen());
        if (!c.arrived.isEmpty()) {
            machine.send(c.arrived);
            ASSERT_TRUE(s.pumpUntil([&] {
                const Receiver &r = s.station.receiver(1);
                return r.finished() || r.collected().size() == c.arrived.size();
            }));
            s.pump(); // what follows the end code
        }
        if (c.sending)
            ASSERT_NE(s.station.startSend({s.env.writeFile("data/P1.NC", "N10 G0\r\n"), 1, 30.0}), nullptr);

        const std::optional<QString> refusal = s.station.lendLine(2, machine.slavePath());
        if (c.refusal.isEmpty()) {
            EXPECT_FALSE(refusal.has_value()) << refusal.value_or(QString()).toStdString();
            EXPECT_FALSE(s.station.port(1).portOpen());
            EXPECT_EQ(s.station.lamp(1).colour, LampColour::Grey);
        } else {
            ASSERT_TRUE(refusal.has_value());
            EXPECT_EQ(*refusal, c.refusal);
            EXPECT_TRUE(s.station.port(1).portOpen());
        }
        if (c.sending)
            s.station.sendJob(1)->cancel();
        // A finished text is handed over whether its line was lent or not.
        s.station.comTimerTick();
        EXPECT_EQ(s.handed.size(), c.arrived.contains('\x1A') ? 1 : 0);
    }
}

TEST(CommStation, AProgramArrivingWhenTheMonitorAskedIsReceivedWholeAndTheLineLentAfterwards)
{
    Station s;
    PtyPair machine;
    ASSERT_TRUE(machine.ok());
    s.activate(1, machine.slavePath());
    s.station.SetComm();
    const QByteArray first = "%\r\nN10 G0 X1\r\n";
    machine.send(first);
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(1).collected() == first; }));
    ASSERT_TRUE(s.station.lendLine(2, machine.slavePath()).has_value());

    // The machine goes on; nothing is cut off or left for a recovery file.
    s.rclock.advance(20);
    machine.send("N20 M30\r\n\x1A");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(1).finished(); }));
    s.rclock.advance(20);
    s.station.comTimerTick();
    ASSERT_EQ(s.handed.size(), 1);
    EXPECT_EQ(s.handed[0].second, "%\r\nN10 G0 X1\r\nN20 M30\r\n");
    EXPECT_TRUE(s.station.recoveryFiles().isEmpty());
    EXPECT_TRUE(s.prompts.asked().isEmpty());

    EXPECT_FALSE(s.station.lendLine(2, machine.slavePath()).has_value());
    EXPECT_FALSE(s.station.port(1).portOpen());
}

// The serial monitor borrows lines for as long as it is open. When it
// closes, the connections it took open again; a connection it did not
// touch keeps its line and its lamp, so a line error shown there is still
// there to be read.
TEST(LineLoan, TheConnectionsTakenOpenAgainWhenTheLoanEndsAndNoOthers)
{
    Station s;
    Connections connections(s.station);
    PtyPair lent;
    PtyPair other;
    ASSERT_TRUE(lent.ok());
    ASSERT_TRUE(other.ok());
    s.activate(1, lent.slavePath());
    s.activate(3, other.slavePath());
    s.station.SetComm();
    ASSERT_TRUE(s.station.port(1).portOpen());
    s.station.port(3).raiseEvent(CommEvent::Frame);
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.lamp(3).colour == LampColour::Red; }));
    const QString errorTip = s.station.lamp(3).toolTip;

    {
        Connections::LineLoan loan = connections.lendLines();
        EXPECT_FALSE(loan.take(2, lent.slavePath()).has_value());
        EXPECT_EQ(loan.taken(), QList<int>{1});
        Connections::LineLoan handedOn = std::move(loan);
        loan.end(); // the moved-from loan gives nothing back
        EXPECT_FALSE(s.station.port(1).portOpen());
        EXPECT_EQ(connections.lamp(1).colour, LampColour::Grey);
    }
    EXPECT_TRUE(s.station.port(1).portOpen());
    EXPECT_EQ(connections.lamp(1).colour, LampColour::Green);
    EXPECT_TRUE(s.station.port(3).portOpen());
    EXPECT_EQ(s.station.lamp(3).colour, LampColour::Red);
    EXPECT_EQ(s.station.lamp(3).toolTip, errorTip);

    // The connection received as before the loan.
    lent.send("%\r\nN10 G0 X1\r\nM30\r\n\x1A");
    ASSERT_TRUE(s.pumpUntil([&] { return s.station.receiver(1).finished(); }));
}

// A loan refused because a program is going out takes nothing; ending it
// leaves the sending connection's line alone, so the transfer runs on.
TEST(LineLoan, ARefusedLoanLeavesTheSendingConnectionAlone)
{
    Station s;
    Connections connections(s.station);
    PtyPair machine;
    ASSERT_TRUE(machine.ok());
    s.activate(1, machine.slavePath());
    s.station.SetComm();
    SendJob *job = connections.send({s.env.writeFile("data/P1.NC", "N10 G0\r\n"), 1, 30.0});
    ASSERT_NE(job, nullptr);
    QString refusal;
    EXPECT_EQ(connections.send({s.env.writeFile("data/P2.NC", "N20\r\n"), 1, std::nullopt}, &refusal), nullptr);
    EXPECT_FALSE(refusal.isEmpty());
    {
        Connections::LineLoan loan = connections.lendLines();
        const std::optional<QString> refused = loan.take(2, machine.slavePath());
        ASSERT_TRUE(refused.has_value());
        EXPECT_EQ(*refused, busyText("gesendet"));
        EXPECT_TRUE(loan.taken().isEmpty());
    }
    EXPECT_TRUE(s.station.port(1).portOpen());
    EXPECT_EQ(s.station.sendJob(1), job);
    EXPECT_EQ(job->phase(), SendJob::Phase::CountingDown);
    job->cancel();
}
