#include "app/SettingsRules.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

using zep::SettingsRules;

namespace {

const QStringList kBackedUp{"/home/werk/zep/", "/home/werk/Daten/", "/home/werk/Fotos/"};

bool refused(const QString &backupDir)
{
    return !SettingsRules::checkBackupDir(backupDir, kBackedUp).ok;
}

} // namespace

TEST(BackupDirRule, RefusedInsideOrEqualToABackedUpDirectory)
{
    EXPECT_TRUE(refused("/home/werk/Daten/"));
    EXPECT_TRUE(refused("/home/werk/Daten/Sicherung/"));
    EXPECT_TRUE(refused("/home/werk/zep/backup"));
    EXPECT_TRUE(refused("/home/werk/fotos/sich/")); // letter case as the other directory rules
    // The root would mirror each directory onto itself.
    EXPECT_TRUE(refused("/"));
    EXPECT_TRUE(refused("sicherung"));
    EXPECT_TRUE(refused("  "));

    const SettingsRules::Check check = SettingsRules::checkBackupDir("/home/werk/Daten/x/", kBackedUp);
    EXPECT_EQ(check.text, "Das Backup-Verzeichnis darf nicht im Programmverzeichnis, im Überwachungsverzeichnis "
                          "oder im Fotoverzeichnis liegen!");
    EXPECT_EQ(check.title, "HINWEIS!");
}

TEST(BackupDirRule, AcceptedBesideOrAboveThemAndWhenEmpty)
{
    EXPECT_FALSE(refused(""));
    EXPECT_FALSE(refused("/media/sicherung/"));
    EXPECT_FALSE(refused("/home/werk/DatenSicherung/"));
    // Above them: the mirrored tree lies below the backup directory, apart.
    EXPECT_FALSE(refused("/home/"));
}
