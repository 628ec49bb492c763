#include "CatalogueFixture.h"
#include "support/RawFileNames.h"
#include "support/SmallFileSystem.h"

#include "app/CodePage1252.h"
#include "catalogue/FileListComposer.h"
#include "catalogue/FileListFile.h"
#include "catalogue/ScanNotices.h"


namespace zep::test {
namespace {

using MonitoredDirectoryTest = CatalogueFixture;

QStringList sortedNames(const QString &joined)
{
    QStringList names = joined.split("\r\n", Qt::SkipEmptyParts);
    names.sort();
    return names;
}

TEST_F(MonitoredDirectoryTest, MissingListIsBuiltFromTheDirectoryAndStored)
{
    addProgram("p1.nc");
    addProgram("Drehen/p2.nc");
    files->LoadFileListe();
    EXPECT_EQ(sortedNames(files->entries().join("\r\n")), QStringList({"DREHEN\\P2.NC", "P1.NC"}));
    const FileListFile::Contents stored = FileListFile::read(listPath());
    EXPECT_EQ(stored.directory, dataDir());
    EXPECT_EQ(stored.entries, files->entries());
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(MonitoredDirectoryTest, StoredListIsReadAsItIsAndOneOfAnotherDirectoryIsRebuilt)
{
    addProgram("p1.nc");
    ASSERT_FALSE(FileListFile::write(listPath(), dataDir(), {"ALT.NC", "P1.NC"}));
    files->LoadFileListe();
    EXPECT_EQ(files->entries(), QStringList({"ALT.NC", "P1.NC"}));

    ASSERT_FALSE(FileListFile::write(listPath(), "/anderes/verzeichnis/", {"ALT.NC"}));
    files->LoadFileListe();
    EXPECT_EQ(files->entries(), QStringList({"P1.NC"}));
    EXPECT_EQ(FileListFile::read(listPath()).directory, dataDir());
    // The comparison is exact: another letter case is another directory.
    ASSERT_FALSE(FileListFile::write(listPath(), dataDir().toUpper(), {"ALT.NC"}));
    files->LoadFileListe();
    EXPECT_EQ(files->entries(), QStringList({"P1.NC"}));
}

TEST_F(MonitoredDirectoryTest, DamagedListIsRebuiltWithoutAnyMessage)
{
    addProgram("p1.nc");
    env.writeFile("program/FileListe.dat", QByteArray("\0\1\2binär\xff", 10));
    files->LoadFileListe();
    EXPECT_EQ(files->entries(), QStringList({"P1.NC"}));
    EXPECT_EQ(FileListFile::read(listPath()).state, FileListFile::State::Read);
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(MonitoredDirectoryTest, FilesThatArrivedWhileNotRunningAreFoundAtTheFirstTick)
{
    addProgram("p1.nc");
    files->LoadFileListe();
    addProgram("neu.nc");
    addProgram("Drehen/neu2.nc");
    // A new run: the list comes from the file, the first tick compares.
    MonitoredDirectory next({prompts, logbook, env.programDir(), state->verzeichnis, {}});
    next.LoadFileListe();
    // A directory's own files come first, then its subdirectories.
    EXPECT_EQ(next.FindNewFile(), "NEU.NC\r\nDREHEN\\NEU2.NC");
    // The count is unchanged at the next tick: nothing is compared.
    EXPECT_EQ(next.FindNewFile(), "");
}

TEST_F(MonitoredDirectoryTest, OnlyAChangedCountLeadsToAComparison)
{
    addProgram("p1.nc");
    addProgram("p2.nc");
    files->LoadFileListe();
    EXPECT_EQ(files->FindNewFile(), ""); // first tick: same files
    addProgram("p3.nc");
    QFile::remove(dataDir() + "p1.nc");
    EXPECT_EQ(files->FindNewFile(), ""); // one in, one out: the count is the same
    addProgram("p4.nc");
    EXPECT_EQ(sortedNames(files->FindNewFile()), QStringList({"P3.NC", "P4.NC"}));
}

TEST_F(MonitoredDirectoryTest, EmptyOrUnsetDirectoryGivesNothing)
{
    files->LoadFileListe();
    EXPECT_EQ(files->FindNewFile(), "");
    EXPECT_EQ(files->count(), 0);
    state->verzeichnis.clear();
    files->GetFileListe();
    files->SaveFileListe();
    EXPECT_EQ(env.readFile(listPath()), "\"\"\r\n");
}

TEST_F(MonitoredDirectoryTest, MissingDirectoryIsToldOnceAndNeverEmptiesTheStoredList)
{
    addProgram("p1.nc");
    addProgram("p2.nc");
    files->LoadFileListe();
    const QByteArray stored = env.readFile(listPath());
    ASSERT_TRUE(QDir(dataDir()).removeRecursively());

    for (int tick = 0; tick < 3; ++tick)
        EXPECT_EQ(files->FindNewFile(), "");
    files->GetFileListe();
    files->SaveFileListe();
    EXPECT_EQ(prompts.titles(), QStringList({"Überwachungsverzeichnis"}));
    EXPECT_EQ(prompts.asked().first().text, ScanNotices::rootUnreadableText(dataDir()));
    EXPECT_EQ(sortedNames(files->entries().join("\r\n")), QStringList({"P1.NC", "P2.NC"}));
    EXPECT_EQ(env.readFile(listPath()), stored);

    // A restart while it is still missing: the stored list is kept as well.
    MonitoredDirectory next({prompts, logbook, env.programDir(), state->verzeichnis, {}});
    next.LoadFileListe();
    EXPECT_EQ(sortedNames(next.entries().join("\r\n")), QStringList({"P1.NC", "P2.NC"}));

    // Back again with one more file: only that one is new.
    addProgram("p1.nc");
    addProgram("p2.nc");
    addProgram("p3.nc");
    EXPECT_EQ(files->FindNewFile(), "P3.NC");
    EXPECT_EQ(prompts.asked().size(), 1);
}

TEST_F(MonitoredDirectoryTest, TooManyFoldersIsToldOnceWhileItLasts)
{
    for (int i = 0; i < 301; ++i)
        QDir().mkpath(dataDir() + QString("d%1").arg(i));
    files->LoadFileListe();
    addProgram("p1.nc");
    files->FindNewFile();
    addProgram("p2.nc");
    files->FindNewFile();
    EXPECT_EQ(prompts.titles(), QStringList({"Error!"}));
    EXPECT_EQ(prompts.asked().first().icon, PromptIcon::Critical);
    QDir(dataDir() + "d0").removeRecursively();
    files->GetFileListe();
    for (int i = 0; i < 301; ++i)
        QDir().mkpath(dataDir() + QString("e%1").arg(i));
    files->GetFileListe();
    EXPECT_EQ(prompts.titles(), QStringList({"Error!", "Error!"}));
}

TEST_F(MonitoredDirectoryTest, CaseClashIsToldOnceAndNeitherFileIsNew)
{
    files->LoadFileListe();
    addProgram("P1.NC");
    addProgram("p1.nc");
    EXPECT_EQ(files->FindNewFile(), "");
    addProgram("anderes.nc");
    EXPECT_EQ(files->FindNewFile(), "ANDERES.NC");
    files->GetFileListe();
    EXPECT_EQ(prompts.titles(), QStringList({"Dateiname doppelt!"}));
    EXPECT_TRUE(prompts.asked().first().text.contains("P1.NC"));
    EXPECT_TRUE(env.readFile(env.programDir() + "Logbuch.txt").contains("P1.NC"));
    // Renamed away: the remaining file is new now.
    QFile::rename(dataDir() + "p1.nc", dataDir() + "p1_alt.nc");
    EXPECT_EQ(files->FindNewFile(), "");
    addProgram("x.nc");
    EXPECT_EQ(sortedNames(files->FindNewFile()), QStringList({"P1.NC", "P1_ALT.NC", "X.NC"}));
}

TEST_F(MonitoredDirectoryTest, ListNeverGrowsBeyondItsCapacityAndSaysHowManyAreLeftOut)
{
    // A shop's archive: far more than the old 5,000 fit.
    EXPECT_GE(FileListComposer::kCapacity, 100000);
    QStringList names;
    for (int i = 0; i < 5003; ++i)
        names << QString("P%1.NC").arg(i, 5, 10, QLatin1Char('0'));
    // The capacity rule on its own: listed names keep their place.
    const QStringList old = names.mid(3, 5000);
    ComposedList composed = FileListComposer::compose(names, old, true, {}, 5000);
    EXPECT_EQ(composed.entries.size(), 5000);
    EXPECT_TRUE(composed.added.isEmpty());
    EXPECT_EQ(composed.leftOut, 3);
    EXPECT_TRUE(FileListComposer::compose(names, {}, true).added.size() == 5003);
    EXPECT_EQ(FileListComposer::compose({"A", "B", "C"}, {"C"}, true, {}, 2).entries, QStringList({"A", "C"}));
    EXPECT_EQ(FileListComposer::compose({"A"}, {"B"}, false, {}, 5).entries, QStringList({"A", "B"}));

    // The same rule through the list, on a small capacity.
    MonitoredDirectory small({prompts, logbook, env.programDir(), state->verzeichnis,
                              [this](const QString &t) { statusLines << t; }, 50});
    for (int i = 0; i < 53; ++i)
        addProgram(names.at(i).toLower(), "");
    small.LoadFileListe();
    EXPECT_EQ(small.count(), 50);
    EXPECT_EQ(FileListFile::read(listPath()).entries.size(), 50);
    const QString told = ScanNotices::leftOutText(3, 50);
    EXPECT_EQ(statusLines.count(told), 1);
    EXPECT_EQ(QString::fromLatin1(env.readFile(env.programDir() + "Logbuch.txt")).count("3 Dateien nicht"), 1);
    // Told in a box once, when the list fills up.
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().first().title, "Dateiliste voll!");
    // Nothing beyond the capacity is reported as new, tick after tick.
    addProgram("zzz.nc", "");
    EXPECT_EQ(small.FindNewFile(), "");
    EXPECT_EQ(statusLines.count(ScanNotices::leftOutText(4, 50)), 1);
    small.GetFileListe();
    EXPECT_EQ(statusLines.count(ScanNotices::leftOutText(4, 50)), 1);
    EXPECT_EQ(prompts.asked().size(), 1);
}

TEST_F(MonitoredDirectoryTest, CaseClashKeepsTheListedFileAndAddsNoNewOne)
{
    EXPECT_EQ(FileListComposer::compose({"A", "P1"}, {"P1"}, true, {"P1"}).entries, QStringList({"A", "P1"}));
    EXPECT_TRUE(FileListComposer::compose({"P1"}, {}, true, {"P1"}).added.isEmpty());

    addProgram("p1.nc");
    files->LoadFileListe();
    addProgram("P1.NC");
    addProgram("p2.nc");
    addProgram("P2.NC");
    EXPECT_EQ(files->FindNewFile(), "");
    EXPECT_EQ(prompts.titles(), QStringList({"Dateiname doppelt!"}));
    files->GetFileListe();
    EXPECT_EQ(files->entries(), QStringList({"P1.NC"}));
    // Once the clash is gone the other name is new, the listed one is not.
    QFile::remove(dataDir() + "P2.NC");
    EXPECT_EQ(files->FindNewFile(), "P2.NC");
}

TEST_F(MonitoredDirectoryTest, AnOpenNoticeHoldsUpNoWalkAndNoRequestForTheList)
{
    addProgram("p1.nc");
    files->LoadFileListe();
    for (int i = 0; i < 301; ++i)
        QDir().mkpath(dataDir() + QString("d%1").arg(i));
    addProgram("p2.nc");
    prompts.holdQuestions(true);
    EXPECT_EQ(files->FindNewFile(), "P2.NC");
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions().first().title, "Error!");
    // While it waits: a rebuild (a delete, Ctrl+N), a save and the next
    // checks all run at once.
    files->GetFileListe();
    files->SaveFileListe();
    EXPECT_EQ(files->count(), 2);
    EXPECT_EQ(FileListFile::read(listPath()).entries.size(), 2);
    addProgram("p3.nc");
    EXPECT_EQ(files->FindNewFile(), "P3.NC");
    // Not told again while it lasts; read, it changes nothing.
    EXPECT_EQ(prompts.heldQuestions().size(), 1);
    prompts.answerHeld(0, PromptAnswer::Ok);
    EXPECT_EQ(files->FindNewFile(), "");
}

TEST_F(MonitoredDirectoryTest, Windows1252NamesRenamedOnALaterYesAreFoundByTheNextCheck)
{
    RawTreeRemover rawNames(dataDir());
    addProgram("p1.nc");
    files->LoadFileListe();
    ASSERT_FALSE(writeRawFile(dataDir(), "P\xe4.NC", "G1 P").isEmpty());
    prompts.holdQuestions(true);
    EXPECT_EQ(files->FindNewFile(), "");
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions().first().title, "Dateinamen umbenennen?");
    // Nobody at the PC renames nothing.
    EXPECT_EQ(prompts.heldQuestions().first().unattended, PromptAnswer::No);
    // Checks meanwhile neither ask again nor find anything.
    EXPECT_EQ(files->FindNewFile(), "");
    EXPECT_EQ(prompts.heldQuestions().size(), 1);
    // Yes, later: the number of files is the same, and still the next
    // check compares and finds the file under its new name.
    prompts.answerHeld(0, PromptAnswer::Yes);
    EXPECT_EQ(env.readFile(dataDir() + "Pä.NC"), "G1 P");
    EXPECT_EQ(files->FindNewFile(), "PÄ.NC");
}

TEST_F(MonitoredDirectoryTest, Windows1252NamesAreOfferedOnceForEachNewSetAndRenamedOnYes)
{
    RawTreeRemover rawNames(dataDir());
    addProgram("p1.nc");
    files->LoadFileListe();
    const QByteArray oldP = writeRawFile(dataDir(), "P\xe4.NC", "G1 P");
    ASSERT_FALSE(oldP.isEmpty());
    ASSERT_FALSE(writeRawFile(dataDir(), "Alt\xe4/D1.NC", "G1 D").isEmpty());

    // Nein: nothing is renamed, nothing catalogued, and the same names are
    // not asked about again, tick after tick.
    prompts.queueAnswer(PromptAnswer::No);
    EXPECT_EQ(files->FindNewFile(), "");
    ASSERT_EQ(prompts.asked().size(), 1);
    const ScriptedPrompts::Asked question = prompts.asked().first();
    EXPECT_EQ(question.title, "Dateinamen umbenennen?");
    EXPECT_EQ(question.icon, PromptIcon::Question);
    EXPECT_EQ(question.buttons, PromptButtons::YesNo);
    EXPECT_TRUE(question.text.contains("P\uFFFD.NC  →  Pä.NC")) << question.text.toStdString();
    EXPECT_TRUE(question.text.contains("Alt\uFFFD  →  Altä")) << question.text.toStdString();
    EXPECT_TRUE(rawExists(oldP));
    addProgram("p2.nc");
    EXPECT_EQ(files->FindNewFile(), "P2.NC");
    files->GetFileListe();
    files->SaveFileListe();
    EXPECT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(CodePage1252::decode(env.readFile(env.programDir() + "Logbuch.txt")).contains("Pä.NC"));

    // A new such file: asked about that one only. Ja renames it, and the
    // next check finds it under its new name without any other change.
    const QByteArray oldQ = writeRawFile(dataDir(), "Drehen/Q\xe9.nc", "G1 Q");
    prompts.queueAnswer(PromptAnswer::Yes);
    EXPECT_EQ(files->FindNewFile(), "");
    ASSERT_EQ(prompts.asked().size(), 2);
    EXPECT_TRUE(prompts.asked()[1].text.contains("Drehen/Q\uFFFD.nc  →  Drehen/Qé.nc"));
    EXPECT_FALSE(prompts.asked()[1].text.contains("Pä.NC"));
    EXPECT_FALSE(rawExists(oldQ));
    EXPECT_EQ(env.readFile(dataDir() + "Drehen/Qé.nc"), "G1 Q");
    EXPECT_EQ(files->FindNewFile(), "DREHEN\\QÉ.NC");
    files->GetFileListe();
    files->SaveFileListe();
    EXPECT_EQ(prompts.asked().size(), 2);
    EXPECT_TRUE(CodePage1252::decode(env.readFile(env.programDir() + "Logbuch.txt"))
                    .contains("Dateiname Drehen/Qé.nc von Windows-1252 in UTF-8 umbenannt."));

    // A restart asks about the ones still there; a folder is renamed with
    // its files, which the next check catalogues.
    MonitoredDirectory next({prompts, logbook, env.programDir(), state->verzeichnis, {}});
    next.LoadFileListe();
    prompts.queueAnswer(PromptAnswer::Yes);
    EXPECT_EQ(next.FindNewFile(), "");
    ASSERT_EQ(prompts.asked().size(), 3);
    EXPECT_EQ(env.readFile(dataDir() + "Pä.NC"), "G1 P");
    EXPECT_EQ(env.readFile(dataDir() + "Altä/D1.NC"), "G1 D");
    EXPECT_EQ(sortedNames(next.FindNewFile()), QStringList({"ALTÄ\\D1.NC", "PÄ.NC"}));
    EXPECT_EQ(prompts.asked().size(), 3);
}

TEST_F(MonitoredDirectoryTest, RenamingNeverTakesANameThatIsThereAlready)
{
    RawTreeRemover rawNames(dataDir());
    addProgram("Pä.NC", "vorhanden");
    addProgram("qä.nc", "vorhanden klein");
    files->LoadFileListe();
    const QByteArray sameName = writeRawFile(dataDir(), "P\xe4.NC", "alt P");
    const QByteArray otherCase = writeRawFile(dataDir(), "Q\xc4.NC", "alt Q"); // "QÄ.NC" beside "qä.nc"
    const QByteArray free = writeRawFile(dataDir(), "R\xe4.NC", "alt R");
    const QByteArray gone = writeRawFile(dataDir(), "S\xe4.NC", "alt S");
    // The question lets events run: a file may go meanwhile.
    prompts.onMessage([&](const ScriptedPrompts::Asked &asked) {
        if (asked.buttons == PromptButtons::YesNo)
            ::unlink(gone.constData());
    });
    prompts.queueAnswer(PromptAnswer::Yes);
    EXPECT_EQ(files->FindNewFile(), "");
    ASSERT_EQ(prompts.asked().size(), 2);
    const ScriptedPrompts::Asked told = prompts.asked()[1];
    EXPECT_EQ(told.title, "Dateinamen umbenennen");
    EXPECT_TRUE(told.text.contains("P\uFFFD.NC  →  Pä.NC")) << told.text.toStdString();
    EXPECT_TRUE(told.text.contains("Q\uFFFD.NC  →  QÄ.NC")) << told.text.toStdString();
    EXPECT_FALSE(told.text.contains("R\uFFFD")) << told.text.toStdString();
    EXPECT_TRUE(told.text.contains("Nicht umbenannt:\r\rS\uFFFD.NC (nicht mehr vorhanden)")) << told.text.toStdString();
    // Both files of each pair are as they were; the free name was taken.
    EXPECT_EQ(readRawFile(sameName), "alt P");
    EXPECT_EQ(env.readFile(dataDir() + "Pä.NC"), "vorhanden");
    EXPECT_EQ(readRawFile(otherCase), "alt Q");
    EXPECT_EQ(env.readFile(dataDir() + "qä.nc"), "vorhanden klein");
    EXPECT_FALSE(rawExists(free));
    EXPECT_EQ(files->FindNewFile(), "RÄ.NC");
    files->GetFileListe();
    // The ones left are not asked about again while they stay.
    addProgram("neu.nc");
    EXPECT_EQ(files->FindNewFile(), "NEU.NC");
    EXPECT_EQ(prompts.asked().size(), 2);
}

TEST_F(MonitoredDirectoryTest, FullDiskKeepsTheOldListAndOffersRetry)
{
    const QString mountPoint = env.root() + "klein/";
    SmallFileSystem disk(mountPoint, "8k");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";

    addProgram("p1.nc");
    MonitoredDirectory small({prompts, logbook, mountPoint, state->verzeichnis, {}});
    small.LoadFileListe();
    const QByteArray before = env.readFile(mountPoint + "FileListe.dat");
    ASSERT_FALSE(before.isEmpty());
    for (int i = 0; i < 400; ++i)
        addProgram(QString("ein_recht_langer_name_damit_es_voll_wird_%1.nc").arg(i), "");
    prompts.queueAnswer(PromptAnswer::Retry);
    prompts.queueAnswer(PromptAnswer::Cancel);
    small.GetFileListe();
    small.SaveFileListe();
    EXPECT_EQ(prompts.asked().size(), 2);
    EXPECT_TRUE(prompts.asked().first().text.contains("Aufgetreten in Form1.SaveFileListe"));
    EXPECT_EQ(env.readFile(mountPoint + "FileListe.dat"), before);
    EXPECT_EQ(QDir(mountPoint).entryList(QDir::Files), QStringList({"FileListe.dat"}));
}

TEST_F(MonitoredDirectoryTest, AFullDisksReportIsShownOnceWhileOpenAndRetryLaterWritesTheListAsItIsThen)
{
    const QString mountPoint = env.root() + "klein/";
    SmallFileSystem disk(mountPoint, "64k");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    MonitoredDirectory small({prompts, logbook, mountPoint, state->verzeichnis, {}});
    small.LoadFileListe();
    const QByteArray before = env.readFile(mountPoint + "FileListe.dat");
    for (int i = 0; i < 400; ++i)
        addProgram(QString("ein_recht_langer_name_damit_es_voll_wird_%1.nc").arg(i), "");
    env.writeFile("klein/Platzhalter", QByteArray(48 * 1024, 'x'));
    prompts.holdQuestions(true);
    small.GetFileListe();
    small.SaveFileListe();
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_TRUE(prompts.heldQuestions()[0].text.contains("Aufgetreten in Form1.SaveFileListe"));
    // The next saves fail too, and say nothing more while the report waits.
    small.SaveFileListe();
    small.SaveFileListe();
    EXPECT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(env.readFile(mountPoint + "FileListe.dat"), before);
    // Room again: Retry writes the list as it stands now.
    addProgram("zuletzt.nc", "");
    small.GetFileListe();
    ASSERT_TRUE(QFile::remove(mountPoint + "Platzhalter"));
    prompts.answerHeld(0, PromptAnswer::Retry);
    EXPECT_TRUE(prompts.heldQuestions().isEmpty()) << prompts.heldQuestions()[0].text.toStdString();
    EXPECT_EQ(FileListFile::read(mountPoint + "FileListe.dat").entries.size(), 401);
}

} // namespace
} // namespace zep::test
