#include "MachineFixture.h"

#include "comm/LineSettings.h"
#include "comm/PortSettings.h"
#include "machines/MachineRecord.h"
#include "machines/MachineStore.h"

namespace zep::test {
namespace {

LineSettings shownLine()
{
    return LineSettings("9600", QLatin1Char('N'), "8", "1", 3);
}

// What "-> COM" puts into a connection shown with shownLine().
PortSettings takenOver(const MachineRecord &record)
{
    PortSettings port;
    port.aktiviert = true;
    port.comAnschluss = 3;
    port.maschinenIndex = int(record.maschinennummer);
    record.copyDefaultsTo(port, shownLine());
    return port;
}

struct MachineRecordTest : MachineFixture {
    MachineStore store{db, clock};

    MachineRecord load(long n)
    {
        MachineRecord r;
        EXPECT_FALSE(store.load(n, r));
        return r;
    }
};

TEST_F(MachineRecordTest, SerialDefaultsOfAStoredMachine)
{
    const long n = insertMachine("Fräse", "Halle 2",
                                 "Sonderzeichen, Param1, Param2, Param3, ECRzu, ELFzu, SCRzu, SLFzu, EXON, SXON, "
                                 "Baudrate, COMString",
                                 {1, "26", "%||M30", "A", 255, 0, 254, 13, 1, 1, "8", "7,E,2"});
    const PortSettings d = takenOver(load(n));
    EXPECT_EQ(d.line.text(), "19200,E,7,2");
    EXPECT_EQ(d.endCode, "<SA>26");
    EXPECT_EQ(d.conversions.ecrZu, 255);
    EXPECT_EQ(d.conversions.elfZu, 0);
    EXPECT_EQ(d.conversions.scrZu, 254);
    EXPECT_EQ(d.conversions.slfZu, 13);
    EXPECT_EQ(d.conversions.exon, 1);
    EXPECT_EQ(d.conversions.sxon, 1);
    EXPECT_FALSE(d.conversions.nulFilter());

    // Taken over into a connection, nothing else of it changes.
    EXPECT_TRUE(d.aktiviert);
    EXPECT_EQ(d.comAnschluss, 3);
    EXPECT_EQ(d.maschinenIndex, int(n));
    EXPECT_EQ(d.line.handshake(), 3) << "a machine record has no flow control";
}

TEST_F(MachineRecordTest, EndCodeFollowsTheEndModeAndStringsStayLiteral)
{
    const long pair = insertMachine("A", "B", "Sonderzeichen, Param1, Param2, Param3", {1, "26", "^2^||^3^", "Z"});
    EXPECT_EQ(takenOver(load(pair)).endCode, "<SZ>^2^||^3^");
    const long timeout = insertMachine("C", "D", "Sonderzeichen, Param1, Param2, Param3", {0, "", "", ""});
    EXPECT_EQ(takenOver(load(timeout)).endCode, "<ST>");
}

TEST_F(MachineRecordTest, AnOldRecordWithNullsAndOddValuesGivesUsableDefaults)
{
    // Written by another program: NULL line fields and a code beyond a byte.
    const long n = insertMachine("Alt", "Keller", "ECRzu, Baudrate, COMString", {300, QVariant(), QVariant()});
    const MachineRecord r = load(n);
    const PortSettings d = takenOver(r);
    EXPECT_EQ(d.conversions.ecrZu, 0);
    EXPECT_EQ(d.line.text(), "110,N,8,1") << "an unreadable Baudrate is position 0, the rest stays as shown";
    EXPECT_EQ(d.endCode, "<ST>");
}

TEST_F(MachineRecordTest, CommunicationFieldsAsTheManagerShowsARecord)
{
    const long n = insertMachine("Drehbank 1 ", "Halle 1 ",
                                 "MitRS232, Sonderzeichen, Param1, Param2, Param3, ECRzu, ELFzu, SCRzu, SLFzu, "
                                 "EXON, SXON, Baudrate, COMString",
                                 {1, 1, "26", "%||M30", "Z", 13, 10, 7, 254, 1, 0, "6", "8,N,1"});
    const CommunicationFields f = CommunicationFields::fromRecord(load(n));
    EXPECT_TRUE(f.mitRS232);
    EXPECT_TRUE(f.sonderzeichen);
    EXPECT_FALSE(f.asciiCode);
    EXPECT_EQ(f.code, "26");
    EXPECT_EQ(f.start, "%");
    EXPECT_EQ(f.end, "M30");
    EXPECT_EQ(f.conversions.ecrZu, 13);
    EXPECT_EQ(f.conversions.elfZu, 10);
    EXPECT_EQ(f.conversions.scrZu, 7) << "the stored code; the window shows an unknown one as normal";
    EXPECT_EQ(f.conversions.slfZu, 254);
    EXPECT_EQ(f.conversions.exon, 1);
    EXPECT_EQ(f.conversions.sxon, 0);
    EXPECT_EQ(f.line.speedPosition(), 6);
    EXPECT_EQ(f.line.comString(), "8,N,1");

    const long single = insertMachine("X", "Y", "Sonderzeichen, Param2, Param3, Baudrate", {1, "%", "A", "99"});
    const CommunicationFields g = CommunicationFields::fromRecord(load(single));
    EXPECT_TRUE(g.asciiCode);
    EXPECT_EQ(g.start, "%");
    EXPECT_EQ(g.end, "");
    EXPECT_EQ(g.line.speedPosition(), 4) << "a Baudrate beyond the list is the manager's preselection";

    const long timeout = insertMachine("Z", "W", "Sonderzeichen, MitRS232", {0, 0});
    const CommunicationFields h = CommunicationFields::fromRecord(load(timeout));
    EXPECT_FALSE(h.sonderzeichen);
    EXPECT_FALSE(h.mitRS232);
}

} // namespace
} // namespace zep::test
