#include "comm/LineChoices.h"
#include "comm/LineConversions.h"
#include "comm/LineSettings.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace zep;

namespace {

QString letter(QChar c)
{
    return c.isNull() ? QString() : QString(c);
}

// The four parts as one text, so a failing row shows them all.
QString parts(const LineSettings &line)
{
    return line.speed() + "|" + letter(line.parity()) + "|" + line.dataBits() + "|" + line.stopBits();
}

} // namespace

TEST(LineSettings, ASettingsTextIsReadFromItsEndAndWrittenBackAsItWas)
{
    struct Row {
        const char *stored;
        const char *parts; // speed|parity|data bits|stop bits
    };
    const Row rows[] = {
        {"9600,N,8,1", "9600|N|8|1"},
        {"9600,E,7,1.5", "9600|E|7|1.5"},
        {"115200,n,8,2", "115200|N|8|2"},
        {"110,O,5,2", "110|O|5|2"},
        {"31250,S,8,1", "31250|S|8|1"}, // a speed no list offers
        {"X,N,8,1", "X|N|8|1"},         // typed into the monitor
        {"N,8,1", "|N|8|1"},
        // Odd texts: read by position, so every part is off, but nothing is
        // lost and nothing crashes.
        {"9600,N,8,1 ", "9600,|,|,| "},
        {" 9600,N,8,1", " 9600|N|8|1"},
        {"9600,N,8", "96|0|N|8"},
        {"9600;N;8;1", "9600|N|8|1"}, // the separators are never looked at
        {"1.5", "|||1.5"},
        {"1", "|||1"},
        {"", "|||"},
    };
    for (const Row &row : rows) {
        const QString stored = QString::fromUtf8(row.stored);
        const LineSettings line = LineSettings::fromText(stored, 3);
        EXPECT_EQ(parts(line), QString::fromUtf8(row.parts)) << stored;
        EXPECT_EQ(line.text(), stored) << "written back unchanged";
        EXPECT_EQ(line.handshake(), 3) << stored;
    }
}

TEST(LineSettings, APortTakesOnlyTheExactForm)
{
    struct Row {
        const char *text;
        const char *taken; // nullptr: refused
    };
    const Row rows[] = {
        {"9600,N,8,1", "9600,N,8,1"},
        {" 9600 , n , 7 , 1.5 ", "9600,N,7,1.5"},
        {"115200,e,8,2", "115200,E,8,2"},
        {"300,S,4,1", "300,S,4,1"}, // the form allows 4 bits; the port refuses them itself
        {"", nullptr},
        {"9600,N,8", nullptr},
        {"9600,N,8,1,0", nullptr},
        {"abc,N,8,1", nullptr},
        {"0,N,8,1", nullptr},
        {"-9600,N,8,1", nullptr},
        {"9600,X,8,1", nullptr},
        {"9600,NN,8,1", nullptr},
        {"9600,,8,1", nullptr},
        {"9600,N,9,1", nullptr},
        {"9600,N,3,1", nullptr},
        {"9600,N,8,3", nullptr},
        {"9600,N,8,1.0", nullptr},
    };
    for (const Row &row : rows) {
        const auto line = LineSettings::parse(QString::fromUtf8(row.text), 1);
        if (!row.taken) {
            EXPECT_FALSE(line.has_value()) << row.text;
            continue;
        }
        ASSERT_TRUE(line.has_value()) << row.text;
        EXPECT_EQ(line->text(), QString::fromUtf8(row.taken)) << row.text;
        EXPECT_EQ(line->handshake(), 1);
    }
}

TEST(LineSettings, AMachineRecordsLineKeepsOnlyWhatTheListsOffer)
{
    struct Row {
        int speedPosition;
        const char *comString;
        const char *parts;
        int position;
    };
    const Row rows[] = {
        {4, "8,N,1", "2400|N|8|1", 4},
        {13, "7,e,1.5", "115200|E|7|1.5", 13},
        {15, "7,O,2", "256000|O|7|2", 15},
        {0, "4,M,1", "110|M|4|1", 0},
        {16, "8,N,1", "|N|8|1", -1},
        {-1, "9,X,3", "|||", -1},
        {6, "", "9600|||", 6},
        {6, "8,N,1 ", "9600|||", 6},
        {6, "8, N, 1", "9600|||1", 6}, // read by position: only the stop bits fit
        {6, "N,8,1", "9600|||1", 6},
    };
    for (const Row &row : rows) {
        const QString comString = QString::fromUtf8(row.comString);
        const LineSettings line = LineSettings::fromMachine(row.speedPosition, comString);
        EXPECT_EQ(parts(line), QString::fromUtf8(row.parts)) << row.speedPosition << " " << comString;
        EXPECT_EQ(line.comString(), comString) << "written back as typed";
        EXPECT_EQ(line.speedPosition(), row.position) << comString;
    }
}

TEST(LineSettings, AComStringTheManagerStoresCanBeRunAndReadBack)
{
    for (const char *good : {"8,N,1", "7,E,2", "8,n,1.5", "5,S,1", "6,o,2", "8,m,1"})
        EXPECT_TRUE(LineSettings::isComString(QString::fromUtf8(good))) << good;
    for (const char *bad : {"4,N,1", "9,N,1", "8,X,1", "8,N,3", "8,N,1.0", "8, N, 1", "8,N,1 ", " 8,N,1", "",
                            "8,N", "9600,N,8,1", "8;N;1", "8,NN,1"})
        EXPECT_FALSE(LineSettings::isComString(QString::fromUtf8(bad))) << bad;
}

TEST(LineSettings, TakingOverAMachineKeepsWhatItLacksAndTheFlowControl)
{
    const LineSettings shown = LineSettings::fromText("9600,N,8,1", 2);
    struct Row {
        int speedPosition;
        const char *comString;
        const char *taken;
    };
    const Row rows[] = {
        {4, "8,N,1", "2400,N,8,1"},   {13, "7,e,1.5", "115200,E,7,1.5"}, {15, "7,O,2", "256000,O,7,2"},
        {16, "8,N,1", "9600,N,8,1"},  {-1, "9,X,3", "9600,N,8,1"},       {6, "", "9600,N,8,1"},
        {0, "5,S,2", "110,S,5,2"},    {5, "7,E", "4800,N,8,1"},
    };
    for (const Row &row : rows) {
        const LineSettings taken =
            shown.takingOver(LineSettings::fromMachine(row.speedPosition, QString::fromUtf8(row.comString)));
        EXPECT_EQ(taken.text(), QString::fromUtf8(row.taken)) << row.speedPosition << " " << row.comString;
        EXPECT_EQ(taken.handshake(), 2);
    }
}

TEST(LineSettings, EveryLineTheListsOfferRoundTripsThroughBothStoredForms)
{
    for (const QString &speed : LineChoices::speeds())
        for (const QString &parity : LineChoices::parities())
            for (const QString &dataBits : LineChoices::dataBits())
                for (const QString &stopBits : LineChoices::stopBits()) {
                    const LineSettings line(speed, parity.at(0), dataBits, stopBits, 1);
                    const QString text = line.text();
                    EXPECT_EQ(text, speed + "," + parity.at(0) + "," + dataBits + "," + stopBits);
                    EXPECT_EQ(line.comString(), dataBits + "," + parity.at(0) + "," + stopBits);

                    const LineSettings fromText = LineSettings::fromText(text, 1);
                    EXPECT_EQ(parts(fromText), parts(line)) << text;
                    EXPECT_EQ(fromText, line) << text;
                    const auto parsed = LineSettings::parse(text, 1);
                    ASSERT_TRUE(parsed.has_value()) << text;
                    EXPECT_EQ(*parsed, line) << text;

                    const LineSettings fromMachine = LineSettings::fromMachine(line.speedPosition(), line.comString());
                    EXPECT_EQ(parts(fromMachine), parts(line)) << text;
                    EXPECT_EQ(LineSettings::isComString(line.comString()), dataBits != "4") << text;
                }
}

TEST(LineSettings, PartsAreJoinedWithoutInventingAny)
{
    EXPECT_EQ(LineSettings("9600", QChar(), "8", "1").text(), "9600,,8,1") << "no NUL character for a missing parity";
    EXPECT_EQ(LineSettings("9600", QChar(), "8", "1").comString(), "8,,1");
    EXPECT_EQ(LineSettings().text(), "");
    EXPECT_EQ(LineSettings(), LineSettings::fromText(""));
    // What was read in one form is joined for the other.
    EXPECT_EQ(LineSettings::fromText("19200,E,7,2").comString(), "7,E,2");
    EXPECT_EQ(LineSettings::fromMachine(8, "7,e,2").text(), "19200,E,7,2");
}

TEST(LineSettings, EqualMeansTheSameLineWrittenAlike)
{
    const LineSettings line("9600", QLatin1Char('N'), "8", "1", 2);
    EXPECT_EQ(line, LineSettings::fromText("9600,N,8,1", 2));
    EXPECT_NE(line, LineSettings::fromText("9600,N,8,1", 0)) << "flow control";
    EXPECT_NE(line, LineSettings::fromText("9600,n,8,1", 2)) << "stored otherwise";
    EXPECT_NE(line, LineSettings::fromText("9600,E,8,1", 2));
    LineSettings changed = line;
    changed.setHandshake(3);
    EXPECT_EQ(changed.handshake(), 3);
    EXPECT_EQ(changed.text(), "9600,N,8,1");
}

TEST(LineChoices, TheListsKeepTheirStoredOrder)
{
    EXPECT_EQ(LineChoices::speeds(), QStringList({"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200",
                                                  "28800", "38400", "56000", "57600", "115200", "128000", "256000"}));
    EXPECT_EQ(LineChoices::parities(), QStringList({"Even", "Odd", "None", "Mark", "Space"}));
    EXPECT_EQ(LineChoices::dataBits(), QStringList({"4", "5", "6", "7", "8"}));
    EXPECT_EQ(LineChoices::stopBits(), QStringList({"1", "1.5", "2"}));
    EXPECT_EQ(LineChoices::handshakes(), QStringList({"Kein", "Xon/Xoff", "RTS", "Xon/RTS"}));
    EXPECT_EQ(LineChoices::monitorHandshakes(), QStringList({"Kein", "XON/XOFF", "RTS/CTS", "XON/RTS"}));
    ASSERT_EQ(LineChoices::ports().size(), 16);
    EXPECT_EQ(LineChoices::ports().first(), "Com1");
    EXPECT_EQ(LineChoices::ports().last(), "Com16");
}

TEST(LineChoices, ValuesAndPositionsMapBothWays)
{
    struct Row {
        const char *list;
        const char *value;
        int position;
    };
    const Row rows[] = {
        {"speed", "110", 0},      {"speed", "2400", 4},  {"speed", "9600", 6},   {"speed", "256000", 15},
        {"speed", "31250", -1},   {"speed", "", -1},     {"speed", " 9600", -1}, {"parity", "E", 0},
        {"parity", "N", 2},       {"parity", "S", 4},    {"parity", "X", -1},    {"parity", "n", -1},
        {"parity", "", -1},       {"dataBits", "4", 0},  {"dataBits", "8", 4},   {"dataBits", "9", -1},
        {"dataBits", "", -1},     {"stopBits", "1", 0},  {"stopBits", "1.5", 1}, {"stopBits", "2", 2},
        {"stopBits", "1,5", -1},  {"stopBits", "", -1},
    };
    for (const Row &row : rows) {
        const QString list = QString::fromUtf8(row.list);
        const QString value = QString::fromUtf8(row.value);
        int position = -2;
        QString back;
        if (list == "speed") {
            position = LineChoices::speedPosition(value);
            back = LineChoices::speedAt(row.position);
        } else if (list == "parity") {
            position = LineChoices::parityPosition(value.isEmpty() ? QChar() : value.at(0));
            back = letter(LineChoices::parityAt(row.position));
        } else if (list == "dataBits") {
            position = LineChoices::dataBitsPosition(value);
            back = LineChoices::dataBitsAt(row.position);
        } else {
            position = LineChoices::stopBitsPosition(value);
            back = LineChoices::stopBitsAt(row.position);
        }
        EXPECT_EQ(position, row.position) << list << " " << value;
        EXPECT_EQ(back, row.position < 0 ? QString() : value) << list << " " << row.position;
    }
    for (const int outside : {-1, 5, 16, 100}) {
        EXPECT_EQ(LineChoices::speedAt(outside == 5 ? 16 : outside), QString()) << outside;
        EXPECT_TRUE(LineChoices::parityAt(outside).isNull()) << outside;
        EXPECT_EQ(LineChoices::dataBitsAt(outside), QString()) << outside;
        EXPECT_EQ(LineChoices::stopBitsAt(outside == 5 ? 3 : outside), QString()) << outside;
    }
}

TEST(LineChoices, FlowControlAndPortNumbersMapToTheirPositions)
{
    struct Row {
        int value;
        int position;
    };
    for (const Row row : {Row{0, 0}, Row{1, 1}, Row{2, 2}, Row{3, 3}, Row{4, -1}, Row{-1, -1}, Row{7, -1}}) {
        EXPECT_EQ(LineChoices::handshakePosition(row.value), row.position) << row.value;
        EXPECT_EQ(LineChoices::handshakeAt(row.position), row.position < 0 ? -1 : row.value) << row.position;
    }
    for (const Row row : {Row{1, 0}, Row{12, 11}, Row{16, 15}, Row{0, -1}, Row{17, -1}, Row{-3, -1}}) {
        EXPECT_EQ(LineChoices::portPosition(row.value), row.position) << row.value;
        EXPECT_EQ(LineChoices::portAt(row.position), row.position < 0 ? -1 : row.value) << row.position;
    }
    EXPECT_EQ(LineChoices::portAt(16), -1);
    EXPECT_EQ(LineChoices::portName(12), "Com12");
    EXPECT_EQ(LineChoices::portNumber("Com12"), 12);
    EXPECT_EQ(LineChoices::portNumber("Com"), 0);
    for (int position = 0; position < 16; ++position)
        EXPECT_EQ(LineChoices::portNumber(LineChoices::ports().at(position)), LineChoices::portAt(position));
}

TEST(LineConversions, AStoredValueOutsideAByteIsNoCode)
{
    struct Row {
        LineConversions stored;
        LineConversions asBytes;
        bool nulFilter;
    };
    const Row rows[] = {
        {{}, {}, true},
        {{254, 255, 13, 10, 1, 1}, {254, 255, 13, 10, 1, 1}, false},
        {{300, -1, 256, 0, 0, 2}, {0, 0, 0, 0, 0, 2}, true},
        {{7, 0, 0, 0, 2, 0}, {7, 0, 0, 0, 2, 0}, false},
        {{0, 0, 0, 0, -1, 0}, {0, 0, 0, 0, 0, 0}, false},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(row.stored.asBytes(), row.asBytes);
        EXPECT_EQ(row.stored.nulFilter(), row.nulFilter) << row.stored.exon;
    }
}
