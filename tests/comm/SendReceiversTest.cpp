#include "CommStationFixture.h"

#include "comm/SendReceivers.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace zep::test {
namespace {

TEST(SendReceivers, CaptionsEachConnectionAndPreselectsTheLastOneBoundToTheRecordsMachine)
{
    Station s;
    s.activate(0, "/dev/zep-a");
    s.activate(1, "/dev/zep-b");
    s.activate(3, "/dev/zep-d");
    s.settings.write(PortSettings::section(1), "MaschinenIndex", "7");
    s.settings.write(PortSettings::section(3), "MaschinenIndex", "7");
    const QHash<long, QString> names{{1, "Drehbank / Halle 1"}};

    SendReceivers r = SendReceivers::list(s.settings, names, 7);
    EXPECT_EQ(r.options[0].text, "Drehbank / Halle 1");
    EXPECT_TRUE(r.options[0].active);
    EXPECT_EQ(r.options[1].text, "Nicht Definiert (COM2:)");
    EXPECT_EQ(r.options[2].text, "nicht Aktiv");
    EXPECT_FALSE(r.options[2].active);
    EXPECT_EQ(r.options[4].text, "nicht Aktiv");
    EXPECT_EQ(r.preselected, 3);

    EXPECT_EQ(SendReceivers::list(s.settings, names, 1).preselected, 0);
    // Bound to no machine: nothing is guessed, not even a connection bound
    // to none.
    s.settings.write(PortSettings::section(0), "MaschinenIndex", "0");
    EXPECT_EQ(SendReceivers::list(s.settings, names, 0).preselected, -1);
    // A machine whose only connection is switched off is not preselected.
    s.settings.write(PortSettings::section(3), "Aktiviert", "False");
    s.settings.write(PortSettings::section(1), "Aktiviert", "False");
    EXPECT_EQ(SendReceivers::list(s.settings, names, 7).preselected, -1);
}

} // namespace
} // namespace zep::test
