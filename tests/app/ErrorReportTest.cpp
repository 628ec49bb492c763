#include "app/ErrorReport.h"
#include "app/ScriptedPrompts.h"

#include <gtest/gtest.h>

using namespace zep;

TEST(ErrorReport, RetryFormNamesPlaceStatementAndNumberInOrder)
{
    ScriptedPrompts prompts;
    prompts.queueAnswer(PromptAnswer::Cancel);
    EXPECT_FALSE(reportErrorRetry(prompts, "Aufgetreten in Form1.CheckOldDB", {3078, "Tabelle fehlt"},
                                  "SELECT * FROM Maschinen"));
    ASSERT_EQ(prompts.asked().size(), 1);
    const auto &asked = prompts.asked().front();
    EXPECT_EQ(asked.text, QString("Tabelle fehlt\r\rAufgetreten in Form1.CheckOldDB\r\r"
                                  "Letzter SQL-Befehl: SELECT * FROM Maschinen\r\rFehlernummer: 3078"));
    EXPECT_EQ(asked.title, "Error");
    EXPECT_EQ(asked.icon, PromptIcon::Exclamation);
    EXPECT_EQ(asked.buttons, PromptButtons::RetryCancel);
}

TEST(ErrorReport, RetryFormWithoutStatementLeavesThatLineOut)
{
    EXPECT_EQ(retryReportText("Aufgetreten in Form1.NeuerEintrag", {5, "x"}),
              QString("x\r\rAufgetreten in Form1.NeuerEintrag\r\rFehlernummer: 5"));
}

TEST(ErrorReport, AFileErrorToldInWordsLeavesItsNumberOut)
{
    EXPECT_EQ(retryReportText("Aufgetreten in Form3.Command1_Click",
                              {75, "Der Ordner existiert nicht: '/home/z/ZEP_Foto'", false}),
              QString("Der Ordner existiert nicht: '/home/z/ZEP_Foto'\r\rAufgetreten in Form3.Command1_Click"));
}

TEST(ErrorReport, SimpleFormJoinsDescriptionAndPlace)
{
    ScriptedPrompts prompts;
    reportErrorSimple(prompts, " in Form1_FindNewFile", "Pfad nicht gefunden");
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().front().text, "Pfad nicht gefunden in Form1_FindNewFile");
    EXPECT_EQ(prompts.asked().front().title, "Fehler!");
    EXPECT_EQ(prompts.asked().front().buttons, PromptButtons::Ok);
}

TEST(ErrorReport, RetryRunsTheFailedStepAgainAndGoesOnQuietly)
{
    ScriptedPrompts prompts;
    prompts.queueAnswer(PromptAnswer::Retry);
    int attempts = 0;
    const bool ok = runWithRetry(prompts, "Aufgetreten in Form1.SaveFileListe", [&]() -> std::optional<ErrorInfo> {
        if (++attempts == 1)
            return ErrorInfo{61, "Datenträger voll"};
        return std::nullopt;
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(prompts.asked().size(), 1);
}

TEST(ErrorReport, CancelLeavesAtOnce)
{
    ScriptedPrompts prompts;
    int attempts = 0;
    EXPECT_FALSE(runWithRetry(prompts, "Aufgetreten in Form1.SaveFileListe", [&]() -> std::optional<ErrorInfo> {
        ++attempts;
        return ErrorInfo{61, "Datenträger voll"};
    }));
    EXPECT_EQ(attempts, 1);
}

TEST(ErrorReport, TheRetryFormAsAQuestionIsCancelledWhenNobodyIsThere)
{
    const Question asked = retryQuestion("Aufgetreten in Form10.Command1_Click", {75, "Datei gesperrt"});
    EXPECT_EQ(asked.text, QString("Datei gesperrt\r\rAufgetreten in Form10.Command1_Click\r\rFehlernummer: 75"));
    EXPECT_EQ(asked.title, "Error");
    EXPECT_EQ(asked.icon, PromptIcon::Exclamation);
    EXPECT_EQ(asked.buttons, PromptButtons::RetryCancel);
    // A retry nobody watches could go on for ever.
    EXPECT_EQ(asked.unattended, PromptAnswer::Cancel);
}

TEST(ErrorReport, TheRetryFormWaitsWithoutHoldingTheCallerAndRunsTheStepAgainWhenAnswered)
{
    ScriptedPrompts prompts;
    prompts.holdQuestions(true);
    int attempts = 0;
    bool full = true;
    std::optional<bool> done;
    retryUntilDone(
        prompts, "Aufgetreten in Form1.SaveFileListe",
        [&]() -> std::optional<ErrorInfo> {
            ++attempts;
            if (full)
                return ErrorInfo{61, "Datenträger voll"};
            return std::nullopt;
        },
        [&](bool succeeded) { done = succeeded; }, [] { return QString("INSERT"); });
    // Back at once, the form still open.
    EXPECT_EQ(attempts, 1);
    EXPECT_FALSE(done);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions().first().text,
              retryReportText("Aufgetreten in Form1.SaveFileListe", {61, "Datenträger voll"}, "INSERT"));
    EXPECT_EQ(prompts.heldQuestions().first().unattended, PromptAnswer::Cancel);
    // Retry while the cause lasts asks again; once it is gone, done.
    prompts.answerHeld(0, PromptAnswer::Retry);
    EXPECT_EQ(attempts, 2);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    full = false;
    prompts.answerHeld(0, PromptAnswer::Retry);
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(done, true);
    EXPECT_TRUE(prompts.heldQuestions().isEmpty());
}

TEST(ErrorReport, TheRetryFormCancelledLaterEndsWithoutAnotherTry)
{
    ScriptedPrompts prompts;
    prompts.holdQuestions(true);
    int attempts = 0;
    std::optional<bool> done;
    retryUntilDone(
        prompts, "Aufgetreten in Form1.NeuerEintrag",
        [&]() -> std::optional<ErrorInfo> {
            ++attempts;
            return ErrorInfo{3051, "Datei gesperrt"};
        },
        [&](bool succeeded) { done = succeeded; });
    prompts.answerHeld(0, PromptAnswer::Cancel);
    EXPECT_EQ(done, false);
    EXPECT_EQ(attempts, 1);
    // A step that succeeds at once asks nothing.
    std::optional<bool> quiet;
    retryUntilDone(prompts, "x", [] { return std::optional<ErrorInfo>(); }, [&](bool ok) { quiet = ok; });
    EXPECT_EQ(quiet, true);
    EXPECT_TRUE(prompts.heldQuestions().isEmpty());
}
