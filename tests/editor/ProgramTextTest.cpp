#include "editor/EditorFile.h"
#include "comm/ProgramText.h"
#include "editor/ProgramWords.h"

#include "app/ScriptedPrompts.h"
#include "support/QStringPrinter.h"
#include "support/SmallFileSystem.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace zep;

namespace {

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out += char(v);
    return out;
}

// Back to bytes the way the editor does it: line by line with each line's
// own end.
QByteArray roundTrip(const QByteArray &bytes)
{
    const ProgramText::Shown shown = ProgramText::show(bytes);
    QByteArray out;
    const QStringList lines = shown.text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(ProgramText::appendLine(out, lines[i]));
        if (i + 1 < lines.size())
            out += ProgramText::lineEndBytes(shown.ends[i]);
    }
    return out;
}

} // namespace

TEST(IsBinary, CountsHowManyOfTheElevenValuesOccurNotHowOften)
{
    EXPECT_FALSE(ProgramText::IsBinary(QByteArray()));
    EXPECT_FALSE(ProgramText::IsBinary(bytesOf({'A', 0, 0, 0, 1, 1, 1, 'B'})));      // two values
    EXPECT_FALSE(ProgramText::IsBinary(bytesOf({254, 255, 255, 9, 10, 13, 27, 127}))); // two; others do not count
    EXPECT_TRUE(ProgramText::IsBinary(bytesOf({0, 7, 255})));
    EXPECT_TRUE(ProgramText::IsBinary(bytesOf({'N', 2, 'X', 3, 'Y', 8})));
}

TEST(ProgramTextShown, NulIsAMarkerInTextAndOneSignInBinaryAndBothComeBackAsZero)
{
    const ProgramText::Shown text = ProgramText::show(bytesOf({'A', 0, 'B'}));
    EXPECT_FALSE(text.binary);
    EXPECT_EQ(text.text, "A<NULL>B");
    EXPECT_EQ(roundTrip(bytesOf({'A', 0, 'B'})), bytesOf({'A', 0, 'B'}));

    // Bytes 0 and 1 are two values only: still a text.
    EXPECT_EQ(ProgramText::show(bytesOf({0, 1, 'C'})).text, QString("<NULL>") + QChar(1) + "C");

    const QByteArray binary = bytesOf({0, 7, 255, 0});
    const ProgramText::Shown shown = ProgramText::show(binary);
    EXPECT_TRUE(shown.binary);
    EXPECT_FALSE(shown.text.contains("<NULL>"));
    EXPECT_EQ(shown.text.size(), binary.size());
    EXPECT_EQ(roundTrip(binary), binary);
}

TEST(ProgramTextShown, TypedMarkerBecomesAZeroByteAndForeignCharactersAreRefused)
{
    QByteArray out;
    ASSERT_TRUE(ProgramText::toBytes("N10 <NULL>\nM30<NULL>", ProgramText::LineEnd::CrLf, out));
    EXPECT_EQ(out, QByteArray("N10 \0\r\nM30\0", 11));
    // Lower case is just text.
    ASSERT_TRUE(ProgramText::toBytes("<null>", ProgramText::LineEnd::Lf, out));
    EXPECT_EQ(out, "<null>");

    qsizetype bad = -1;
    EXPECT_FALSE(ProgramText::toBytes(QString("N10\nX1") + QChar(0x2192) + "Y", ProgramText::LineEnd::Lf, out, &bad));
    EXPECT_EQ(bad, 6);
    EXPECT_TRUE(ProgramText::toBytes(QString::fromUtf8("€äß"), ProgramText::LineEnd::Lf, out));
    EXPECT_EQ(out, "\x80\xe4\xdf");
}

TEST(ProgramTextShown, EveryLineKeepsItsOwnEnd)
{
    for (const QByteArray &bytes : {QByteArray("A\r\nB\r\n"), QByteArray("A\nB\n"), QByteArray("A\rB\r"),
                                    QByteArray("A\r\nB\nC\rD"), QByteArray("\n\r\r\n\r"), QByteArray("\r\n")}) {
        const ProgramText::Shown shown = ProgramText::show(bytes);
        EXPECT_FALSE(shown.text.contains('\r'));
        EXPECT_EQ(roundTrip(bytes), bytes) << bytes.toHex().constData();
    }
    const ProgramText::Shown mixed = ProgramText::show("A\nB\r\nC");
    EXPECT_EQ(mixed.usual, ProgramText::LineEnd::Lf);
    EXPECT_TRUE(mixed.mixed);
    EXPECT_EQ(ProgramText::show("A").usual, ProgramText::LineEnd::CrLf);
}

// The editor's save and the comparison of a received program both turn an
// edited document (raw text, blocks joined by U+2029) back into bytes here.
TEST(ProgramTextEdited, ShownTextComesBackWithEachLinesEndAndEveryCodePageByte)
{
    QByteArray codePage;
    for (int i = 1; i < 256; ++i)
        if (i != '\r' && i != '\n')
            codePage += char(i);
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"CR LF", "N10\r\nN20\r\n"},
        {"LF", "N10\nN20\n"},
        {"CR", "N10\rN20\r"},
        {"mixed", "N10\r\nN20\nN30\rN40"},
        {"empty lines", "\n\r\r\n\r"},
        {"no line end", "N10 G0 X1"},
        {"Windows-1252", "M\xfc" "LLER \x80 \xa0 \x9f\r\n" + codePage + "\r\n"},
        {"NUL in a text", QByteArray("A\0B\r\n", 5)},
    };
    for (const auto &c : cases) {
        const ProgramText::Shown shown = ProgramText::show(c.bytes);
        QString raw = shown.text;
        raw.replace(QLatin1Char('\n'), QChar::ParagraphSeparator);
        int asked = 0;
        const auto endOf = [&](int line) {
            EXPECT_EQ(line, asked++) << c.name;
            return shown.ends.value(line, shown.usual);
        };
        EXPECT_EQ(ProgramText::fromEdited(raw, endOf).value_or("?"), c.bytes) << c.name;
    }
}

TEST(ProgramTextEdited, ForeignCharacterIsRefusedWithItsPlaceOrWrittenAsQuestionMark)
{
    const QString raw = QString("N10") + QChar::ParagraphSeparator + "X" + QChar(0x2192) + "1 " + QChar(0x3a9)
                        + QChar::LineSeparator + QChar(0xe4);
    ProgramText::Place bad;
    EXPECT_FALSE(ProgramText::fromEdited(raw, ProgramText::LineEnd::CrLf, ProgramText::Foreign::Refuse, &bad));
    EXPECT_EQ(bad.line, 1);
    EXPECT_EQ(bad.column, 1);
    EXPECT_EQ(ProgramText::fromEdited(raw, ProgramText::LineEnd::Lf, ProgramText::Foreign::Question).value_or(""),
              "N10\nX?1 ?\n\xe4");
}

TEST(ProgramWords, FindsBlockNumbersCodesAddressesAndComments)
{
    const QString line = "N10 G01 X-12.5 Y3 F200 M08 (SCHRUPPEN N20) ;Ende";
    const QList<ProgramWords::Word> words = ProgramWords::classify(line);
    auto word = [&](int i) { return line.mid(words[i].start, words[i].length); };
    ASSERT_EQ(words.size(), 8);
    EXPECT_EQ(word(0), "N10");
    EXPECT_EQ(words[0].kind, ProgramWords::Kind::BlockNumber);
    EXPECT_EQ(word(1), "G01");
    EXPECT_EQ(words[1].kind, ProgramWords::Kind::GCode);
    EXPECT_EQ(word(2), "X-12.5");
    EXPECT_EQ(words[2].kind, ProgramWords::Kind::Axis);
    EXPECT_EQ(words[4].kind, ProgramWords::Kind::Address);
    EXPECT_EQ(word(5), "M08");
    EXPECT_EQ(words[5].kind, ProgramWords::Kind::MCode);
    EXPECT_EQ(word(6), "(SCHRUPPEN N20)");
    EXPECT_EQ(words[6].kind, ProgramWords::Kind::Comment);
    EXPECT_EQ(word(7), ";Ende");
    // Letters inside a word and letters without a number are no addresses.
    EXPECT_TRUE(ProgramWords::classify(u"%PROGRAMM O").isEmpty());
    EXPECT_EQ(ProgramWords::classify(u"(offen").value(0).length, 6);
}

// The outcome once the conversation has ended; none while it is open.
static std::optional<EditorFile::SaveOutcome> saved(EditorFile &file, const QByteArray &bytes, Prompts &prompts)
{
    std::optional<EditorFile::SaveOutcome> outcome;
    file.save(bytes, prompts, [&outcome](EditorFile::SaveOutcome o) { outcome = o; });
    return outcome;
}

TEST(EditorFile, AsksBeforeOverwritingAFileThatChangedOnDiskAndKeepsItOnNo)
{
    test::TestEnvironment env;
    const QString path = env.writeFile("data/P1.NC", "N10 G0\r\n");
    EditorFile file(path);
    EXPECT_EQ(file.open().bytes, "N10 G0\r\n");
    EXPECT_FALSE(file.changedOnDisk());

    // A machine's update saved meanwhile, same size as before.
    env.writeFile("data/P1.NC", "N10 G1\r\n");
    ScriptedPrompts prompts;
    prompts.queueAnswer(PromptAnswer::No);
    EXPECT_EQ(saved(file, "N10 G2\r\n", prompts), EditorFile::SaveOutcome::Cancelled);
    EXPECT_EQ(env.readFile(path), "N10 G1\r\n");
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked()[0].text.contains("wurde geändert"));
    EXPECT_EQ(prompts.asked()[0].buttons, PromptButtons::YesNo);

    prompts.queueAnswer(PromptAnswer::Yes);
    EXPECT_EQ(saved(file, "N10 G2\r\n", prompts), EditorFile::SaveOutcome::Saved);
    EXPECT_EQ(env.readFile(path), "N10 G2\r\n");
    // Its own save is not a change by someone else.
    prompts.clear();
    EXPECT_EQ(saved(file, "N10 G3\r\n", prompts), EditorFile::SaveOutcome::Saved);
    EXPECT_TRUE(prompts.asked().isEmpty());

    QFile::remove(path);
    EXPECT_EQ(saved(file, "N10 G4\r\n", prompts), EditorFile::SaveOutcome::Cancelled);
    EXPECT_TRUE(prompts.wasAsked("gelöscht"));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(EditorFile, TheOverwriteQuestionWaitsWithoutHoldingTheCallerAndYesLaterWritesThen)
{
    test::TestEnvironment env;
    const QString path = env.writeFile("data/P1.NC", "N10 G0\r\n");
    EditorFile file(path);
    file.open();
    env.writeFile("data/P1.NC", "N10 G1\r\n");
    ScriptedPrompts prompts;
    prompts.holdQuestions(true);
    std::optional<EditorFile::SaveOutcome> outcome;
    file.save("N10 G2\r\n", prompts, [&outcome](EditorFile::SaveOutcome o) { outcome = o; });
    EXPECT_FALSE(outcome);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    // Nobody at the PC keeps what is on disk.
    EXPECT_EQ(prompts.heldQuestions()[0].unattended, PromptAnswer::No);
    EXPECT_EQ(env.readFile(path), "N10 G1\r\n");
    prompts.answerHeld(0, PromptAnswer::Yes);
    EXPECT_EQ(outcome, EditorFile::SaveOutcome::Saved);
    EXPECT_EQ(env.readFile(path), "N10 G2\r\n");
}

TEST(EditorFile, FollowsItsFileToANewNameAndSavesThereWithoutAsking)
{
    test::TestEnvironment env;
    const QString path = env.writeFile("data/RX010.cnc", "N10 G0\r\n");
    EditorFile file(path);
    EXPECT_EQ(file.open().bytes, "N10 G0\r\n");
    const QString renamed = env.root() + "data/RX010NEU.CNC";
    ASSERT_TRUE(QFile::rename(path, renamed));

    // Another file's move is none of this editor's business.
    EXPECT_FALSE(file.followMove(env.root() + "data/ANDERE.NC", env.root() + "data/X.NC"));
    EXPECT_EQ(file.path(), path);
    EXPECT_TRUE(file.followMove(env.root() + "data/../data/RX010.cnc", renamed));
    EXPECT_EQ(file.path(), renamed);
    EXPECT_FALSE(file.changedOnDisk());

    ScriptedPrompts prompts;
    EXPECT_EQ(saved(file, "N10 G1\r\n", prompts), EditorFile::SaveOutcome::Saved);
    EXPECT_TRUE(prompts.asked().isEmpty()) << prompts.messageTexts().join('|').toStdString();
    EXPECT_EQ(env.readFile(renamed), "N10 G1\r\n");
    EXPECT_FALSE(QFile::exists(path));
}

TEST(EditorFile, AFullDiskLeavesTheOldProgramWholeAndSaysWhy)
{
    test::TestEnvironment env;
    const QString mount = env.root() + "klein";
    QDir().mkpath(mount);
    test::SmallFileSystem disk(mount, "64k");
    if (!disk.mounted())
        GTEST_SKIP() << "no right to mount a small file system here";
    const QByteArray old(20000, 'A');
    QFile f(mount + "/P1.NC");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(old);
    f.close();
    EditorFile file(mount + "/P1.NC");
    file.open();
    ScriptedPrompts prompts;
    EXPECT_EQ(saved(file, QByteArray(60000, 'B'), prompts), EditorFile::SaveOutcome::Failed);
    EXPECT_EQ(env.readFile(mount + "/P1.NC"), old);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked()[0].text.contains("konnte nicht gespeichert werden"));
    EXPECT_TRUE(prompts.asked()[0].text.contains("unverändert"));
}
