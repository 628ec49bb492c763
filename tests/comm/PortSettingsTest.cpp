#include "app/IniSettingsStore.h"
#include "comm/EndCode.h"
#include "comm/LineSettings.h"
#include "comm/PortDevices.h"
#include "comm/PortSettings.h"
#include "comm/ReceiveSettings.h"
#include "comm/SendUmwandeln.h"
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
    EXPECT_EQ(PortDevices::devicePath(store, 1), "/dev/ttyS0");
    EXPECT_EQ(PortDevices::devicePath(store, 16), "/dev/ttyS15");
    store.write("Schnittstellen", "COM2", "/dev/ttyUSB0");
    EXPECT_EQ(PortDevices::devicePath(store, 2), "/dev/ttyUSB0");
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

TEST(PortSettings, DialogAndOpeningReadTheirOwnDefaults)
{
    test::TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    const PortSettings::Opening fresh = PortSettings::opening(store, 2);
    EXPECT_EQ(fresh.einstellungen, "9600,N,8,1");
    EXPECT_EQ(fresh.comAnschluss, "0") << "opening leaves the port number alone";
    EXPECT_EQ(fresh.puffer, 256);
    EXPECT_EQ(fresh.handshaking, 2);
    EXPECT_EQ(PortSettings::load(store, 2).comAnschluss, 1) << "the dialog shows the first port";

    // Values the dialog cannot show: it falls back, opening hands them on so
    // the port refuses them with its own message.
    store.write("COM2Einstellungen", QString::fromUtf8("COM-Anschluß"), "x3");
    store.write("COM2Einstellungen", "Handshaking", "7");
    store.write("COM2Einstellungen", "Puffer", "100000");
    const PortSettings::Opening odd = PortSettings::opening(store, 2);
    EXPECT_EQ(odd.comAnschluss, "x3");
    EXPECT_EQ(odd.handshaking, 7);
    EXPECT_EQ(odd.puffer, 100000);
    const PortSettings shown = PortSettings::load(store, 2);
    EXPECT_EQ(shown.comAnschluss, 1);
    EXPECT_EQ(shown.handshaking, 2);
    EXPECT_EQ(PortSettings::comAnschlussKey(), QString::fromUtf8("COM-Anschluß"));
}

TEST(PortSettings, ReceivingAndSendingReadTheSameGroup)
{
    test::TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    PortSettings p;
    p.endCode = "<SZ>%||M30";
    p.ecrZu = 255;
    p.elfZu = 254;
    p.scrZu = 13;
    p.slfZu = 10;
    p.exon = 1;
    p.save(store, 4);

    const ReceiveSettings r = ReceiveSettings::read(store, 4);
    EXPECT_EQ(r.endCode.kind(), EndCode::Kind::Strings);
    EXPECT_EQ(r.endCode.detectString(), "M30");
    EXPECT_FALSE(r.nulFilter);
    EXPECT_EQ(r.ecrZu, 255);
    EXPECT_EQ(r.elfZu, 254);

    const SendSettings s = SendSettings::read(store, 4);
    EXPECT_EQ(s.endCode, "<SZ>%||M30");
    EXPECT_FALSE(s.nulFilter);
    EXPECT_EQ(s.scrZu, 13);
    EXPECT_EQ(s.slfZu, 10);

    // A hand-edited code outside a byte is no conversion at all.
    store.write("COM4Einstellungen", "ECRzu", "300");
    store.write("COM4Einstellungen", "EXON", "-1");
    EXPECT_EQ(ReceiveSettings::read(store, 4).ecrZu, 0);
    EXPECT_TRUE(ReceiveSettings::read(store, 4).nulFilter);
    EXPECT_TRUE(SendSettings::read(store, 4).nulFilter);
}

TEST(PortSettings, DevicePathsLiveInTheirOwnSection)
{
    test::TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    EXPECT_EQ(PortDevices::devicePath(store, 3), "/dev/ttyS2");
    PortDevices::setDevicePath(store, 3, "/dev/ttyUSB1");
    EXPECT_EQ(store.read("Schnittstellen", "COM3"), "/dev/ttyUSB1");
    EXPECT_EQ(PortDevices::devicePath(store, 3), "/dev/ttyUSB1");
    EXPECT_EQ(PortDevices::devicePath(store, 4), "/dev/ttyS3");
}

TEST(PortSettings, AMachinesLineIsReadFromTheEndOfItsComString)
{
    LineSettings shown;
    shown.baud = "9600";
    shown.parity = QLatin1Char('N');
    shown.dataBits = "8";
    shown.stopBits = "1";
    EXPECT_EQ(LineSettings::fromMachine(4, "8,N,1", shown).join(), "2400,N,8,1");
    EXPECT_EQ(LineSettings::fromMachine(13, "7,e,1.5", shown).join(), "115200,E,7,1.5");
    EXPECT_EQ(LineSettings::fromMachine(15, "7,O,2", shown).join(), "256000,O,7,2");
    // What the lists do not offer keeps the line shown so far.
    EXPECT_EQ(LineSettings::fromMachine(16, "8,N,1", shown).join(), "9600,N,8,1");
    EXPECT_EQ(LineSettings::fromMachine(-1, "9,X,3", shown).join(), "9600,N,8,1");
    EXPECT_EQ(LineSettings::fromMachine(6, "", shown).join(), "9600,N,8,1");
}
