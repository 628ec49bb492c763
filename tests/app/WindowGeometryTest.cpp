#include "app/IniSettingsStore.h"
#include "app/WindowGeometry.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace zep;
using zep::test::TestEnvironment;
using Rect = WindowGeometry::Rect;

namespace {
const QSize kDesigned(800, 600);
const QSize kScreen(1920, 1080);
} // namespace

TEST(WindowGeometry, MinimisedOrNarrowWindowsAreNotSaved)
{
    EXPECT_TRUE(WindowGeometry::shouldSave(134, false));
    EXPECT_FALSE(WindowGeometry::shouldSave(133, false));
    EXPECT_FALSE(WindowGeometry::shouldSave(1000, true));
}

TEST(WindowGeometry, NothingSavedGivesTheDesignedSizeCentred)
{
    EXPECT_EQ(WindowGeometry::restore({}, kDesigned, kScreen), (Rect{560, 240, 800, 600}));
}

TEST(WindowGeometry, SavedSizeOnlyWhenLarger)
{
    EXPECT_EQ(WindowGeometry::restore({1000, 700, 10, 20}, kDesigned, kScreen), (Rect{10, 20, 1000, 700}));
    EXPECT_EQ(WindowGeometry::restore({500, 400, 10, 20}, kDesigned, kScreen), (Rect{10, 20, 800, 600}));
    EXPECT_EQ(WindowGeometry::restore({1000, 400, 10, 20}, kDesigned, kScreen), (Rect{10, 20, 1000, 600}));
}

TEST(WindowGeometry, PositionOnlyWhenTheWindowStaysOnTheScreen)
{
    // Right edge exactly at the screen's edge is fine; one pixel beyond is not.
    EXPECT_EQ(WindowGeometry::restore({-1, -1, 1120, 480}, kDesigned, kScreen), (Rect{1120, 480, 800, 600}));
    EXPECT_EQ(WindowGeometry::restore({-1, -1, 1121, 481}, kDesigned, kScreen), (Rect{560, 240, 800, 600}));
    // From a larger monitor: capped to the screen and placed on it.
    EXPECT_EQ(WindowGeometry::restore({2560, 1400, 100, 100}, kDesigned, kScreen), (Rect{0, 0, 1920, 1080}));
    // A window designed larger than the screen is not moved off its left edge.
    EXPECT_EQ(WindowGeometry::restore({}, QSize(2000, 1200), kScreen), (Rect{0, 0, 2000, 1200}));
    // Off the top or left edge the title bar could not be reached.
    EXPECT_EQ(WindowGeometry::restore({-1, -1, -300, -5}, kDesigned, kScreen), (Rect{560, 240, 800, 600}));
}

TEST(WindowGeometry, SaveAndRestoreThroughTheStore)
{
    TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    EXPECT_FALSE(WindowGeometry::save(store, "Form1", {5, 6, 100, 50}, false));
    EXPECT_EQ(store.read("SizeOfForm1", "Width", "none"), "none");

    EXPECT_TRUE(WindowGeometry::save(store, "Form1", {30, 40, 1024, 700}, false));
    const IniSettingsStore reader(env.iniFile());
    EXPECT_EQ(reader.read("SizeOfForm1", "Width"), "1024");
    EXPECT_EQ(reader.read("SizeOfForm1", "Height"), "700");
    EXPECT_EQ(reader.read("SizeOfForm1", "Left"), "30");
    EXPECT_EQ(reader.read("SizeOfForm1", "Top"), "40");
    EXPECT_EQ(WindowGeometry::restore(reader, "Form1", kDesigned, kScreen), (Rect{30, 40, 1024, 700}));
    EXPECT_FALSE(WindowGeometry::save(store, "Form1", {0, 0, 1200, 900}, true));
    EXPECT_EQ(reader.read("SizeOfForm1", "Width"), "1024") << "a minimised window keeps the last saved size";

    // Hand-edited nonsense counts as not saved.
    store.write("SizeOfForm3", "Width", "breit");
    store.write("SizeOfForm3", "Left", "links");
    EXPECT_EQ(WindowGeometry::restore(reader, "Form3", kDesigned, kScreen), (Rect{560, 240, 800, 600}));
}

TEST(WindowGeometry, ColumnWidthsZeroOrMissingMeanNotSaved)
{
    TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    EXPECT_EQ(WindowGeometry::restoreColumns(store, "Form1", "Grid1", 9), QList<int>(9, 0));

    WindowGeometry::saveColumns(store, "Form1", "Grid1", {120, 200, 0, 90});
    EXPECT_EQ(store.read("GridWidthForm1Grid1", "Col1"), "200");
    store.write("GridWidthForm1Grid1", "Col3", "-7");
    EXPECT_EQ(WindowGeometry::restoreColumns(store, "Form1", "Grid1", 6), (QList<int>{120, 200, 0, 0, 0, 0}));
}
