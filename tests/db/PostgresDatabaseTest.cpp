#include "db/CatalogueSchema.h"
#include "db/Database.h"
#include "db/JetErrors.h"
#include "db/RowReader.h"
#include "db/Schema.h"
#include "support/PostgresServer.h"
#include "support/QStringPrinter.h"

#include <QDateTime>

namespace zep::test {
namespace {

struct PostgresDatabaseTest : PostgresTest {
    void SetUp() override
    {
        PostgresTest::SetUp();
        ASSERT_TRUE(db.openServer(url)) << qPrintable(db.lastError().description);
    }

    QStringList column(const QString &sql, const QVariantList &params = {})
    {
        QStringList out;
        EXPECT_TRUE(db.readRows(sql, params, [&](const RowReader &row) { out.append(row.text(0)); }))
            << qPrintable(sql) << ": " << qPrintable(db.lastError().description);
        return out;
    }

    Database db;
};

TEST(PostgresAddressTest, OnlyAServerAddressChoosesTheServer)
{
    const QList<std::pair<QString, bool>> cases = {
        {"", false},
        {"CNCPRG.mdb", false},
        {"/srv/zep/CNCPRG.mdb", false},
        {"postgresql://zep@server/zep", true},
        {"  PostgreSQL://server:5433/zep?sslmode=require", true},
        {"postgres://server/zep", true},
        {"mysql://server/zep", false},
    };
    for (const auto &[setting, server] : cases)
        EXPECT_EQ(Database::isServerAddress(setting), server) << qPrintable(setting);
}

TEST(PostgresAddressTest, AnUnreachableServerIsReportedWithTheServersOwnWords)
{
    Database db;
    EXPECT_FALSE(db.openServer("postgresql://zep@/zep?host=/nonexistent/socket/dir&connect_timeout=2"));
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(db.lastError().number, JetErrors::DiskError);
    EXPECT_TRUE(db.lastError().description.contains("/nonexistent/socket/dir")) << qPrintable(db.lastError().description);
}

TEST_F(PostgresDatabaseTest, TheSchemaCheckCreatesTheCatalogueOnAnEmptyDatabaseAndThenFindsItCurrent)
{
    const SchemaCheckResult first = CheckOldDB(db);
    ASSERT_EQ(first.outcome, SchemaCheck::Upgraded) << qPrintable(first.error.description) << " "
                                                    << qPrintable(first.statement);
    for (const SchemaTable *table :
         {&CatalogueSchema::dateiListe(), &CatalogueSchema::maschinen(), &CatalogueSchema::wartungen()}) {
        EXPECT_TRUE(db.hasTable(table->name)) << qPrintable(table->name);
        for (const SchemaColumn &c : table->columns)
            EXPECT_TRUE(db.hasColumn(table->name, c.name)) << qPrintable(table->name + "." + c.name);
    }
    EXPECT_TRUE(db.hasIndex("MaschIDX"));
    EXPECT_TRUE(db.hasIndex("DateinameIDX"));
    EXPECT_TRUE(db.hasIndex("Kunde_trgm"));
    EXPECT_FALSE(db.hasTable("NichtDa"));
    EXPECT_EQ(CheckOldDB(db).outcome, SchemaCheck::Current);
}

TEST_F(PostgresDatabaseTest, AnOlderCatalogueOnTheServerIsUpgradedAndKeepsItsRecords)
{
    ASSERT_TRUE(db.executeNative("CREATE EXTENSION IF NOT EXISTS citext"));
    ASSERT_TRUE(db.execute(CatalogueSchema::olderDateiListe().createStatement())) << qPrintable(db.lastError().description);
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Kunde) VALUES (?, ?)", {"ALT.NC", "Müller"}));
    ASSERT_FALSE(db.hasColumn("DateiListe", "MaschinenIndex"));

    const SchemaCheckResult result = CheckOldDB(db);
    ASSERT_EQ(result.outcome, SchemaCheck::Upgraded) << qPrintable(result.error.description);
    EXPECT_TRUE(db.hasColumn("DateiListe", "MaschinenIndex"));
    EXPECT_TRUE(db.hasTable("Maschinen"));
    EXPECT_EQ(column("SELECT Dateiname FROM DateiListe WHERE Kunde = ?", {"MÜLLER"}), QStringList{"ALT.NC"});
}

TEST_F(PostgresDatabaseTest, ValuesTravelBothWaysAndErrorsKeepTheirNumbers)
{
    ASSERT_EQ(CheckOldDB(db).outcome, SchemaCheck::Upgraded);
    const QDateTime when(QDate(2026, 12, 7), QTime(9, 30));
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Kunde, Datum, MaschinenIndex) VALUES (?, ?, ?, ?)",
                           {"A.NC", "x'); DELETE FROM DateiListe; --", when, 3}))
        << qPrintable(db.lastError().description);
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname) VALUES (?)", {"B.NC"}));

    int rows = 0;
    ASSERT_TRUE(db.readRows("SELECT Dateiname, Kunde, Datum, MaschinenIndex FROM DateiListe ORDER BY DateiIndex", {},
                            [&](const RowReader &row) {
                                if (rows++ == 0) {
                                    EXPECT_EQ(row.text(1), "x'); DELETE FROM DateiListe; --");
                                    EXPECT_EQ(row.date(2), when.date());
                                    EXPECT_EQ(row.integer(3), 3);
                                } else {
                                    EXPECT_TRUE(row.isNull(1));
                                    EXPECT_TRUE(row.isNull(2));
                                    EXPECT_FALSE(row.date(2).isValid());
                                }
                            }));
    EXPECT_EQ(rows, 2);

    EXPECT_TRUE(db.execute("UPDATE DateiListe SET Kunde = ? WHERE Dateiname LIKE ?", {"Neu", "*.nc"}));
    EXPECT_EQ(db.recordsAffected(), 2);

    ASSERT_TRUE(db.transaction());
    EXPECT_TRUE(db.inTransaction());
    EXPECT_TRUE(db.execute("DELETE * FROM DateiListe"));
    ASSERT_TRUE(db.rollback());
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(column("SELECT count(*) FROM DateiListe"), QStringList{"2"});

    EXPECT_FALSE(db.execute("SELECT * FROM NichtDa"));
    EXPECT_EQ(db.lastError().number, JetErrors::MissingObject);
    ASSERT_TRUE(db.execute("INSERT INTO Maschinen (Maschinennummer, Bezeichnung) VALUES (?, ?)", {7, "DMU"}));
    EXPECT_FALSE(db.execute("INSERT INTO Maschinen (Maschinennummer, Bezeichnung) VALUES (?, ?)", {7, "Zweite"}));
    EXPECT_EQ(db.lastError().number, JetErrors::DuplicateKey);
    EXPECT_FALSE(db.execute("INSERT INTO DateiListe (Datum) VALUES (?)", {"kein Datum"}));
    EXPECT_EQ(db.lastError().number, JetErrors::ConversionError);
}

TEST_F(PostgresDatabaseTest, ASearchOnAColumnUsesItsTrigramIndex)
{
    ASSERT_EQ(CheckOldDB(db).outcome, SchemaCheck::Upgraded);
    // A handful of rows: the planner would read them straight through.
    ASSERT_TRUE(db.executeNative("SET enable_seqscan = off"));
    for (const QString &where : {"Kunde LIKE '*müller*'", "Kunde LIKE ?", "Bezeichnung LIKE '*fl#nsch*'"}) {
        const QVariantList params = where.endsWith('?') ? QVariantList{"*ller*"} : QVariantList{};
        const QStringList plan = column("EXPLAIN SELECT DateiIndex FROM DateiListe WHERE " + where, params);
        EXPECT_TRUE(plan.join('\n').contains("_trgm")) << qPrintable(where) << "\n" << qPrintable(plan.join('\n'));
    }
}

} // namespace
} // namespace zep::test
