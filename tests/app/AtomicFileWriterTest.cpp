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

TEST(AtomicFileWriter, ANewFileNeverReplacesOneThatAppearedMeanwhile)
{
    TestEnvironment env;
    const QString target = env.root() + "O1.NC";
    AtomicFileWriter out;
    ASSERT_EQ(out.open(target), std::nullopt);
    ASSERT_EQ(out.write(QByteArray("neu")), std::nullopt);
    env.writeFile(target, "von woanders");
    const std::optional<QString> error = out.commitNew();
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(target)) << *error;
    EXPECT_EQ(env.readFile(target), "von woanders");
    EXPECT_EQ(entries(env.root()).filter("O1.NC"), QStringList({"O1.NC"}));

    AtomicFileWriter fresh;
    ASSERT_EQ(fresh.open(env.root() + "O2.NC"), std::nullopt);
    ASSERT_EQ(fresh.write(QByteArray("neu")), std::nullopt);
    EXPECT_EQ(fresh.commitNew(), std::nullopt);
    EXPECT_EQ(env.readFile(env.root() + "O2.NC"), "neu");
    EXPECT_EQ(entries(env.root()).filter("O2.NC"), QStringList({"O2.NC"}));
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
    EXPECT_EQ(error, "Auf dem Datenträger ist kein Platz mehr frei: '" + target + "'");
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
    EXPECT_EQ(writeWhole(target, "NEU"), "Der Datenträger ist schreibgeschützt: '" + target + "'");
    EXPECT_EQ(env.readFile(target), "ALT");
}

TEST(AtomicFileWriter, EveryReasonIsToldInGermanWithThePathItConcerns)
{
    TestEnvironment env;
    QDir().mkpath(env.root() + "d/Ordner.NC");
    const QString tooLong = env.root() + "d/" + QString(300, QLatin1Char('A')) + ".NC";
    const struct {
        QString target;
        QString told;
    } cases[] = {
        // The folder that is missing is named, not the file.
        {env.root() + "fehlt/auch/P1.NC", "Der Ordner existiert nicht: '" + env.root() + "fehlt'"},
        {tooLong, "Der Name ist zu lang: '" + tooLong + "'"},
        {env.root() + "d/Ordner.NC", "Das ist ein Ordner, keine Datei: '" + env.root() + "d/Ordner.NC'"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(writeWhole(c.target, "NEU"), c.told);
    EXPECT_EQ(entries(env.root() + "d"), QStringList());
}
