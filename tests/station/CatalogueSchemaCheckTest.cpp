#include "app/ScriptedPrompts.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "station/DatabaseOpener.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

using namespace zep;
using zep::test::TestEnvironment;

namespace {

// The opener turns the schema check's result into what the user is told.
struct CatalogueSchemaCheck : ::testing::Test {
    QString dbPath() const { return env.root() + "CNCPRG.mdb"; }
    void openDb() { ASSERT_TRUE(db.open(dbPath())) << db.lastError().description.toStdString(); }
    QByteArray fileHash() const
    {
        return QCryptographicHash::hash(env.readFile(dbPath()), QCryptographicHash::Sha256);
    }
    // Something in the way of the maintenance table: its CREATE must fail.
    void blockTheUpgrade() { ASSERT_TRUE(db.execute("CREATE VIEW Wartungen AS SELECT 1 AS x")); }
    // How the check ended; none while its retry form is open.
    std::optional<SchemaCheck> check()
    {
        std::optional<SchemaCheck> outcome;
        checkCatalogueSchema(db, prompts, [&outcome](SchemaCheck ended) { outcome = ended; });
        return outcome;
    }

    TestEnvironment env;
    ScriptedPrompts prompts;
    Database db;
};

} // namespace

TEST_F(CatalogueSchemaCheck, UpgradeIsToldOnceAndACurrentCatalogueGetsNoWord)
{
    ASSERT_TRUE(createOlderDatabase(dbPath()));
    openDb();
    EXPECT_EQ(check(), SchemaCheck::Upgraded);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().first().text, "Ihre Datenbank wurde aktualisiert!");
    EXPECT_EQ(prompts.asked().first().title, "Datenbank aktualisiert");
    EXPECT_EQ(prompts.asked().first().icon, PromptIcon::Information);

    prompts.clear();
    EXPECT_EQ(check(), SchemaCheck::Current);
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(CatalogueSchemaCheck, FailureIsShownInTheRetryFormAndCancelLeavesTheFileAsItWas)
{
    ASSERT_TRUE(createOlderDatabase(dbPath()));
    openDb();
    blockTheUpgrade();
    db.close();
    const QByteArray before = fileHash();
    openDb();

    prompts.queueAnswer(PromptAnswer::Cancel);
    EXPECT_EQ(check(), SchemaCheck::Failed);
    ASSERT_EQ(prompts.asked().size(), 1);
    const auto &report = prompts.asked().first();
    EXPECT_EQ(report.title, "Error");
    EXPECT_EQ(report.buttons, PromptButtons::RetryCancel);
    EXPECT_TRUE(report.text.contains("\r\rAufgetreten in Form1.CheckOldDB\r\r")) << report.text;
    EXPECT_TRUE(report.text.contains("Letzter SQL-Befehl: CREATE TABLE Wartungen (Datum DATE, ")) << report.text;
    EXPECT_TRUE(report.text.contains("Fehlernummer: 3010")) << report.text;

    EXPECT_FALSE(db.hasTable("Maschinen"));
    db.close();
    EXPECT_EQ(fileHash(), before);
}

TEST_F(CatalogueSchemaCheck, RetryAfterTheCauseIsGoneFinishesTheUpgrade)
{
    ASSERT_TRUE(createOlderDatabase(dbPath()));
    openDb();
    blockTheUpgrade();

    prompts.queueAnswer(PromptAnswer::Retry);
    prompts.onMessage([&](const ScriptedPrompts::Asked &asked) {
        if (asked.title == "Error")
            EXPECT_TRUE(db.execute("DROP VIEW Wartungen")) << db.lastError().description.toStdString();
    });
    EXPECT_EQ(check(), SchemaCheck::Upgraded);
    EXPECT_EQ(prompts.titles(), (QStringList{"Error", "Datenbank aktualisiert"}));
    EXPECT_TRUE(db.hasColumn("DateiListe", "MaschinenIndex"));
    EXPECT_TRUE(db.hasTable("Wartungen"));
}

TEST_F(CatalogueSchemaCheck, TheRetryFormWaitsWithoutHoldingAnythingAndItsAnswerFinishesTheUpgrade)
{
    ASSERT_TRUE(createOlderDatabase(dbPath()));
    openDb();
    blockTheUpgrade();
    prompts.holdQuestions(true);
    EXPECT_EQ(check(), std::nullopt);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions().first().buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(prompts.heldQuestions().first().unattended, PromptAnswer::Cancel);

    std::optional<SchemaCheck> outcome;
    checkCatalogueSchema(db, prompts, [&outcome](SchemaCheck ended) { outcome = ended; });
    ASSERT_EQ(prompts.heldQuestions().size(), 2);
    // The first answer gives up; the second comes after the cause is gone.
    prompts.answerHeld(0, PromptAnswer::Cancel);
    EXPECT_FALSE(outcome);
    ASSERT_TRUE(db.execute("DROP VIEW Wartungen"));
    prompts.answerHeld(0, PromptAnswer::Retry);
    EXPECT_EQ(outcome, SchemaCheck::Upgraded);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions().first().title, "Datenbank aktualisiert");
    EXPECT_TRUE(db.hasTable("Wartungen"));
}

TEST_F(CatalogueSchemaCheck, ProbeErrorIsShownWithItsStatement)
{
    ASSERT_TRUE(createOlderDatabase(dbPath()));
    openDb();
    ASSERT_TRUE(db.execute("CREATE VIEW Maschinen AS SELECT no_such_function(1) AS x"));

    prompts.queueAnswer(PromptAnswer::Cancel);
    EXPECT_EQ(check(), SchemaCheck::Failed);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked().first().text.contains("Letzter SQL-Befehl: SELECT * FROM Maschinen"));
    EXPECT_FALSE(prompts.asked().first().text.contains("Fehlernummer: 3078"));
}
