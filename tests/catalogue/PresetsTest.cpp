#include "app/IniSettingsStore.h"
#include "catalogue/Presets.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace zep::test {
namespace {

TEST(Presets, TheFunctionKeyTextsLiveInVorgabenUnderF1ToF8)
{
    TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    EXPECT_EQ(Presets::text(store, 1), "");
    Presets::store(store, 1, "Spannmittel: Schraubstock");
    Presets::store(store, 8, "Werkstoff: 1.4301");
    Presets::store(store, 0, "verloren");
    Presets::store(store, 9, "verloren");
    const IniSettingsStore reader(env.iniFile());
    EXPECT_EQ(reader.read("Vorgaben", "F1"), "Spannmittel: Schraubstock");
    EXPECT_EQ(reader.read("Vorgaben", "F8"), "Werkstoff: 1.4301");
    EXPECT_EQ(reader.read("Vorgaben", "F0", "nichts"), "nichts");
    EXPECT_EQ(reader.read("Vorgaben", "F9", "nichts"), "nichts");
    EXPECT_EQ(Presets::text(reader, 8), "Werkstoff: 1.4301");
    EXPECT_EQ(Presets::text(reader, 9), "");
    // An emptied key stays in the file as an empty value.
    Presets::store(store, 1, "");
    EXPECT_EQ(IniSettingsStore(env.iniFile()).read("Vorgaben", "F1", "fehlt"), "");
}

} // namespace
} // namespace zep::test
