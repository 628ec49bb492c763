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

    TestEnvironment env;
    ScriptedPrompts prompts;
    Database db;
};

} // namespace

TEST_F(CatalogueSchemaCheck, UpgradeIsToldOnceAndACurrentCatalogueGetsNoWord)
{
    ASSERT_TRUE(createOlderDatabase(dbPath()));
    openDb();
    EXPECT_EQ(checkCatalogueSchema(db, prompts), SchemaCheck::Upgraded);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().first().text, "Ihre Datenbank wurde aktualisiert!");
    EXPECT_EQ(prompts.asked().first().title, "Datenbank aktualisiert");
    EXPECT_EQ(prompts.asked().first().icon, PromptIcon::Information);

    prompts.clear();
    EXPECT_EQ(checkCatalogueSchema(db, prompts), SchemaCheck::Current);
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
    EXPECT_EQ(checkCatalogueSchema(db, prompts), SchemaCheck::Failed);
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
    EXPECT_EQ(checkCatalogueSchema(db, prompts), SchemaCheck::Upgraded);
    EXPECT_EQ(prompts.titles(), (QStringList{"Error", "Datenbank aktualisiert"}));
    EXPECT_TRUE(db.hasColumn("DateiListe", "MaschinenIndex"));
    EXPECT_TRUE(db.hasTable("Wartungen"));
}

TEST_F(CatalogueSchemaCheck, ProbeErrorIsShownWithItsStatement)
{
    ASSERT_TRUE(createOlderDatabase(dbPath()));
    openDb();
    ASSERT_TRUE(db.execute("CREATE VIEW Maschinen AS SELECT no_such_function(1) AS x"));

    prompts.queueAnswer(PromptAnswer::Cancel);
    EXPECT_EQ(checkCatalogueSchema(db, prompts), SchemaCheck::Failed);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked().first().text.contains("Letzter SQL-Befehl: SELECT * FROM Maschinen"));
    EXPECT_FALSE(prompts.asked().first().text.contains("Fehlernummer: 3078"));
}
