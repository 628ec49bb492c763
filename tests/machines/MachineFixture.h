#pragma once

#include "app/ManualClock.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QVariant>
#include <gtest/gtest.h>

namespace zep::test {

// A fresh catalogue in a temp program directory and a clock that stands at
// a known moment.
struct MachineFixture : ::testing::Test {
    void SetUp() override
    {
        QDir().mkpath(env.programDir());
        ErrorInfo error;
        ASSERT_TRUE(createFreshDatabase(dbPath(), &error)) << error.description;
        ASSERT_TRUE(db.open(dbPath()));
    }

    QString dbPath() const { return env.programDir() + "CNCPRG.mdb"; }

    // A machine row written the way another program (or an old version)
    // would; returns its number.
    long insertMachine(const QString &bezeichnung, const QString &standort = "Halle 1",
                       const QString &columns = {}, const QVariantList &values = {})
    {
        QString sql = "INSERT INTO Maschinen (Bezeichnung, Standort";
        QString marks = "?, ?";
        if (!columns.isEmpty()) {
            sql += ", " + columns;
            for (int i = 0; i < values.size(); ++i)
                marks += ", ?";
        }
        QVariantList params{bezeichnung, standort};
        params += values;
        EXPECT_TRUE(db.execute(sql + ") VALUES (" + marks + ")", params)) << db.lastError().description;
        auto set = db.openRecordset("SELECT * FROM Maschinen ORDER BY Maschinennummer DESC", RecordsetType::Snapshot);
        return set && !set->eof() ? set->value("Maschinennummer").toLongLong() : 0;
    }

    QVariant column(long machine, const QString &name)
    {
        auto set = db.openRecordset("SELECT * FROM Maschinen WHERE Maschinennummer=?", RecordsetType::Snapshot,
                                    {qlonglong(machine)});
        return set && !set->eof() ? set->value(name) : QVariant();
    }

    int machineCount()
    {
        auto set = db.openRecordset("SELECT * FROM Maschinen", RecordsetType::Snapshot);
        return set ? set->recordCount() : -1;
    }

    TestEnvironment env;
    Database db;
    ManualClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 30, 15))};
};

} // namespace zep::test
