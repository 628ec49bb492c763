#include "db/Database.h"
#include "db/Schema.h"
#include "DbFixture.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace zep;
using zep::test::TestEnvironment;
using zep::test::CatalogueOnEngine;
using zep::test::Engine;

namespace {

struct DatabaseFile : ::testing::Test {
    QString dbPath() const { return env.root() + "CNCPRG.mdb"; }

    // Opening must neither change the file nor leave a journal beside it.
    void expectRefusedAndUntouched(const QByteArray &bytes)
    {
        env.writeFile("CNCPRG.mdb", bytes);
        Database db;
        EXPECT_FALSE(db.open(dbPath()));
        EXPECT_FALSE(db.isOpen());
        EXPECT_EQ(db.lastError().number, 3343);
        EXPECT_TRUE(db.lastError().description.contains(dbPath())) << db.lastError().description;
        EXPECT_EQ(env.readFile(dbPath()), bytes);
        EXPECT_EQ(QDir(env.root()).entryList(QDir::Files), QStringList{"CNCPRG.mdb"});
    }

    TestEnvironment env;
};

// What a statement does is the same on the file and on the server; the two
// cases above are about the file itself.
struct DatabaseOnEngines : CatalogueOnEngine {};

} // namespace

TEST_F(DatabaseFile, MissingFileIsNotCreated)
{
    Database db;
    EXPECT_FALSE(db.open(dbPath()));
    EXPECT_NE(db.lastError().number, 0);
    EXPECT_FALSE(QFileInfo::exists(dbPath()));
}

TEST_F(DatabaseFile, FilesOfAnotherKindAreRefusedAndLeftByteForByte)
{
    // The first bytes of an old engine's file, then filler.
    QByteArray jet("\x00\x01\x00\x00Standard Jet DB\x00", 20);
    jet.append(4096 - jet.size(), '\x5a');
    expectRefusedAndUntouched(jet);

    QByteArray garbage;
    for (int i = 0; i < 8192; ++i)
        garbage.append(char((i * 131) & 0xff));
    expectRefusedAndUntouched(garbage);
}

TEST_P(DatabaseOnEngines, StatementsTakeUserTextAsParametersUnchanged)
{
    const QString name = "O'NEIL'; DROP TABLE DateiListe; --.NC";
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Kunde) VALUES (?, ?)", {name, "Müller's"}));
    EXPECT_EQ(db.recordsAffected(), 1);

    auto rows = db.openRecordset("SELECT * FROM DateiListe WHERE Kunde = ?", RecordsetType::Snapshot,
                                 {"MÜLLER'S"});
    ASSERT_TRUE(rows);
    ASSERT_FALSE(rows->eof());
    EXPECT_EQ(rows->value("Dateiname").toString(), name);
    rows.reset();

    // A statement with too few parameters is an error, not a silent NULL.
    EXPECT_FALSE(db.execute("UPDATE DateiListe SET Kunde = ? WHERE Dateiname = ?", {"x"}));
    EXPECT_NE(db.lastError().number, 0);

    ASSERT_TRUE(db.execute("DELETE * FROM DateiListe WHERE Kunde LIKE '*MÜLLER''S*'"));
    EXPECT_EQ(db.recordsAffected(), 1);
}

TEST_P(DatabaseOnEngines, RolledBackWorkLeavesNoTrace)
{
    ASSERT_TRUE(db.transaction());
    EXPECT_TRUE(db.inTransaction());
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname) VALUES ('A.NC')"));
    ASSERT_TRUE(db.rollback());
    EXPECT_FALSE(db.inTransaction());
    auto rows = db.openRecordset("DateiListe");
    ASSERT_TRUE(rows);
    EXPECT_TRUE(rows->eof());
}

TEST_P(DatabaseOnEngines, ClosingTwiceAndUsingAClosedDatabaseAreHarmless)
{
    db.close();
    db.close();
    EXPECT_FALSE(db.execute("SELECT 1"));
    EXPECT_EQ(db.lastError().number, 3420);
    ASSERT_TRUE(reopen()); // and it opens again
    EXPECT_TRUE(db.hasTable("dateiliste"));
}

INSTANTIATE_TEST_SUITE_P(Engines, DatabaseOnEngines, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         zep::test::engineName);
