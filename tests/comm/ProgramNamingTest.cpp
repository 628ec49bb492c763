#include "app/IniSettingsStore.h"
#include "comm/ProgramNaming.h"
#include "comm/UnattendedSettings.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace zep;

TEST(UnattendedSettings, MissingKeysReadAsOffWithTheirDefaultsAndOddValuesAsDefaults)
{
    test::TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    const UnattendedSettings fresh = UnattendedSettings::load(store, 2);
    EXPECT_FALSE(fresh.autoSpeichern);
    EXPECT_FALSE(fresh.anforderungen);
    EXPECT_EQ(fresh.autoOrdner, "");
    EXPECT_EQ(fresh.extension(), ".NC");
    EXPECT_EQ(fresh.anforderungWartezeit, 5);
    EXPECT_EQ(fresh.requestWords(), QStringList({"ANFORDERUNG", "SENDE"}));

    UnattendedSettings u;
    u.autoSpeichern = true;
    u.autoOrdner = "Maschine3";
    u.autoEndung = "mpf";
    u.anforderungen = true;
    u.anforderungWartezeit = 2;
    u.anforderungWorte = " anforderung , hol,,SENDE ";
    u.save(store, 2);
    EXPECT_EQ(store.read("COM2Einstellungen", "AutoSpeichern"), "True");
    EXPECT_EQ(store.read("COM2Einstellungen", "AnforderungWartezeit"), "2");
    const UnattendedSettings back = UnattendedSettings::load(store, 2);
    EXPECT_TRUE(back.autoSpeichern);
    EXPECT_TRUE(back.anforderungen);
    EXPECT_EQ(back.autoOrdner, "Maschine3");
    EXPECT_EQ(back.extension(), ".MPF");
    EXPECT_EQ(back.requestWords(), QStringList({"ANFORDERUNG", "HOL", "SENDE"}));
    // Another connection's group is untouched.
    EXPECT_FALSE(UnattendedSettings::load(store, 1).autoSpeichern);

    // A hand-edited value that would break names or waits reads as the default.
    store.write("COM2Einstellungen", "AnforderungWartezeit", "viel");
    for (const char *bad : {"", ".", "./X", "A B", "..\\NC"}) {
        store.write("COM2Einstellungen", "AutoEndung", bad);
        EXPECT_EQ(UnattendedSettings::load(store, 2).extension(), ".NC") << bad;
    }
    EXPECT_EQ(UnattendedSettings::load(store, 2).anforderungWartezeit, 5);
}

TEST(ProgramNaming, TheFirstMatchingRuleNamesTheProgramInTheCataloguesForm)
{
    using Rule = ProgramNaming::Rule;
    const QDateTime now(QDate(2026, 12, 8), QTime(3, 4, 5));
    struct Case {
        const char *what;
        QByteArray text;
        QString extension;
        const char *name; // Latin-1, as Windows-1252 reads these

        Rule rule;
    };
    const Case cases[] = {
        {"O number", "%\r\nO1234\r\nN10 G0 X0\r\nM30\r\n%", ".NC", "O1234.NC", Rule::ONumber},
        {"O number before a comment", "%\nO0815 (WELLE)\nM30\n", ".NC", "O0815.NC", Rule::ONumber},
        {"O number wins over an earlier comment", "(KOPF)\nO77\nM30\n", ".NC", "O77.NC", Rule::ONumber},
        {"the connection's extension", "O1234\n", ".MPF", "O1234.MPF", Rule::ONumber},
        {"a word starting with O is no O number", "ORIGIN X0\n(WELLE_4711)\n", ".NC", "WELLE_4711.NC", Rule::Comment},
        {"comment", "%\r\n(WELLE_4711)\r\nG0 X0\r\n", ".NC", "WELLE_4711.NC", Rule::Comment},
        {"comment upper case", "(welle-\xe4)\n", ".NC", "WELLE-\xc4.NC", Rule::Comment},
        {"comment of several words names nothing", "(WELLE 4711 SEITE 2)\n", ".NC",
         "Maschine3_2026-12-08_03-04-05.NC", Rule::Fallback},
        {"comment with a path", "(..\\..\\ETC)\n", ".NC", "Maschine3_2026-12-08_03-04-05.NC", Rule::Fallback},
        {"comment with a slash", "(A/B)\n", ".NC", "Maschine3_2026-12-08_03-04-05.NC", Rule::Fallback},
        {"hidden name", "(.PROFILE)\n", ".NC", "Maschine3_2026-12-08_03-04-05.NC", Rule::Fallback},
        // Windows-1252 leaves 0x81 undefined, and the upper case of "µ" is a
        // Greek letter it cannot hold.
        {"a byte the code page cannot hold", "(WELLE\x81)\nBEGIN PGM P1 MM\n", ".NC", "P1.H", Rule::BeginPgm},
        {"an upper case it cannot hold", "(\xb5M)\n", ".NC", "Maschine3_2026-12-08_03-04-05.NC", Rule::Fallback},
        {"BEGIN PGM", "0 BEGIN PGM Welle MM\n1 L X+0 R0 FMAX\n2 END PGM WELLE MM\n", ".NC", "WELLE.H",
         Rule::BeginPgm},
        {"MPF header", "%_N_WELLE_4711_MPF\n;$PATH=/_N_MPF_DIR\nG0 X0\n", ".NC", "WELLE_4711.MPF",
         Rule::MpfHeader},
        {"nothing", "G0 X0\nM30\n", ".NC", "Maschine3_2026-12-08_03-04-05.NC", Rule::Fallback},
        {"empty", "", ".TXT", "Maschine3_2026-12-08_03-04-05.TXT", Rule::Fallback},
        {"an unclosed comment", "(WELLE\nM30)\n", ".NC", "Maschine3_2026-12-08_03-04-05.NC", Rule::Fallback},
    };
    for (const Case &c : cases) {
        const ProgramNaming::Name n = ProgramNaming::nameFor(c.text, c.extension, 3, now);
        EXPECT_EQ(n.fileName, QString::fromLatin1(c.name)) << c.what;
        EXPECT_EQ(n.rule, c.rule) << c.what;
    }
}

TEST(ProgramNaming, FurtherNamesAreNumberedBeforeTheExtension)
{
    EXPECT_EQ(ProgramNaming::numbered("O1234.NC", 1), "O1234.NC");
    EXPECT_EQ(ProgramNaming::numbered("O1234.NC", 2), "O1234_2.NC");
    EXPECT_EQ(ProgramNaming::numbered("A.B.MPF", 13), "A.B_13.MPF");
    EXPECT_EQ(ProgramNaming::numbered("OHNE", 3), "OHNE_3");
}
