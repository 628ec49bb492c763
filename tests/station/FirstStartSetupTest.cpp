#include "SessionFixture.h"

#include "station/FirstStartSetup.h"
#include "db/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <optional>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

struct FirstStart : ::testing::Test, SessionFixture {
    QString driveRoot() const { return env.root() + "drive/"; }
    FirstStartSetup setup(FirstStartSetup::Hooks hooks = {}) { return FirstStartSetup(*state, hooks, driveRoot()); }
    // The set-up with every question answered at once by the scripted prompts.
    static FirstStartSetup::Outcome run(FirstStartSetup setup)
    {
        std::optional<FirstStartSetup::Outcome> outcome;
        setup.run([&](FirstStartSetup::Outcome o) { outcome = o; });
        EXPECT_TRUE(outcome.has_value()) << "a question is still open";
        return outcome.value_or(FirstStartSetup::Outcome::Continue);
    }
};

} // namespace

TEST_F(FirstStart, CancelEndsTheProgramAndWritesNoSetting)
{
    prompts.queueAnswer(PromptAnswer::Cancel);
    EXPECT_EQ(run(setup()), FirstStartSetup::Outcome::EndProgram);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "Erster Start!");
    EXPECT_EQ(prompts.asked()[0].buttons, PromptButtons::YesNoCancel);
    EXPECT_FALSE(QFileInfo::exists(env.iniFile()));
    EXPECT_FALSE(QDir(driveRoot() + "ZEP_Data").exists());
}

TEST_F(FirstStart, NoOpensTheSettingsDialog)
{
    int opened = 0;
    prompts.queueAnswer(PromptAnswer::No);
    EXPECT_EQ(run(setup({{}, [&] { ++opened; }, {}})), FirstStartSetup::Outcome::Continue);
    EXPECT_EQ(opened, 1);
}

TEST_F(FirstStart, YesCreatesBothDirectoriesStoresThemAndRunsTheWizard)
{
    ASSERT_TRUE(createFreshDatabase(dbPath()));
    int wizards = 0;
    prompts.queueAnswer(PromptAnswer::Yes);
    prompts.queueAnswer(PromptAnswer::Ok);
    prompts.queueAnswer(PromptAnswer::Ok);
    EXPECT_EQ(run(setup({{}, {}, [&] {
                  ++wizards;
                  EXPECT_TRUE(state->database.isOpen()); // the wizard stores its machine
              }})),
              FirstStartSetup::Outcome::Continue);
    EXPECT_EQ(wizards, 1);
    EXPECT_TRUE(QDir(driveRoot() + "ZEP_Data").exists());
    EXPECT_TRUE(QDir(driveRoot() + "ZEP_Foto").exists());
    EXPECT_EQ(settings.read("Settings", "Verzeichnis"), driveRoot() + "ZEP_Data/");
    EXPECT_EQ(settings.read("Settings", "FotoVerzeichnis"), driveRoot() + "ZEP_Foto/");
    EXPECT_FALSE(state->database.isOpen()); // the regular load steps open it again
    ASSERT_EQ(prompts.asked().size(), 3);
    EXPECT_EQ(prompts.asked()[1].title, "Automatik");
    EXPECT_TRUE(prompts.asked()[1].text.contains(driveRoot() + "ZEP_Data/\r" + driveRoot() + "ZEP_Foto/"));
    EXPECT_TRUE(prompts.asked()[2].text.startsWith("Nun startet der Maschinen-Assistent."));
}

TEST_F(FirstStart, YesWithBothDirectoriesPresentCreatesNothingAndKeepsTheirContents)
{
    ASSERT_TRUE(createFreshDatabase(dbPath()));
    env.writeFile("drive/ZEP_Data/P1.NC", "%\r\nG0 X0\r\n");
    env.writeFile("drive/ZEP_Foto/Foto_P1.NC_1.jpg", "jpeg");
    prompts.queueAnswer(PromptAnswer::Yes);
    prompts.queueAnswer(PromptAnswer::Ok);
    prompts.queueAnswer(PromptAnswer::Ok);
    EXPECT_EQ(run(setup()), FirstStartSetup::Outcome::Continue);
    EXPECT_EQ(env.readFile(driveRoot() + "ZEP_Data/P1.NC"), "%\r\nG0 X0\r\n");
    EXPECT_EQ(settings.read("Settings", "Verzeichnis"), driveRoot() + "ZEP_Data/");
    EXPECT_EQ(prompts.asked().size(), 3);
}

TEST_F(FirstStart, DecliningTheProposedFoldersEndsWithTheRestartHint)
{
    prompts.queueAnswer(PromptAnswer::Yes);
    prompts.queueAnswer(PromptAnswer::Cancel);
    EXPECT_EQ(run(setup()), FirstStartSetup::Outcome::EndProgram);
    EXPECT_EQ(prompts.messageTexts().last(), "Starten Sie ZEP nun neu, um den Start-Dialog nochmals zu erhalten.");
    EXPECT_TRUE(settings.read("Settings", "Verzeichnis").isEmpty());
}

TEST_F(FirstStart, MissingDatabaseEndsAfterStoringTheDirectories)
{
    prompts.queueAnswer(PromptAnswer::Yes);
    prompts.queueAnswer(PromptAnswer::Ok);
    EXPECT_EQ(run(setup()), FirstStartSetup::Outcome::EndProgram);
    EXPECT_EQ(prompts.titles().last(), "Datenbank fehlt!");
    EXPECT_FALSE(QFileInfo::exists(dbPath())); // never created behind the user's back
}

TEST_F(FirstStart, DecliningTheWizardEndsSoTheNextStartDoesNotAskAgain)
{
    ASSERT_TRUE(createFreshDatabase(dbPath()));
    int wizards = 0;
    prompts.queueAnswer(PromptAnswer::Yes);
    prompts.queueAnswer(PromptAnswer::Ok);
    prompts.queueAnswer(PromptAnswer::Cancel);
    EXPECT_EQ(run(setup({{}, {}, [&] { ++wizards; }})), FirstStartSetup::Outcome::EndProgram);
    EXPECT_EQ(wizards, 0);
    EXPECT_FALSE(state->database.isOpen());
    EXPECT_FALSE(settings.read("Settings", "Verzeichnis").isEmpty());
}

TEST_F(FirstStart, TheProgramEndsOnlyOnceTheRestartHintHasBeenRead)
{
    prompts.holdQuestions(true);
    std::optional<FirstStartSetup::Outcome> outcome;
    setup().run([&](FirstStartSetup::Outcome o) { outcome = o; });
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].unattended, PromptAnswer::Cancel); // nothing set up unasked
    prompts.answerHeld(0, PromptAnswer::Yes);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].title, "Automatik");
    prompts.answerHeld(0, PromptAnswer::Cancel);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].text, "Starten Sie ZEP nun neu, um den Start-Dialog nochmals zu erhalten.");
    EXPECT_FALSE(outcome.has_value());
    prompts.answerHeld(0, PromptAnswer::Ok);
    EXPECT_EQ(outcome, FirstStartSetup::Outcome::EndProgram);
}
