#include "SessionFixture.h"

#include "station/MainState.h"
#include "station/StationSettings.h"

#include <QList>
#include <functional>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

struct StationSettingsTest : ::testing::Test, SessionFixture {
    StationSettingsTest()
    {
        storeDirectories();
        settings.write("Settings", "Intervall", "7");
        settings.write("Settings", "Passwort", "alt");
        state->readMonitoredDirectory();
        state->readCurrentValues();
    }
    StationSettings service{*state};
};

} // namespace

TEST_F(StationSettingsTest, TheDraftHoldsTheValuesInForce)
{
    settings.write("Settings", "JPGQualitaet", "5"); // mangled by hand
    const SettingsDraft draft = service.draft();
    EXPECT_EQ(draft.verzeichnis, env.root() + "data/");
    EXPECT_EQ(draft.fotoVerzeichnis, env.root() + "foto/");
    EXPECT_EQ(draft.intervall, "7");
    EXPECT_EQ(draft.jpgQualitaet, "80");
    EXPECT_EQ(draft.passwort, "alt");
    EXPECT_EQ(draft.passwortWiederholung, "alt");
}

// Each refused draft comes back with the one check that refused it and
// leaves the stored settings and the values in force as they were.
TEST_F(StationSettingsTest, ARefusedDraftChangesNothingAndSaysWhy)
{
    struct Case {
        const char *name;
        std::function<void(SettingsDraft &)> edit;
        QString title;
        bool qualityRefused;
    };
    const QString root = env.root();
    const QList<Case> cases = {
        {"quality", [](SettingsDraft &d) { d.jpgQualitaet = "5"; }, "JPG-Qualität", true},
        {"passwords", [](SettingsDraft &d) { d.passwortWiederholung = "ALT"; }, "Achtung!", false},
        {"equal directories", [root](SettingsDraft &d) { d.fotoVerzeichnis = root + "DATA"; }, "HINWEIS!", false},
        {"photos inside", [root](SettingsDraft &d) { d.fotoVerzeichnis = root + "data/Fotos/"; }, "HINWEIS!", false},
        {"backup inside", [root](SettingsDraft &d) { d.backupDir = root + "data/Sicherung"; }, "HINWEIS!", false},
        {"no directory", [](SettingsDraft &d) { d.verzeichnis.clear(); }, "HINWEIS!", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SettingsDraft draft = service.draft();
        draft.intervall = "9";
        c.edit(draft);
        const StationSettings::Applied applied = service.apply(draft);
        EXPECT_FALSE(applied.applied);
        ASSERT_EQ(applied.checks.size(), 1);
        EXPECT_FALSE(applied.checks[0].ok);
        EXPECT_FALSE(applied.checks[0].text.isEmpty());
        EXPECT_EQ(applied.checks[0].title, c.title);
        EXPECT_EQ(applied.qualityRefused, c.qualityRefused);
        EXPECT_EQ(settings.read("Settings", "Intervall"), "7");
        EXPECT_EQ(settings.read("Settings", "Verzeichnis"), root + "data/");
        EXPECT_EQ(state->verzeichnis, root + "data/");
        EXPECT_EQ(state->intervall, 7);
    }
}

TEST_F(StationSettingsTest, AnAppliedDraftIsStoredNormalisedAndInForce)
{
    SettingsDraft draft = service.draft();
    draft.verzeichnis = env.root() + "Programme";
    draft.fotoVerzeichnis = env.root() + "Bilder";
    draft.backupDir = env.root() + "sicherung";
    draft.intervall = "120"; // warned about on leaving the field; stays
    draft.jpgQualitaet = "90";
    draft.startProgram = "/usr/local/bin/dnc-server";
    draft.passwort = draft.passwortWiederholung = "Fräse";
    const StationSettings::Applied applied = service.apply(draft);
    ASSERT_TRUE(applied.applied);
    EXPECT_TRUE(applied.checks.isEmpty());
    EXPECT_EQ(applied.draft.verzeichnis, env.root() + "Programme/");
    EXPECT_EQ(settings.read("Settings", "Verzeichnis"), env.root() + "Programme/");
    EXPECT_EQ(settings.read("Settings", "FotoVerzeichnis"), env.root() + "Bilder/");
    EXPECT_EQ(settings.read("Settings", "BackupDir"), env.root() + "sicherung/");
    EXPECT_EQ(settings.read("Settings", "Intervall"), "120");
    EXPECT_EQ(settings.read("Settings", "JPGQualitaet"), "90");
    EXPECT_EQ(settings.read("Settings", "StartProgram"), "/usr/local/bin/dnc-server");
    EXPECT_EQ(settings.read("Settings", "Passwort"), "Fräse");
    EXPECT_EQ(state->verzeichnis, env.root() + "Programme/");
    EXPECT_EQ(state->fotoVerzeichnis, env.root() + "Bilder/");
    EXPECT_EQ(state->intervall, 120);
    EXPECT_EQ(state->jpgQualitaet, 90);
}

// An interval no timer can run with is never stored: it becomes 5 with a
// beep, whether the field was left or "Übernehmen" pressed straight away.
TEST_F(StationSettingsTest, AnUnusableIntervalIsStoredAsFiveWithABeep)
{
    for (const QString &typed : {QString("0"), QString("x"), QString("99999")}) {
        SCOPED_TRACE(typed.toStdString());
        SettingsDraft draft = service.draft();
        draft.intervall = typed;
        const StationSettings::Applied applied = service.apply(draft);
        ASSERT_TRUE(applied.applied);
        ASSERT_EQ(applied.checks.size(), 1);
        EXPECT_TRUE(applied.checks[0].beep);
        EXPECT_TRUE(applied.checks[0].text.isEmpty());
        EXPECT_EQ(applied.draft.intervall, "5");
        EXPECT_EQ(settings.read("Settings", "Intervall"), "5");
        EXPECT_EQ(state->intervall, 5);
    }
}

TEST_F(StationSettingsTest, ClosingNeedsTheDirectoriesInForce)
{
    EXPECT_TRUE(service.closeCheck().ok);
    state->verzeichnis.clear();
    const SettingsRules::Check check = service.closeCheck();
    EXPECT_FALSE(check.ok);
    EXPECT_FALSE(check.text.isEmpty());
}
