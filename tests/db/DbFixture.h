#pragma once

#include "db/Database.h"
#include "db/Schema.h"
#include "support/PostgresServer.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <QVariant>

#include <gtest/gtest.h>

namespace zep::test {

// A fresh catalogue of the current shape in a temp dir, opened.
struct CatalogueFile : ::testing::Test {
    QString dbPath() const { return env.root() + "CNCPRG.mdb"; }

    void SetUp() override
    {
        ErrorInfo error;
        ASSERT_TRUE(createFreshDatabase(dbPath(), &error)) << error.description;
        ASSERT_TRUE(db.open(dbPath())) << db.lastError().description;
    }

    // Stores a catalogue record through a statement (not through the record
    // set under test) and returns its DateiIndex.
    qint64 addRecord(const QString &name, const QVariant &kunde = QVariant(), const QVariant &datum = QVariant())
    {
        EXPECT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Kunde, Datum) VALUES (?, ?, ?)",
                               {name, kunde, datum}))
            << db.lastError().description;
        auto rows = db.openRecordset("SELECT * FROM DateiListe ORDER BY DateiIndex DESC", RecordsetType::Snapshot);
        EXPECT_TRUE(rows);
        return rows && !rows->eof() ? rows->value("DateiIndex").toLongLong() : -1;
    }

    // The file names found by a statement, in its order.
    QStringList names(const QString &sql, const QVariantList &params = {})
    {
        QStringList out;
        auto rows = db.openRecordset(sql, RecordsetType::Snapshot, params);
        EXPECT_TRUE(rows) << sql << ": " << db.lastError().description;
        if (!rows)
            return {QStringLiteral("<error %1>").arg(db.lastError().number)};
        for (; !rows->eof(); rows->moveNext())
            out.append(rows->value("Dateiname").toString());
        return out;
    }

    int rowCount()
    {
        auto rows = db.openRecordset("SELECT count(*) AS n FROM DateiListe", RecordsetType::Snapshot);
        return rows && !rows->eof() ? rows->value("n").toInt() : -1;
    }

    TestEnvironment env;
    Database db;
};

enum class Engine { Sqlite, Postgres };

// The same catalogue on either engine: a file as above, or a fresh database
// on the test server brought to the current shape by the schema check.
struct CatalogueOnEngine : CatalogueFile, ::testing::WithParamInterface<Engine> {
    void SetUp() override
    {
        if (GetParam() == Engine::Sqlite) {
            CatalogueFile::SetUp();
            return;
        }
        auto &server = PostgresServer::shared();
        ASSERT_TRUE(server.running()) << qPrintable(server.error());
        const QString database = server.createDatabase();
        ASSERT_FALSE(database.isEmpty()) << qPrintable(server.error());
        url = server.url(database);
        ASSERT_TRUE(db.openServer(url)) << qPrintable(db.lastError().description);
        const SchemaCheckResult check = CheckOldDB(db);
        ASSERT_EQ(check.outcome, SchemaCheck::Upgraded) << qPrintable(check.error.description);
    }
    bool onServer() const { return GetParam() == Engine::Postgres; }
    // Opens the same catalogue again in `database`.
    bool reopen(Database &database) { return onServer() ? database.openServer(url) : database.open(dbPath()); }
    bool reopen() { return reopen(db); }
    QString url;
};

inline std::string engineName(const ::testing::TestParamInfo<Engine> &info)
{
    return info.param == Engine::Sqlite ? "SQLite" : "PostgreSQL";
}

} // namespace zep::test
