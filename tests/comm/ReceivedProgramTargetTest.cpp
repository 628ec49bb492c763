#include "comm/ReceivedProgramTarget.h"

#include <gtest/gtest.h>

using zep::ReceivedProgramTarget;

// What the save dialog may do with the main list's selection, decided from
// the file name it shows.
TEST(ReceivedProgramTarget, OnlyARealSelectionIsTakenOverOrCompared)
{
    const QString none = ReceivedProgramTarget::noSelection();
    EXPECT_EQ(none, "?");
    EXPECT_FALSE(ReceivedProgramTarget::canTakeOver(none));
    EXPECT_FALSE(ReceivedProgramTarget::canCompare(none));

    EXPECT_TRUE(ReceivedProgramTarget::canTakeOver("DREHEN\\WELLE A.NC"));
    EXPECT_TRUE(ReceivedProgramTarget::canCompare("DREHEN\\WELLE A.NC"));
    EXPECT_TRUE(ReceivedProgramTarget::canCompare("P1"));
    // A single character is taken over as typed, but not compared.
    EXPECT_TRUE(ReceivedProgramTarget::canTakeOver("A"));
    EXPECT_FALSE(ReceivedProgramTarget::canCompare("A"));
    EXPECT_FALSE(ReceivedProgramTarget::canCompare(QString()));
}
