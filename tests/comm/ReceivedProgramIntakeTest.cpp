#include "app/Logbook.h"
#include "app/ManualClock.h"
#include "app/ScriptedPrompts.h"
#include "comm/ReceivedProgramIntake.h"
#include "comm/ReceptionJournal.h"
#include "support/QStringPrinter.h"
#include "support/SmallFileSystem.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "support/AllBytes.h"
#include <memory>
#include <optional>
#include <sys/stat.h>

using namespace zep;
using zep::test::allBytes;
using zep::test::TestEnvironment;
using Status = ReceivedProgramIntake::Status;

namespace {

// A reception as the station hands it over: journalled first, then given
// to an intake with the machine its connection had at that moment.
class ReceivedProgramIntakeTest : public ::testing::Test {
protected:
    ReceivedProgramIntakeTest() { QDir().mkpath(dir()); }

    QString dir() const { return env.root() + "daten/"; }

    std::unique_ptr<ReceivedProgramIntake> receive(int connection, long machine, const QByteArray &text,
                                                   const QString &programDir = {})
    {
        ReceptionJournal *j = &journal;
        if (!programDir.isEmpty()) {
            m_otherJournal = std::make_unique<ReceptionJournal>(programDir, clock);
            j = m_otherJournal.get();
        }
        const ReceptionJournal::Added added = j->add(connection, machine, text);
        EXPECT_TRUE(added.ok()) << added.error;
        TraceSink trace;
        trace.isOn = [] { return true; };
        trace.appendLine = [this](const QString &line) { traceLines << line; };
        ReceivedProgramIntake::Context context{prompts,
                                               logbook,
                                               clock,
                                               programDir.isEmpty() ? env.programDir() : programDir,
                                               [this] { return dir(); },
                                               trace,
                                               j};
        return std::make_unique<ReceivedProgramIntake>(
            context, [this](const QString &name, long m) { pending << qMakePair(name, m); },
            ReceivedProgram{connection, machine, text, added.id});
    }

    // A save with every question answered at once by the scripted prompts.
    static ReceivedProgramIntake::SaveResult saveNew(ReceivedProgramIntake &intake, const QString &name)
    {
        return answered([&](auto done) { intake.saveAsNew(name, done); });
    }
    static ReceivedProgramIntake::SaveResult saveUpdate(ReceivedProgramIntake &intake, const QString &name)
    {
        return answered([&](auto done) { intake.saveAsUpdate(name, done); });
    }
    template <typename Save> static ReceivedProgramIntake::SaveResult answered(Save save)
    {
        std::optional<ReceivedProgramIntake::SaveResult> result;
        save([&](const ReceivedProgramIntake::SaveResult &r) { result = r; });
        EXPECT_TRUE(result.has_value()) << "a question is still open";
        return result.value_or(ReceivedProgramIntake::SaveResult{});
    }

    QStringList files(const QString &in = {}) const
    {
        return QDir(in.isEmpty() ? dir() : in).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                                                         QDir::Name);
    }
    QStringList recoveryFiles(const QString &in = {}) const
    {
        return QDir(in.isEmpty() ? env.programDir() : in)
            .entryList({"Nicht_gespeichert_Maschine*"}, QDir::Files, QDir::Name);
    }

    TestEnvironment env;
    ScriptedPrompts prompts;
    ManualClock clock{QDateTime(QDate(2026, 3, 5), QTime(14, 33, 7))};
    Logbook logbook{env.programDir(), clock};
    ReceptionJournal journal{env.programDir(), clock};
    QList<QPair<QString, long>> pending;
    QStringList traceLines;

private:
    std::unique_ptr<ReceptionJournal> m_otherJournal;
};

} // namespace

TEST_F(ReceivedProgramIntakeTest, ANewFileGetsTheTextByteForByteAndTheMachineOfItsReceptionAndLeavesTheJournal)
{
    auto intake = receive(2, 7, allBytes());
    ASSERT_EQ(journal.entries().size(), 1);
    const ReceivedProgramIntake::SaveResult result = saveNew(*intake, "Müller's Welle.cnc");
    ASSERT_EQ(result.status, Status::Saved);
    EXPECT_EQ(result.path, dir() + "Müller's Welle.cnc");
    EXPECT_EQ(result.storedName, "MÜLLER'S WELLE.CNC");
    EXPECT_EQ(env.readFile(result.path), allBytes());
    EXPECT_EQ(files(), QStringList({"Müller's Welle.cnc"}));
    EXPECT_EQ(pending, (QList<QPair<QString, long>>{{"MÜLLER'S WELLE.CNC", 7L}}));
    EXPECT_EQ(traceLines, QStringList({"Datei 'Müller's Welle.cnc' wird gespeichert."}));
    EXPECT_TRUE(intake->settled());
    EXPECT_TRUE(intake->text().isEmpty());
    EXPECT_TRUE(journal.entries().isEmpty());
    EXPECT_TRUE(prompts.asked().isEmpty());

    // Settled is settled: nothing more is written or kept.
    EXPECT_EQ(saveNew(*intake, "Noch einmal.cnc").status, Status::Refused);
    EXPECT_TRUE(intake->keepAsRecovery().kept);
    EXPECT_EQ(files().size(), 1);
    EXPECT_TRUE(recoveryFiles().isEmpty());
}

TEST_F(ReceivedProgramIntakeTest, AnUpdateReplacesTheOriginalUnderItsRealNameAndSetsNoMachine)
{
    env.writeFile(dir() + "Drehen/Welle a.nc", "ALT");
    auto intake = receive(1, 3, "NEU\r\n");
    const ReceivedProgramIntake::SaveResult result = saveUpdate(*intake, "DREHEN\\WELLE A.NC");
    ASSERT_TRUE(result.saved());
    EXPECT_EQ(result.path, dir() + "Drehen/Welle a.nc");
    EXPECT_EQ(env.readFile(dir() + "Drehen/Welle a.nc"), "NEU\r\n");
    EXPECT_EQ(files(dir() + "Drehen"), QStringList({"Welle a.nc"}));
    EXPECT_TRUE(pending.isEmpty());
    EXPECT_TRUE(journal.entries().isEmpty());
}

TEST_F(ReceivedProgramIntakeTest, RefusalsAndAMissingOriginalKeepTheProgramAndItsJournalEntry)
{
    env.writeFile(dir() + "p1.nc", "ALT");
    auto intake = receive(4, 2, "N10");

    EXPECT_EQ(saveNew(*intake, ".cnc").status, Status::Refused);
    EXPECT_EQ(prompts.beeps(), 1);
    EXPECT_EQ(saveNew(*intake, "P1.NC").status, Status::Refused);
    EXPECT_EQ(saveNew(*intake, "a//b.nc").status, Status::Refused);
    const ReceivedProgramIntake::SaveResult missing = saveUpdate(*intake, "WEG.NC");
    EXPECT_EQ(missing.status, Status::OriginalMissing);
    EXPECT_EQ(missing.offeredName, "WEG.NC");
    EXPECT_EQ(prompts.messageTexts(),
              QStringList({"Die Datei 'P1.NC' existiert bereits!",
                           "Der Name 'a//b.nc' ist kein gültiger Dateiname im überwachten Verzeichnis!",
                           "Originaldatei nicht gefunden. Die Datei wäre keinem Datensatz zugeordnet!"}));
    EXPECT_EQ(prompts.titles(), QStringList({"ZEP", "Ungültiger Name!", "Originaldatei?"}));

    EXPECT_TRUE(intake->warnIfTaken("P1.nc"));
    EXPECT_FALSE(intake->warnIfTaken("P2.nc"));
    const std::optional<ReceivedProgramIntake::Original> original = intake->original("P1.NC");
    ASSERT_TRUE(original);
    EXPECT_EQ(original->path, dir() + "p1.nc");
    EXPECT_EQ(original->text, "ALT");
    EXPECT_FALSE(intake->original("WEG.NC"));
    EXPECT_EQ(prompts.asked().last().text, "Die Datei 'WEG.NC' wurde im überwachten Verzeichnis nicht gefunden!");

    EXPECT_FALSE(intake->settled());
    EXPECT_EQ(intake->text(), "N10");
    EXPECT_EQ(env.readFile(dir() + "p1.nc"), "ALT");
    EXPECT_EQ(files(), QStringList({"p1.nc"}));
    EXPECT_TRUE(pending.isEmpty());
    ASSERT_EQ(journal.entries().size(), 1);
    EXPECT_EQ(journal.entries()[0].text, "N10");
}

TEST_F(ReceivedProgramIntakeTest, AnEditedTextIsSavedWhileTheJournalKeepsWhatWasReceived)
{
    auto intake = receive(1, 0, "N10\r\n");
    // A cancelled comparison gives nothing, an untouched one the same text: no edit either.
    EXPECT_FALSE(intake->replaceText(QByteArray()));
    EXPECT_FALSE(intake->replaceText("N10\r\n"));
    EXPECT_EQ(intake->text(), "N10\r\n");
    EXPECT_TRUE(intake->replaceText("%\r\nN10\r\n"));
    EXPECT_EQ(journal.entries()[0].text, "N10\r\n");
    ASSERT_TRUE(saveNew(*intake, "P1.NC").saved());
    EXPECT_EQ(env.readFile(dir() + "P1.NC"), "%\r\nN10\r\n");
    EXPECT_EQ(pending, (QList<QPair<QString, long>>{{"P1.NC", 0L}}));
    // Saved is settled: a late edit changes nothing.
    EXPECT_FALSE(intake->replaceText("N99\r\n"));
    EXPECT_TRUE(intake->text().isEmpty());
}

TEST_F(ReceivedProgramIntakeTest, AnOriginalThatCannotBeReadIsToldAndNotComparedAsAnEmptyProgram)
{
    // A pipe under the name: an entry of that name, but no program to read.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir() + "ROHR.NC").constData(), 0600), 0);
    auto intake = receive(1, 0, "N10");
    EXPECT_FALSE(intake->original("ROHR.NC"));
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked()[0].text.contains("kann nicht gelesen werden")) << prompts.asked()[0].text;
    EXPECT_EQ(prompts.asked()[0].title, "Fehler!");
    EXPECT_EQ(intake->text(), "N10");
}

TEST_F(ReceivedProgramIntakeTest, DiscardWritesNothingAndLeavesTheJournal)
{
    auto intake = receive(3, 1, "N10");
    auto other = receive(5, 1, "N20");
    intake->discard();
    EXPECT_TRUE(intake->settled());
    EXPECT_TRUE(files().isEmpty());
    EXPECT_TRUE(recoveryFiles().isEmpty());
    EXPECT_FALSE(QFile::exists(logbook.filePath()));
    ASSERT_EQ(journal.entries().size(), 1);
    EXPECT_EQ(journal.entries()[0].id, other->journalId());
}

TEST_F(ReceivedProgramIntakeTest, KeptAsRecoveryTheProgramIsWholeInTheProgramDirectoryAndLogged)
{
    auto intake = receive(2, 7, allBytes());
    const ReceivedProgramIntake::KeepResult kept = intake->keepAsRecovery();
    ASSERT_TRUE(kept.kept);
    EXPECT_EQ(kept.path, env.programDir() + "Nicht_gespeichert_Maschine2_2026-03-05_14-33-07.txt");
    EXPECT_EQ(env.readFile(kept.path), allBytes());
    const QByteArray log = env.readFile(logbook.filePath());
    EXPECT_TRUE(log.startsWith("05.03.2026/14:33 - Empfangenes Programm von Maschine 2 nicht gespeichert"));
    EXPECT_TRUE(log.contains(QFile::encodeName(kept.path)));
    EXPECT_TRUE(intake->settled());
    EXPECT_TRUE(journal.entries().isEmpty());
    EXPECT_TRUE(prompts.asked().isEmpty());

    // An empty reception has nothing to keep.
    auto empty = receive(1, 0, QByteArray());
    EXPECT_TRUE(empty->keepAsRecovery().kept);
    EXPECT_EQ(recoveryFiles().size(), 1);
    EXPECT_TRUE(journal.entries().isEmpty());
}

TEST_F(ReceivedProgramIntakeTest, AFailedWriteChangesNothingOnDiskAndKeepsTheJournalEntry)
{
    const QString mountPoint = dir() + "voll/";
    test::SmallFileSystem disk(mountPoint, "64k");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    const QByteArray old(4000, 'O');
    env.writeFile(mountPoint + "P1.NC", old);
    const QByteArray received(512 * 1024, 'N');
    auto intake = receive(1, 4, received);
    prompts.queueAnswer(PromptAnswer::Retry); // then the default: Cancel
    EXPECT_EQ(saveUpdate(*intake, "VOLL\\P1.NC").status, Status::NotWritten);
    EXPECT_EQ(saveNew(*intake, "voll/P2.NC").status, Status::NotWritten);
    ASSERT_EQ(prompts.asked().size(), 3);
    EXPECT_TRUE(prompts.asked()[0].text.contains("Aufgetreten in Form10.Command1_Click"));
    EXPECT_EQ(prompts.asked()[0].buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(env.readFile(mountPoint + "P1.NC"), old);
    EXPECT_EQ(files(mountPoint), QStringList({"P1.NC"}));
    EXPECT_TRUE(pending.isEmpty());
    EXPECT_FALSE(intake->settled());
    EXPECT_EQ(intake->text(), received);
    ASSERT_EQ(journal.entries().size(), 1);
    EXPECT_EQ(journal.entries()[0].text, received);
}

TEST_F(ReceivedProgramIntakeTest, ARecoveryFileThatCannotBeWrittenIsToldAndTheJournalEntryStays)
{
    const QString programDir = env.root() + "nurlesen/";
    test::SmallFileSystem disk(programDir, "256k");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    auto intake = receive(3, 1, "N10", programDir);
    ASSERT_TRUE(disk.makeReadOnly());
    const ReceivedProgramIntake::KeepResult kept = intake->keepAsRecovery();
    EXPECT_FALSE(kept.kept);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked()[0].text.startsWith(
        "Das Programm von Maschine 3 konnte nicht gesichert werden und bleibt in diesem Fenster:"));
    EXPECT_FALSE(intake->settled());
    EXPECT_EQ(intake->text(), "N10");
    EXPECT_TRUE(recoveryFiles(programDir).isEmpty());
    EXPECT_EQ(ReceptionJournal(programDir, clock).entries().size(), 1);
}

// The question after a failed write waits without holding anything up; the
// save ends with its answer, or not at all when the program went its own way
// meanwhile.
TEST_F(ReceivedProgramIntakeTest, AFailedWriteAsksWithoutWaitingAndEndsWithTheAnswer)
{
    const QString mountPoint = dir() + "voll/";
    test::SmallFileSystem disk(mountPoint, "64k");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    const QByteArray old(4000, 'O');
    env.writeFile(mountPoint + "P1.NC", old);
    const QString filler = env.writeFile(mountPoint + "FUELLER", QByteArray(40000, 'F'));
    const QByteArray received(40000, 'N');
    prompts.holdQuestions(true);

    // Retried once the disk has room: saved then.
    auto intake = receive(1, 4, received);
    std::optional<ReceivedProgramIntake::SaveResult> result;
    intake->saveAsUpdate("VOLL\\P1.NC", [&](const ReceivedProgramIntake::SaveResult &r) { result = r; });
    EXPECT_FALSE(result.has_value());
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(prompts.heldQuestions()[0].unattended, PromptAnswer::Cancel);
    EXPECT_FALSE(intake->settled());
    ASSERT_TRUE(QFile::remove(filler));
    prompts.answerHeld(0, PromptAnswer::Retry);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->status, Status::Saved);
    EXPECT_EQ(env.readFile(mountPoint + "P1.NC"), received);
    EXPECT_TRUE(intake->settled());

    // Closed while the question waited: kept as a recovery file, and a
    // Retry afterwards writes nothing.
    env.writeFile(mountPoint + "FUELLER", QByteArray(40000, 'F'));
    intake = receive(2, 4, QByteArray(40000, 'Z'));
    result.reset();
    intake->saveAsNew("voll/P2.NC", [&](const ReceivedProgramIntake::SaveResult &r) { result = r; });
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_TRUE(intake->keepAsRecovery().kept);
    ASSERT_TRUE(QFile::remove(mountPoint + "FUELLER"));
    prompts.answerHeld(0, PromptAnswer::Retry);
    EXPECT_FALSE(result.has_value());
    EXPECT_FALSE(QFileInfo::exists(mountPoint + "P2.NC"));
    EXPECT_TRUE(pending.isEmpty());
    EXPECT_EQ(recoveryFiles().size(), 1);

    // Gone with its window while the question waited: the answer finds
    // nothing to do.
    env.writeFile(mountPoint + "FUELLER", QByteArray(40000, 'F'));
    intake = receive(3, 4, QByteArray(40000, 'Y'));
    intake->saveAsNew("voll/P3.NC", [&](const ReceivedProgramIntake::SaveResult &r) { result = r; });
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    intake.reset();
    ASSERT_TRUE(QFile::remove(mountPoint + "FUELLER"));
    prompts.answerHeld(0, PromptAnswer::Retry);
    EXPECT_FALSE(result.has_value());
    EXPECT_FALSE(QFileInfo::exists(mountPoint + "P3.NC"));
    EXPECT_TRUE(prompts.heldQuestions().isEmpty());
}
