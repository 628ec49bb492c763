#include "CatalogueFixture.h"
#include "support/SmallFileSystem.h"

#include "catalogue/FileListFile.h"
#include "catalogue/RecordCommands.h"
#include "catalogue/RecordSearch.h"
#include "db/Database.h"
#include "photos/PhotoFiles.h"


namespace zep::test {
namespace {

struct RecordCommandsTest : CatalogueOnEngines {
    RecordCommands commands()
    {
        return RecordCommands({db(), prompts, logbook, settings, *files, state->verzeichnis, state->fotoVerzeichnis});
    }
    // The outcome once the conversation has ended; none while it is open.
    std::optional<RecordCommands::DeleteOutcome> remove(const RecordRow *row, bool inEditor = false)
    {
        std::optional<RecordCommands::DeleteOutcome> outcome;
        commands().deleteRecord(row, inEditor, [&outcome](RecordCommands::DeleteOutcome o) { outcome = o; });
        return outcome;
    }
    RecordRow record(const QString &name, const QString &bezeichnung = "Welle")
    {
        EXPECT_TRUE(db().execute("INSERT INTO DateiListe (Dateiname, Bezeichnung) VALUES (?, ?)", {name, bezeichnung}));
        const SearchResult all = RecordSearch::run(db(), SearchStatement::build("", 0));
        for (const RecordRow &row : all.rows)
            if (row[RecordRow::Datei] == name)
                return row;
        return {};
    }
    QStringList recordNames()
    {
        QStringList out;
        for (const RecordRow &row : RecordSearch::run(db(), SearchStatement::build("", 0)).rows)
            out << row[RecordRow::Datei];
        return out;
    }
    void photo(const QString &name) { env.writeFile("fotos/" + name, "JPEG"); }
    QStringList photos() { return QDir(fotoDir()).entryList(QDir::Files, QDir::Name); }
    QString logbookText() { return QString::fromLatin1(env.readFile(env.programDir() + "Logbuch.txt")); }
};

TEST(PhotoFiles, OnlyTheRecordsOwnNumberedPhotosMatch)
{
    EXPECT_EQ(PhotoFiles::photoKey("DREHEN\\P1.NC"), "DREHEN-P1.NC");
    EXPECT_TRUE(PhotoFiles::isPhotoOf("Foto_DREHEN-P1.NC_1.jpg", "DREHEN\\P1.NC"));
    EXPECT_TRUE(PhotoFiles::isPhotoOf("Foto_P1.NC_10.bmp", "P1.NC"));
    EXPECT_TRUE(PhotoFiles::isPhotoOf("FOTO_p1.nc_2.JPG", "P1.NC"));
    EXPECT_FALSE(PhotoFiles::isPhotoOf("Foto_P1.NC_ALT_1.jpg", "P1.NC"));
    EXPECT_FALSE(PhotoFiles::isPhotoOf("Foto_P1.NC_11.jpg", "P1.NC"));
    EXPECT_FALSE(PhotoFiles::isPhotoOf("Foto_P1.NC_0.jpg", "P1.NC"));
    EXPECT_FALSE(PhotoFiles::isPhotoOf("Foto_P1.NC_01.jpg", "P1.NC"));
    EXPECT_FALSE(PhotoFiles::isPhotoOf("Foto_P1.NC_1.", "P1.NC"));
    EXPECT_FALSE(PhotoFiles::isPhotoOf("Foto_P1.NC_1.jpg.bak", "P1.NC"));
    EXPECT_FALSE(PhotoFiles::isPhotoOf("Foto_P1.NC_x.jpg", "P1.NC"));
}

TEST_P(RecordCommandsTest, DeleteRemovesRecordFileAndOnlyItsOwnPhotos)
{
    addProgram("Drehen/p1.nc");
    addProgram("Drehen/p1.nc_alt");
    files->LoadFileListe();
    const RecordRow row = record("DREHEN\\P1.NC");
    record("DREHEN\\P1.NC_ALT");
    for (const char *name : {"Foto_DREHEN-P1.NC_1.jpg", "Foto_DREHEN-P1.NC_2.jpg", "Foto_DREHEN-P1.NC_ALT_1.jpg",
                             "Foto_DREHEN-P1.NC_notiz.txt"})
        photo(name);

    prompts.queueAnswer(PromptAnswer::Yes);
    EXPECT_EQ(remove(&row), RecordCommands::DeleteOutcome::Deleted);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().first().text,
              "Wollen Sie wirklich die Datei \r\rDREHEN\\P1.NC - Welle\r\rincl. deren Fotos löschen?");
    EXPECT_EQ(prompts.asked().first().title, "Löschen?");
    EXPECT_EQ(prompts.asked().first().buttons, PromptButtons::YesNo);
    EXPECT_FALSE(QFile::exists(dataDir() + "Drehen/p1.nc"));
    EXPECT_TRUE(QFile::exists(dataDir() + "Drehen/p1.nc_alt"));
    EXPECT_EQ(photos(), QStringList({"Foto_DREHEN-P1.NC_ALT_1.jpg", "Foto_DREHEN-P1.NC_notiz.txt"}));
    EXPECT_EQ(recordNames(), QStringList({"DREHEN\\P1.NC_ALT"}));
    EXPECT_TRUE(logbookText().contains("Datei DREHEN\\P1.NC gel"));
    // The stored list lost the name at once: imported again after a restart, it is new.
    EXPECT_EQ(FileListFile::read(listPath()).entries, QStringList({"DREHEN\\P1.NC_ALT"}));
}

TEST_P(RecordCommandsTest, DeclinedOrNothingSelectedChangesNothing)
{
    addProgram("p1.nc");
    const RecordRow row = record("P1.NC");
    EXPECT_EQ(remove(nullptr), RecordCommands::DeleteOutcome::NothingSelected);
    prompts.queueAnswer(PromptAnswer::No);
    EXPECT_EQ(remove(&row), RecordCommands::DeleteOutcome::Declined);
    EXPECT_TRUE(QFile::exists(dataDir() + "p1.nc"));
    EXPECT_EQ(recordNames(), QStringList({"P1.NC"}));
    EXPECT_FALSE(QFile::exists(env.programDir() + "Logbuch.txt"));
}

TEST_P(RecordCommandsTest, ARecordOpenInAnEditorWarnsFirstAndNoDeletesNothing)
{
    addProgram("p1.nc");
    const RecordRow row = record("P1.NC");
    prompts.queueAnswer(PromptAnswer::No);
    EXPECT_EQ(remove(&row, true), RecordCommands::DeleteOutcome::Declined);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "Datensatz in Bearbeitung!");
    EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Question);
    EXPECT_EQ(prompts.asked()[0].buttons, PromptButtons::YesNo);
    EXPECT_TRUE(prompts.asked()[0].text.contains("P1.NC"));
    EXPECT_TRUE(QFile::exists(dataDir() + "p1.nc"));
    EXPECT_EQ(recordNames(), QStringList({"P1.NC"}));

    // Yes goes on to the usual question.
    prompts.clear();
    prompts.queueAnswer(PromptAnswer::Yes);
    prompts.queueAnswer(PromptAnswer::Yes);
    EXPECT_EQ(remove(&row, true), RecordCommands::DeleteOutcome::Deleted);
    EXPECT_EQ(prompts.titles(), QStringList({"Datensatz in Bearbeitung!", "Löschen?"}));
    EXPECT_TRUE(recordNames().isEmpty());
}

TEST_P(RecordCommandsTest, MissingFileIsToldAndTheRecordStillGoes)
{
    const RecordRow row = record("WEG.NC");
    photo("Foto_WEG.NC_1.jpg");
    prompts.queueAnswer(PromptAnswer::Yes);
    EXPECT_EQ(remove(&row), RecordCommands::DeleteOutcome::Deleted);
    EXPECT_EQ(prompts.titles(), QStringList({"Löschen?", "Datei fehlt!"}));
    EXPECT_EQ(prompts.asked()[1].text,
              "Die Datei WEG.NC konnte nicht gefunden werden. Der Eintrag wird trotzdem aus der Datenbank gelöscht.");
    EXPECT_TRUE(recordNames().isEmpty());
    // The photos go with their record: left behind, they would belong to the
    // next program of that name.
    EXPECT_TRUE(photos().isEmpty());
}

TEST_P(RecordCommandsTest, FileThatCannotBeDeletedKeepsRecordAndPhotos)
{
    const QString mountPoint = dataDir() + "nurlesen/";
    SmallFileSystem disk(mountPoint, "64k");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    addProgram("nurlesen/p1.nc");
    ASSERT_TRUE(disk.makeReadOnly());

    const RecordRow row = record("NURLESEN\\P1.NC");
    photo("Foto_NURLESEN-P1.NC_1.jpg");
    prompts.queueAnswer(PromptAnswer::Yes);
    EXPECT_EQ(remove(&row), RecordCommands::DeleteOutcome::Kept);
    EXPECT_EQ(prompts.titles(), QStringList({"Löschen?", "Nicht gelöscht!"}));
    EXPECT_EQ(prompts.asked()[1].text, "Die Datei '" + mountPoint + "p1.nc' kann nicht gelöscht werden: Der "
                                        "Datenträger ist schreibgeschützt.\r\rEs wurde nichts gelöscht: Programm, "
                                        "Fotos und Datensatz bleiben erhalten.");
    EXPECT_EQ(recordNames(), QStringList({"NURLESEN\\P1.NC"}));
    EXPECT_EQ(photos(), QStringList({"Foto_NURLESEN-P1.NC_1.jpg"}));
    EXPECT_FALSE(QFile::exists(env.programDir() + "Logbuch.txt"));
}

TEST_P(RecordCommandsTest, APhotoThatCannotBeDeletedKeepsProgramRecordAndEveryPhoto)
{
    // The photo directory on a disk of its own, made read-only: a deletion
    // there fails even for root.
    SmallFileSystem disk(fotoDir(), "64k");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    addProgram("Drehen/p1.nc");
    files->LoadFileListe();
    const RecordRow row = record("DREHEN\\P1.NC");
    photo("Foto_DREHEN-P1.NC_1.jpg");
    photo("Foto_DREHEN-P1.NC_2.jpg");
    ASSERT_TRUE(disk.makeReadOnly());

    prompts.queueAnswer(PromptAnswer::Yes);
    EXPECT_EQ(remove(&row), RecordCommands::DeleteOutcome::Kept);
    EXPECT_EQ(prompts.titles(), QStringList({"Löschen?", "Nicht gelöscht!"}));
    EXPECT_EQ(prompts.asked()[1].text, "Die Datei '" + fotoDir() + "Foto_DREHEN-P1.NC_1.jpg' kann nicht gelöscht "
                                        "werden: Der Datenträger ist schreibgeschützt.\r\rEs wurde nichts gelöscht: "
                                        "Programm, Fotos und Datensatz bleiben erhalten.");
    EXPECT_EQ(env.readFile(dataDir() + "Drehen/p1.nc"), "%\r\nN10 G0 X0\r\nM30\r\n");
    EXPECT_EQ(QDir(dataDir() + "Drehen").entryList(QDir::Files | QDir::Hidden), QStringList({"p1.nc"}));
    EXPECT_EQ(recordNames(), QStringList({"DREHEN\\P1.NC"}));
    EXPECT_EQ(photos(), QStringList({"Foto_DREHEN-P1.NC_1.jpg", "Foto_DREHEN-P1.NC_2.jpg"}));
    EXPECT_FALSE(QFile::exists(env.programDir() + "Logbuch.txt"));
    EXPECT_EQ(FileListFile::read(listPath()).entries, QStringList({"DREHEN\\P1.NC"}));
}

TEST_P(RecordCommandsTest, ARecordThatCannotBeDeletedKeepsProgramAndPhotos)
{
    addProgram("p1.nc");
    const RecordRow row = record("P1.NC");
    photo("Foto_P1.NC_1.jpg");
    // Another program holds the catalogue's write lock; on the server,
    // another station holds the record.
    Database other;
    if (GetParam() == Engine::Postgres) {
        ASSERT_TRUE(other.openServer(db().path()));
        ASSERT_TRUE(other.transaction());
        ASSERT_TRUE(other.execute("UPDATE DateiListe SET Bezeichnung = 'in Arbeit' WHERE Dateiname = 'P1.NC'"));
    } else {
        ASSERT_TRUE(other.open(dbPath()));
        ASSERT_TRUE(other.transaction());
    }

    prompts.queueAnswer(PromptAnswer::Yes);
    prompts.queueAnswer(PromptAnswer::Cancel); // the retry report
    EXPECT_EQ(remove(&row), RecordCommands::DeleteOutcome::Kept);
    EXPECT_EQ(prompts.titles(), QStringList({"Löschen?", "Error"}));
    EXPECT_TRUE(prompts.asked()[1].text.contains("Aufgetreten in Form1.Command1_Click"));
    EXPECT_TRUE(QFile::exists(dataDir() + "p1.nc"));
    EXPECT_EQ(photos(), QStringList({"Foto_P1.NC_1.jpg"}));
    ASSERT_TRUE(other.rollback());
    EXPECT_EQ(recordNames(), QStringList({"P1.NC"}));
    EXPECT_FALSE(QFile::exists(env.programDir() + "Logbuch.txt"));

    // Retried once the lock is gone: all of it goes.
    prompts.clear();
    prompts.queueAnswer(PromptAnswer::Yes);
    EXPECT_EQ(remove(&row), RecordCommands::DeleteOutcome::Deleted);
    EXPECT_FALSE(QFile::exists(dataDir() + "p1.nc"));
    EXPECT_TRUE(photos().isEmpty());
    EXPECT_TRUE(recordNames().isEmpty());
    EXPECT_EQ(QDir(dataDir()).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_EQ(QDir(fotoDir()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// The questions of a delete stay open while the directory check goes on;
// the delete is carried out when the answers come, on the state the
// catalogue is in by then.
TEST_P(RecordCommandsTest, ADeleteAnsweredLaterWaitsForBothAnswersAndThenDeletesAllTogether)
{
    addProgram("p1.nc");
    files->LoadFileListe();
    const RecordRow row = record("P1.NC");
    photo("Foto_P1.NC_1.jpg");
    prompts.holdQuestions(true);
    std::optional<RecordCommands::DeleteOutcome> outcome;
    commands().deleteRecord(&row, true, [&outcome](RecordCommands::DeleteOutcome o) { outcome = o; });
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].title, "Datensatz in Bearbeitung!");
    EXPECT_EQ(prompts.heldQuestions()[0].unattended, PromptAnswer::No);
    // Meanwhile a file comes and the check finds it.
    addProgram("p2.nc");
    EXPECT_EQ(files->FindNewFile(), "P2.NC");
    files->adoptLastWalk();
    prompts.answerHeld(0, PromptAnswer::Yes);
    EXPECT_FALSE(outcome);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].title, "Löschen?");
    EXPECT_EQ(prompts.heldQuestions()[0].unattended, PromptAnswer::No);
    EXPECT_EQ(recordNames(), QStringList({"P1.NC"}));
    prompts.answerHeld(0, PromptAnswer::Yes);
    EXPECT_EQ(outcome, RecordCommands::DeleteOutcome::Deleted);
    EXPECT_TRUE(recordNames().isEmpty());
    EXPECT_FALSE(QFile::exists(dataDir() + "p1.nc"));
    EXPECT_TRUE(photos().isEmpty());
    // The file that came meanwhile stays listed.
    EXPECT_EQ(FileListFile::read(listPath()).entries, QStringList({"P2.NC"}));
}

// Two deletes of one record asked at once (the box does not stop the
// window): the second Yes finds the record gone and leaves the files now
// under its name alone, a newer program's maybe.
TEST_P(RecordCommandsTest, ASecondDeleteOfTheSameRecordAnsweredLaterDeletesNothingMore)
{
    addProgram("p1.nc");
    files->LoadFileListe();
    const RecordRow row = record("P1.NC");
    prompts.holdQuestions(true);
    std::optional<RecordCommands::DeleteOutcome> first, second;
    commands().deleteRecord(&row, false, [&first](RecordCommands::DeleteOutcome o) { first = o; });
    commands().deleteRecord(&row, false, [&second](RecordCommands::DeleteOutcome o) { second = o; });
    ASSERT_EQ(prompts.heldQuestions().size(), 2);
    prompts.answerHeld(0, PromptAnswer::Yes);
    EXPECT_EQ(first, RecordCommands::DeleteOutcome::Deleted);
    // The same name comes back as a new program with its own record.
    addProgram("p1.nc", "NEU");
    record("P1.NC", "Neue Welle");
    photo("Foto_P1.NC_1.jpg");
    prompts.answerHeld(0, PromptAnswer::Yes);
    EXPECT_EQ(second, RecordCommands::DeleteOutcome::Kept);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].title, "Nicht gelöscht!");
    EXPECT_EQ(env.readFile(dataDir() + "p1.nc"), "NEU");
    EXPECT_EQ(recordNames(), QStringList({"P1.NC"}));
    EXPECT_EQ(photos(), QStringList({"Foto_P1.NC_1.jpg"}));
}

TEST_P(RecordCommandsTest, AnImportsOverwriteQuestionAnsweredLaterCopiesThenOrTellsTheWayOut)
{
    env.writeFile("programs/P1.NC", "ALT");
    const QString source = env.writeFile("usb/P1.NC", "NEU");
    prompts.holdQuestions(true);
    prompts.queuePath(source);
    commands().importFile();
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].title, "Schon vorhanden!");
    EXPECT_EQ(prompts.heldQuestions()[0].unattended, PromptAnswer::No);
    EXPECT_EQ(env.readFile(dataDir() + "P1.NC"), "ALT");
    prompts.answerHeld(0, PromptAnswer::No);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].title, "Information");
    prompts.answerHeld(0, PromptAnswer::Ok);
    EXPECT_EQ(env.readFile(dataDir() + "P1.NC"), "ALT");

    prompts.queuePath(source);
    commands().importFile();
    prompts.answerHeld(0, PromptAnswer::Yes);
    EXPECT_TRUE(prompts.heldQuestions().isEmpty());
    EXPECT_EQ(env.readFile(dataDir() + "P1.NC"), "NEU");
}

TEST_P(RecordCommandsTest, ImportCopiesIntoTheDirectoryAndNeverOverwritesUnasked)
{
    const QString source = env.writeFile("usb/O'NEIL Ä.NC", "NEU");
    prompts.queuePath(source);
    commands().importFile();
    EXPECT_EQ(env.readFile(dataDir() + "O'NEIL Ä.NC"), "NEU");
    EXPECT_EQ(settings.read("Settings", "DefaultImportDir"), env.root() + "usb/");
    EXPECT_EQ(prompts.asked().first().title, "Datei auswählen");
    EXPECT_EQ(commands().startDirectory(ProgramSettings::LastDirectory::Import), env.root() + "usb/");

    // Same name in another letter case: the same program here.
    const QString other = env.writeFile("usb2/o'neil ä.nc", "ANDERS");
    prompts.clear();
    prompts.queuePath(other);
    prompts.queueAnswer(PromptAnswer::No);
    commands().importFile();
    EXPECT_EQ(prompts.titles(), QStringList({"Datei auswählen", "Schon vorhanden!", "Information"}));
    EXPECT_EQ(prompts.asked()[1].text, "Das zu importierende Programm existiert bereits!\r\rSoll es überschrieben werden?");
    EXPECT_EQ(env.readFile(dataDir() + "O'NEIL Ä.NC"), "NEU");

    prompts.clear();
    prompts.queuePath(other);
    prompts.queueAnswer(PromptAnswer::Yes);
    commands().importFile();
    EXPECT_EQ(env.readFile(dataDir() + "O'NEIL Ä.NC"), "ANDERS");
    EXPECT_EQ(QDir(dataDir()).entryList(QDir::Files), QStringList({"O'NEIL Ä.NC"}));

    // A new program keeps the letter case it was given.
    prompts.clear();
    prompts.queuePath(env.writeFile("usb/Welle klein.nc", "W"));
    commands().importFile();
    EXPECT_EQ(env.readFile(dataDir() + "Welle klein.nc"), "W");
    // No half copy is left beside it.
    EXPECT_EQ(QDir(dataDir()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"O'NEIL Ä.NC", "Welle klein.nc"}));
}

TEST_P(RecordCommandsTest, ImportOfBinaryAndEmptyFilesIsByteExactAndCancelIsSilent)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    prompts.queuePath(env.writeFile("usb/BIN.NC", all));
    commands().importFile();
    EXPECT_EQ(env.readFile(dataDir() + "BIN.NC"), all);
    prompts.queuePath(env.writeFile("usb/LEER.NC", ""));
    commands().importFile();
    EXPECT_TRUE(QFile::exists(dataDir() + "LEER.NC"));
    prompts.clear();
    commands().importFile(); // cancelled dialog
    EXPECT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(settings.read("Settings", "DefaultImportDir"), env.root() + "usb/");
}

TEST_P(RecordCommandsTest, ImportIntoAMissingDirectoryIsReported)
{
    QDir(dataDir()).removeRecursively();
    prompts.queuePath(env.writeFile("usb/P1.NC", "X"));
    commands().importFile();
    ASSERT_EQ(prompts.asked().size(), 2);
    EXPECT_TRUE(prompts.asked()[1].text.contains(" in Form1.Command2"));
}

TEST_P(RecordCommandsTest, ExportCopiesTheProgramOrSaysItHasGone)
{
    addProgram("Drehen/p1.nc", "PROGRAMM");
    const RecordRow row = record("DREHEN\\P1.NC");
    const QString target = env.root() + "usb/P1.NC";
    QDir().mkpath(env.root() + "usb");
    prompts.queuePath(target);
    commands().exportFile(&row);
    EXPECT_EQ(env.readFile(target), "PROGRAMM");
    EXPECT_EQ(prompts.asked().first().title, "Zieldatei angeben");
    EXPECT_EQ(settings.read("Settings", "DefaultExportDir"), env.root() + "usb/");

    QFile::remove(dataDir() + "Drehen/p1.nc");
    prompts.clear();
    prompts.queuePath(env.root() + "usb/P1_NEU.NC");
    commands().exportFile(&row);
    EXPECT_EQ(prompts.titles(), QStringList({"Zieldatei angeben", "Fehler!"}));
    EXPECT_EQ(prompts.asked()[1].text,
              "Das zu speichernde Programm konnte im Überwachungsverzeichnis nichtmehr gefunden werden!");
    EXPECT_FALSE(QFile::exists(env.root() + "usb/P1_NEU.NC"));

    prompts.clear();
    commands().exportFile(nullptr);
    EXPECT_EQ(prompts.beeps(), 1);
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_P(RecordCommandsTest, ExportToAFullDiskOrAMissingFolderIsToldInGermanWithThePath)
{
    const QString stick = env.root() + "stick/";
    SmallFileSystem disk(stick, "64k");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    addProgram("GROSS.NC", QByteArray(256 * 1024, 'X'));
    const RecordRow row = record("GROSS.NC");

    prompts.queuePath(stick + "GROSS.NC");
    commands().exportFile(&row);
    ASSERT_EQ(prompts.titles(), QStringList({"Zieldatei angeben", "Fehler!"}));
    EXPECT_EQ(prompts.asked()[1].text,
              "Auf dem Datenträger ist kein Platz mehr frei: '" + stick + "GROSS.NC' in Form1.Command6_Click");
    EXPECT_TRUE(QDir(stick).entryList(QDir::Files | QDir::Hidden).isEmpty());

    prompts.clear();
    prompts.queuePath(stick + "weg/noch/GROSS.NC");
    commands().exportFile(&row);
    ASSERT_EQ(prompts.asked().size(), 2);
    EXPECT_EQ(prompts.asked()[1].text,
              "Der Ordner existiert nicht: '" + stick + "weg' in Form1.Command6_Click");
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordCommandsTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

} // namespace
} // namespace zep::test
