#include "SessionFixture.h"

#include "station/AccessCheck.h"
#include "station/ShellActions.h"
#include "station/ShutdownQuestion.h"

#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {
struct Shell : ::testing::Test, SessionFixture {};
} // namespace

TEST_F(Shell, EmptyPasswordOpensWithoutAsking)
{
    int asked = 0;
    EXPECT_TRUE(CheckAccess(settings, [&](const QString &) { return ++asked, false; }));
    EXPECT_EQ(asked, 0);
}

TEST_F(Shell, StoredPasswordGoesToTheLoginAndItsAnswerCounts)
{
    settings.write("Settings", "Passwort", "Fräse'1");
    QString given;
    EXPECT_FALSE(CheckAccess(settings, [&](const QString &stored) { return given = stored, false; }));
    EXPECT_EQ(given, "Fräse'1");
    EXPECT_TRUE(CheckAccess(settings, [](const QString &) { return true; }));
}

TEST_F(Shell, ShutdownAnswersMapToMinimiseCloseAndCancel)
{
    prompts.queueAnswer(PromptAnswer::Yes);
    prompts.queueAnswer(PromptAnswer::No);
    prompts.queueAnswer(PromptAnswer::Cancel);
    QList<ShutdownAction> actions;
    for (int i = 0; i < 3; ++i)
        askShutdown(prompts, [&](ShutdownAction action) { actions << action; });
    EXPECT_EQ(actions, QList<ShutdownAction>({ShutdownAction::Minimise, ShutdownAction::Close, ShutdownAction::Cancel}));
    EXPECT_EQ(prompts.asked()[0].text, "Wollen Sie die Verzeichnisüberwachung aktiviert lassen?");
    EXPECT_EQ(prompts.asked()[0].title, "Wirklich beenden?");

    // Asked without waiting: the action comes with the answer.
    actions.clear();
    prompts.holdQuestions(true);
    askShutdown(prompts, [&](ShutdownAction action) { actions << action; });
    EXPECT_TRUE(actions.isEmpty());
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].unattended, PromptAnswer::Cancel);
    prompts.answerHeld(0, PromptAnswer::No);
    EXPECT_EQ(actions, QList<ShutdownAction>{ShutdownAction::Close});
}

TEST_F(Shell, MissingHelpPageIsReportedWithoutAskingTheDesktop)
{
    int opened = 0;
    openHelpPage(env.programDir(), prompts, [&](const QString &) { return ++opened, true; });
    EXPECT_EQ(opened, 0);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "ZEP Fehler!");
}

TEST_F(Shell, HelpPageThatTheDesktopCannotOpenIsReported)
{
    env.writeFile(env.programDir() + "ZEPHelp/ZEPHilfe.html", "<html></html>");
    QString opened;
    openHelpPage(env.programDir(), prompts, [&](const QString &p) { return opened = p, true; });
    EXPECT_EQ(opened, env.programDir() + "ZEPHelp/ZEPHilfe.html");
    EXPECT_TRUE(prompts.asked().isEmpty());
    openHelpPage(env.programDir(), prompts, [](const QString &) { return false; });
    EXPECT_EQ(prompts.titles(), QStringList{"ZEP Fehler!"});
}

TEST_F(Shell, StartProgramThatIsMissingGivesTheAutostartMessage)
{
    int started = 0;
    startExternalProgram(env.root() + "nichtda.sh", prompts, [&](const QString &) { return ++started, true; });
    EXPECT_EQ(started, 0);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].text, "Das Programm\r\r" + env.root()
                                           + "nichtda.sh\r\rsollte gestartet werden. Es wurde aber leider nicht "
                                             "gefunden. Überprüfen Sie Ihre Einstellungen!");
    EXPECT_EQ(prompts.asked()[0].title, "Autostart-Problem");

    const QString script = env.writeFile("server.sh", "#!/bin/sh\n");
    startExternalProgram(script, prompts, [&](const QString &) { return ++started, true; });
    EXPECT_EQ(started, 1);
    EXPECT_EQ(prompts.asked().size(), 1);
}
