#include "app/IniSettingsStore.h"
#include "app/SettingsRules.h"
#include "support/TestEnvironment.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace zep;
using zep::test::TestEnvironment;

namespace {

const QString kHinweis = QStringLiteral("HINWEIS!");
const QString kIdentical =
    QString::fromUtf8("Das Fotoverzeichnis darf nicht identisch mit dem Überwachungsverzeichnis sein!");

} // namespace

TEST(SettingsRules, DirectoryFieldsGetTheSeparator)
{
    EXPECT_EQ(SettingsRules::normaliseDirectory("/daten"), "/daten/");
    EXPECT_EQ(SettingsRules::normaliseDirectory("/daten/"), "/daten/");
    EXPECT_EQ(SettingsRules::normaliseDirectory(""), "");
}

TEST(SettingsRules, IntervalBelowOneBecomesFiveWithABeep)
{
    for (const char *field : {"0", "", "-4", "abc", "2.5", "70000"}) {
        const auto check = SettingsRules::checkInterval(field);
        EXPECT_EQ(check.replacement, QString("5")) << field;
        EXPECT_TRUE(check.beep) << field;
        EXPECT_TRUE(check.text.isEmpty()) << field;
    }
    const auto one = SettingsRules::checkInterval("1");
    EXPECT_TRUE(one.ok);
    EXPECT_FALSE(one.replacement);
    EXPECT_FALSE(one.beep);
    EXPECT_TRUE(SettingsRules::checkInterval("60").text.isEmpty());
}

TEST(SettingsRules, IntervalAboveSixtyWarnsAndStays)
{
    const auto check = SettingsRules::checkInterval("120");
    EXPECT_TRUE(check.ok);
    EXPECT_FALSE(check.replacement);
    EXPECT_EQ(check.text,
              QString::fromUtf8("Es wird nicht empfohlen das Überwachungsverzeichnis seltener als alle 60 Sekunden zu prüfen!"));
    EXPECT_EQ(check.title, "Intervall?");
    EXPECT_EQ(check.icon, PromptIcon::Information);
}

TEST(SettingsRules, JpgQualityOutsideTenToNinetyNineKeepsTheFocus)
{
    for (const char *field : {"5", "9", "100", "", "gut"}) {
        const auto check = SettingsRules::checkJpgQuality(field);
        EXPECT_FALSE(check.ok) << field;
        EXPECT_EQ(check.text, QString::fromUtf8("Bitte zwischen 10% (schlecht) und 99% (sehr gut) wählen."));
        EXPECT_EQ(check.title, QString::fromUtf8("JPG-Qualität"));
        EXPECT_EQ(check.icon, PromptIcon::Exclamation);
    }
    EXPECT_TRUE(SettingsRules::checkJpgQuality("10").ok);
    EXPECT_TRUE(SettingsRules::checkJpgQuality("99").ok);
}

TEST(SettingsRules, SaveChecksInOrder)
{
    // The password comes first, even when the directories are wrong too.
    auto check = SettingsRules::checkSave("Geheim", "geheim", "", "");
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.text, QString::fromUtf8("Passwörter nicht Identisch!"));
    EXPECT_EQ(check.title, "Achtung!");
    EXPECT_EQ(check.icon, PromptIcon::Exclamation);

    check = SettingsRules::checkSave("", "", "/daten/", "");
    EXPECT_EQ(check.text, QString::fromUtf8("Sie müssen ein gültiges Überwachungsverzeichnis und ein gültiges "
                                            "Fotoverzeichnis auswählen!"));
    EXPECT_EQ(check.title, kHinweis);

    check = SettingsRules::checkSave("x", "x", "/A/Daten/", "/a/daten");
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.text, kIdentical);
    EXPECT_EQ(check.title, kHinweis);

    check = SettingsRules::checkSave(QString::fromUtf8("Paßwort"), QString::fromUtf8("Paßwort"), "/daten/",
                                     "/fotos/");
    EXPECT_TRUE(check.ok);
    EXPECT_TRUE(check.text.isEmpty());
}

TEST(SettingsRules, OneDirectoryInsideTheOtherIsRefusedByLevels)
{
    const QString nested = QString::fromUtf8(
        "Das Fotoverzeichnis darf nicht innerhalb des Überwachungsverzeichnisses liegen (und umgekehrt)!");
    for (const auto &[monitored, photo] : {std::pair{"/a/b/", "/a/b/fotos/"}, std::pair{"/a/B/Fotos/", "/A/b/"},
                                           std::pair{"/", "/fotos/"}, std::pair{"/a/b/c/d/", "/a/b"}}) {
        const auto check = SettingsRules::checkSave("", "", monitored, photo);
        EXPECT_FALSE(check.ok) << monitored << " " << photo;
        EXPECT_EQ(check.text, nested);
        EXPECT_EQ(check.title, kHinweis);
    }
    EXPECT_TRUE(SettingsRules::checkSave("", "", "/a/b/", "/a/bc/").ok);
    EXPECT_TRUE(SettingsRules::checkSave("", "", "/a/bc/", "/a/b/").ok);
    EXPECT_TRUE(SettingsRules::checkSave("", "", QString::fromUtf8("/daten/straße/"), "/daten/strasse/fotos/").ok);
}

TEST(SettingsRules, CloseNeedsTwoValidDifferentDirectories)
{
    auto check = SettingsRules::checkClose("", "/fotos/");
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.text, QString::fromUtf8("Sie müssen JETZT ein gültiges Überwachungsverzeichnis und ein gültiges "
                                            "Fotoverzeichnis auswählen!"));
    EXPECT_EQ(check.title, kHinweis);
    check = SettingsRules::checkClose(QString::fromUtf8("/Daten/Ü/"), QString::fromUtf8("/daten/ü/"));
    EXPECT_EQ(check.text, kIdentical);
    EXPECT_FALSE(SettingsRules::checkClose("/daten/", "/daten/fotos/").ok);
    EXPECT_TRUE(SettingsRules::checkClose("/daten/", "/fotos/").ok);
}

TEST(SettingsRules, PasswordIsCaseSensitiveAndExact)
{
    EXPECT_TRUE(SettingsRules::passwordMatches(QString::fromUtf8("Dreh'bänk"), QString::fromUtf8("Dreh'bänk")));
    EXPECT_FALSE(SettingsRules::passwordMatches(QString::fromUtf8("dreh'bänk"), QString::fromUtf8("Dreh'bänk")));
    EXPECT_FALSE(SettingsRules::passwordMatches("geheim ", "geheim"));
}

TEST(SettingsRules, StoredIntervalAndQualityAreAlwaysUsable)
{
    TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    EXPECT_EQ(SettingsRules::effectiveInterval(store), 5);
    EXPECT_EQ(SettingsRules::effectiveJpgQuality(store), 80);

    const std::pair<const char *, int> intervals[] = {{"1", 1}, {"45", 45}, {"120", 120}, {"0", 5},
                                                      {"-2", 5}, {"zehn", 5}, {"", 5}, {"4000000", 5}};
    for (const auto &[stored, expected] : intervals) {
        store.write("Settings", "Intervall", stored);
        EXPECT_EQ(SettingsRules::effectiveInterval(store), expected) << stored;
    }
    const std::pair<const char *, int> qualities[] = {{"10", 10}, {"99", 99}, {"0", 80}, {"9", 80}, {"100", 80},
                                                      {"x", 80}};
    for (const auto &[stored, expected] : qualities) {
        store.write("Settings", "JPGQualitaet", stored);
        EXPECT_EQ(SettingsRules::effectiveJpgQuality(store), expected) << stored;
    }
}
