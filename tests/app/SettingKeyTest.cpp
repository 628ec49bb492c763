#include "app/IniSettingsStore.h"
#include "app/SettingKey.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <optional>

using namespace zep;
using zep::test::TestEnvironment;

namespace {

// A row's stored text; nullopt: the key is missing.
using Stored = std::optional<const char *>;

void store(IniSettingsStore &settings, const SettingKey &key, const Stored &text)
{
    if (text)
        settings.write(key.section(), key.key(), QString::fromUtf8(*text));
}

} // namespace

TEST(SettingKey, ATextReadsAsStoredAndItsFallbackOnlyWhenMissing)
{
    TestEnvironment env;
    IniSettingsStore settings(env.iniFile());
    const TextSetting key("Gruppe", "Text", "vorgabe");
    EXPECT_EQ(key.read(settings), "vorgabe");
    EXPECT_EQ(key.read(settings, "jetzt"), "jetzt");
    for (const char *text : {"", " a b ", "A:\\", "Größe", "x=1;y"}) {
        key.write(settings, QString::fromUtf8(text));
        EXPECT_EQ(settings.read("Gruppe", "Text", "fehlt"), QString::fromUtf8(text));
        EXPECT_EQ(key.read(settings), QString::fromUtf8(text)) << "an empty text is stored, not missing";
    }
}

TEST(SettingKey, ANumberReadsAsItsFallbackWhenUnreadableOrOutOfBounds)
{
    struct Row {
        Stored stored;
        int read;          // bounds 0-3, fallback 2
        int readUnbounded; // fallback 2
    };
    const Row rows[] = {
        {std::nullopt, 2, 2}, {"1", 1, 1},   {" 3 ", 3, 3}, {"0", 0, 0},   {"7", 2, 7},     {"-1", 2, -1},
        {"1.5", 2, 2},        {"12abc", 2, 2}, {"", 2, 2},  {"x", 2, 2},   {"99999999999", 2, 2},
    };
    for (const Row &row : rows) {
        TestEnvironment env;
        IniSettingsStore settings(env.iniFile());
        const NumberSetting key("Gruppe", "Zahl", 2, 0, 3);
        store(settings, key, row.stored);
        const char *shown = row.stored ? *row.stored : "(fehlt)";
        EXPECT_EQ(key.read(settings), row.read) << shown;
        EXPECT_EQ(key.readUnbounded(settings), row.readUnbounded) << shown;
    }

    TestEnvironment env;
    IniSettingsStore settings(env.iniFile());
    const NumberSetting key("Gruppe", "Zahl", -1);
    key.write(settings, -25);
    EXPECT_EQ(settings.read("Gruppe", "Zahl"), "-25");
    EXPECT_EQ(key.read(settings), -25) << "no bounds given, any whole number";
    key.writeText(settings, " 12 ");
    EXPECT_EQ(settings.read("Gruppe", "Zahl"), " 12 ") << "written as the field shows it";
    EXPECT_EQ(key.read(settings), 12);
}

TEST(SettingKey, AFlagReadsAndWritesItsOwnForm)
{
    struct Row {
        Stored stored;
        bool digit;     // fallback false
        bool digitOne;  // fallback false
        bool trueFalse; // fallback false
    };
    const Row rows[] = {
        {std::nullopt, false, false, false},
        {"1", true, true, false},
        {"0", false, false, false},
        {"2", true, false, false},
        {"-1", true, false, false},
        {"ja", false, false, false},
        {"", false, false, false},
        {"True", false, false, true},
        {"true", false, false, true},
        {"TRUE", false, false, true},
        {"False", false, false, false},
        {" True", false, false, false},
    };
    for (const Row &row : rows) {
        TestEnvironment env;
        IniSettingsStore settings(env.iniFile());
        const FlagSetting digit("Gruppe", "A", false, FlagSetting::Form::Digit);
        const FlagSetting digitOne("Gruppe", "B", false, FlagSetting::Form::DigitOne);
        const FlagSetting trueFalse("Gruppe", "C", false, FlagSetting::Form::TrueFalse);
        for (const FlagSetting *key : {&digit, &digitOne, &trueFalse})
            store(settings, *key, row.stored);
        const char *shown = row.stored ? *row.stored : "(fehlt)";
        EXPECT_EQ(digit.read(settings), row.digit) << shown;
        EXPECT_EQ(digitOne.read(settings), row.digitOne) << shown;
        EXPECT_EQ(trueFalse.read(settings), row.trueFalse) << shown;
    }

    TestEnvironment env;
    IniSettingsStore settings(env.iniFile());
    const FlagSetting digit("Gruppe", "A", true, FlagSetting::Form::Digit);
    const FlagSetting trueFalse("Gruppe", "C", true, FlagSetting::Form::TrueFalse);
    EXPECT_TRUE(digit.read(settings)) << "the fallback when missing";
    EXPECT_TRUE(trueFalse.read(settings));
    for (const bool on : {true, false}) {
        digit.write(settings, on);
        trueFalse.write(settings, on);
        EXPECT_EQ(settings.read("Gruppe", "A"), on ? "1" : "0");
        EXPECT_EQ(settings.read("Gruppe", "C"), on ? "True" : "False");
        EXPECT_EQ(digit.read(settings), on);
        EXPECT_EQ(trueFalse.read(settings), on);
    }
}
