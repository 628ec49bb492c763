#include "app/AtomicFileWriter.h"
#include "support/QStringPrinter.h"
#include "support/SmallFileSystem.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace zep;
using zep::test::SmallFileSystem;
using zep::test::TestEnvironment;

namespace {

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

std::optional<QString> writeWhole(const QString &target, const QByteArray &bytes)
{
    AtomicFileWriter out;
    if (auto error = out.open(target))
        return error;
    if (auto error = out.write(bytes))
        return error;
    return out.commit();
}

} // namespace

TEST(AtomicFileWriter, ReplacesTheFileKeepingItsPermissionsAndLeavesNothingBeside)
{
    TestEnvironment env;
    const QString target = env.writeFile("d/P1.NC", "ALT UND LAENGER");
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const QFile::Permissions before = QFileInfo(target).permissions();
    EXPECT_EQ(writeWhole(target, "NEU"), std::nullopt);
    EXPECT_EQ(env.readFile(target), "NEU");
    EXPECT_EQ(QFileInfo(target).permissions(), before);
    EXPECT_FALSE(QFileInfo(target).permissions() & QFile::ReadOther);
    EXPECT_EQ(entries(env.root() + "d"), QStringList({"P1.NC"}));
}

TEST(AtomicFileWriter, ContentsGrowUnderAHiddenNameAndCancelLeavesTheOldFile)
{
    TestEnvironment env;
    const QString target = env.writeFile("d/P1.NC", "ALT");
    {
        AtomicFileWriter out;
        ASSERT_EQ(out.open(target), std::nullopt);
        ASSERT_EQ(out.write("HALB"), std::nullopt);
        EXPECT_TRUE(QFileInfo(out.temporaryPath()).fileName().startsWith(".P1.NC."));
        EXPECT_EQ(QFileInfo(out.temporaryPath()).path(), env.root() + "d");
        // Destroyed uncommitted, as when the caller returns early.
    }
    EXPECT_EQ(env.readFile(target), "ALT");
    EXPECT_EQ(entries(env.root() + "d"), QStringList({"P1.NC"}));
}

TEST(AtomicFileWriter, LinkIsFollowedAndStaysALink)
{
    TestEnvironment env;
    const QString real = env.writeFile("echt/P1.NC", "ALT");
    QDir().mkpath(env.root() + "d");
    const QString link = env.root() + "d/P1.NC";
    ASSERT_TRUE(QFile::link(real, link));
    EXPECT_EQ(writeWhole(link, "NEU"), std::nullopt);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(env.readFile(real), "NEU");
    EXPECT_EQ(entries(env.root() + "d"), QStringList({"P1.NC"}));
}

TEST(AtomicFileWriter, NameNearTheFileSystemsLimitIsStillWritten)
{
    TestEnvironment env;
    const QString name = QString(250, QLatin1Char('A')) + ".NC"; // 253 bytes, the hidden name would be longer
    QDir().mkpath(env.root() + "d");
    EXPECT_EQ(writeWhole(env.root() + "d/" + name, "NEU"), std::nullopt);
    EXPECT_EQ(entries(env.root() + "d"), QStringList({name}));
}

TEST(AtomicFileWriter, FullDiskKeepsTheOldFileWhole)
{
    TestEnvironment env;
    const QString mountPoint = env.root() + "voll/";
    SmallFileSystem disk(mountPoint, "64k");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    const QByteArray old(4000, 'O');
    const QString target = env.writeFile(mountPoint + "P1.NC", old);
    const std::optional<QString> error = writeWhole(target, QByteArray(512 * 1024, 'N'));
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    EXPECT_EQ(env.readFile(target), old);
    EXPECT_EQ(entries(mountPoint), QStringList({"P1.NC"}));
}

TEST(AtomicFileWriter, ReadOnlyDiskIsAnErrorAndTheFileStays)
{
    TestEnvironment env;
    const QString mountPoint = env.root() + "nurlesen/";
    SmallFileSystem disk(mountPoint, "64k");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    const QString target = env.writeFile(mountPoint + "P1.NC", "ALT");
    ASSERT_TRUE(disk.makeReadOnly());
    EXPECT_TRUE(writeWhole(target, "NEU").has_value());
    EXPECT_EQ(env.readFile(target), "ALT");
}
