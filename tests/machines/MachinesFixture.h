#pragma once

#include "app/IniSettingsStore.h"
#include "app/Logbook.h"
#include "app/ManualClock.h"
#include "app/ScriptedPrompts.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace zep::test {

// A fresh catalogue database, a real INI file, scripted prompts and a clock
// the test sets: what the machine windows and the schedule work on.
struct MachinesFixture : ::testing::Test {
    MachinesFixture() : settings(env.iniFile()), logbook(env.programDir(), clock)
    {
        clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    }

    void SetUp() override
    {
        ErrorInfo error;
        ASSERT_TRUE(createFreshDatabase(env.programDir() + "CNCPRG.mdb", &error)) << error.description;
        ASSERT_TRUE(database.open(env.programDir() + "CNCPRG.mdb"));
    }

    // A machine row with its tasks: {interval, reference} for tasks 1-3.
    long addMachine(const QString &name, const QList<std::pair<int, QVariant>> &tasks = {})
    {
        QVariantList values{name + " ", "Halle 1 "};
        QString columns = "Bezeichnung, Standort";
        QString marks = "?, ?";
        for (int k = 0; k < tasks.size(); ++k) {
            columns += QString(", WartungsArt%1, WartStart%1, WartText%1").arg(k + 1);
            marks += ", ?, ?, ?";
            values << tasks[k].first << tasks[k].second << QString("Aufgabe %1 von %2").arg(k + 1).arg(name);
        }
        EXPECT_TRUE(database.execute("INSERT INTO Maschinen (" + columns + ") VALUES (" + marks + ")", values))
            << database.lastError().description.toStdString();
        auto set = database.openRecordset("SELECT max(Maschinennummer) AS n FROM Maschinen", RecordsetType::Snapshot);
        return set->value("n").toLongLong();
    }

    QVariant column(long machine, const QString &name)
    {
        auto set = database.openRecordset("SELECT * FROM Maschinen WHERE Maschinennummer=?", RecordsetType::Snapshot,
                                          {qlonglong(machine)});
        return set && !set->eof() ? set->value(name) : QVariant();
    }

    TestEnvironment env;
    IniSettingsStore settings;
    ScriptedPrompts prompts;
    ManualClock clock;
    Logbook logbook;
    Database database;
};

} // namespace zep::test
