#pragma once

#include "MachineFixture.h"

#include "app/IniSettingsStore.h"
#include "app/Logbook.h"
#include "app/ScriptedPrompts.h"

namespace zep::test {

// The catalogue with a real INI file, scripted prompts and the logbook:
// what the wizard and the maintenance check work on.
struct MachinesFixture : MachineFixture {
    MachinesFixture() : settings(env.iniFile()), logbook(env.programDir(), clock)
    {
        clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    }

    // A machine with its tasks: {interval, reference} for tasks 1-3.
    long addMachine(const QString &name, const QList<std::pair<int, QVariant>> &tasks = {})
    {
        QStringList columns;
        QVariantList values;
        for (int k = 0; k < tasks.size(); ++k) {
            columns << QString("WartungsArt%1, WartStart%1, WartText%1").arg(k + 1);
            values << tasks[k].first << tasks[k].second << QString("Aufgabe %1 von %2").arg(k + 1).arg(name);
        }
        return insertMachine(name + " ", "Halle 1 ", columns.join(", "), values);
    }

    Database &database = db;
    IniSettingsStore settings;
    ScriptedPrompts prompts;
    Logbook logbook;
};

} // namespace zep::test
