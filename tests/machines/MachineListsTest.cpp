#include "machines/MachineLists.h"

#include "comm/LineChoices.h"
#include "comm/LineDefaults.h"

#include <gtest/gtest.h>

namespace zep::test {
namespace {

using namespace MachineLists;

TEST(MachineLists, StoredCodesMapToTheirListPositionAndUnknownOnesToNormal)
{
    EXPECT_EQ(GetComboIdx(0), 0);
    EXPECT_EQ(GetComboIdx(10), 3);
    EXPECT_EQ(GetComboIdx(13), 2);
    EXPECT_EQ(GetComboIdx(254), 4);
    EXPECT_EQ(GetComboIdx(255), 1);
    EXPECT_EQ(GetComboIdx(7), 0);
    for (int i = 0; i < conversions().size(); ++i)
        EXPECT_EQ(GetComboIdx(conversions()[i].code), i);
}

TEST(MachineLists, EndCharacterNamesCompareZeroAsTextAndTheRestByValue)
{
    EXPECT_EQ(endCharacterName("0"), "NULL");
    EXPECT_EQ(endCharacterName("00"), "");
    EXPECT_EQ(endCharacterName("26"), "EOF");
    EXPECT_EQ(endCharacterName("26.0"), "EOF");
    EXPECT_EQ(endCharacterName("1310"), "CRLF");
    EXPECT_EQ(endCharacterName("26.5"), "");
    EXPECT_EQ(endCharacterName("abc"), "");
    EXPECT_EQ(endCharacterName(""), "");
}

TEST(MachineLists, IntervalsHaveTheirFixedLengthsAndDueWindowNames)
{
    EXPECT_EQ(LineChoices::speeds().at(LineDefaults::Manager::kSpeedPosition), "2400");
    EXPECT_EQ(LineChoices::speeds().at(LineDefaults::Wizard::kSpeedPosition), "9600");
    EXPECT_EQ(LineChoices::speeds().size(), 16);
    const int days[] = {0, 1, 7, 30, 91, 365, 0};
    for (int p = 0; p <= 6; ++p)
        EXPECT_EQ(intervalDays(p), days[p]) << p;
    EXPECT_EQ(dueWindowIntervalName(4), "quartal");
    EXPECT_EQ(dueWindowIntervalName(5), "jährlich");
    EXPECT_EQ(dueWindowIntervalName(0), "");
    EXPECT_EQ(rs232Text(true, true), "Ja: Sonderzeichen");
    EXPECT_EQ(rs232Text(true, false), "Ja: Timeout");
    EXPECT_EQ(rs232Text(false, true), "Nein");
}

} // namespace
} // namespace zep::test
