#include "app/CommandLine.h"
#include "app/ProgramDirectory.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace zep;

TEST(BackupCommandLine, BackupIsItsOwnActionWithTheUsualProgramDirectory)
{
    const QStringList args{"zep", "--backup", "--program-dir", "/srv/zep"};
    EXPECT_EQ(CommandLine::parse(args).action, CommandLine::Action::Backup);
    EXPECT_EQ(ProgramDirectory::fromArguments(args), "/srv/zep");
    // Help still wins, and names the option.
    const CommandLine help = CommandLine::parse({"zep", "--backup", "--help"});
    EXPECT_EQ(help.action, CommandLine::Action::Help);
    EXPECT_TRUE(help.text.contains("--backup"));
    EXPECT_EQ(CommandLine::parse({"zep", "--backup", "extra"}).action, CommandLine::Action::Error);
}

TEST(CatalogueCopyCommandLine, TheServerAddressIsTheOptionsValue)
{
    const QStringList args{"zep", "--copy-catalogue-to", "postgresql://zep@server/zep", "--program-dir", "/srv/zep"};
    const CommandLine line = CommandLine::parse(args);
    EXPECT_EQ(line.action, CommandLine::Action::CopyCatalogue);
    EXPECT_EQ(line.copyTarget, "postgresql://zep@server/zep");
    EXPECT_EQ(ProgramDirectory::fromArguments(args), "/srv/zep");
    EXPECT_TRUE(CommandLine::parse({"zep", "--help"}).text.contains("--copy-catalogue-to"));
    EXPECT_EQ(CommandLine::parse({"zep", "--copy-catalogue-to"}).action, CommandLine::Action::Error);
}
