#include "app/CodePage1252.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace zep;

TEST(CodePage1252, EveryByteSurvivesDecodeAndEncode)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = CodePage1252::decode(all);
    ASSERT_EQ(text.size(), 256) << "one character per byte";
    bool ok = false;
    EXPECT_EQ(CodePage1252::encode(text, &ok), all);
    EXPECT_TRUE(ok);
}

TEST(CodePage1252, HighRangeAndUndefinedBytes)
{
    EXPECT_EQ(CodePage1252::decode("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(CodePage1252::decode("\x8a\x9f"), QString::fromUtf8("ŠŸ"));
    EXPECT_EQ(CodePage1252::decode("\x96\x84\x93"), QString::fromUtf8("–„“"));
    for (const char b : {'\x81', '\x8d', '\x8f', '\x90', '\x9d'})
        EXPECT_EQ(CodePage1252::decode(QByteArray(1, b)).at(0).unicode(), uchar(b));
    EXPECT_EQ(CodePage1252::encode(QString::fromUtf8("Größe 5€")), QByteArray("Gr\xf6\xdf" "e 5\x80"));
}

TEST(CodePage1252, CharactersOutsideBecomeOneQuestionMarkEach)
{
    bool ok = true;
    // U+0080 is a C1 control that the code page does not hold: 0x80 is the euro.
    const QString text = QString::fromUtf8("a\u0080bЖc😀d");
    EXPECT_EQ(CodePage1252::encode(text, &ok), QByteArray("a?b?c?d"));
    EXPECT_FALSE(ok);
    EXPECT_FALSE(CodePage1252::canEncode(QString::fromUtf8("Ж")));
    EXPECT_TRUE(CodePage1252::canEncode(QString::fromUtf8("Müller's Öl – 5 €")));
    EXPECT_TRUE(CodePage1252::canEncode(QString()));
    EXPECT_TRUE(CodePage1252::encode(QString()).isEmpty());
}
