#include "app/ProgramDirectory.h"
#include "support/TestEnvironment.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace zep;
using zep::test::TestEnvironment;

TEST(ProgramDirectory, OptionInBothFormsLastOneWins)
{
    EXPECT_FALSE(ProgramDirectory::fromArguments({"zep"}));
    EXPECT_EQ(ProgramDirectory::fromArguments({"zep", "--program-dir", "/a b"}), QString("/a b"));
    EXPECT_EQ(ProgramDirectory::fromArguments({"zep", "--program-dir=/x/ÜB"}), QString::fromUtf8("/x/ÜB"));
    EXPECT_EQ(ProgramDirectory::fromArguments({"zep", "--program-dir=/a", "--program-dir", "/b"}), QString("/b"));
    EXPECT_EQ(ProgramDirectory::fromArguments({"zep", "--program-dir"}), QString());
    EXPECT_EQ(ProgramDirectory::fromArguments({"zep", "--program-dir="}), QString());
    EXPECT_FALSE(ProgramDirectory::fromArguments({"zep", "--program-directory=/a", "-program-dir"}));
}

TEST(ProgramDirectory, OptionOverridesAndIsCreated)
{
    TestEnvironment env;
    const QString wanted = env.root() + QString::fromUtf8("Maschinen Büro/zep");
    const auto result = ProgramDirectory::resolve({"zep", "--program-dir", wanted}, env.programDir(),
                                                  env.dataHome() + "ZEP/");
    ASSERT_TRUE(result.ok()) << qPrintable(result.error);
    EXPECT_EQ(result.path, wanted + "/");
    EXPECT_TRUE(QFileInfo(wanted).isDir());
    EXPECT_FALSE(QFileInfo::exists(env.dataHome() + "ZEP")) << "the user directory is not touched";
}

TEST(ProgramDirectory, OptionNamingAnUnusablePlaceIsReported)
{
    TestEnvironment env;
    const QString file = env.writeFile("eine-datei", "x");
    auto result = ProgramDirectory::resolve({"zep", "--program-dir=" + file + "/sub"}, env.programDir());
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.error, "Das Programmverzeichnis " + file + "/sub/ kann nicht angelegt werden.");

    result = ProgramDirectory::resolve({"zep", "--program-dir", "/proc"}, env.programDir());
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.error, "Das Programmverzeichnis /proc/ kann nicht beschrieben werden.");

    result = ProgramDirectory::resolve({"zep", "--program-dir"}, env.programDir());
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(result.error.isEmpty()) << "a forgotten directory must not fall back silently";
}

TEST(ProgramDirectory, WritableExecutableDirectoryIsUsed)
{
    TestEnvironment env;
    const auto result = ProgramDirectory::resolve({"zep"}, env.root() + "program", env.dataHome() + "ZEP/");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.path, env.programDir());
    EXPECT_FALSE(result.seeded);
    EXPECT_EQ(QDir(env.programDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList()) << "the write probe leaves nothing behind";
}

TEST(ProgramDirectory, InstalledLayoutUsesTheUserDirectorySeededFromShare)
{
    TestEnvironment env;
    env.writeFile("inst/share/zep/CNCPRG.mdb", "template database");
    const QString bin = env.root() + "inst/bin";
    QDir().mkpath(bin);

    const auto first = ProgramDirectory::resolve({"zep"}, bin);
    ASSERT_TRUE(first.ok()) << qPrintable(first.error);
    EXPECT_EQ(first.path, QDir::cleanPath(env.dataHome()) + "/ZEP/");
    EXPECT_EQ(first.path, ProgramDirectory::defaultUserDataDir());
    EXPECT_TRUE(first.seeded);
    EXPECT_EQ(env.readFile(first.path + "CNCPRG.mdb"), "template database");

    // The user's database from then on is never replaced by the template.
    env.writeFile(first.path + "CNCPRG.mdb", "the user's records");
    const auto second = ProgramDirectory::resolve({"zep"}, bin);
    EXPECT_FALSE(second.seeded);
    EXPECT_EQ(env.readFile(second.path + "CNCPRG.mdb"), "the user's records");
}

TEST(ProgramDirectory, UnwritableExecutableDirectoryFallsBackToTheUserDirectory)
{
    TestEnvironment env;
    const QString userDir = env.dataHome() + "ZEP/";
    const auto result = ProgramDirectory::resolve({"zep"}, "/proc", userDir);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.path, userDir);
    EXPECT_FALSE(result.seeded) << "no template anywhere: the load sequence reports the missing database";
    EXPECT_TRUE(QFileInfo(userDir).isDir());
}

TEST(ProgramDirectory, TemplateBesideTheExecutableIsFoundFirst)
{
    TestEnvironment env;
    env.writeFile("inst/bin/CNCPRG.mdb", "beside");
    env.writeFile("inst/share/zep/CNCPRG.mdb", "shared");
    EXPECT_EQ(ProgramDirectory::findTemplateDatabase(env.root() + "inst/bin"), env.root() + "inst/bin/CNCPRG.mdb");
    EXPECT_EQ(ProgramDirectory::findTemplateDatabase(env.root() + "inst/lib"), env.root() + "inst/share/zep/CNCPRG.mdb");
    EXPECT_EQ(ProgramDirectory::findTemplateDatabase(env.root()), QString());
}

TEST(ProgramDirectory, HelpPageOfAnInstalledCopyIsFoundBesideItsTemplate)
{
    TestEnvironment env;
    const QString page = "ZEPHelp/ZEPHilfe.html";
    EXPECT_EQ(ProgramDirectory::findHelpPage(env.programDir(), env.root() + "inst/bin"), env.programDir() + page);
    env.writeFile("inst/share/zep/" + page, "<html/>");
    EXPECT_EQ(ProgramDirectory::findHelpPage(env.programDir(), env.root() + "inst/bin"),
              env.root() + "inst/share/zep/" + page);
    env.writeFile("program/" + page, "<html/>");
    EXPECT_EQ(ProgramDirectory::findHelpPage(env.programDir(), env.root() + "inst/bin"), env.programDir() + page);
}

TEST(ProgramDirectory, UserDirectoryThatCannotBeMadeIsReported)
{
    TestEnvironment env;
    const QString file = env.writeFile("data-is-a-file", "x");
    const auto result = ProgramDirectory::resolve({"zep"}, "/proc", file + "/ZEP/");
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.error.startsWith("Das Programmverzeichnis ")) << qPrintable(result.error);
}
