#include "comm/SendDelay.h"

#include "app/IniSettingsStore.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <QList>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

TEST(SendDelay, OpensWithTheStoredChoiceOrTwentySecondsUnticked)
{
    TestEnvironment env;
    IniSettingsStore settings(env.iniFile());
    SendDelay::Choice choice = SendDelay::stored(settings);
    EXPECT_FALSE(choice.delayed);
    EXPECT_EQ(choice.field, "20");
    settings.write("Settings", "SendWithDelay", "1");
    settings.write("Settings", "Zeitversatz", "7.5");
    choice = SendDelay::stored(settings);
    EXPECT_TRUE(choice.delayed);
    EXPECT_EQ(choice.field, "7.5");
}

TEST(SendDelay, TheFieldIsReadAsSecondsAndStoredAsRead)
{
    struct Case {
        QString field;
        double seconds;
        QString stored;
    };
    const QList<Case> cases = {
        {"3", 3, "3"},
        {" 2.5 ", 2.5, "2.5"},
        // No number: the program goes out at once, and the field says so next time.
        {"", 0, "0"},
        {"bald", 0, "0"},
        {"inf", 0, "0"},
        {"nan", 0, "0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.field.toStdString());
        TestEnvironment env;
        IniSettingsStore settings(env.iniFile());
        const std::optional<double> delay = SendDelay::take(settings, {true, c.field});
        ASSERT_TRUE(delay.has_value());
        EXPECT_EQ(*delay, c.seconds);
        EXPECT_EQ(settings.read("Settings", "Zeitversatz"), c.stored);
        EXPECT_EQ(settings.read("Settings", "SendWithDelay"), "1");
    }
}

TEST(SendDelay, UntickedSendsAtOnceAndKeepsTheStoredSeconds)
{
    TestEnvironment env;
    IniSettingsStore settings(env.iniFile());
    settings.write("Settings", "Zeitversatz", "12");
    settings.write("Settings", "SendWithDelay", "1");
    EXPECT_FALSE(SendDelay::take(settings, {false, "99"}).has_value());
    EXPECT_EQ(settings.read("Settings", "SendWithDelay"), "0");
    EXPECT_EQ(settings.read("Settings", "Zeitversatz"), "12");
}
