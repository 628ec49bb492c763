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
    EXPECT_EQ(ProgramSettings::verzeichnis(store), "");
    EXPECT_EQ(ProgramSettings::fotoVerzeichnis(store), "");
    EXPECT_EQ(ProgramSettings::intervall(store), 5);
    EXPECT_EQ(ProgramSettings::jpgQualitaet(store), 80);
    EXPECT_EQ(ProgramSettings::passwort(store), "");
    EXPECT_EQ(ProgramSettings::startProgram(store), "");
    EXPECT_EQ(ProgramSettings::backupDir(store), "");
    EXPECT_EQ(ProgramSettings::lastDirectory(store, ProgramSettings::LastDirectory::Import), "A:\\");
    EXPECT_EQ(ProgramSettings::lastDirectory(store, ProgramSettings::LastDirectory::Export), "A:\\");
    EXPECT_EQ(ProgramSettings::defaultFotoDir(store, "/fotos/"), "/fotos/");
    EXPECT_FALSE(ProgramSettings::sendWithDelay(store));
    EXPECT_EQ(ProgramSettings::zeitversatz(store), "20");
    EXPECT_EQ(ProgramSettings::editSplitterH(store), -1);
    EXPECT_EQ(ProgramSettings::editSplitterV(store), -1);
    EXPECT_FALSE(ProgramSettings::hideWizSide1(store));
}

TEST(ProgramSettings, WritesTheKeysAndTextsOfTheSettingsSection)
{
    // Another program (and an older ZEP) reads these very keys and texts.
    TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    ProgramSettings::setVerzeichnis(store, "/daten/");
    ProgramSettings::setFotoVerzeichnis(store, "/fotos/");
    ProgramSettings::setIntervall(store, "12");
    ProgramSettings::setJpgQualitaet(store, "75");
    ProgramSettings::setPasswort(store, "Geheim");
    ProgramSettings::setStartProgram(store, "/opt/server.sh");
    ProgramSettings::setBackupDir(store, "/sicherung/");
    ProgramSettings::setLastDirectory(store, ProgramSettings::LastDirectory::Import, "/import/");
    ProgramSettings::setLastDirectory(store, ProgramSettings::LastDirectory::Export, "/export/");
    ProgramSettings::setDefaultFotoDir(store, "/kamera/");
    ProgramSettings::setSendWithDelay(store, true);
    ProgramSettings::setZeitversatz(store, "2.5");
    ProgramSettings::setEditSplitterH(store, 300);
    ProgramSettings::setEditSplitterV(store, 200);
    ProgramSettings::setHideWizSide1(store, true);

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

    EXPECT_EQ(ProgramSettings::intervall(other), 12);
    EXPECT_TRUE(ProgramSettings::sendWithDelay(other));
    EXPECT_TRUE(ProgramSettings::hideWizSide1(other));
    ProgramSettings::setSendWithDelay(store, false);
    ProgramSettings::setHideWizSide1(store, false);
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
    EXPECT_EQ(ProgramSettings::intervall(store), 5);
    EXPECT_EQ(ProgramSettings::jpgQualitaet(store), 80);
    EXPECT_FALSE(ProgramSettings::sendWithDelay(store));
    EXPECT_FALSE(ProgramSettings::hideWizSide1(store)) << "only 1 skips the wizard's first page";
    EXPECT_EQ(ProgramSettings::editSplitterH(store), -1);
}
