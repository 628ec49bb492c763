#include "comm/WriteTextFile.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace zep;

TEST(WriteTextFile, EveryByteValueIsWrittenUnchangedWithNothingAdded)
{
    test::TestEnvironment env;
    QByteArray text;
    for (int i = 0; i < 256; ++i)
        text += char(i);
    const QString path = env.root() + "Müller's Welle.cnc";
    EXPECT_EQ(WriteTextFile(path, text), std::nullopt);
    EXPECT_EQ(env.readFile(path), text);
}

TEST(WriteTextFile, ShorterTextLeavesNoTailOfTheOldOne)
{
    test::TestEnvironment env;
    const QString path = env.writeFile("P1.NC", "%\r\nN10 G00 X100\r\nM30\r\n");
    EXPECT_EQ(WriteTextFile(path, "%"), std::nullopt);
    EXPECT_EQ(env.readFile(path), "%");
    EXPECT_EQ(WriteTextFile(path, QByteArray()), std::nullopt);
    EXPECT_EQ(env.readFile(path), QByteArray());
}

TEST(WriteTextFile, MissingDirectoryIsReportedNotPassedOver)
{
    test::TestEnvironment env;
    const std::optional<QString> error = WriteTextFile(env.root() + "fehlt/P1.NC", "N10");
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    EXPECT_FALSE(QDir(env.root() + "fehlt").exists());
}
