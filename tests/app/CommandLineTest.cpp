#include "app/CommandLine.h"
#include "app/ProgramDirectory.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace zep;
using Action = CommandLine::Action;

TEST(CommandLine, HelpAndVersionWinOverEverythingElse)
{
    for (const QStringList &args : {QStringList{"/opt/zep/bin/zep", "--help"}, QStringList{"zep", "-h"},
                                    QStringList{"zep", "--program-dir", "/x", "--help", "--unbekannt"}}) {
        const CommandLine line = CommandLine::parse(args);
        EXPECT_EQ(line.action, Action::Help) << args.join(' ');
        EXPECT_TRUE(line.text.startsWith("Usage: zep [options]\n")) << line.text;
        for (const char *option : {"--program-dir <DIR>", "--create-database <FILE>", "--quit-after-start",
                                   "--version", "--help"})
            EXPECT_TRUE(line.text.contains(option)) << option;
    }
    for (const QStringList &args : {QStringList{"zep", "--version"}, QStringList{"zep", "-v", "--quit-after-start"}}) {
        const CommandLine line = CommandLine::parse(args);
        EXPECT_EQ(line.action, Action::Version);
        EXPECT_EQ(line.text, "ZEP 1.8.4\n");
    }
}

TEST(CommandLine, OrdinaryStartsAndTheDatabaseOption)
{
    CommandLine line = CommandLine::parse({"zep"});
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_FALSE(line.quitAfterStart);

    const QStringList start{"zep", "--program-dir", "/srv/zep", "--quit-after-start"};
    line = CommandLine::parse(start);
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_TRUE(line.quitAfterStart);
    // The program directory is still read where it always was.
    EXPECT_EQ(ProgramDirectory::fromArguments(start), "/srv/zep");
    EXPECT_EQ(CommandLine::parse({"zep", "--program-dir=/srv/zep"}).action, Action::Run);

    line = CommandLine::parse({"zep", "--create-database", "/tmp/neu.mdb"});
    EXPECT_EQ(line.action, Action::CreateDatabase);
    EXPECT_EQ(line.databaseFile, "/tmp/neu.mdb");
}

TEST(CommandLine, MistakesAreNamedWithAPointerToTheHelp)
{
    const struct {
        QStringList args;
        const char *says;
    } cases[] = {
        {{"zep", "--unbekannt"}, "unbekannt"},
        {{"zep", "--program-dir"}, "program-dir"},
        {{"zep", "--create-database"}, "create-database"},
        {{"zep", "irgendwas"}, "irgendwas"},
    };
    for (const auto &c : cases) {
        const CommandLine line = CommandLine::parse(c.args);
        EXPECT_EQ(line.action, Action::Error) << c.args.join(' ');
        EXPECT_TRUE(line.text.contains(c.says)) << line.text;
        EXPECT_TRUE(line.text.endsWith("zep --help zeigt die Optionen.\n")) << line.text;
    }
}
