#include "CatalogueFixture.h"

#include "catalogue/RecordIntake.h"
#include "catalogue/RecordSession.h"

#include <future>
#include <thread>

namespace zep::test {
namespace {

// One record edited at two stations, each with its own connection to the
// catalogue and its own prompts: whoever saves second is shown both
// versions and chooses; no edit goes without the user having seen it.
struct RecordConflictTest : CatalogueOnEngines {
    void SetUp() override
    {
        CatalogueOnEngines::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        const RecordIntake::Result made = RecordIntake::catalogue(db(), clock, state->pendingMachines, {"P1.NC"});
        ASSERT_EQ(made.created.size(), 1);
        index = made.created.first().index;
        const bool opened = GetParam() == Engine::Postgres ? otherDb.openServer(db().path()) : otherDb.open(dbPath());
        ASSERT_TRUE(opened) << qPrintable(otherDb.lastError().description);
    }

    std::unique_ptr<RecordSession> open(Database &database, ScriptedPrompts &asker, RecordFields *read)
    {
        auto session = std::make_unique<RecordSession>(
            RecordSession::Context{database, asker, state->verzeichnis, state->fotoVerzeichnis, {}}, index);
        session->load([read](RecordSession::Loaded loaded, const RecordFields &fields) {
            EXPECT_EQ(loaded, RecordSession::Loaded::Read);
            *read = fields;
        });
        return session;
    }
    RecordSession::SaveOutcome save(RecordSession &session, const RecordFields &fields)
    {
        RecordSession::SaveOutcome result;
        bool settled = false;
        session.save(fields, std::nullopt, [&](const RecordSession::SaveOutcome &out) {
            result = out;
            settled = true;
        });
        EXPECT_TRUE(settled);
        return result;
    }
    RecordFields stored()
    {
        const CatalogueRecord::Loaded loaded = CatalogueRecord::load(db(), index);
        EXPECT_TRUE(loaded.found);
        return loaded.fields;
    }

    long index = 0;
    Database otherDb;
    ScriptedPrompts otherPrompts;
};

TEST_P(RecordConflictTest, SecondSaveIsShownBothVersionsAndNoEditIsLost)
{
    RecordFields mine, theirs;
    auto here = open(db(), prompts, &mine);
    auto there = open(otherDb, otherPrompts, &theirs);

    theirs.kunde = "Müller & Söhne";
    theirs.bemerkungen = "Spannmittel neu";
    ASSERT_EQ(save(*there, theirs).saved, RecordSession::Saved::Stored);
    EXPECT_TRUE(otherPrompts.asked().isEmpty());

    mine.auftragsnummer = "A-4711";
    mine.bemerkungen = "Werkzeug T5 getauscht";
    // The user goes back to editing: nothing is stored, both versions stay.
    prompts.queueAnswer(PromptAnswer::Cancel);
    RecordSession::SaveOutcome out = save(*here, mine);
    EXPECT_EQ(out.saved, RecordSession::Saved::BackToEditing);
    ASSERT_EQ(prompts.asked().size(), 1);
    const ScriptedPrompts::Asked asked = prompts.asked().first();
    EXPECT_EQ(asked.title, RecordSession::changedElsewhereTitle());
    EXPECT_EQ(asked.buttons, PromptButtons::YesNoCancel);
    EXPECT_EQ(asked.text, RecordSession::changedElsewhereText("P1.NC", here->differences(out.theirs, mine)));
    for (const char *part : {"Kunde:\r    dort: \"Müller & Söhne\"\r    hier: (leer)",
                             "Auftragsnummer:\r    dort: (leer)\r    hier: \"A-4711\"",
                             "Bemerkungen:\r    dort: \"Spannmittel neu\"\r    hier: \"Werkzeug T5 getauscht\""})
        EXPECT_TRUE(asked.text.contains(part)) << qPrintable(asked.text);
    EXPECT_FALSE(asked.text.contains("Bezeichnung:"));
    EXPECT_EQ(stored().kunde, "Müller & Söhne");
    EXPECT_EQ(stored().auftragsnummer, "");

    // Asked again at the next save; now the other version is taken over,
    // the user adds the own edits to it and saves without a question.
    prompts.clear();
    prompts.queueAnswer(PromptAnswer::No);
    out = save(*here, mine);
    ASSERT_EQ(out.saved, RecordSession::Saved::TookTheirs);
    EXPECT_EQ(prompts.asked().size(), 1);
    RecordFields merged = out.theirs;
    merged.auftragsnummer = mine.auftragsnummer;
    merged.bemerkungen = out.theirs.bemerkungen + "\r\n" + mine.bemerkungen;
    prompts.clear();
    EXPECT_EQ(save(*here, merged).saved, RecordSession::Saved::Stored);
    EXPECT_TRUE(prompts.asked().isEmpty());
    const RecordFields result = stored();
    EXPECT_EQ(result.kunde, "Müller & Söhne");
    EXPECT_EQ(result.auftragsnummer, "A-4711");
    EXPECT_EQ(result.bemerkungen, "Spannmittel neu\r\nWerkzeug T5 getauscht");

    // The first station, saving again from its old reading, is asked in turn.
    theirs.laufzeit = "12 min";
    EXPECT_EQ(save(*there, theirs).saved, RecordSession::Saved::BackToEditing);
    EXPECT_EQ(otherPrompts.asked().size(), 1);
    EXPECT_EQ(stored().auftragsnummer, "A-4711");
}

TEST_P(RecordConflictTest, KeepingMineStoresItAndNobodyAtThePcLosesNothing)
{
    RecordFields mine, theirs;
    auto here = open(db(), prompts, &mine);
    auto there = open(otherDb, otherPrompts, &theirs);
    theirs.kunde = "Dort";
    ASSERT_EQ(save(*there, theirs).saved, RecordSession::Saved::Stored);

    // Nobody answers: the cautious answer edits on, the stored version stays.
    mine.kunde = "Hier";
    EXPECT_EQ(save(*here, mine).saved, RecordSession::Saved::BackToEditing);
    EXPECT_EQ(stored().kunde, "Dort");
    EXPECT_EQ(prompts.asked().size(), 1);

    // The question stays open while the other station saves once more:
    // keeping mine then asks again, with the version stored now.
    prompts.holdQuestions(true);
    std::optional<RecordSession::Saved> saved;
    here->save(mine, std::nullopt, [&](const RecordSession::SaveOutcome &out) { saved = out.saved; });
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    theirs.kunde = "Dort, zweite Fassung";
    ASSERT_EQ(save(*there, theirs).saved, RecordSession::Saved::Stored);
    prompts.answerHeld(0, PromptAnswer::Yes);
    EXPECT_FALSE(saved);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_TRUE(prompts.heldQuestions().first().text.contains("dort: \"Dort, zweite Fassung\""));
    EXPECT_EQ(stored().kunde, "Dort, zweite Fassung");
    prompts.answerHeld(0, PromptAnswer::Yes);
    EXPECT_EQ(saved, RecordSession::Saved::Stored);
    EXPECT_EQ(stored().kunde, "Hier");
}

TEST_P(RecordConflictTest, NoQuestionWithoutAChangeElsewhereOrWhenBothStoredTheSame)
{
    RecordFields mine, theirs;
    auto here = open(db(), prompts, &mine);
    auto there = open(otherDb, otherPrompts, &theirs);
    mine.kunde = "Gleich";
    mine.datum = "070226";
    ASSERT_EQ(save(*here, mine).saved, RecordSession::Saved::Stored);
    // Saved twice from here: the second compares with the first.
    mine.ersteller = "KL";
    ASSERT_EQ(save(*here, mine).saved, RecordSession::Saved::Stored);
    // The other station made exactly the same edits: nothing to choose.
    theirs.kunde = "Gleich";
    theirs.datum = "07.02.2026";
    theirs.ersteller = "KL";
    EXPECT_EQ(save(*there, theirs).saved, RecordSession::Saved::Stored);
    EXPECT_TRUE(prompts.asked().isEmpty());
    EXPECT_TRUE(otherPrompts.asked().isEmpty());
}

TEST_P(RecordConflictTest, SaveWaitsForTheOtherStationsSaveAndThenComparesWithIt)
{
    if (GetParam() != Engine::Postgres)
        GTEST_SKIP() << "a catalogue file is locked whole by the saving transaction";
    RecordFields mine, theirs;
    auto here = open(db(), prompts, &mine);
    auto there = open(otherDb, otherPrompts, &theirs);
    // The other station is inside its save (row locked, change not yet
    // committed) when this one saves.
    ASSERT_TRUE(otherDb.transaction());
    ASSERT_TRUE(otherDb.execute("UPDATE DateiListe SET Kunde=? WHERE DateiIndex=?", {"Dort", qlonglong(index)}));
    auto commitLater = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return otherDb.commit();
    });
    mine.kunde = "Hier";
    EXPECT_EQ(save(*here, mine).saved, RecordSession::Saved::BackToEditing);
    EXPECT_TRUE(commitLater.get());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked().first().text.contains("dort: \"Dort\""));
    EXPECT_EQ(stored().kunde, "Dort");
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordConflictTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

} // namespace
} // namespace zep::test
