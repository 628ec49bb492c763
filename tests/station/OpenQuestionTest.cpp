#include "StationFixture.h"

#include "app/CodePage1252.h"
#include "comm/CommEvent.h"
#include "comm/CommStation.h"
#include "comm/MachineSide.h"
#include "comm/PortSettings.h"
#include "comm/ReceptionJournal.h"
#include "comm/SendJob.h"
#include "comm/SerialPort.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "support/PtyPair.h"
#include "station/StationInternals.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

// The station at work with its real timers and four machines on
// pseudo-terminals, while what it asked waits for somebody.
struct OpenQuestionTest : ::testing::Test, StationFixture {
    void SetUp() override
    {
        storeDirectories();
        // The directory check every second, so the test need not wait long.
        settings.write("Settings", "Intervall", "1");
        ASSERT_TRUE(createFreshDatabase(dbPath()));
        for (int i = 0; i < 4; ++i) {
            ASSERT_TRUE(machines[i].ok());
            PortSettings p;
            p.aktiviert = true;
            p.comAnschluss = i + 1;
            p.maschinenIndex = 11 + i;
            p.endCode = "<SA>26";
            p.save(settings, i);
            settings.write("Schnittstellen", "COM" + QString::number(i + 1), machines[i].slavePath());
        }
    }
    void watch()
    {
        QObject::connect(station.get(), &Station::programReceived,
                         [this](const ReceivedProgram &p) { received << p; });
        QObject::connect(station.get(), &Station::recordCreated, [this](long index) { created << index; });
    }
    // Lets the station's own timers and ports run until `done` or 20 s.
    template <typename Done> bool runUntil(Done done)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        return done();
    }
    const ReceivedProgram *from(int maschinenNummer) const
    {
        for (const ReceivedProgram &p : received)
            if (p.maschinenNummer == maschinenNummer)
                return &p;
        return nullptr;
    }
    long machineOfRecord(const QString &dateiname)
    {
        auto record = state->database.openRecordset("SELECT MaschinenIndex FROM DateiListe WHERE Dateiname = ?",
                                                    RecordsetType::Dynaset, {dateiname});
        return record && !record->eof() ? long(record->value("MaschinenIndex").toLongLong()) : -1;
    }
    QString logbookText() const { return CodePage1252::decode(env.readFile(env.programDir() + "Logbuch.txt")); }

    NoStationDialogs dialogs;
    PtyPair machines[4];
    QList<ReceivedProgram> received;
    QList<long> created;
};

// A second program holding the catalogue's write lock.
struct WriteLock {
    explicit WriteLock(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "write-lock");
        db.setDatabaseName(path);
        held = db.open() && QSqlQuery(db).exec("BEGIN IMMEDIATE");
    }
    void release() { QSqlQuery(QSqlDatabase::database("write-lock")).exec("ROLLBACK"); }
    ~WriteLock()
    {
        release();
        QSqlDatabase::database("write-lock").close();
        QSqlDatabase::removeDatabase("write-lock");
    }
    bool held = false;
};

} // namespace

TEST_F(OpenQuestionTest, ALockedCatalogueReportWaitsWhileTwoLinesReceiveAndRetryStoresTheRecordsAfterwards)
{
    // Files in the directory before ZEP watched it: the start-up offers to
    // catalogue them, and nobody answers yet.
    env.writeFile("data/ALT1.NC", "O1");
    env.writeFile("data/ALT2.NC", "O2");
    prompts.holdQuestions(true);
    watch();
    ASSERT_EQ(loadStation(dialogs, env.root() + "drive/"), Station::LoadOutcome::Ready);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].title, "Dateien ohne Datensatz");

    // Another program holds the catalogue when the answer comes: the store
    // fails and its retry report waits in turn.
    WriteLock other(dbPath());
    ASSERT_TRUE(other.held);
    prompts.answerHeld(0, PromptAnswer::Yes);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    const Question report = prompts.heldQuestions()[0];
    EXPECT_EQ(report.buttons, PromptButtons::RetryCancel);
    EXPECT_TRUE(report.text.contains("Aufgetreten in Form1.NeuerEintrag")) << report.text.toStdString();
    EXPECT_EQ(machineOfRecord("ALT1.NC"), -1);

    // Meanwhile two machines send their programs: received and journalled.
    machines[1].send("%\r\nN10 B2\r\nM30\r\n\x1A");
    machines[2].send("%\r\nN10 C3\r\nM30\r\n\x1A");
    ASSERT_TRUE(runUntil([&] { return from(2) && from(3); })) << received.size() << " received";
    EXPECT_EQ(from(2)->text, "%\r\nN10 B2\r\nM30\r\n");
    EXPECT_EQ(from(3)->text, "%\r\nN10 C3\r\nM30\r\n");
    const QList<ReceptionJournal::Entry> journalled = StationInternals::journal(*station).entries();
    ASSERT_EQ(journalled.size(), 2);
    for (const ReceptionJournal::Entry &entry : journalled)
        EXPECT_EQ(entry.machine, 10 + entry.connection);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);

    // The lock goes; Retry stores both records, once each.
    other.release();
    prompts.answerHeld(0, PromptAnswer::Retry);
    EXPECT_TRUE(prompts.heldQuestions().isEmpty());
    EXPECT_GE(machineOfRecord("ALT1.NC"), 0);
    EXPECT_GE(machineOfRecord("ALT2.NC"), 0);
    auto count = state->database.openRecordset("SELECT count(*) AS n FROM DateiListe", RecordsetType::Snapshot);
    ASSERT_TRUE(count);
    EXPECT_EQ(count->value("n").toInt(), 2);
}

TEST_F(OpenQuestionTest, TheStationRunsOnWhileItsQuestionsWaitAndGoesOnWhenTheyAreAnswered)
{
    prompts.holdQuestions(true);
    watch();
    ASSERT_EQ(loadStation(dialogs, env.root() + "drive/"), Station::LoadOutcome::Ready);
    ASSERT_TRUE(station->monitoring());

    // Machine 1's program arrives and waits for somebody to save it; then
    // its line reports an error, and that notice waits too.
    machines[0].send("%\r\nN10 G0 X1\r\nM30\r\n\x1A");
    ASSERT_TRUE(runUntil([&] { return from(1) != nullptr; }));
    StationInternals::comm(*station).port(0).raiseEvent(CommEvent::Frame);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].title, "Comm-Fehler");

    // Meanwhile: two other machines send programs, a program goes out to a
    // third, and new files come into the monitored directory.
    MachineSide reader(machines[3]);
    const QByteArray outgoing = QByteArray("%\r\n") + QByteArray(3000, 'G') + "\r\nM30\r\n";
    const QString path = env.writeFile("data/RAUS.NC", outgoing);
    std::optional<QString> sendError;
    SendJob *job = station->connections().send(SendOrder{path, 3, std::nullopt});
    ASSERT_TRUE(job);
    QObject::connect(job, &Job::finished, [&, job] { sendError = job->error(); });
    machines[1].send("%\r\nN10 B2\r\nM30\r\n\x1A");
    machines[2].send("%\r\nN10 C3\r\nM30\r\n\x1A");
    env.writeFile("data/NEU1.NC", "O1");
    env.writeFile("data/DREHEN/NEU2.NC", "O2");

    ASSERT_TRUE(runUntil([&] { return from(2) && from(3) && sendError && created.size() >= 3; }))
        << received.size() << " received, " << created.size() << " records";
    // Both receptions are on disk in the journal, each with its machine.
    const QList<ReceptionJournal::Entry> journalled = StationInternals::journal(*station).entries();
    ASSERT_EQ(journalled.size(), 3);
    for (const ReceptionJournal::Entry &entry : journalled) {
        const ReceivedProgram *program = from(entry.connection);
        ASSERT_TRUE(program);
        EXPECT_EQ(entry.text, program->text);
        EXPECT_EQ(entry.machine, 10 + entry.connection);
    }
    EXPECT_EQ(from(2)->text, "%\r\nN10 B2\r\nM30\r\n");
    EXPECT_EQ(from(3)->text, "%\r\nN10 C3\r\nM30\r\n");
    // The send ran to its end: the whole program and its end character.
    EXPECT_EQ(*sendError, QString());
    ASSERT_TRUE(runUntil([&] { return reader.count() >= outgoing.size() + 1; }));
    EXPECT_TRUE(reader.received().startsWith(outgoing));
    // The check catalogued the new files (and the one that went out).
    EXPECT_GE(machineOfRecord("NEU1.NC"), 0);
    EXPECT_GE(machineOfRecord("DREHEN\\NEU2.NC"), 0);
    EXPECT_GE(machineOfRecord("RAUS.NC"), 0);
    // Still nobody has answered anything.
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_TRUE(logbookText().contains("Comm-Fehler: Fehler bei Übertragung von Maschine1:  Fehler im Übertragungs-Raster"));

    // Answered afterwards: the notice is gone and the next error of that
    // line gets one of its own; the waiting program is saved and
    // catalogued under the machine it came from.
    prompts.answerHeld(0, PromptAnswer::Ok);
    EXPECT_TRUE(prompts.heldQuestions().isEmpty());
    StationInternals::comm(*station).port(0).raiseEvent(CommEvent::Break);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_TRUE(prompts.heldQuestions()[0].text.endsWith("Anhaltesignal empfangen?"));
    std::optional<ReceivedProgramIntake::SaveResult> saved;
    ReceivedProgramIntake intake = station->intakeFor(*from(1));
    intake.saveAsNew("VON1.NC", [&](const ReceivedProgramIntake::SaveResult &r) { saved = r; });
    ASSERT_TRUE(saved && saved->saved());
    EXPECT_EQ(env.readFile(env.root() + "data/VON1.NC"), "%\r\nN10 G0 X1\r\nM30\r\n");
    ASSERT_TRUE(runUntil([&] { return machineOfRecord("VON1.NC") >= 0; }));
    EXPECT_EQ(machineOfRecord("VON1.NC"), 11);
    EXPECT_EQ(StationInternals::journal(*station).entries().size(), 2);
}

// A station with nobody at the PC: what it would ask is answered by each
// question's own rule and written to the logbook; nothing reaches a window.
TEST_F(OpenQuestionTest, AnUnattendedStationJournalsWhatArrivesAndRunsOn)
{
    station = std::make_unique<Station>(settings, prompts, clock, logbook, env.programDir(), Attendance::Unattended);
    state = &StationInternals::state(*station);
    watch();
    ASSERT_TRUE(station->unattended());
    ASSERT_EQ(loadStation(dialogs, env.root() + "drive/"), Station::LoadOutcome::Ready);

    machines[0].send("%\r\nN10 G0 X1\r\n\x1A");
    ASSERT_TRUE(runUntil([&] { return from(1) != nullptr; }));
    ASSERT_EQ(StationInternals::journal(*station).entries().size(), 1);
    EXPECT_EQ(StationInternals::journal(*station).entries()[0].text, "%\r\nN10 G0 X1\r\n");

    // A line error, and the notice after the file list was read again: told
    // into the logbook only, and what follows the notice runs at once.
    StationInternals::comm(*station).port(0).raiseEvent(CommEvent::Frame);
    station->rescan();
    EXPECT_TRUE(prompts.asked().isEmpty());
    const QString log = logbookText();
    EXPECT_TRUE(log.contains("Comm-Fehler: Fehler bei Übertragung von Maschine1:  Fehler im Übertragungs-Raster"));
    EXPECT_TRUE(log.contains("ZEP: Dateiliste neu eingelesen!"));

    // A question with a real choice is answered by its rule, and says so.
    std::optional<PromptAnswer> answer;
    station->prompts().ask({"Soll ZEP trotzdem beendet werden?", "ZEP", PromptIcon::Question, PromptButtons::YesNo,
                            PromptAnswer::No},
                           [&](PromptAnswer a) { answer = a; });
    EXPECT_EQ(answer, PromptAnswer::No);
    EXPECT_TRUE(logbookText().contains("ZEP: Soll ZEP trotzdem beendet werden? - ohne Bediener beantwortet: Nein"));

    // The run goes on: the next program on the line with the error arrives
    // and is journalled, and the directory check catalogues a new file.
    machines[0].send("%\r\nN20 G0 X2\r\n\x1A");
    ASSERT_TRUE(runUntil([&] { return received.size() >= 2; }));
    EXPECT_EQ(received.last().text, "%\r\nN20 G0 X2\r\n");
    EXPECT_EQ(StationInternals::journal(*station).entries().size(), 2);
    env.writeFile("data/NACHTS.NC", "O1");
    ASSERT_TRUE(runUntil([&] { return machineOfRecord("NACHTS.NC") >= 0; }));
    EXPECT_TRUE(prompts.asked().isEmpty());
}
