#include "app/CatalogueNames.h"
#include "support/TestEnvironment.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace zep;
using zep::test::TestEnvironment;

TEST(CatalogueNames, UpperCaseKeepsTheLength)
{
    EXPECT_EQ(CatalogueNames::upperKeepLength(QString::fromUtf8("straße_äöü.nc")), QString::fromUtf8("STRAßE_ÄÖÜ.NC"));
    EXPECT_EQ(CatalogueNames::upperKeepLength(QString::fromUtf8("ÿ𐐨x")), QString::fromUtf8("Ÿ𐐀X"));
    const QString odd = QString::fromUtf8("ŉǰﬀ"); // letters whose full upper case is longer
    EXPECT_EQ(CatalogueNames::upperKeepLength(odd).size(), odd.size());
    EXPECT_TRUE(CatalogueNames::sameIgnoringCase(QString::fromUtf8("Müller.nc"), QString::fromUtf8("MÜLLER.NC")));
    EXPECT_FALSE(CatalogueNames::sameIgnoringCase(QString::fromUtf8("STRASSE"), QString::fromUtf8("Straße")));
}

TEST(CatalogueNames, StoredNameAndSeparator)
{
    EXPECT_EQ(CatalogueNames::toStoredName("Drehen/p1.nc"), "DREHEN\\P1.NC");
    EXPECT_EQ(CatalogueNames::toStoredName(QString::fromUtf8("fräsen/groß/teil 'a'.h")),
              QString::fromUtf8("FRÄSEN\\GROß\\TEIL 'A'.H"));
    EXPECT_EQ(CatalogueNames::ensureTrailingSeparator("/daten"), "/daten/");
    EXPECT_EQ(CatalogueNames::ensureTrailingSeparator("/daten/"), "/daten/");
    EXPECT_EQ(CatalogueNames::ensureTrailingSeparator(""), "") << "never the root directory";
}

TEST(CatalogueNames, ResolvesLevelByLevelIgnoringCase)
{
    TestEnvironment env;
    const QString base = env.root() + "data/";
    const QString real = env.writeFile(QString::fromUtf8("data/Drehen/Müller/p1.Nc"), "x");
    env.writeFile("data/P2.NC", "y");

    auto found = CatalogueNames::resolveStoredName(base, QString::fromUtf8("DREHEN\\MÜLLER\\P1.NC"));
    EXPECT_EQ(found.path, real);
    EXPECT_FALSE(found.ambiguous);
    EXPECT_EQ(CatalogueNames::resolveStoredName(env.root() + "data", "p2.nc").path, base + "P2.NC");

    EXPECT_FALSE(CatalogueNames::resolveStoredName(base, "DREHEN\\P1.NC").found());
    EXPECT_FALSE(CatalogueNames::resolveStoredName(base, "DREHEN").found()) << "a directory is not a file";
    EXPECT_FALSE(CatalogueNames::resolveStoredName(base, "").found());
    EXPECT_FALSE(CatalogueNames::resolveStoredName(env.root() + "nowhere/", "P2.NC").found());
    EXPECT_FALSE(CatalogueNames::resolveStoredName(base, "P2.NC\\").found());
}

TEST(CatalogueNames, TwoRealFilesForOneStoredNameAreReportedNotPicked)
{
    TestEnvironment env;
    const QString base = env.root() + "data/";
    env.writeFile("data/P1.nc", "a");
    env.writeFile("data/p1.NC", "b");
    auto found = CatalogueNames::resolveStoredName(base, "P1.NC");
    EXPECT_TRUE(found.ambiguous);
    EXPECT_FALSE(found.found());

    // Two directories of one stored name are fine as long as only one of
    // them holds the file.
    const QString only = env.writeFile("data/Sub/A.NC", "a");
    env.writeFile("data/SUB/B.NC", "b");
    found = CatalogueNames::resolveStoredName(base, "SUB\\A.NC");
    EXPECT_EQ(found.path, only);
    EXPECT_FALSE(found.ambiguous);
    env.writeFile("data/SUB/a.nc", "c");
    EXPECT_TRUE(CatalogueNames::resolveStoredName(base, "SUB\\A.NC").ambiguous);
}

TEST(CatalogueNames, StoredNamesCannotLeaveTheBaseDirectory)
{
    TestEnvironment env;
    env.writeFile("secret.nc", "x");
    env.writeFile("data/sub/x.nc", "x");
    const QString base = env.root() + "data/";
    EXPECT_FALSE(CatalogueNames::resolveStoredName(base, "..\\SECRET.NC").found());
    EXPECT_FALSE(CatalogueNames::resolveStoredName(base, "SUB\\..\\..\\SECRET.NC").found());
    EXPECT_FALSE(CatalogueNames::resolveStoredName(base, ".\\SUB\\X.NC").found());
    EXPECT_TRUE(CatalogueNames::storedPathForNewFile(base, "..\\NEU.NC").isEmpty());
}

TEST(CatalogueNames, PathForNewFileKeepsExistingLevels)
{
    TestEnvironment env;
    const QString base = env.root() + "data/";
    QDir().mkpath(base + QString::fromUtf8("Fräsen/alt"));
    EXPECT_EQ(CatalogueNames::storedPathForNewFile(base, QString::fromUtf8("FRÄSEN\\ALT\\P9.NC")),
              base + QString::fromUtf8("Fräsen/alt/P9.NC"));
    EXPECT_EQ(CatalogueNames::storedPathForNewFile(base, QString::fromUtf8("FRÄSEN\\NEU\\TIEF\\P9.NC")),
              base + QString::fromUtf8("Fräsen/NEU/TIEF/P9.NC"));
    EXPECT_EQ(CatalogueNames::storedPathForNewFile(env.root() + "leer", "A\\B.NC"), env.root() + "leer/A/B.NC");

    // A file that is there under another case is the one to write.
    const QString existing = env.writeFile("data/Fräsen/p1.nc", "x");
    EXPECT_EQ(CatalogueNames::storedPathForNewFile(base, QString::fromUtf8("FRÄSEN\\P1.NC")), existing);

    QDir().mkpath(base + "fräsen");
    EXPECT_TRUE(CatalogueNames::storedPathForNewFile(base, QString::fromUtf8("FRÄSEN\\P2.NC")).isEmpty())
        << "two directories for one level: no silent choice";
}
