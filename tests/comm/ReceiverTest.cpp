#include "app/IniSettingsStore.h"
#include "comm/EmpfangUmwandeln.h"
#include "comm/ReceiveSettings.h"
#include "comm/Receiver.h"
#include "comm/TraceSink.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace zep;

namespace {

ReceiveSettings settings(const QString &endCode, bool nulFilter = true, int ecr = 0, int elf = 0)
{
    ReceiveSettings s;
    s.endCode = EndCode::parse(endCode);
    s.conversions.exon = nulFilter ? 0 : 1;
    s.conversions.ecrZu = ecr;
    s.conversions.elfZu = elf;
    return s;
}

struct Outcome {
    bool finished = false;
    QByteArray text;
    bool operator==(const Outcome &o) const { return finished == o.finished && text == o.text; }
};

// Feeds a stream in pieces of `size` bytes (0 = whole), then one tick.
Outcome run(const QByteArray &stream, int size, const ReceiveSettings &s)
{
    TraceSink trace;
    Receiver r(0, trace);
    double now = 10;
    const int step = size <= 0 ? int(qMax<qsizetype>(1, stream.size())) : size;
    for (int pos = 0; pos < stream.size(); pos += step) {
        r.feed(stream.mid(pos, step), now, s);
        now += 0.01;
    }
    Outcome o;
    o.finished = r.tick(now + 1, s) == Receiver::Tick::HandOver;
    if (o.finished) {
        o.text = r.takeText();
        EmpfangUmwandeln(o.text, s, s.conversions.nulFilter(), trace);
    }
    return o;
}

void expectSplitIndependent(const QByteArray &stream, const ReceiveSettings &s, const Outcome &expected)
{
    for (const int size : {0, 7, 1, 3}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(run(stream, size, s), expected) << run(stream, size, s).text.toStdString();
    }
}

} // namespace

TEST(Receiver, ShortProgramWithEndCharacterAndTrailingCrLfEndsWhateverTheSplit)
{
    // A short program in one block used to wait for the 30 s abort.
    expectSplitIndependent("%\r\nN10 G0 X0\r\nM30\r\n\x1A\r\n", settings("<SA>26"),
                           {true, "%\r\nN10 G0 X0\r\nM30\r\n"});
}

TEST(Receiver, EndStringSplitAcrossPiecesIsFoundAndBothStringsCut)
{
    const QByteArray stream = "BEGIN\r\nN10 X1\r\nENDE";
    expectSplitIndependent(stream, settings("<SZ>BEGIN||ENDE"), {true, "\r\nN10 X1\r\n"});
    // Explicitly across the boundary "EN" | "DE".
    TraceSink trace;
    Receiver r(0, trace);
    const auto s = settings("<SZ>BEGIN||ENDE");
    r.feed("BEGIN\r\nN10 X1\r\nEN", 1, s);
    EXPECT_FALSE(r.finished());
    r.feed("DE", 2, s);
    EXPECT_TRUE(r.finished());
}

TEST(Receiver, EndCharacterInsideAPieceEndsThereAndWhatFollowsIsTheNextReception)
{
    // The end character is not the last of its piece: the text still ends
    // at it; what follows is the machine's next program, not lost.
    const Outcome o = run("ABCDEFGH\x1AXYZ", 0, settings("<SA>26"));
    EXPECT_TRUE(o.finished);
    EXPECT_EQ(o.text, "ABCDEFGH");

    TraceSink trace;
    Receiver r(0, trace);
    const auto s = settings("<SA>26");
    r.feed("%N10\r\n\x1A%N20\r\n", 1, s);
    r.feed("\x1A\r\n", 1.5, s);
    ASSERT_EQ(r.tick(2, s), Receiver::Tick::HandOver);
    EXPECT_EQ(r.takeText(), "%N10\r\n\x1A");
    r.startFollowing(2, s);
    ASSERT_EQ(r.tick(3, s), Receiver::Tick::HandOver);
    EXPECT_EQ(r.takeText(), "%N20\r\n\x1A");
    // Only a line end behind the second end code: nothing more to wait for.
    r.startFollowing(3, s);
    EXPECT_FALSE(r.running());
    EXPECT_EQ(r.tick(40, s), Receiver::Tick::Nothing);
}

TEST(Receiver, EndCharacterWithinTheFirstSixCharactersIsLeaderAndDoesNotEnd)
{
    TraceSink trace;
    Receiver r(0, trace);
    const auto s = settings("<SA>26");
    r.feed("AB\x1A", 1, s);
    EXPECT_FALSE(r.finished());
    EXPECT_EQ(r.tick(2, s), Receiver::Tick::Nothing);
}

TEST(Receiver, NulFilterOffStillFindsTheEndCharacter)
{
    expectSplitIndependent(QByteArray("A\0B\x1A", 4), settings("<SA>26", false), {true, QByteArray("A\0B", 3)});
}

TEST(Receiver, NulLeaderWithSa0IsDroppedAndALaterNulEnds)
{
    const QByteArray stream = QByteArray(20, '\0') + "%N10X1\r\n" + QByteArray(1, '\0') + QByteArray(3, '\0');
    expectSplitIndependent(stream, settings("<SA>0"), {true, "%N10X1\r\n"});
}

TEST(Receiver, OnlyTheExactSa0LetsANulEnd)
{
    // Another spelling of code 0 filters its NULs like any other end code.
    const QByteArray stream("\0\0%N10 X1\r\n\0N20\r\n\x1A", 22);
    EXPECT_EQ(run(stream, 0, settings("<SA>0")), (Outcome{true, "%N10 X1\r\n"}));
    EXPECT_EQ(run(stream, 0, settings("<SA>00")), (Outcome{false, {}}));
}

TEST(Receiver, TheEndLineIsTracedAfterThePieceThatCarriedTheEnd)
{
    QStringList lines;
    TraceSink trace;
    trace.isOn = [] { return true; };
    trace.appendLine = [&](const QString &l) { lines << "line:" + l; };
    trace.appendRaw = [&](const QString &t) { lines << "raw:" + t; };
    Receiver r(0, trace);
    const auto s = settings("<SZ>||M30");
    r.feed("%N10\r\nM30", 1, s);
    ASSERT_TRUE(r.finished());
    EXPECT_EQ(lines, (QStringList{"line:>>Nullzeichenprüfung aktiv<<", "raw:%N10\r\nM30", "line:EndZeichenkete empfangen!"}));
    // An empty start string is cut (nothing) and traced like any other.
    lines.clear();
    QByteArray text = r.takeText();
    EmpfangUmwandeln(text, s, s.conversions.nulFilter(), trace);
    EXPECT_EQ(text, "%N10\r\n");
    EXPECT_TRUE(lines.contains("line:EmpfangUmwandeln:  vorne weggeschnitten"));
}

TEST(Receiver, OnlyNulsNeverFinishAndAbortAfterThirtySeconds)
{
    TraceSink trace;
    Receiver r(0, trace);
    const auto s = settings("<SA>26");
    r.feed(QByteArray(100000, '\0'), 100, s);
    EXPECT_TRUE(r.collected().isEmpty());
    EXPECT_EQ(r.tick(130, s), Receiver::Tick::Nothing); // exactly 30 s is not yet
    EXPECT_EQ(r.tick(130.001, s), Receiver::Tick::Aborted);
}

TEST(Receiver, SilenceOfFiveSecondsEndsTimeoutReception)
{
    TraceSink trace;
    QStringList lines;
    trace.isOn = [] { return true; };
    trace.appendLine = [&](const QString &l) { lines << l; };
    Receiver r(2, trace);
    const auto s = settings("<ST>");
    r.feed("N10 X1\r\nN20", 50, s);
    EXPECT_EQ(r.tick(55, s), Receiver::Tick::Nothing);
    EXPECT_EQ(r.tick(55.01, s), Receiver::Tick::Ended);
    EXPECT_TRUE(lines.contains("Timeout von Maschine 2."));
    EXPECT_TRUE(lines.contains("Rest vom Übertragungs-Puffer angehängt."));
    EXPECT_EQ(r.tick(56, s), Receiver::Tick::HandOver);
    EXPECT_EQ(r.takeText(), "N10 X1\r\nN20");
    EXPECT_FALSE(r.running());
}

TEST(Receiver, LoneXonSetsMachineReadyAndIsNotCollected)
{
    TraceSink trace;
    int ready = 0;
    Receiver r(2, trace, [&] { ++ready; });
    const auto s = settings("<SA>26");
    EXPECT_EQ(r.feed("\x11", 1, s), Receiver::Piece::Handshake);
    EXPECT_EQ(ready, 1);
    EXPECT_EQ(r.feed("\x13", 1, s), Receiver::Piece::Handshake);
    EXPECT_EQ(ready, 1);
    EXPECT_FALSE(r.running());
    // Inside a reception the characters are data.
    EXPECT_EQ(r.feed("A\x11", 2, s), Receiver::Piece::Collected);
    r.feed("\x13", 3, s);
    EXPECT_EQ(r.collected(), "A\x11\x13");
    EXPECT_EQ(ready, 1);
}

TEST(Receiver, ConversionsRunCrThenLf)
{
    // CR -> CR LF, then every LF deleted: CR line ends.
    QByteArray text = "A\r\nB\r\n";
    TraceSink trace;
    EmpfangUmwandeln(text, settings("<ST>", true, 254, 255), true, trace);
    EXPECT_EQ(text, "A\rB\r");
    text = "A\rB\r";
    EmpfangUmwandeln(text, settings("<ST>", true, 254, 0), true, trace);
    EXPECT_EQ(text, "A\r\nB\r\n");
    text = "A\rB";
    EmpfangUmwandeln(text, settings("<ST>", true, 10, 254), true, trace);
    EXPECT_EQ(text, "A\r\nB");
}

TEST(Receiver, AllByteValuesPassUnchanged)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    // NUL filter off and an end string none of the bytes form.
    const QByteArray stream = all + all + "@@END@@";
    expectSplitIndependent(stream, settings("<SZ>||@@END@@", false), {true, all + all});
}

TEST(Receiver, LargeProgramAccumulatesLinearly)
{
    TraceSink trace;
    Receiver r(0, trace);
    const auto s = settings("<SA>26");
    const QByteArray line = "N10 G01 X100.000 Y200.000 F500\r\n";
    QByteArray big;
    while (big.size() < 10 * 1024 * 1024)
        big += line;
    for (qsizetype pos = 0; pos < big.size(); pos += 17)
        r.feed(big.mid(pos, 17), 1, s);
    r.feed("\x1A", 2, s);
    ASSERT_TRUE(r.finished());
    EXPECT_EQ(r.takeText(), big + "\x1A");
}
