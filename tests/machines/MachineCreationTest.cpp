#include "MachinesFixture.h"

#include "comm/PortSettings.h"
#include "machines/MachineCreation.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace zep::test {
namespace {

struct MachineCreationTest : MachinesFixture {
    MachineCreation::Result create(const WizardChoices &c)
    {
        MachineCreation::Result result;
        result.connection = -2; // no result yet
        MachineCreation::CreateMachine(database, settings, prompts, clock, c,
                                       [&result](const MachineCreation::Result &made) { result = made; });
        return result;
    }
    void activate(int connection, int port)
    {
        PortSettings p;
        p.aktiviert = true;
        p.comAnschluss = port;
        p.save(settings, connection);
    }
    int machines()
    {
        return database.openRecordset("SELECT count(*) AS n FROM Maschinen", RecordsetType::Snapshot)->value("n").toInt();
    }
};

TEST_F(MachineCreationTest, RecordWithoutLineKeepsTheTypedTextsAndWritesNoConnection)
{
    WizardChoices c;
    c.bezeichnung = "  Müller's Drehbank ";
    c.standort = "Halle 2";
    c.interval = 3;
    c.note = "Öl wechseln";
    const MachineCreation::Result r = create(c);
    EXPECT_EQ(r.outcome, MachineCreation::Outcome::Created);
    EXPECT_EQ(r.connection, -1);
    EXPECT_EQ(column(r.machine, "Bezeichnung").toString(), "  Müller's Drehbank ");
    EXPECT_EQ(column(r.machine, "MitRS232").toInt(), 0);
    EXPECT_EQ(column(r.machine, "Baudrate").toString(), "6");
    EXPECT_EQ(column(r.machine, "COMString").toString(), "8,N,1");
    EXPECT_EQ(column(r.machine, "Sonderzeichen").toInt(), 0);
    EXPECT_EQ(column(r.machine, "WartungsArt1").toInt(), 3);
    EXPECT_EQ(column(r.machine, "WartungsArt2").toInt(), 0);
    EXPECT_EQ(column(r.machine, "WartStart3").toDateTime(), clock.now());
    EXPECT_EQ(column(r.machine, "WartText1").toString(), "Öl wechseln");
    EXPECT_TRUE(settings.read("COM0Einstellungen", "Aktiviert").isEmpty());
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(MachineCreationTest, TheFirstInactiveConnectionGetsEveryKeyWhateverItHadBefore)
{
    activate(0, 1);
    settings.write("COM1Einstellungen", "EndCode", "<SA>3");
    settings.write("COM1Einstellungen", "ECRzu", "13");
    settings.write("COM1Einstellungen", "Puffer", "4096");
    settings.write("COM1Einstellungen", "COM-Anschluß", "7");
    EXPECT_EQ(MachineCreation::freePorts(settings).first(), "Com2");
    WizardChoices c;
    c.bezeichnung = "Fräse";
    c.rs232 = true;
    c.port = "Com12";
    c.line = LineSettings(LineChoices::speedAt(13), LineChoices::parityAt(0), "7", "2", 1);
    const MachineCreation::Result r = create(c);
    EXPECT_EQ(r.outcome, MachineCreation::Outcome::Created);
    EXPECT_EQ(r.connection, 1);
    const PortSettings p = PortSettings::load(settings, 1);
    EXPECT_TRUE(p.aktiviert);
    EXPECT_EQ(p.line.text(), "115200,E,7,2");
    EXPECT_EQ(p.comAnschluss, 12);
    EXPECT_EQ(p.line.handshake(), 1);
    EXPECT_EQ(p.maschinenIndex, r.machine);
    EXPECT_EQ(p.puffer, 256);
    EXPECT_EQ(p.conversions, LineConversions());
    EXPECT_EQ(p.endCode, "<ST>");
    EXPECT_EQ(column(r.machine, "COMString").toString(), "7,E,2");
    EXPECT_EQ(column(r.machine, "MitRS232").toInt(), 1);
}

TEST_F(MachineCreationTest, WithAllConnectionsActiveTheMachineIsCreatedAndNothingIsBound)
{
    for (int i = 0; i < 5; ++i)
        activate(i, i + 1);
    const QStringList ports = MachineCreation::freePorts(settings);
    EXPECT_EQ(ports.size(), 11);
    EXPECT_EQ(ports.first(), "Com6");
    const QString before = QString::fromUtf8(env.readFile(env.iniFile()));
    WizardChoices c;
    c.bezeichnung = "Sechste";
    c.rs232 = true;
    c.port = ports.first();
    const MachineCreation::Result r = create(c);
    EXPECT_EQ(r.outcome, MachineCreation::Outcome::Created);
    EXPECT_EQ(r.connection, -1);
    EXPECT_EQ(machines(), 1);
    EXPECT_EQ(QString::fromUtf8(env.readFile(env.iniFile())), before);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "Maschinenverbindungen");
    EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Critical);
    EXPECT_EQ(prompts.asked()[0].text, MachineCreation::noFreeConnectionText());
}

TEST_F(MachineCreationTest, TheRetryReportWaitsWithoutHoldingTheWizardAndRetryCreatesAndBindsThen)
{
    // Another program holds the catalogue's write lock.
    QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other-program");
    other.setDatabaseName(dbPath());
    ASSERT_TRUE(other.open() && QSqlQuery(other).exec("BEGIN IMMEDIATE"));
    prompts.holdQuestions(true);
    WizardChoices c;
    c.bezeichnung = "Fräse";
    c.rs232 = true;
    c.port = "Com3";
    std::optional<MachineCreation::Result> result;
    MachineCreation::CreateMachine(database, settings, prompts, clock, c,
                                   [&result](const MachineCreation::Result &made) { result = made; });
    EXPECT_FALSE(result);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_TRUE(prompts.heldQuestions()[0].text.contains("frmWizard.CreateMachine"));
    EXPECT_EQ(prompts.heldQuestions()[0].unattended, PromptAnswer::Cancel);
    QSqlQuery(other).exec("ROLLBACK");
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase("other-program");
    prompts.answerHeld(0, PromptAnswer::Retry);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->outcome, MachineCreation::Outcome::Created);
    EXPECT_EQ(result->connection, 0);
    EXPECT_EQ(machines(), 1);
    EXPECT_EQ(settings.read("COM0Einstellungen", "MaschinenIndex"), QString::number(result->machine));
}

TEST_F(MachineCreationTest, AFailedInsertIsNotReportedAsCreatedAndBindsNothing)
{
    ASSERT_TRUE(database.execute("DROP TABLE Maschinen"));
    prompts.queueAnswer(PromptAnswer::Cancel);
    WizardChoices c;
    c.bezeichnung = "Geht nicht";
    c.rs232 = true;
    const MachineCreation::Result r = create(c);
    EXPECT_EQ(r.outcome, MachineCreation::Outcome::NotCreated);
    EXPECT_EQ(r.connection, -1);
    EXPECT_TRUE(settings.read("COM0Einstellungen", "Aktiviert").isEmpty());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked()[0].text.contains("frmWizard.CreateMachine"));
}

} // namespace
} // namespace zep::test
