#include "app/IniSettingsStore.h"
#include "comm/EndCode.h"
#include "comm/LineSettings.h"
#include "comm/PortSettings.h"
#include "comm/SerialPort.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace zep;

TEST(PortSettings, FreshStoreGivesDialogDefaultsAndRoundTrips)
{
    test::TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    const PortSettings p = PortSettings::load(store, 3);
    EXPECT_FALSE(p.aktiviert);
    EXPECT_EQ(p.einstellungen, "9600,N,8,1");
    EXPECT_EQ(p.comAnschluss, 1);
    EXPECT_EQ(p.handshaking, 2);
    EXPECT_EQ(p.puffer, 256);
    EXPECT_EQ(p.endCode, "<SA>26");
    EXPECT_TRUE(p.summary().startsWith("Endzeichen: ASC(26)\r"));

    PortSettings q = p;
    q.aktiviert = true;
    q.endCode = "<SZ>%'Ä||M30";
    q.ecrZu = 254;
    q.exon = 1;
    q.save(store, 3);
    EXPECT_EQ(store.read("COM3Einstellungen", "Aktiviert"), "True");
    const PortSettings r = PortSettings::load(store, 3);
    EXPECT_EQ(r.endCode, "<SZ>%'Ä||M30");
    EXPECT_EQ(r.summary(), "Startzeichen: %'Ä\rEndzeichen: M30\r\rEmpfang:\rCR zu CRLF\rLF zu normal\r"
                           "\rSenden:\rCR zu normal\rLF zu normal\r\rNullfilter: AUS!");
}

TEST(PortSettings, DevicePathDefaultsToTtySAndCanBeChanged)
{
    test::TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    EXPECT_EQ(SerialPort::devicePath(store, 1), "/dev/ttyS0");
    EXPECT_EQ(SerialPort::devicePath(store, 16), "/dev/ttyS15");
    store.write("Schnittstellen", "COM2", "/dev/ttyUSB0");
    EXPECT_EQ(SerialPort::devicePath(store, 2), "/dev/ttyUSB0");
}

TEST(PortSettings, LineSettingsSplitFromTheEnd)
{
    const LineSettings a = LineSettings::split("9600,E,7,1.5");
    EXPECT_EQ(a.baud, "9600");
    EXPECT_EQ(a.parity, QChar('E'));
    EXPECT_EQ(a.dataBits, "7");
    EXPECT_EQ(a.stopBits, "1.5");
    const LineSettings b = LineSettings::split("115200,n,8,2");
    EXPECT_EQ(b.baud, "115200");
    EXPECT_EQ(b.parity, QChar('N'));
    EXPECT_TRUE(LineSettings::parse("9600,N,8,1").has_value());
    EXPECT_FALSE(LineSettings::parse("9600,X,8,1").has_value());
    EXPECT_FALSE(LineSettings::parse("").has_value());
    EXPECT_FALSE(LineSettings::parse("abc,N,8,1").has_value());
    LineSettings::split("1"); // short texts do not crash
}

TEST(PortSettings, EndCodesFromMachineRecordsAndTheirReading)
{
    EXPECT_EQ(PortSettings::endCodeFromMachine(1, "26", "x", "A"), "<SA>26");
    EXPECT_EQ(PortSettings::endCodeFromMachine(1, "26", "%||M30", "Z"), "<SZ>%||M30");
    EXPECT_EQ(PortSettings::endCodeFromMachine(0, "26", "", "A"), "<ST>");
    EXPECT_EQ(EndCode::parse("<SA>4x").character(), 4);
    EXPECT_EQ(EndCode::parse("<SA>abc").character(), 0);
    EXPECT_EQ(EndCode::parse("<SA>300").character(), -1);
    EXPECT_EQ(EndCode::parse("<sa>26").kind(), EndCode::Kind::Other);
    EXPECT_EQ(EndCode::parse("<SZ>%M30").detectString(), "M30");
    EXPECT_EQ(EndCode::parse("<SZ>%M30").startString(), "%M30");
}

TEST(PortSettings, SummaryShowsTheEndCharacterTheReceptionUses)
{
    PortSettings p;
    p.endCode = "<SA> 26";
    EXPECT_TRUE(p.summary().startsWith("Endzeichen: ASC(26)"));
    p.endCode = "<SA>300";
    EXPECT_TRUE(p.summary().startsWith("Endzeichen: ASC(300)"));
}
