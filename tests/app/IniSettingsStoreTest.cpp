#include "app/IniSettingsStore.h"
#include "support/SmallFileSystem.h"
#include "support/TestEnvironment.h"
#include "support/QStringPrinter.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace zep;
using zep::test::SmallFileSystem;
using zep::test::TestEnvironment;

namespace {

// Dates the file back, as a file looks that was last written a while ago.
void ageFile(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
}

} // namespace

TEST(IniSettingsStore, WritesTheUsersZepIniAndASecondStoreReadsIt)
{
    TestEnvironment env;
    IniSettingsStore first;
    EXPECT_EQ(first.fileName(), env.iniFile());
    first.write("Settings", "Verzeichnis", "/home/dreher/ZEP_Data/");
    EXPECT_TRUE(QFileInfo::exists(env.iniFile())) << "written through at once, not at destruction";
    EXPECT_EQ(first.lastWriteStatus(), QSettings::NoError);

    const IniSettingsStore second;
    EXPECT_EQ(second.read("Settings", "Verzeichnis"), "/home/dreher/ZEP_Data/");
}

TEST(IniSettingsStore, FollowsAChangedConfigHome)
{
    // Qt fixes its own user settings path once per process; the store must
    // not keep writing into the previous user's file.
    QString firstFile;
    {
        TestEnvironment env;
        IniSettingsStore store;
        store.write("Settings", "Intervall", "7");
        firstFile = env.iniFile();
    }
    TestEnvironment env;
    IniSettingsStore store;
    EXPECT_NE(store.fileName(), firstFile);
    EXPECT_EQ(store.read("Settings", "Intervall", "5"), "5");
}

TEST(IniSettingsStore, UmlautsApostrophesAndSeparatorsRoundTrip)
{
    TestEnvironment env;
    IniSettingsStore writer(env.iniFile());
    const QString section = QString::fromUtf8("COM0Einstellungen");
    const QString key = QString::fromUtf8("COM-Anschluß");
    writer.write(section, key, "3");
    writer.write(QString::fromUtf8("Größe-Übersicht"), QString::fromUtf8("Maß"), QString::fromUtf8("Müller's Öl, ä=ß; \"x\""));
    writer.write("Vorgaben", "F1", "G90 G54; (Werkstück 'A')");
    writer.write("Vorgaben", "F2", "@Variant(x)");
    writer.write("Vorgaben", "F3", "  führende Blanks ");
    writer.write("General", "Col0", "12");
    writer.write("Settings", "Passwort", "");

    const IniSettingsStore reader(env.iniFile());
    EXPECT_EQ(reader.read(section, key), "3");
    EXPECT_EQ(reader.read(QString::fromUtf8("Größe-Übersicht"), QString::fromUtf8("Maß")),
              QString::fromUtf8("Müller's Öl, ä=ß; \"x\""));
    EXPECT_EQ(reader.read("Vorgaben", "F1"), QString::fromUtf8("G90 G54; (Werkstück 'A')"));
    EXPECT_EQ(reader.read("Vorgaben", "F2"), "@Variant(x)");
    EXPECT_EQ(reader.read("Vorgaben", "F3"), QString::fromUtf8("  führende Blanks "));
    EXPECT_EQ(reader.read("General", "Col0"), "12");
    EXPECT_EQ(reader.read("Settings", "Passwort", "default"), "") << "a stored empty value is not missing";
    EXPECT_EQ(reader.read("Settings", "Fehlt", "A:\\"), "A:\\");
}

TEST(IniSettingsStore, ReadsHandEditedValuesAtEachUse)
{
    TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    store.write("Settings", "Intervall", "5");
    EXPECT_EQ(store.read("Settings", "Intervall"), "5");

    // Edited by hand while the program runs, with raw UTF-8 keys and an
    // unquoted comma.
    env.writeFile(env.iniFile(), QByteArray("[Settings]\r\nIntervall=9\r\nVerzeichnis=/daten/alt,neu/\r\n"
                                            "[COM1Einstellungen]\r\nCOM-Anschlu\xc3\x9f=2\r\n"));
    EXPECT_EQ(store.read("Settings", "Intervall"), "9");
    EXPECT_EQ(store.read("Settings", "Verzeichnis"), "/daten/alt,neu/");
    EXPECT_EQ(store.read("COM1Einstellungen", QString::fromUtf8("COM-Anschluß")), "2");
}

TEST(IniSettingsStore, ReadIntFallsBackForMissingBrokenAndHugeValues)
{
    TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    store.write("Settings", "A", "42");
    store.write("Settings", "B", "12abc");
    store.write("Settings", "C", "99999999999");
    store.write("Settings", "D", " -3 ");
    store.write("Settings", "E", "");
    store.write("Settings", "F", "1.5");
    EXPECT_EQ(store.readInt("Settings", "A", 5), 42);
    EXPECT_EQ(store.readInt("Settings", "B", 5), 5);
    EXPECT_EQ(store.readInt("Settings", "C", 5), 5);
    EXPECT_EQ(store.readInt("Settings", "D", 5), -3) << "bounds are the caller's";
    EXPECT_EQ(store.readInt("Settings", "E", 5), 5);
    EXPECT_EQ(store.readInt("Settings", "F", 5), 5);
    EXPECT_EQ(store.readInt("Settings", "Missing", 80), 80);
}

TEST(IniSettingsStore, AFailedWriteIsReportedAndLosesNothingStored)
{
    TestEnvironment env;
    IniSettingsStore good(env.iniFile());
    good.write("Settings", "Verzeichnis", "/daten/");

    // A store whose file would have to lie below a regular file.
    const QString blocker = env.writeFile("blocker", "x");
    IniSettingsStore bad(blocker + "/ZEP.ini");
    bad.write("Settings", "Verzeichnis", "/anders/");
    EXPECT_EQ(bad.lastWriteStatus(), QSettings::AccessError);
    EXPECT_EQ(bad.read("Settings", "Verzeichnis", "leer"), "leer");
    EXPECT_EQ(good.read("Settings", "Verzeichnis"), "/daten/");
}

TEST(IniSettingsStore, AnUnchangedFileIsParsedOnceHandEditsAreSeenAtTheNextRead)
{
    TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    store.write("COM0Einstellungen", "Puffer", "256");
    store.write("Settings", "Intervall", "5");
    ageFile(env.iniFile());

    EXPECT_EQ(store.read("Settings", "Intervall"), "5");
    const int parses = store.parseCount();
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(store.read("COM0Einstellungen", "Puffer"), "256");
        EXPECT_EQ(store.read("Settings", "Fehlt", "x"), "x");
    }
    EXPECT_EQ(store.parseCount(), parses) << "an idle station must not parse the file at every read";

    // A hand edit of the same length, made at once: size and (coarse) file
    // times may not tell it apart, the store still sees it.
    const QByteArray before = env.readFile(env.iniFile());
    QByteArray edited = before;
    edited.replace("Intervall=5", "Intervall=9");
    ASSERT_EQ(edited.size(), before.size());
    env.writeFile(env.iniFile(), edited);
    EXPECT_EQ(store.read("Settings", "Intervall"), "9");

    // Edited again, within the same instant and with the same length.
    edited.replace("Intervall=9", "Intervall=7");
    env.writeFile(env.iniFile(), edited);
    EXPECT_EQ(store.read("Settings", "Intervall"), "7");

    // Once the file is old, reads stop parsing it again.
    ageFile(env.iniFile());
    store.read("Settings", "Intervall");
    const int settled = store.parseCount();
    store.read("Settings", "Intervall");
    store.read("COM0Einstellungen", "Puffer");
    EXPECT_EQ(store.parseCount(), settled);

    // Removed by hand: every key is back at its default.
    QFile::remove(env.iniFile());
    EXPECT_EQ(store.read("Settings", "Intervall", "5"), "5");
}

TEST(IniSettingsStore, AWriteIsOnDiskWhenItReturnsAndAnotherWritersKeysSurvive)
{
    TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    IniSettingsStore other(env.iniFile());
    store.write("Settings", "Intervall", "5");
    EXPECT_EQ(store.read("Settings", "Intervall"), "5");

    other.write("Settings", "Verzeichnis", "/daten/");
    store.write("Settings", "Intervall", "12");
    const QByteArray onDisk = env.readFile(env.iniFile());
    EXPECT_TRUE(onDisk.contains("Intervall=12")) << onDisk.constData();
    EXPECT_TRUE(onDisk.contains("Verzeichnis=/daten/")) << onDisk.constData();
    EXPECT_EQ(store.read("Settings", "Verzeichnis"), "/daten/");
    EXPECT_EQ(other.read("Settings", "Intervall"), "12");
}

TEST(IniSettingsStore, ReadOnlyAndFullDisksReportTheFailedWrite)
{
    TestEnvironment env;
    {
        const QString mountPoint = env.root() + "nurlesen/";
        SmallFileSystem disk(mountPoint, "64k");
        if (!disk.mounted())
            GTEST_SKIP() << "no tmpfs mount here";
        IniSettingsStore store(mountPoint + "ZEP.ini");
        store.write("Settings", "Verzeichnis", "/daten/");
        ASSERT_EQ(store.lastWriteStatus(), QSettings::NoError);
        ASSERT_TRUE(disk.makeReadOnly());
        store.write("Settings", "Verzeichnis", "/anders/");
        EXPECT_EQ(store.lastWriteStatus(), QSettings::AccessError);
        EXPECT_EQ(store.read("Settings", "Verzeichnis"), "/daten/") << "what is not on disk is not read back";
        store.write("Settings", "Intervall", "9");
        EXPECT_EQ(store.lastWriteStatus(), QSettings::AccessError);
        EXPECT_EQ(store.read("Settings", "Intervall", "5"), "5");
    }
    {
        const QString mountPoint = env.root() + "voll/";
        SmallFileSystem disk(mountPoint, "16k");
        ASSERT_TRUE(disk.mounted());
        IniSettingsStore store(mountPoint + "ZEP.ini");
        store.write("Settings", "Verzeichnis", "/daten/");
        ASSERT_EQ(store.lastWriteStatus(), QSettings::NoError);
        store.write("Vorgaben", "F1", QString(64 * 1024, QLatin1Char('G')));
        EXPECT_EQ(store.lastWriteStatus(), QSettings::AccessError);
        EXPECT_EQ(store.read("Vorgaben", "F1", "leer"), "leer");
        EXPECT_EQ(store.read("Settings", "Verzeichnis"), "/daten/");
        store.write("Settings", "Intervall", "9");
        EXPECT_EQ(store.lastWriteStatus(), QSettings::NoError) << "the status is that of the last write";
    }
}

TEST(IniSettingsStore, ReadsRightAfterAChangeLookAtTheFileButParseItOnlyWhenItsTextChanged)
{
    TestEnvironment env;
    IniSettingsStore store(env.iniFile());
    store.write("COM0Einstellungen", "EndCode", "<SA>26");
    // Still within the step of the file's times: each read looks again.
    EXPECT_EQ(store.read("COM0Einstellungen", "EndCode"), "<SA>26");
    const int parses = store.parseCount();
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(store.read("COM0Einstellungen", "EndCode"), "<SA>26");
    EXPECT_EQ(store.parseCount(), parses);
}
