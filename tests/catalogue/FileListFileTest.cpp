#include "catalogue/FileListFile.h"

#include "app/CodePage1252.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

namespace zep::test {
namespace {

struct FileListFileTest : ::testing::Test {
    QString path() const { return env.programDir() + "FileListe.dat"; }
    TestEnvironment env;
};

TEST_F(FileListFileTest, WrittenListReadsBackIdenticallyByteForByte)
{
    const QString dir = "/home/meister/ZEP_Data/";
    const QStringList entries{"P4711.NC", "DREHEN\\ÄRGER.NC", "FRÄSEN\\O'NEIL ß.NC"};
    ASSERT_FALSE(FileListFile::write(path(), dir, entries));
    const QByteArray bytes = env.readFile(path());
    EXPECT_EQ(bytes, QByteArray("\"/home/meister/ZEP_Data/\"\r\n\"P4711.NC\"\r\n\"DREHEN\\\xc4RGER.NC\"\r\n"
                                "\"FR\xc4SEN\\O'NEIL \xdf.NC\"\r\n"));
    const FileListFile::Contents back = FileListFile::read(path());
    ASSERT_EQ(back.state, FileListFile::State::Read);
    EXPECT_EQ(back.directory, dir);
    EXPECT_EQ(back.entries, entries);
    ASSERT_FALSE(FileListFile::write(path(), back.directory, back.entries));
    EXPECT_EQ(env.readFile(path()), bytes);
}

TEST_F(FileListFileTest, EmptyDirectoryIsOneEmptyQuotedLine)
{
    ASSERT_FALSE(FileListFile::write(path(), "", {}));
    EXPECT_EQ(env.readFile(path()), "\"\"\r\n");
    const FileListFile::Contents back = FileListFile::read(path());
    EXPECT_EQ(back.state, FileListFile::State::Read);
    EXPECT_TRUE(back.directory.isEmpty());
    EXPECT_TRUE(back.entries.isEmpty());
}

TEST_F(FileListFileTest, DamagedFilesAreNotTrusted)
{
    EXPECT_EQ(FileListFile::read(path()).state, FileListFile::State::Missing);
    const QByteArray damaged[] = {
        "",                                        // empty
        "\"/data/\"\r\n\"P1.NC\"\r\n\"P2.N",       // cut off
        "\"/data/\"\r\n\"P1.NC\"",                 // last line end missing
        "\"/data/\"\r\nP1.NC\r\n",                 // unquoted
        "\"/data/\"\n\"P1.NC\"\n",                 // LF only
        "\"/data/\"\r\n\"P\"1.NC\"\r\n",           // quote inside
        QByteArray("\"/data/\"\r\n\"P1\0.NC\"\r\n", 20), // binary
        QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
    };
    for (const QByteArray &bytes : damaged) {
        env.writeFile("program/FileListe.dat", bytes);
        EXPECT_EQ(FileListFile::read(path()).state, FileListFile::State::Unreadable) << bytes.toHex().constData();
    }
}

TEST_F(FileListFileTest, FailedWriteLeavesTheOldListWhole)
{
    ASSERT_FALSE(FileListFile::write(path(), "/data/", {"ALT.NC"}));
    const QByteArray before = env.readFile(path());
    // A directory where the new file would go cannot be written.
    const auto error = FileListFile::write(env.root() + "fehlt/nicht/da/FileListe.dat", "/data/", {"NEU.NC"});
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->description.isEmpty());
    EXPECT_EQ(env.readFile(path()), before);
}

} // namespace
} // namespace zep::test
