#include "machines/MachineFieldRules.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace zep::test {
namespace {

using namespace MachineFieldRules;

TEST(MachineFieldRules, StartAndEndStringsSplitAtTheFirstSeparatorAndFitTheColumnTogether)
{
    EXPECT_EQ(splitParam2("%||M30"), (std::pair<QString, QString>{"%", "M30"}));
    EXPECT_EQ(splitParam2("%"), (std::pair<QString, QString>{"%", ""}));
    EXPECT_EQ(splitParam2("a||b||c"), (std::pair<QString, QString>{"a", "b||c"}));
    EXPECT_EQ(joinParam2("%", ""), "%||");
    EXPECT_EQ(pairFieldLimit(0), 28);
    EXPECT_EQ(pairFieldLimit(10), 18);
    EXPECT_EQ(pairFieldLimit(40), 0);
    EXPECT_EQ(joinParam2(QString(10, 's'), QString(pairFieldLimit(10), 'e')).size(), kParamLength);
}

TEST(MachineFieldRules, StoredSpeedsAndIntervalsOutsideTheirListsFallBackToThePreselection)
{
    EXPECT_EQ(speedPosition("0"), 0);
    EXPECT_EQ(speedPosition("15"), 15);
    for (const QString bad : {"", "16", "-1", "fast"})
        EXPECT_EQ(speedPosition(bad), 4) << bad;
    EXPECT_EQ(intervalPosition(5), 5);
    EXPECT_EQ(intervalPosition(6), 0);
    EXPECT_EQ(conversionCode(4), 254);
    EXPECT_EQ(conversionCode(9), 0);
}

TEST(MachineFieldRules, DesignationIsShownTrimmedAndStoredWithItsBlank)
{
    EXPECT_EQ(storedText("Drehbank 1"), "Drehbank 1 ");
    EXPECT_EQ(shownText("  Drehbank 1 "), "Drehbank 1");
    EXPECT_EQ(storedText(QString(kTypedTextLength, 'x')).size(), kTextLength);
}

} // namespace
} // namespace zep::test
