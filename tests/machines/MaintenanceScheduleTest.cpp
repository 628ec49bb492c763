#include "MachinesFixture.h"

#include "machines/MaintenanceSchedule.h"

namespace zep::test {
namespace {

QDateTime at(int y, int m, int d, int h = 0, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

bool due(int interval, const QDateTime &reference, const QDateTime &now)
{
    return MaintenanceSchedule::isDue(interval, reference.date(), now.date());
}

TEST(MaintenanceDueRule, CountsCalendarDaysNotHours)
{
    // 2026-12-07 is a Monday.
    const QDateTime monday = at(2026, 12, 7, 18, 0);
    EXPECT_FALSE(due(2, monday, at(2026, 12, 13, 23, 59)));
    EXPECT_TRUE(due(2, monday, at(2026, 12, 14, 0, 0)));
    EXPECT_TRUE(due(2, monday, at(2026, 12, 14, 23, 59)));
    // Done at 23:59, due again a minute after midnight.
    EXPECT_FALSE(due(1, at(2026, 12, 7, 23, 59), at(2026, 12, 7, 23, 59)));
    EXPECT_TRUE(due(1, at(2026, 12, 7, 23, 59), at(2026, 12, 8, 0, 1)));
    // Dated today: never due today, whatever the interval.
    for (int interval = 1; interval <= 5; ++interval)
        EXPECT_FALSE(due(interval, at(2026, 12, 7, 0, 0), at(2026, 12, 7, 23, 59))) << interval;
    // A reference date in the future counts from that date.
    EXPECT_FALSE(due(1, at(2026, 12, 10), at(2026, 12, 10, 12)));
    EXPECT_TRUE(due(1, at(2026, 12, 10), at(2026, 12, 11)));
    EXPECT_FALSE(due(0, at(2020, 1, 1), at(2026, 12, 7)));
    EXPECT_FALSE(due(6, at(2020, 1, 1), at(2026, 12, 7)));
}

TEST(MaintenanceDueRule, MonthsQuartersAndYearsAreFixedDayCountsAcrossMonthLeapAndYearEnds)
{
    struct Case {
        int interval;
        QDateTime reference;
        QDateTime lastNotDue; // the day before the first due day
    };
    const Case cases[] = {
        {3, at(2027, 1, 31, 8), at(2027, 3, 1, 23, 59)},  // 30 days over February: due 2 March
        {3, at(2028, 1, 31, 8), at(2028, 2, 29, 23, 59)}, // leap year: due 1 March
        {4, at(2026, 11, 30, 8), at(2027, 2, 28, 23, 59)}, // 91 days over the year end: due 1 March
        {5, at(2027, 3, 1, 8), at(2028, 2, 28, 23, 59)},  // 365 days over a leap day: due 29 February
        {5, at(2025, 12, 31, 8), at(2026, 12, 30, 23, 59)},
        {2, at(2026, 12, 28, 8), at(2027, 1, 3, 23, 59)},
        {1, at(2026, 12, 31, 23, 59), at(2026, 12, 31, 23, 59)},
    };
    for (const Case &c : cases) {
        EXPECT_FALSE(due(c.interval, c.reference, c.lastNotDue)) << c.reference.toString().toStdString();
        EXPECT_TRUE(due(c.interval, c.reference, c.lastNotDue.addSecs(60)))
            << c.reference.toString().toStdString();
    }
}

using MaintenanceScheduleTest = MachinesFixture;

TEST_F(MaintenanceScheduleTest, ListsEveryDueTaskInMachineAndTaskOrderAndGoesOnAfterABadRow)
{
    clock.set(at(2026, 12, 7, 9, 30));
    const long drehbank = addMachine("Drehbank", {{1, at(2026, 12, 6)}, {2, at(2026, 11, 30, 23, 0)}, {5, at(2026, 12, 1)}});
    const long kaputt = addMachine("Müller's Fräse", {{1, QVariant()}, {9, at(2020, 1, 1)}, {1, at(2026, 12, 1)}});
    addMachine("Neu"); // defaults: no task
    const MaintenanceCheck check = MaintenanceSchedule::CheckWartungen(database, clock);
    ASSERT_FALSE(check.error);
    ASSERT_EQ(check.due.size(), 3);
    EXPECT_EQ(check.due[0].machine, drehbank);
    EXPECT_EQ(check.due[0].task, 1);
    EXPECT_EQ(check.due[1].task, 2);
    EXPECT_EQ(check.due[1].machineName, "Drehbank  / Halle 1 ");
    EXPECT_EQ(check.due[1].note, "Aufgabe 2 von Drehbank");
    EXPECT_EQ(check.due[2].machine, kaputt);
    EXPECT_EQ(check.due[2].task, 3);
    EXPECT_EQ(check.badTasks.size(), 2);
    EXPECT_TRUE(check.badTasks[0].startsWith("Wartung 1 der Maschine Müller's Fräse"));
}

TEST_F(MaintenanceScheduleTest, MoreThanAHundredDueTasksAreAllListed)
{
    for (int i = 0; i < 40; ++i)
        addMachine(QString("M%1").arg(i), {{1, at(2026, 1, 1)}, {2, at(2026, 1, 1)}, {3, at(2026, 1, 1)}});
    EXPECT_EQ(MaintenanceSchedule::CheckWartungen(database, clock).due.size(), 120);
}

TEST_F(MaintenanceScheduleTest, MarkingDoneSetsOnlyTheChosenTaskAndNamesAMachineDeletedMeanwhile)
{
    const QDateTime old = at(2026, 11, 1, 7, 0);
    const long a = addMachine("A", {{1, old}, {1, old}});
    const long b = addMachine("B", {{1, old}});
    const MaintenanceCheck check = MaintenanceSchedule::CheckWartungen(database, clock);
    ASSERT_EQ(check.due.size(), 3);
    ASSERT_TRUE(database.execute("DELETE * FROM Maschinen WHERE Maschinennummer=?", {qlonglong(b)}));
    clock.set(at(2026, 12, 7, 10, 15));
    const auto marked = MaintenanceSchedule::markDone(database, clock, {check.due[1], check.due[2]});
    EXPECT_FALSE(marked.error);
    EXPECT_EQ(marked.missingMachines, QStringList({"B  / Halle 1 "}));
    EXPECT_EQ(column(a, "WartStart1").toDateTime(), old);
    EXPECT_EQ(column(a, "WartStart2").toDateTime(), at(2026, 12, 7, 10, 15));
    // Done today: not due again today.
    const MaintenanceCheck again = MaintenanceSchedule::CheckWartungen(database, clock);
    ASSERT_EQ(again.due.size(), 1);
    EXPECT_EQ(again.due[0].task, 1);
}

TEST_F(MaintenanceScheduleTest, AMachineRowOfNullsIsNoTaskAndAMissingTableIsAnError)
{
    ASSERT_TRUE(database.execute("INSERT INTO Maschinen (Bezeichnung) VALUES (NULL)"));
    const MaintenanceCheck nulls = MaintenanceSchedule::CheckWartungen(database, clock);
    EXPECT_FALSE(nulls.error);
    EXPECT_TRUE(nulls.due.isEmpty());
    EXPECT_TRUE(nulls.badTasks.isEmpty());
    ASSERT_TRUE(database.execute("DROP TABLE Maschinen"));
    const MaintenanceCheck missing = MaintenanceSchedule::CheckWartungen(database, clock);
    ASSERT_TRUE(missing.error);
    EXPECT_EQ(missing.error->number, 3078);
}

} // namespace
} // namespace zep::test
