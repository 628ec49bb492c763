#include "app/ManualClock.h"

#include <gtest/gtest.h>

using namespace zep;

TEST(Clock, ManualClockStandsStillUntilMoved)
{
    ManualClock clock(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
    const Clock &asClock = clock;
    EXPECT_EQ(asClock.now(), asClock.now());
    clock.advanceSecs(1);
    EXPECT_EQ(clock.now(), QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0)));
    clock.advanceMSecs(1500);
    EXPECT_EQ(clock.now().time(), QTime(0, 0, 1, 500));
    clock.advanceDays(31);
    EXPECT_EQ(clock.now().date(), QDate(2027, 2, 1));
    clock.set(QDateTime(QDate(2026, 5, 1), QTime(6, 0)));
    EXPECT_EQ(clock.now().date(), QDate(2026, 5, 1));
}
