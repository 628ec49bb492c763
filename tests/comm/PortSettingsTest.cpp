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
    EXPECT_EQ(p.line.text(), "9600,N,8,1");
    EXPECT_EQ(p.comAnschluss, 1);
    EXPECT_EQ(p.line.handshake(), 2);
    EXPECT_EQ(p.puffer, 256);
    EXPECT_EQ(p.endCode, "<SA>26");
    EXPECT_TRUE(p.summary().startsWith("Endzeichen: ASC(26)\r"));

    PortSettings q = p;
    q.aktiviert = true;
    q.endCode = "<SZ>%'Ä||M30";
    q.conversions.ecrZu = 254;
    q.conversions.exon = 1;
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
    const LineSettings a = LineSettings::fromText("9600,E,7,1.5");
    EXPECT_EQ(a.speed(), "9600");
    EXPECT_EQ(a.parity(), QChar('E'));
    EXPECT_EQ(a.dataBits(), "7");
    EXPECT_EQ(a.stopBits(), "1.5");
    const LineSettings b = LineSettings::fromText("115200,n,8,2");
    EXPECT_EQ(b.speed(), "115200");
    EXPECT_EQ(b.parity(), QChar('N'));
    EXPECT_TRUE(LineSettings::parse("9600,N,8,1").has_value());
    EXPECT_FALSE(LineSettings::parse("9600,X,8,1").has_value());
    EXPECT_FALSE(LineSettings::parse("").has_value());
    EXPECT_FALSE(LineSettings::parse("abc,N,8,1").has_value());
    LineSettings::fromText("1"); // short texts do not crash
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
    const PortSettings fresh = PortSettings::opening(store, 2);
    EXPECT_EQ(fresh.line.text(), "9600,N,8,1");
    EXPECT_EQ(PortSettings::openingComAnschluss(store, 2), "0") << "opening leaves the port number alone";
    EXPECT_EQ(fresh.comAnschluss, 0);
    EXPECT_EQ(fresh.puffer, 256);
    EXPECT_EQ(fresh.line.handshake(), 2);
    EXPECT_EQ(PortSettings::load(store, 2).comAnschluss, 1) << "the dialog shows the first port";

    // Values the dialog cannot show: it falls back, opening hands them on so
    // the port refuses them with its own message.
    store.write("COM2Einstellungen", QString::fromUtf8("COM-Anschluß"), "x3");
    store.write("COM2Einstellungen", "Handshaking", "7");
    store.write("COM2Einstellungen", "Puffer", "100000");
    const PortSettings odd = PortSettings::opening(store, 2);
    EXPECT_EQ(PortSettings::openingComAnschluss(store, 2), "x3");
    EXPECT_EQ(odd.line.handshake(), 7);
    EXPECT_EQ(odd.puffer, 100000);
    const PortSettings shown = PortSettings::load(store, 2);
    EXPECT_EQ(shown.comAnschluss, 1);
    EXPECT_EQ(shown.line.handshake(), 2);
    EXPECT_EQ(PortSettings::comAnschlussKey(), QString::fromUtf8("COM-Anschluß"));
}

TEST(PortSettings, ReceivingAndSendingReadTheSameGroup)
{
    test::TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    PortSettings p;
    p.endCode = "<SZ>%||M30";
    p.conversions.ecrZu = 255;
    p.conversions.elfZu = 254;
    p.conversions.scrZu = 13;
    p.conversions.slfZu = 10;
    p.conversions.exon = 1;
    p.save(store, 4);

    const ReceiveSettings r = ReceiveSettings::read(store, 4);
    EXPECT_EQ(r.endCode.kind(), EndCode::Kind::Strings);
    EXPECT_EQ(r.endCode.detectString(), "M30");
    EXPECT_FALSE(r.conversions.nulFilter());
    EXPECT_EQ(r.conversions.ecrZu, 255);
    EXPECT_EQ(r.conversions.elfZu, 254);

    const SendSettings s = SendSettings::read(store, 4);
    EXPECT_EQ(s.endCode, "<SZ>%||M30");
    EXPECT_FALSE(s.conversions.nulFilter());
    EXPECT_EQ(s.conversions.scrZu, 13);
    EXPECT_EQ(s.conversions.slfZu, 10);

    // A hand-edited code outside a byte is no conversion at all.
    store.write("COM4Einstellungen", "ECRzu", "300");
    store.write("COM4Einstellungen", "EXON", "-1");
    EXPECT_EQ(ReceiveSettings::read(store, 4).conversions.ecrZu, 0);
    EXPECT_TRUE(ReceiveSettings::read(store, 4).conversions.nulFilter());
    EXPECT_TRUE(SendSettings::read(store, 4).conversions.nulFilter());
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
    const LineSettings shown("9600", QLatin1Char('N'), "8", "1");
    EXPECT_EQ(shown.takingOver(LineSettings::fromMachine(4, "8,N,1")).text(), "2400,N,8,1");
    EXPECT_EQ(shown.takingOver(LineSettings::fromMachine(13, "7,e,1.5")).text(), "115200,E,7,1.5");
    EXPECT_EQ(shown.takingOver(LineSettings::fromMachine(15, "7,O,2")).text(), "256000,O,7,2");
    // What the lists do not offer keeps the line shown so far.
    EXPECT_EQ(shown.takingOver(LineSettings::fromMachine(16, "8,N,1")).text(), "9600,N,8,1");
    EXPECT_EQ(shown.takingOver(LineSettings::fromMachine(-1, "9,X,3")).text(), "9600,N,8,1");
    EXPECT_EQ(shown.takingOver(LineSettings::fromMachine(6, "")).text(), "9600,N,8,1");
}

TEST(PortSettings, EveryKeyIsWrittenInTheTextsAShopsSettingsFileHolds)
{
    test::TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    PortSettings p;
    p.aktiviert = true;
    p.line = LineSettings::fromText("19200,E,7,1.5", 3);
    p.comAnschluss = 12;
    p.maschinenIndex = 47;
    p.puffer = 1024;
    p.conversions = {254, 255, 13, 10, 1, 1};
    p.endCode = "<SZ>%||M30";
    p.save(store, 2);
    const std::pair<const char *, const char *> expected[] = {
        {"Einstellungen", "19200,E,7,1.5"},
        {"COM-Anschluß", "12"},
        {"Handshaking", "3"},
        {"Aktiviert", "True"},
        {"MaschinenIndex", "47"},
        {"Puffer", "1024"},
        {"ECRzu", "254"},
        {"ELFzu", "255"},
        {"SCRzu", "13"},
        {"SLFzu", "10"},
        {"EXON", "1"},
        {"SXON", "1"},
        {"EndCode", "<SZ>%||M30"},
    };
    const IniSettingsStore other(env.iniFile());
    for (const auto &[key, value] : expected)
        EXPECT_EQ(other.read("COM2Einstellungen", QString::fromUtf8(key), "fehlt"), QString::fromUtf8(value)) << key;
    const PortSettings back = PortSettings::load(other, 2);
    EXPECT_EQ(back.line, p.line);
    EXPECT_EQ(back.conversions, p.conversions);
    EXPECT_EQ(back.maschinenIndex, 47);
    EXPECT_EQ(back.comAnschluss, 12);
    EXPECT_EQ(back.puffer, 1024);
    EXPECT_TRUE(back.aktiviert);
    p.aktiviert = false;
    p.save(store, 2);
    EXPECT_EQ(other.read("COM2Einstellungen", "Aktiviert"), "False");
}

TEST(PortSettings, AnOddStoredLineIsShownByItsPartsAndWrittenBackUnchanged)
{
    // Hand-made or written by another station: the dialog loads and saves
    // the group without changing what it cannot show.
    for (const char *stored : {"9600,n,8,1", " 9600,N,8,1", "31250,N,8,1", "9600,N,8", "abc", ""}) {
        test::TestEnvironment env;
        IniSettingsStore store(env.iniFile());
        store.write("COM0Einstellungen", "Einstellungen", QString::fromUtf8(stored));
        const PortSettings p = PortSettings::load(store, 0);
        EXPECT_EQ(p.line.text(), QString::fromUtf8(stored));
        EXPECT_EQ(PortSettings::opening(store, 0).line.text(), QString::fromUtf8(stored));
        p.save(store, 0);
        EXPECT_EQ(store.read("COM0Einstellungen", "Einstellungen", "fehlt"), QString::fromUtf8(stored));
    }
}
