#include "BackupFixture.h"

#include "app/BackupLocation.h"
#include "app/IniSettingsStore.h"
#include "app/ScriptedPrompts.h"
#include "backup/MakePath.h"
#include "support/AllBytes.h"
#include "support/Noise.h"
#include "support/RawFileNames.h"
#include "support/SmallFileSystem.h"

#include <sys/stat.h>
#include <zip.h>

using namespace zep;
using namespace zep::test;

TEST(BackupLocation, MirrorsTheSourcePathBelowTheBackupDirectory)
{
    EXPECT_EQ(BackupLocation::archiveFile("/sicherung/", "/home/werk/Daten/"),
              "/sicherung/home/werk/Daten/Daten.zip");
    EXPECT_EQ(BackupLocation::archiveFile("/sicherung/", "/home/werk/Daten/Alt/"),
              "/sicherung/home/werk/Daten/Alt/Alt.zip");
    EXPECT_EQ(BackupLocation::parentDirectory("/sicherung/", "/home/werk/Daten/"), "/sicherung/home/werk/");
    // No drive here; a ":" in a name is made plain all the same.
    EXPECT_EQ(BackupLocation::archiveFile("/s/", "/a:b/c:d/"), "/s/a_b/c_d/c_d.zip");
}

TEST(BackupPlan, BackupDirectoryWithoutSeparatorGetsOne)
{
    TestEnvironment env;
    IniSettingsStore settings(env.iniFile());
    settings.write("Settings", "BackupDir", "/media/kopien");
    EXPECT_EQ(BackupPlan::fromSettings(settings, env.programDir()).backupDir, "/media/kopien/");
    settings.write("Settings", "BackupDir", "");
    EXPECT_EQ(BackupPlan::fromSettings(settings, env.programDir()).backupDir, "");
}

TEST_F(BackupFixture, MakePathCreatesEveryLevelAndReportsAFileInTheWay)
{
    EXPECT_TRUE(MakePath(backup() + "a/b//c/"));
    EXPECT_TRUE(QFileInfo(backup() + "a/b/c").isDir());
    EXPECT_TRUE(MakePath(backup() + "a/b/c/")); // existing levels are no failure

    write(backup() + "datei", "x");
    ScriptedPrompts prompts;
    EXPECT_FALSE(MakePath(backup() + "datei/unter/", &prompts));
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].text, "Fehler beim Erstellen des Verzeichnisses!");
    EXPECT_EQ(prompts.asked()[0].title, "Fehler");
    EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Exclamation);
    EXPECT_FALSE(MakePath(backup() + "datei/unter/")); // silent without prompts
}

TEST_F(BackupFixture, OneArchivePerDirectoryWithTheFilesByteForByte)
{
    write(program() + "FileListe.dat", "\"P1.NC\"\r\n");
    write(program() + "Logbuch.txt", "07.12.2026 eins\r\n");
    write(daten() + "P1.NC", allBytes());
    write(daten() + "P2.NC", QByteArray(300000, 'G'));
    write(daten() + "Drehen/D1.NC", "G0 X1\r\n");
    write(daten() + "Drehen/Alt/D0.NC", "G0 X0\r\n");
    write(fotos() + "Foto_1_1.jpg", allBytes() + allBytes());
    // Hidden files and directories stay out.
    write(daten() + ".versteckt", "geheim");
    write(daten() + ".git/config", "x");

    BackupRun run(plan());
    const BackupOutcome outcome = run.run();
    EXPECT_TRUE(outcome.ok()) << outcome.errors.join('\n');

    const QString root = env.root().mid(1);
    EXPECT_EQ(archives(), QStringList({root + "program/program.zip", root + "werk/Daten/Daten.zip",
                                       root + "werk/Daten/Drehen/Alt/Alt.zip", root + "werk/Daten/Drehen/Drehen.zip",
                                       root + "werk/Fotos/Fotos.zip"}));
    for (const QString &archive : archives())
        EXPECT_TRUE(testArchive(backup() + archive)) << archive;

    EXPECT_EQ(entries(archiveOf(daten())), QStringList({"P1.NC", "P2.NC"}));
    EXPECT_EQ(entries(archiveOf(daten() + "Drehen/")), QStringList({"D1.NC"}));
    EXPECT_EQ(entries(archiveOf(program())), QStringList({"FileListe.dat", "Logbuch.txt"}));
    EXPECT_EQ(entry(archiveOf(daten()), "P1.NC"), allBytes());
    EXPECT_EQ(entry(archiveOf(daten()), "P2.NC"), QByteArray(300000, 'G'));
    EXPECT_EQ(entry(archiveOf(daten() + "Drehen/Alt/"), "D0.NC"), "G0 X0\r\n");
    EXPECT_EQ(entry(archiveOf(fotos()), "Foto_1_1.jpg"), allBytes() + allBytes());
}

TEST_F(BackupFixture, ASecondRunUpdatesTheSameArchivesKeepingWhatDidNotChange)
{
    write(daten() + "P1.NC", "eins");
    write(daten() + "P2.NC", "zwei");
    write(daten() + "Alt/A.NC", "alt");
    write(daten() + "WEG.NC", "wird gelöscht");
    write(program() + "Logbuch.txt", "x");
    write(fotos() + "F.jpg", "jpg");
    setTime(daten() + "P1.NC", 1700000000);
    setTime(daten() + "P2.NC", 1700000000);
    {
        BackupRun first(plan());
        ASSERT_TRUE(first.run().ok());
        EXPECT_EQ(first.writtenEntries(), 6);
    }
    const QString archive = archiveOf(daten());
    const QStringList before = archives();

    // Same size, other time: a change all the same. A new file; a file gone.
    write(daten() + "P2.NC", "ZWEI");
    setTime(daten() + "P2.NC", 1700000100);
    write(daten() + "P3.NC", "drei");
    QFile::remove(daten() + "WEG.NC");

    BackupRun second(plan());
    ASSERT_TRUE(second.run().ok());
    EXPECT_EQ(second.writtenEntries(), 2); // P2 and P3
    EXPECT_EQ(second.keptEntries(), 4);    // P1, Alt/A.NC, the log and the photo
    EXPECT_EQ(archives(), before);
    EXPECT_TRUE(testArchive(archive));
    EXPECT_EQ(entries(archive), QStringList({"P1.NC", "P2.NC", "P3.NC", "WEG.NC"}));
    EXPECT_EQ(entry(archive, "P1.NC"), "eins");
    EXPECT_EQ(entry(archive, "P2.NC"), "ZWEI");
    EXPECT_EQ(entry(archive, "P3.NC"), "drei");
    // The last copy of a deleted program stays in the backup.
    EXPECT_EQ(entry(archive, "WEG.NC"), "wird gelöscht");

    // Nothing changed: nothing is written, not even the archive file.
    const QDateTime written = QFileInfo(archive).lastModified();
    BackupRun third(plan());
    ASSERT_TRUE(third.run().ok());
    EXPECT_EQ(third.writtenEntries(), 0);
    EXPECT_EQ(QFileInfo(archive).lastModified(), written);
}

TEST_F(BackupFixture, EachDirectoryOnceAndNoLinkFollowed)
{
    // The monitored directory inside the program directory, and links that
    // would loop or lead out of the tree.
    BackupPlan p = plan();
    p.monitoredDir = program() + "Daten/";
    write(program() + "Logbuch.txt", "x");
    write(p.monitoredDir + "P1.NC", "G1");
    write(env.root() + "draussen/FREMD.NC", "fremd");
    ASSERT_EQ(::symlink(QFile::encodeName(program()).constData(),
                        QFile::encodeName(p.monitoredDir + "schleife").constData()),
              0);
    ASSERT_EQ(::symlink(QFile::encodeName(env.root() + "draussen").constData(),
                        QFile::encodeName(p.monitoredDir + "raus").constData()),
              0);
    write(p.photoDir + "F.jpg", "jpg");

    BackupRun run(p);
    const BackupOutcome outcome = run.run();
    EXPECT_TRUE(outcome.ok()) << outcome.errors.join('\n');
    EXPECT_EQ(run.writtenEntries(), 3);
    EXPECT_EQ(outcome.archives, 3);
    EXPECT_EQ(entries(archiveOf(p.monitoredDir)), QStringList({"P1.NC"}));
    EXPECT_FALSE(QFileInfo::exists(backup() + p.monitoredDir.mid(1) + "schleife"));
    EXPECT_FALSE(QFileInfo::exists(backup() + p.monitoredDir.mid(1) + "raus"));
}

TEST_F(BackupFixture, BackupDirectoryInsideABackedUpOneIsSkipped)
{
    // Set by hand past the settings dialog: the archives must not archive
    // themselves.
    BackupPlan p = plan();
    p.backupDir = daten() + "Sicherung/";
    write(daten() + "P1.NC", "G1");
    write(fotos() + "F.jpg", "jpg");
    for (int i = 0; i < 2; ++i) {
        BackupRun run(p);
        const BackupOutcome outcome = run.run();
        EXPECT_TRUE(outcome.ok()) << outcome.errors.join('\n');
    }
    BackupRun last(p);
    last.run();
    EXPECT_EQ(last.writtenEntries(), 0);
    EXPECT_EQ(entries(p.backupDir + daten().mid(1) + "Daten.zip"), QStringList({"P1.NC"}));
}

TEST_F(BackupFixture, UnusableBackupDirectoryCollectsTheErrorsAndGoesOn)
{
    write(daten() + "P1.NC", "G1");
    write(daten() + "Alt/A.NC", "G1");
    write(fotos() + "F.jpg", "jpg");
    write(program() + "Logbuch.txt", "x");
    // A file where the backup directory should be: nothing can go below it.
    BackupPlan p = plan();
    write(env.root() + "keinverzeichnis", "x");
    p.backupDir = env.root() + "keinverzeichnis/";

    BackupRun run(p);
    const BackupOutcome outcome = run.run();
    ASSERT_EQ(outcome.errors.size(), 4) << outcome.errors.join('\n');
    const QString archive = BackupLocation::archiveFile(p.backupDir, daten() + "Alt/");
    EXPECT_EQ(outcome.errors[2],
              "Fehler beim ZIP '" + archive + "' anlegen/öffnen: Target directory does not exist");
    EXPECT_TRUE(outcome.fatal.isEmpty());
    EXPECT_FALSE(outcome.ok());
}

TEST_F(BackupFixture, ReadOnlyBackupDiskIsToldPerArchive)
{
    write(daten() + "P1.NC", "G1");
    write(fotos() + "F.jpg", "jpg");
    SmallFileSystem disk(backup(), "1m");
    if (!disk.mounted())
        GTEST_SKIP() << "no right to mount a file system here";
    QDir().mkpath(backup() + daten().mid(1));
    ASSERT_TRUE(disk.makeReadOnly());
    BackupRun run(plan());
    const BackupOutcome outcome = run.run();
    ASSERT_GE(outcome.errors.size(), 2);
    EXPECT_TRUE(outcome.errors.join('\n').contains(
        "Fehler beim ZIP '" + archiveOf(daten()) + "' anlegen/öffnen: Cannot create new file"))
        << outcome.errors.join('\n');
}

TEST_F(BackupFixture, FullBackupDiskLeavesThePreviousArchiveWhole)
{
    write(daten() + "P1.NC", "erste Fassung");
    write(fotos() + "F.jpg", "jpg");
    SmallFileSystem disk(backup(), "256k");
    if (!disk.mounted())
        GTEST_SKIP() << "no right to mount a file system here";
    ASSERT_TRUE(BackupRun(plan()).run().ok());
    // Random bytes do not compress: the archive no longer fits.
    write(daten() + "GROSS.NC", noise(600 * 1024));

    const BackupOutcome outcome = BackupRun(plan()).run();
    ASSERT_FALSE(outcome.ok());
    EXPECT_TRUE(outcome.errors.join('\n').contains("Schliessen des Archives '" + archiveOf(daten())
                                                   + "' nicht möglich! (Cannot write to file)"))
        << outcome.errors.join('\n');
    EXPECT_TRUE(testArchive(archiveOf(daten())));
    EXPECT_EQ(entry(archiveOf(daten()), "P1.NC"), "erste Fassung");
}

TEST_F(BackupFixture, DamagedArchiveIsToldPutAsideAndReplaced)
{
    write(daten() + "P1.NC", "G1");
    write(daten() + "Alt/A.NC", "G1");
    write(fotos() + "F.jpg", "jpg");
    write(archiveOf(daten()), "kein ZIP");
    // A pipe is no file to back up: reading it would wait for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(daten() + "Alt/ROHR").constData(), 0600), 0);

    const BackupOutcome outcome = BackupRun(plan()).run();
    ASSERT_EQ(outcome.errors.size(), 1);
    EXPECT_EQ(outcome.errors[0],
              "Fehler beim ZIP '" + archiveOf(daten()) + "' anlegen/öffnen: The structure of ZIP file is damaged");
    // Put aside, not lost; the directory has a sound archive again.
    EXPECT_EQ(QFile(archiveOf(daten()) + ".defekt").size(), 8);
    EXPECT_EQ(entries(archiveOf(daten())), QStringList({"P1.NC"}));
    EXPECT_TRUE(BackupRun(plan()).run().ok());
    EXPECT_EQ(entries(archiveOf(daten() + "Alt/")), QStringList({"A.NC"}));
    EXPECT_EQ(entries(archiveOf(fotos())), QStringList({"F.jpg"}));
}

TEST_F(BackupFixture, RelativeBackupDirectoryWritesNothing)
{
    write(daten() + "P1.NC", "G1");
    BackupPlan p = plan();
    p.backupDir = "sicherung/";
    const BackupOutcome outcome = BackupRun(p).run();
    EXPECT_EQ(outcome.errors, QStringList({"Das Backup-Verzeichnis 'sicherung/' ist kein vollständiger Pfad!"}));
    EXPECT_FALSE(QFileInfo::exists("sicherung"));
}

TEST_F(BackupFixture, MissingSourceDirectoryIsAnErrorNotASuccess)
{
    write(daten() + "P1.NC", "G1");
    const BackupOutcome outcome = BackupRun(plan()).run();
    ASSERT_EQ(outcome.errors.size(), 1);
    EXPECT_EQ(outcome.errors[0], "Das Verzeichnis '" + fotos() + "' wurde nicht gefunden!");
    EXPECT_EQ(entries(archiveOf(daten())), QStringList({"P1.NC"}));
}

TEST_F(BackupFixture, TwoDirectoriesThatWouldShareAnArchiveAreToldNotMixed)
{
    write(daten() + "a:b/P1.NC", "G1");
    write(daten() + "a_b/P2.NC", "G2");
    const BackupOutcome outcome = BackupRun(plan()).run();
    ASSERT_EQ(outcome.errors.size(), 2); // the photo directory is missing too
    const QString told = outcome.errors.filter("ergäben dasselbe Archiv").value(0);
    EXPECT_TRUE(told.contains(archiveOf(daten() + "a_b/"))) << told.toStdString();
    // Whichever came first keeps its archive, whole and alone.
    const QStringList kept = entries(archiveOf(daten() + "a_b/"));
    EXPECT_TRUE(kept == QStringList({"P1.NC"}) || kept == QStringList({"P2.NC"})) << kept.join(",").toStdString();
    EXPECT_TRUE(told.endsWith("wurde nicht gesichert: Benennen Sie eines der beiden um!"));
}

TEST_F(BackupFixture, StopEndsAfterTheArchiveBeingWritten)
{
    write(program() + "Logbuch.txt", "x");
    write(daten() + "P1.NC", "G1");
    write(fotos() + "F.jpg", "jpg");
    std::atomic_bool stop{false};
    QList<int> steps;
    BackupRun run(plan(), [&](int step) {
        steps << step;
        stop = true;
    }, &stop);
    const BackupOutcome outcome = run.run();
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(steps, QList<int>({1}));
    EXPECT_TRUE(testArchive(archiveOf(program())));
    EXPECT_FALSE(QFileInfo::exists(archiveOf(daten())));
}

namespace {

// Every entry of an archive by the bytes of its name, with its contents.
QMap<QByteArray, QByteArray> rawEntries(const QString &archive)
{
    QMap<QByteArray, QByteArray> found;
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &error);
    EXPECT_NE(zip, nullptr) << archive.toStdString();
    if (!zip)
        return found;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        const QByteArray name = zip_get_name(zip, zip_uint64_t(i), ZIP_FL_ENC_RAW);
        QByteArray contents;
        if (zip_file_t *file = zip_fopen_index(zip, zip_uint64_t(i), 0)) {
            char buffer[4096];
            for (zip_int64_t n; (n = zip_fread(file, buffer, sizeof buffer)) > 0;)
                contents.append(buffer, qsizetype(n));
            zip_fclose(file);
        }
        found.insert(name, contents);
    }
    zip_discard(zip);
    return found;
}

} // namespace

TEST_F(BackupFixture, NamesWrittenInWindows1252AreArchivedUnderTheirOwnBytes)
{
    RawTreeRemover rawNames(daten());
    // As an old DOS or Windows archive brings them: the bytes of "Pä.NC" in
    // Windows-1252, which are no UTF-8, beside a name that is.
    ASSERT_FALSE(writeRawFile(daten(), "P\xe4.NC", "G1 X1\r\n").isEmpty());
    ASSERT_FALSE(writeRawFile(daten(), "Alt\xe4/D\xf6.NC", "G1 X2\r\n").isEmpty());
    write(daten() + "Ärger.NC", "G1 X3\r\n");
    write(fotos() + "F.jpg", "jpg");

    const BackupOutcome outcome = BackupRun(plan()).run();
    EXPECT_TRUE(outcome.ok()) << outcome.errors.join('\n').toStdString();

    const QMap<QByteArray, QByteArray> daten = rawEntries(archiveOf(this->daten()));
    EXPECT_EQ(daten.keys(), QList<QByteArray>({"P\xe4.NC", "\xc3\x84rger.NC"}));
    EXPECT_EQ(daten.value("P\xe4.NC"), "G1 X1\r\n");
    EXPECT_EQ(daten.value("\xc3\x84rger.NC"), "G1 X3\r\n");
    EXPECT_TRUE(testArchive(archiveOf(this->daten())));
    // The folder's archive is named after the folder's Windows-1252 reading.
    const QString folderArchive = archiveOf(this->daten() + "Altä/");
    EXPECT_EQ(rawEntries(folderArchive), (QMap<QByteArray, QByteArray>{{"D\xf6.NC", "G1 X2\r\n"}}));

    // The next run finds them in the archive and keeps them.
    BackupRun second(plan());
    EXPECT_TRUE(second.run().ok());
    EXPECT_EQ(second.writtenEntries(), 0);
}
