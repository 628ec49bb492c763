#include "CommStationFixture.h"
#include "MachineSide.h"
#include "comm/MachineRequest.h"
#include "comm/SendUmwandeln.h"
#include "comm/SerialPort.h"
#include "comm/UnattendedSettings.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <memory>

namespace zep::test {
namespace {

const char kEnd = 26;
const char kXon = 17;

// Machines on real ptys that punch request programs; the station answers
// from the monitored directory "data/".
struct MachineRequestTest : ::testing::Test {
    void SetUp() override
    {
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(pty[i].ok());
            s.activate(i, pty[i].slavePath(), "<SA>26");
            s.settings.write(PortSettings::section(i), "Handshaking", "0");
            s.settings.write(PortSettings::section(i), "Puffer", "256");
            // Sent: CR to CR LF, so the answer shows the connection's conversions.
            s.settings.write(PortSettings::section(i), "SCRzu", "254");
            UnattendedSettings u;
            u.anforderungen = true;
            u.save(s.settings, i);
        }
        QDir().mkpath(data());
        s.station.monitoredDirectory = [this] { return data(); };
        s.station.SetComm();
        ASSERT_TRUE(s.station.port(0).portOpen());
        QObject::connect(&s.station, &CommStation::statusChanged, [this](const QString &t) { told << t; });
        for (int i = 0; i < 2; ++i)
            machine[i] = std::make_unique<MachineSide>(pty[i], dropAfter[i]);
    }
    QString data() const { return s.env.root() + "data/"; }
    QString logbookText() const { return QString::fromLatin1(s.env.readFile(s.env.programDir() + "Logbuch.txt")); }
    static QByteArray converted(QByteArray text)
    {
        SendSettings settings;
        settings.conversions.scrZu = 254;
        settings.endCode = "<SA>26";
        return SendUmwandeln(text, settings, TraceSink{});
    }
    // The machine punches `text`; the station runs until it has told
    // something about it.
    void punch(int i, const QByteArray &text)
    {
        const qsizetype before = told.size();
        pty[i].send(text + kEnd);
        EXPECT_TRUE(s.pumpUntil([&] {
            s.station.comTimerTick();
            return told.size() > before;
        })) << text.constData();
    }
    // What machine i got once a whole answer (ending in the end code) is there.
    QByteArray answer(int i, int answers = 1)
    {
        EXPECT_TRUE(s.pumpUntil([&] { return machine[i]->received().count(kEnd) >= answers; }));
        s.pump(50);
        return machine[i]->received();
    }
    bool nothingSentFor(int i, int msecs)
    {
        s.pump(msecs);
        return machine[i]->count() == 0;
    }

    Station s;
    PtyPair pty[2];
    qsizetype dropAfter[2] = {-1, -1};
    std::unique_ptr<MachineSide> machine[2];
    QStringList told;
};

const QByteArray kWelle("%\r\nO1234\r\nN10 G0 X\xe4\r\nN20 M30\r\n%");

TEST_F(MachineRequestTest, ARequestIsAnsweredByteExactOnceTheMachineSaysItIsReady)
{
    s.env.writeFile("data/DREHEN/welle.nc", kWelle);
    punch(0, "%\r\n(ANFORDERUNG welle)\r\nM30\r\n%");
    EXPECT_TRUE(told.contains("Maschine 1: Anforderung 'welle', DREHEN/welle.nc wird gesendet")) << told.join("\n");
    // The reception clock stands still: only the machine's XON can start it.
    EXPECT_TRUE(nothingSentFor(0, 300));
    pty[0].send(QByteArray(1, kXon));
    EXPECT_EQ(answer(0), converted(kWelle));
    EXPECT_TRUE(s.handed.isEmpty());
    EXPECT_TRUE(s.pumpUntil([&] { return logbookText().contains("Maschine 1: Antwort auf Anforderung 'welle' gesendet"); }));
    EXPECT_TRUE(QFileInfo::exists(data() + "DREHEN/welle.nc"));
    EXPECT_EQ(QDir(s.env.programDir()).entryList({"Antwort_*"}, QDir::Files), QStringList());
}

TEST_F(MachineRequestTest, NameWithExtensionAnyCaseOrTheONumberAndTheWaitingTimeStartsItWithoutXon)
{
    s.env.writeFile("data/DREHEN/welle.nc", kWelle);
    s.env.writeFile("data/P1.NC", "%\r\nO77\r\nM30\r\n%");
    const struct {
        const char *request;
        QByteArray program;
    } cases[] = {
        {"(SENDE WELLE.NC)", kWelle},
        {"(sende O1234)", kWelle},
        {"(SENDE 77)", "%\r\nO77\r\nM30\r\n%"},
        {"(SENDE p1)", "%\r\nO77\r\nM30\r\n%"},
    };
    int answers = 0;
    QByteArray expected;
    for (const auto &c : cases) {
        punch(0, c.request);
        s.pump(100);
        s.rclock.advance(5.1);
        expected += converted(c.program);
        EXPECT_EQ(answer(0, ++answers), expected) << c.request;
    }
}

TEST_F(MachineRequestTest, UnknownAmbiguousAndTraversalNamesGetAShortProgramAndNothingOutsideIsRead)
{
    s.env.writeFile("data/A/P1.NC", "eins");
    s.env.writeFile("data/B/p1.nc", "zwei");
    s.env.writeFile("geheim.nc", "nicht senden");
    QFile::link(s.env.root() + "geheim.nc", data() + "LINK.NC");
    const struct {
        const char *request;
        QByteArray answer;
        const char *logged;
    } cases[] = {
        {"(SENDE FEHLT)", "%\r\n(NICHT GEFUNDEN FEHLT)\r\nM30\r\n%\r\n", "Anforderung 'FEHLT': nicht gefunden"},
        {"(SENDE P1)", "%\r\n(MEHRDEUTIG P1: 2 Dateien)\r\nM30\r\n%\r\n", "Anforderung 'P1' ist mehrdeutig (2 Dateien)"},
        {"(SENDE ../geheim.nc)", "%\r\n(NAME NICHT ERLAUBT)\r\nM30\r\n%\r\n", "Anforderung '../geheim.nc' abgelehnt"},
        {"(SENDE A\\P1.NC)", "%\r\n(NAME NICHT ERLAUBT)\r\nM30\r\n%\r\n", "abgelehnt"},
        {"(SENDE C:GEHEIM)", "%\r\n(NAME NICHT ERLAUBT)\r\nM30\r\n%\r\n", "abgelehnt"},
        {"(SENDE GE\x01HEIM)", "%\r\n(NAME NICHT ERLAUBT)\r\nM30\r\n%\r\n", "Anforderung 'GE?HEIM' abgelehnt"},
        {"(SENDE LINK)", "%\r\n(NICHT GEFUNDEN LINK)\r\nM30\r\n%\r\n", "Anforderung 'LINK': nicht gefunden"},
    };
    int answers = 0;
    QByteArray expected;
    for (const auto &c : cases) {
        punch(0, c.request);
        EXPECT_TRUE(logbookText().contains(c.logged)) << c.request;
        pty[0].send(QByteArray(1, kXon));
        expected += converted(c.answer);
        EXPECT_EQ(answer(0, ++answers), expected) << c.request;
    }
    EXPECT_FALSE(machine[0]->received().contains("nicht senden"));
    EXPECT_TRUE(s.handed.isEmpty());
}

TEST_F(MachineRequestTest, AListingNamesTheMatchingFiles)
{
    s.env.writeFile("data/DREHEN/P10.NC", "x");
    s.env.writeFile("data/P2.NC", "x");
    s.env.writeFile("data/WELLE.NC", "x");
    s.env.writeFile("data/.VERSTECKT.NC", "x");
    punch(0, "(LISTE P*)");
    pty[0].send(QByteArray(1, kXon));
    EXPECT_EQ(answer(0), converted("%\r\n(DREHEN\\P10.NC)\r\n(P2.NC)\r\nM30\r\n%\r\n"));
    // With the catalogue's designations; a bracket would end the comment early.
    s.station.bezeichnung = [](const QString &name) {
        return name == "P2.NC" ? QString("Welle (links)\r\nzweite Zeile") : QString();
    };
    punch(0, "(LISTE P2)");
    pty[0].send(QByteArray(1, kXon));
    const QByteArray described = converted("%\r\n(P2.NC - Welle [links] / zweite Zeile)\r\nM30\r\n%\r\n");
    EXPECT_TRUE(answer(0, 2).endsWith(described));
    s.station.bezeichnung = {};
    punch(0, "(LISTE)");
    pty[0].send(QByteArray(1, kXon));
    EXPECT_TRUE(answer(0, 3).endsWith(converted("%\r\n(DREHEN\\P10.NC)\r\n(P2.NC)\r\n(WELLE.NC)\r\nM30\r\n%\r\n")));
}

TEST_F(MachineRequestTest, ARequestWhileSendingWaitsForTheSendAndTwoMachinesAreAnsweredEachOnItsLine)
{
    s.env.writeFile("data/WELLE.NC", kWelle);
    s.env.writeFile("data/P2.NC", "%\r\nO2\r\nM30\r\n%");
    const QString manual = s.env.writeFile("data/MANUELL.NC", QByteArray(20000, 'G'));
    // A send started at the PC, counting down for the machine.
    ASSERT_NE(s.station.startSend(SendOrder{manual, 0, 30.0}), nullptr);
    punch(0, "(SENDE WELLE)");
    punch(1, "(SENDE P2)");
    pty[1].send(QByteArray(1, kXon));
    EXPECT_EQ(answer(1), converted("%\r\nO2\r\nM30\r\n%"));
    EXPECT_TRUE(nothingSentFor(0, 200));
    pty[0].send(QByteArray(1, kXon));
    const qsizetype manualSize = converted(QByteArray(20000, 'G')).size();
    EXPECT_TRUE(s.pumpUntil([&] { return machine[0]->count() >= manualSize; }));
    // The answer counts down for its own ready signal after the send.
    s.pump(200);
    EXPECT_EQ(machine[0]->received(), converted(QByteArray(20000, 'G')));
    pty[0].send(QByteArray(1, kXon));
    EXPECT_EQ(answer(0, 2), converted(QByteArray(20000, 'G')) + converted(kWelle));
}

struct LostLineRequestTest : MachineRequestTest {
    void SetUp() override
    {
        dropAfter[0] = 2000;
        MachineRequestTest::SetUp();
    }
};

TEST_F(LostLineRequestTest, ALineLostMidAnswerEndsTheAnswerAsLostAndTheStationGoesOn)
{
    s.env.writeFile("data/GROSS.NC", QByteArray(200000, 'X'));
    const QStringList before = QDir(data()).entryList(QDir::Files);
    punch(0, "(SENDE GROSS)");
    pty[0].send(QByteArray(1, kXon));
    EXPECT_TRUE(s.pumpUntil([&] { return logbookText().contains("Antwort auf Anforderung 'GROSS' nicht gesendet"); }))
        << logbookText();
    EXPECT_FALSE(s.station.sending(0));
    EXPECT_EQ(QDir(data()).entryList(QDir::Files), before);
    EXPECT_TRUE(s.handed.isEmpty());
    EXPECT_EQ(QDir(s.env.programDir()).entryList({"Antwort_*"}, QDir::Files), QStringList());
    // The other machine is still answered.
    s.env.writeFile("data/P2.NC", "%\r\nO2\r\nM30\r\n%");
    punch(1, "(SENDE P2)");
    pty[1].send(QByteArray(1, kXon));
    EXPECT_EQ(answer(1), converted("%\r\nO2\r\nM30\r\n%"));
}

TEST_F(MachineRequestTest, WithRequestsOffARequestProgramIsAProgramLikeAnyOther)
{
    UnattendedSettings().save(s.settings, 0);
    s.env.writeFile("data/WELLE.NC", kWelle);
    pty[0].send("(SENDE WELLE)" + QByteArray(1, kEnd));
    EXPECT_TRUE(s.pumpUntil([&] {
        s.station.comTimerTick();
        return !s.handed.isEmpty();
    }));
    EXPECT_EQ(s.handed.value(0).second, "(SENDE WELLE)");
    pty[0].send(QByteArray(1, kXon));
    EXPECT_TRUE(nothingSentFor(0, 300));
}

} // namespace
} // namespace zep::test
