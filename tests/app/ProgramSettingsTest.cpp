#include "app/IniSettingsStore.h"
#include "app/ProgramSettings.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace zep;
using zep::test::TestEnvironment;

TEST(ProgramSettings, AFreshStoreGivesEachKeysDefault)
{
    TestEnvironment env;
    const IniSettingsStore store(env.iniFile());
    EXPECT_EQ(ProgramSettings::verzeichnis.read(store), "");
    EXPECT_EQ(ProgramSettings::fotoVerzeichnis.read(store), "");
    EXPECT_EQ(ProgramSettings::intervall.read(store), 5);
    EXPECT_EQ(ProgramSettings::jpgQualitaet.read(store), 80);
    EXPECT_EQ(ProgramSettings::passwort.read(store), "");
    EXPECT_EQ(ProgramSettings::startProgram.read(store), "");
    EXPECT_EQ(ProgramSettings::backupDir.read(store), "");
    EXPECT_EQ(ProgramSettings::lastDirectory(ProgramSettings::LastDirectory::Import).read(store), "A:\\");
    EXPECT_EQ(ProgramSettings::lastDirectory(ProgramSettings::LastDirectory::Export).read(store), "A:\\");
    EXPECT_EQ(ProgramSettings::defaultFotoDir.read(store, "/fotos/"), "/fotos/");
    EXPECT_FALSE(ProgramSettings::sendWithDelay.read(store));
    EXPECT_EQ(ProgramSettings::zeitversatz.read(store), "20");
    EXPECT_EQ(ProgramSettings::editSplitterH.read(store), -1);
    EXPECT_EQ(ProgramSettings::editSplitterV.read(store), -1);
    EXPECT_FALSE(ProgramSettings::hideWizSide1.read(store));
}

TEST(ProgramSettings, WritesTheKeysAndTextsOfTheSettingsSection)
{
    // Another program (and an older ZEP) reads these very keys and texts.
    TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    ProgramSettings::verzeichnis.write(store, "/daten/");
    ProgramSettings::fotoVerzeichnis.write(store, "/fotos/");
    ProgramSettings::intervall.writeText(store, "12");
    ProgramSettings::jpgQualitaet.writeText(store, "75");
    ProgramSettings::passwort.write(store, "Geheim");
    ProgramSettings::startProgram.write(store, "/opt/server.sh");
    ProgramSettings::backupDir.write(store, "/sicherung/");
    ProgramSettings::lastDirectory(ProgramSettings::LastDirectory::Import).write(store, "/import/");
    ProgramSettings::lastDirectory(ProgramSettings::LastDirectory::Export).write(store, "/export/");
    ProgramSettings::defaultFotoDir.write(store, "/kamera/");
    ProgramSettings::sendWithDelay.write(store, true);
    ProgramSettings::zeitversatz.write(store, "2.5");
    ProgramSettings::editSplitterH.write(store, 300);
    ProgramSettings::editSplitterV.write(store, 200);
    ProgramSettings::hideWizSide1.write(store, true);

    const IniSettingsStore other(env.iniFile());
    const std::pair<const char *, const char *> expected[] = {
        {"Verzeichnis", "/daten/"},       {"FotoVerzeichnis", "/fotos/"},     {"Intervall", "12"},
        {"JPGQualitaet", "75"},           {"Passwort", "Geheim"},             {"StartProgram", "/opt/server.sh"},
        {"BackupDir", "/sicherung/"},     {"DefaultImportDir", "/import/"},   {"DefaultExportDir", "/export/"},
        {"DefaultFotoDir", "/kamera/"},   {"SendWithDelay", "1"},             {"Zeitversatz", "2.5"},
        {"EditSplitterH", "300"},         {"EditSplitterV", "200"},           {"HideWizSide1", "1"},
    };
    for (const auto &[key, value] : expected)
        EXPECT_EQ(other.read("Settings", key, "fehlt"), QString::fromUtf8(value)) << key;

    EXPECT_EQ(ProgramSettings::intervall.read(other), 12);
    EXPECT_TRUE(ProgramSettings::sendWithDelay.read(other));
    EXPECT_TRUE(ProgramSettings::hideWizSide1.read(other));
    ProgramSettings::sendWithDelay.write(store, false);
    ProgramSettings::hideWizSide1.write(store, false);
    EXPECT_EQ(other.read("Settings", "SendWithDelay"), "0");
    EXPECT_EQ(other.read("Settings", "HideWizSide1"), "0");
}

TEST(ProgramSettings, HandEditedNumbersFallBackToTheirDefaults)
{
    TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    store.write("Settings", "Intervall", "zehn");
    store.write("Settings", "JPGQualitaet", "");
    store.write("Settings", "SendWithDelay", "ja");
    store.write("Settings", "HideWizSide1", "2");
    store.write("Settings", "EditSplitterH", "1.5");
    EXPECT_EQ(ProgramSettings::intervall.read(store), 5);
    EXPECT_EQ(ProgramSettings::jpgQualitaet.read(store), 80);
    EXPECT_FALSE(ProgramSettings::sendWithDelay.read(store));
    EXPECT_FALSE(ProgramSettings::hideWizSide1.read(store)) << "only 1 skips the wizard's first page";
    EXPECT_EQ(ProgramSettings::editSplitterH.read(store), -1);
}
