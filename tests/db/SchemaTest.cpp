#include "db/CatalogueSchema.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/SharedCatalogue.h"
#include "DbFixture.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>

#include <future>
#include <latch>
#include <vector>

#include <gtest/gtest.h>

using namespace zep;
using zep::test::TestEnvironment;
using zep::test::Engine;
using zep::test::PostgresServer;

namespace {

// The file-only cases (a hash of the file, an empty file, never
// overwriting a file) run on the file; the rest on both engines, the server
// starting from an empty database where the file starts from none.
struct SchemaCheckTest : ::testing::Test {
    QString dbPath() const { return env.root() + "CNCPRG.mdb"; }

    void openDb() { ASSERT_TRUE(db.open(dbPath())) << db.lastError().description.toStdString(); }

    // Everything the current shape needs, as the check itself would look.
    void expectCurrentShape()
    {
        for (const SchemaTable *table :
             {&CatalogueSchema::dateiListe(), &CatalogueSchema::maschinen(), &CatalogueSchema::wartungen()}) {
            ASSERT_TRUE(db.hasTable(table->name)) << table->name.toStdString();
            for (const SchemaColumn &column : table->columns)
                EXPECT_TRUE(db.hasColumn(table->name, column.name))
                    << table->name.toStdString() << "." << column.name.toStdString();
        }
        EXPECT_TRUE(db.hasIndex("MaschIDX"));
    }

    QByteArray fileHash() const
    {
        return QCryptographicHash::hash(env.readFile(dbPath()), QCryptographicHash::Sha256);
    }

    TestEnvironment env;
    Database db;
};

struct SchemaCheckOnEngines : SchemaCheckTest, ::testing::WithParamInterface<Engine> {
    void SetUp() override
    {
        if (!onServer())
            return;
        auto &server = PostgresServer::shared();
        ASSERT_TRUE(server.running()) << qPrintable(server.error());
        database = server.createDatabase();
        ASSERT_FALSE(database.isEmpty()) << qPrintable(server.error());
    }
    bool onServer() const { return GetParam() == Engine::Postgres; }

    // The catalogue of the shape old installations shipped, opened.
    void openOlder()
    {
        if (onServer()) {
            ASSERT_TRUE(db.openServer(PostgresServer::shared().url(database)));
            // Its texts are of the case-blind type the check would install.
            ASSERT_TRUE(db.executeNative("CREATE EXTENSION IF NOT EXISTS citext"));
            ASSERT_TRUE(db.execute(CatalogueSchema::olderDateiListe().createStatement()))
                << db.lastError().number << " " << db.lastError().description.toStdString();
            return;
        }
        ASSERT_TRUE(createOlderDatabase(dbPath()));
        openDb();
    }
    void reopen()
    {
        if (onServer())
            ASSERT_TRUE(db.openServer(PostgresServer::shared().url(database)));
        else
            openDb();
    }
    // The whole shape of the catalogue as the engine holds it.
    QString shape()
    {
        if (!onServer())
            return QString::fromLatin1(fileHash().toHex());
        return PostgresServer::shared().query(
            database, "SELECT string_agg(d, E'\\n' ORDER BY d) FROM ("
                      "SELECT table_name || '.' || column_name || ' ' || data_type AS d FROM information_schema.columns "
                      "WHERE table_schema = 'public' UNION ALL "
                      "SELECT indexdef FROM pg_indexes WHERE schemaname = 'public') AS shape");
    }
    QString database;
};

} // namespace

TEST_F(SchemaCheckTest, CurrentDatabaseIsLeftAloneWithoutAWord)
{
    ASSERT_TRUE(createFreshDatabase(dbPath()));
    const QByteArray before = fileHash();
    openDb();
    EXPECT_EQ(CheckOldDB(db).outcome, SchemaCheck::Current);
    db.close();
    EXPECT_EQ(fileHash(), before);
}

TEST_P(SchemaCheckOnEngines, OlderShapeIsUpgradedOnceAndKeepsItsRecords)
{
    openOlder();
    EXPECT_FALSE(db.hasColumn("DateiListe", "MaschinenIndex"));
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Bezeichnung, Kunde, Datum) VALUES (?, ?, ?, ?)",
                           {"O'NEIL.NC", "Welle Ø40", "Müller's Söhne", QDateTime(QDate(2001, 5, 3), QTime(8, 0))}));

    EXPECT_EQ(CheckOldDB(db).outcome, SchemaCheck::Upgraded);
    expectCurrentShape();

    auto rows = db.openRecordset("SELECT * FROM DateiListe", RecordsetType::Snapshot);
    ASSERT_TRUE(rows);
    ASSERT_FALSE(rows->eof());
    EXPECT_EQ(rows->value("Dateiname").toString(), "O'NEIL.NC");
    EXPECT_EQ(rows->value("Kunde").toString(), "Müller's Söhne");
    EXPECT_EQ(rows->value("Datum").toDateTime(), QDateTime(QDate(2001, 5, 3), QTime(8, 0)));
    EXPECT_FALSE(rows->value("MaschinenIndex").isValid()); // a new column holds no machine
    rows.reset();

    // The machine table the upgrade made counts its own key.
    ASSERT_TRUE(db.execute("INSERT INTO Maschinen (Bezeichnung) VALUES (?)", {"DMU 50"}));
    auto machines = db.openRecordset("SELECT * FROM Maschinen");
    ASSERT_TRUE(machines);
    EXPECT_EQ(machines->value("Maschinennummer").toInt(), 1);
    machines.reset();

    db.close();
    reopen();
    const QString before = shape();
    EXPECT_EQ(CheckOldDB(db).outcome, SchemaCheck::Current);
    db.close();
    EXPECT_EQ(shape(), before);
}

TEST_P(SchemaCheckOnEngines, HalfUpgradedDatabaseIsRepairedEvenThoughTheMachineTableExists)
{
    // What an upgrade cancelled after its first statement leaves behind.
    openOlder();
    ASSERT_TRUE(db.execute(CatalogueSchema::maschinen().createStatement()));
    ASSERT_TRUE(db.execute("ALTER TABLE Maschinen DROP COLUMN WartText3"));

    EXPECT_EQ(CheckOldDB(db).outcome, SchemaCheck::Upgraded);
    expectCurrentShape();
}

TEST_F(SchemaCheckTest, EmptyFileBecomesAWholeCatalogue)
{
    env.writeFile("CNCPRG.mdb", {});
    openDb();
    EXPECT_EQ(CheckOldDB(db).outcome, SchemaCheck::Upgraded);
    expectCurrentShape();
}

TEST_P(SchemaCheckOnEngines, FailedStatementIsReturnedRolledBackWithTheCatalogueAsItWas)
{
    openOlder();
    // Something in the way of the maintenance table: its CREATE must fail.
    ASSERT_TRUE(db.execute("CREATE VIEW Wartungen AS SELECT 1 AS x"));
    db.close();
    const QString before = shape();
    reopen();

    const SchemaCheckResult result = CheckOldDB(db);
    EXPECT_EQ(result.outcome, SchemaCheck::Failed);
    EXPECT_EQ(result.error.number, 3010) << result.error.description.toStdString();
    EXPECT_TRUE(result.statement.startsWith("CREATE TABLE Wartungen (Datum DATE, ")) << result.statement.toStdString();
    // Rolled back before it is told: no transaction waits on the answer.
    EXPECT_FALSE(db.inTransaction());

    // Nothing of the upgrade stayed: the next start tries the whole of it again.
    EXPECT_FALSE(db.hasTable("Maschinen"));
    EXPECT_FALSE(db.hasColumn("DateiListe", "MaschinenIndex"));
    db.close();
    EXPECT_EQ(shape(), before);
}

TEST_P(SchemaCheckOnEngines, CheckingAgainAfterTheCauseIsGoneFinishesTheUpgrade)
{
    openOlder();
    ASSERT_TRUE(db.execute("CREATE VIEW Wartungen AS SELECT 1 AS x"));

    EXPECT_EQ(CheckOldDB(db).outcome, SchemaCheck::Failed);
    ASSERT_TRUE(db.execute("DROP VIEW Wartungen")) << db.lastError().description.toStdString();
    EXPECT_EQ(CheckOldDB(db).outcome, SchemaCheck::Upgraded);
    expectCurrentShape();
}

TEST_P(SchemaCheckOnEngines, ProbeErrorOtherThanAMissingTableIsReturnedNotSwallowed)
{
    openOlder();
    // A machine table that cannot be read: the server checks functions when
    // a view is made, so there the failure comes when it is read.
    ASSERT_TRUE(db.executeNative(onServer() ? "CREATE VIEW Maschinen AS SELECT 1 / (random() * 0)::int AS x"
                                            : "CREATE VIEW Maschinen AS SELECT no_such_function(1) AS x"))
        << db.lastError().description.toStdString();

    const SchemaCheckResult result = CheckOldDB(db);
    EXPECT_EQ(result.outcome, SchemaCheck::Failed);
    EXPECT_EQ(result.statement, "SELECT * FROM Maschinen");
    EXPECT_NE(result.error.number, 0);
    EXPECT_NE(result.error.number, 3078);
    EXPECT_FALSE(db.hasColumn("DateiListe", "MaschinenIndex"));
}

TEST_F(SchemaCheckTest, FreshDatabaseNeverOverwritesAndLeavesNothingBehindOnFailure)
{
    env.writeFile("CNCPRG.mdb", "a shop's only copy");
    ErrorInfo error;
    EXPECT_FALSE(createFreshDatabase(dbPath(), &error));
    EXPECT_EQ(error.number, 3204);
    EXPECT_EQ(env.readFile(dbPath()), QByteArray("a shop's only copy"));

    const QString missingDir = env.root() + "nowhere/CNCPRG.mdb";
    EXPECT_FALSE(createFreshDatabase(missingDir, &error));
    EXPECT_NE(error.number, 0);
    EXPECT_FALSE(error.description.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(missingDir));
}

TEST_P(SchemaCheckOnEngines, StationsStartingTogetherOnAnEmptyServerAllGetOneWholeCatalogue)
{
    if (!onServer())
        GTEST_SKIP() << "a catalogue file is made by one station";
    constexpr int kStations = 3;
    std::latch ready(kStations);
    std::vector<std::future<SchemaCheckResult>> starts;
    for (int i = 0; i < kStations; ++i)
        starts.push_back(std::async(std::launch::async, [&] {
            Database station;
            if (!station.openServer(PostgresServer::shared().url(database)))
                return SchemaCheckResult{SchemaCheck::Failed, station.lastError(), {}};
            // As a station checks: the usual quarter of a second for a lock.
            ready.arrive_and_wait();
            return CheckOldDB(station);
        }));
    int upgraded = 0;
    for (auto &start : starts) {
        const SchemaCheckResult result = start.get();
        EXPECT_NE(result.outcome, SchemaCheck::Failed) << qPrintable(result.error.description) << " in "
                                                       << qPrintable(result.statement);
        upgraded += result.outcome == SchemaCheck::Upgraded;
    }
    EXPECT_EQ(upgraded, 1);
    reopen();
    EXPECT_EQ(CheckOldDB(db).outcome, SchemaCheck::Current);
    EXPECT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname) VALUES ('P1.NC')"));
    EXPECT_EQ(SharedCatalogue::recordCount(db), std::optional<qint64>(1));
}

INSTANTIATE_TEST_SUITE_P(Engines, SchemaCheckOnEngines, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         zep::test::engineName);
