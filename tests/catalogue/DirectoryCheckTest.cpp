#include "CatalogueFixture.h"
#include "support/RawFileNames.h"
#include "support/SmallFileSystem.h"

#include "app/CatalogueNames.h"
#include "app/CodePage1252.h"
#include "catalogue/DirectoryCheck.h"
#include "catalogue/FileListFile.h"
#include "catalogue/RecordIntake.h"
#include "db/Database.h"
#include "db/RowReader.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace zep::test {
namespace {

// The directory check against a real catalogue that another program or
// station may hold, and a file list that may be older than the catalogue;
// on the file or on the server (DirectoryCheckTest), or on the file alone
// where the case is about the file itself: a read-only catalogue file
// (DirectoryCheckFileTest).
template <typename Base>
struct DirectoryCheckOn : Base {
    void SetUp() override
    {
        Base::SetUp();
        check = std::make_unique<DirectoryCheck>(DirectoryCheck::Context{
            *this->files, this->db(), this->prompts, this->clock, this->state->pendingMachines, {},
            [this](long index) { editors << index; }, &this->logbook,
            [this](const QString &t) { this->statusLines << t; }});
    }
    QStringList recordNames()
    {
        QStringList out;
        this->db().readRows("SELECT Dateiname FROM DateiListe ORDER BY Dateiname", {},
                            [&](const RowReader &r) { out << r.text(0); });
        return out;
    }
    QStringList storedList() { return FileListFile::read(this->listPath()).entries; }
    QString logbookText() { return CodePage1252::decode(this->env.readFile(this->env.programDir() + "Logbuch.txt")); }

    std::unique_ptr<DirectoryCheck> check;
    QList<long> editors;
};

using DirectoryCheckTest = DirectoryCheckOn<CatalogueOnEngines>;
using DirectoryCheckFileTest = DirectoryCheckOn<CatalogueFixture>;

// A second program holding the catalogue file with BEGIN EXCLUSIVE; on the
// server, a second station holding the records table against any change.
struct OtherProgram {
    explicit OtherProgram(const QString &catalogue)
    {
        if (Database::isServerAddress(catalogue)) {
            held = station.openServer(catalogue) && station.transaction()
                   && station.executeNative("LOCK TABLE DateiListe IN EXCLUSIVE MODE");
            return;
        }
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "other-program");
        db.setDatabaseName(catalogue);
        held = db.open() && QSqlQuery(db).exec("BEGIN EXCLUSIVE");
    }
    void release()
    {
        if (station.isOpen()) {
            station.rollback();
            return;
        }
        QSqlQuery(QSqlDatabase::database("other-program")).exec("ROLLBACK");
    }
    ~OtherProgram()
    {
        release();
        if (station.isOpen())
            return;
        QSqlDatabase::database("other-program").close();
        QSqlDatabase::removeDatabase("other-program");
    }
    Database station;
    bool held = false;
};

TEST_P(DirectoryCheckTest, LockedDatabaseKeepsTheWindowFreeAndEveryFileIsCataloguedOnceReleased)
{
    files->LoadFileListe();
    {
        OtherProgram other(db().path());
        ASSERT_TRUE(other.held);
        state->pendingMachines.insert("EMPFANGEN.NC", 2);
        addProgram("empfangen.nc");
        addProgram("Drehen/p1.nc");
        QElapsedTimer waited;
        waited.start();
        check->tick();
        // The engine's wait for the lock stays short: no box, no frozen window.
        EXPECT_LT(waited.elapsed(), 2500);
        EXPECT_TRUE(prompts.asked().isEmpty());
        EXPECT_EQ(statusLines.last(), DirectoryCheck::busyText(2));
        // Not known without a record: neither in the list nor in FileListe.dat.
        EXPECT_EQ(files->count(), 0);
        EXPECT_TRUE(storedList().isEmpty());
        // Still held at the next tick: told again, nothing lost.
        check->tick();
        EXPECT_EQ(statusLines.last(), DirectoryCheck::busyText(2));
        EXPECT_EQ(files->count(), 0);
        other.release();
        addProgram("danach.nc");
        check->tick();
        EXPECT_EQ(statusLines.last(), "Bereit");
    }
    EXPECT_EQ(recordNames(), QStringList({"DANACH.NC", "DREHEN\\P1.NC", "EMPFANGEN.NC"}));
    EXPECT_EQ(editors.size(), 3);
    EXPECT_EQ(files->count(), 3);
    EXPECT_EQ(storedList().size(), 3);
    EXPECT_TRUE(state->pendingMachines.isEmpty());
    QList<qint64> machines;
    db().readRows("SELECT MaschinenIndex FROM DateiListe WHERE Dateiname='EMPFANGEN.NC'", {},
                  [&](const RowReader &r) { machines << r.integer(0); });
    EXPECT_EQ(machines, QList<qint64>({2}));
    // Each exactly once: a later tick and a restart add nothing.
    check->tick();
    MonitoredDirectory restarted({prompts, logbook, env.programDir(), state->verzeichnis, {}});
    restarted.LoadFileListe();
    EXPECT_EQ(restarted.FindNewFile(), "");
    EXPECT_EQ(recordNames().size(), 3);
}

TEST_P(DirectoryCheckTest, FileWhoseRecordFailedIsFoundAgainAfterARestart)
{
    files->LoadFileListe();
    {
        OtherProgram other(db().path());
        ASSERT_TRUE(other.held);
        addProgram("p1.nc");
        check->tick();
    }
    EXPECT_TRUE(recordNames().isEmpty());
    // The program ends here; the next run finds the file new.
    MonitoredDirectory restarted({prompts, logbook, env.programDir(), state->verzeichnis, {}});
    restarted.LoadFileListe();
    EXPECT_EQ(restarted.FindNewFile(), "P1.NC");
}

TEST_F(DirectoryCheckFileTest, ReadOnlyDatabaseIsToldOnceAndTheFilesWaitForIt)
{
    const QString mountPoint = env.root() + "nurlesen/";
    SmallFileSystem disk(mountPoint, "1m");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    db().close();
    ASSERT_TRUE(QFile::copy(dbPath(), mountPoint + "CNCPRG.mdb"));
    ASSERT_TRUE(disk.makeReadOnly());
    ASSERT_TRUE(db().open(mountPoint + "CNCPRG.mdb"));
    files->LoadFileListe();

    addProgram("p1.nc");
    check->tick(); // Cancel, the cautious answer
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked().first().text.contains("Aufgetreten in Form1.NeuerEintrag"));
    EXPECT_EQ(prompts.asked().first().buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(statusLines.last(), DirectoryCheck::notCataloguedText(1));
    EXPECT_EQ(files->count(), 0);
    // The same fault at the next tick: the status line, not a box per tick.
    addProgram("p2.nc");
    check->tick();
    EXPECT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(statusLines.last(), DirectoryCheck::notCataloguedText(2));
    EXPECT_TRUE(storedList().isEmpty());

    // The writable catalogue is back (restored by hand): both files come in.
    db().close();
    ASSERT_TRUE(db().open(dbPath()));
    check->tick();
    EXPECT_EQ(recordNames(), QStringList({"P1.NC", "P2.NC"}));
    EXPECT_EQ(storedList().size(), 2);
}

TEST_P(DirectoryCheckTest, ANameNoticeLeftOpenHoldsUpNoCheckAndReadingItChangesNothing)
{
    files->LoadFileListe();
    prompts.holdQuestions(true);
    addProgram("Ж1.NC"); // not in the catalogue's code page
    check->tick();
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].title, "Dateiname ungültig!");
    // Three files dropped while nobody reads it: each check catalogues
    // what has come.
    addProgram("neu1.nc");
    check->tick();
    addProgram("neu2.nc");
    addProgram("Drehen/neu3.nc");
    check->tick();
    EXPECT_EQ(recordNames(), QStringList({"DREHEN\\NEU3.NC", "NEU1.NC", "NEU2.NC"}));
    EXPECT_EQ(editors.size(), 3);
    EXPECT_EQ(storedList().size(), 3);
    EXPECT_EQ(prompts.heldQuestions().size(), 1);
    prompts.answerHeld(0, PromptAnswer::Ok);
    check->tick();
    EXPECT_EQ(recordNames().size(), 3);
    EXPECT_TRUE(prompts.heldQuestions().isEmpty());
}

TEST_F(DirectoryCheckFileTest, ARetryReportLeftOpenLetsTheChecksGoOnAndRetryLaterDoublesNothing)
{
    const QString mountPoint = env.root() + "nurlesen/";
    SmallFileSystem disk(mountPoint, "1m");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    db().close();
    ASSERT_TRUE(QFile::copy(dbPath(), mountPoint + "CNCPRG.mdb"));
    ASSERT_TRUE(disk.makeReadOnly());
    ASSERT_TRUE(db().open(mountPoint + "CNCPRG.mdb"));
    files->LoadFileListe();
    prompts.holdQuestions(true);

    addProgram("p1.nc");
    check->tick();
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions()[0].buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(prompts.heldQuestions()[0].unattended, PromptAnswer::Cancel);
    EXPECT_EQ(statusLines.last(), DirectoryCheck::notCataloguedText(1));
    // The same fault while the report is open: no second box.
    addProgram("p2.nc");
    check->tick();
    EXPECT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(statusLines.last(), DirectoryCheck::notCataloguedText(2));
    // The writable catalogue is back before anybody answered: the next
    // check catalogues both files.
    db().close();
    ASSERT_TRUE(db().open(dbPath()));
    check->tick();
    EXPECT_EQ(recordNames(), QStringList({"P1.NC", "P2.NC"}));
    // Retry now runs a check at once, which finds nothing left to do.
    addProgram("p3.nc");
    prompts.answerHeld(0, PromptAnswer::Retry);
    EXPECT_EQ(recordNames(), QStringList({"P1.NC", "P2.NC", "P3.NC"}));
    EXPECT_EQ(editors.size(), 3);
    EXPECT_EQ(storedList().size(), 3);
    EXPECT_TRUE(prompts.heldQuestions().isEmpty());
}

TEST_P(DirectoryCheckTest, FileListOlderThanTheCatalogueGivesOneMessageForAll)
{
    if (GetParam() == Engine::Postgres)
        GTEST_SKIP() << "on a server a record found for a new file is another station's: taken without a notice "
                        "(SharedCatalogueTest)";
    // The catalogue knows 40 files; FileListe.dat (from an old backup) only 2.
    QStringList names;
    for (int i = 0; i < 40; ++i) {
        names << QString("P%1.NC").arg(i, 2, 10, QLatin1Char('0'));
        addProgram(names.last().toLower());
    }
    RecordIntake::catalogue(db(), clock, state->pendingMachines, names);
    ASSERT_FALSE(FileListFile::write(listPath(), state->verzeichnis, names.mid(0, 2)));
    addProgram("neu.nc");
    files->LoadFileListe();
    check->tick();
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().first().text, DirectoryCheck::manyKnownText(38));
    EXPECT_EQ(prompts.asked().first().title, "HINWEIS!");
    EXPECT_TRUE(logbookText().contains("Dateiname P39.NC neu erkannt, hat bereits einen Datensatz."));
    EXPECT_EQ(logbookText().count("hat bereits einen Datensatz"), 38);
    // Only the really new file gets a record and its editor.
    EXPECT_EQ(recordNames().size(), 41);
    EXPECT_EQ(editors.size(), 1);
    EXPECT_EQ(files->count(), 41);
    EXPECT_EQ(storedList().size(), 41);
}

TEST_P(DirectoryCheckTest, OneKnownFileStillOpensItsRecord)
{
    if (GetParam() == Engine::Postgres)
        GTEST_SKIP() << "on a server a record found for a new file is another station's: taken without a notice "
                        "(SharedCatalogueTest)";
    RecordIntake::catalogue(db(), clock, state->pendingMachines, {"P1.NC"});
    files->LoadFileListe();
    addProgram("p1.nc");
    check->tick();
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().first().text,
              "Der Dateiname P1.NC existiert bereits! Ich gehe zum Editieren des bekannten Datensatzes über!");
    EXPECT_EQ(editors.size(), 1);
    EXPECT_EQ(recordNames(), QStringList({"P1.NC"}));
}

TEST_P(DirectoryCheckTest, AWindows1252NameRenamedOnYesIsCataloguedByTheNextCheck)
{
    RawTreeRemover rawNames(dataDir());
    files->LoadFileListe();
    ASSERT_FALSE(writeRawFile(dataDir(), "P\xe4.NC", "G1 X1").isEmpty());
    prompts.queueAnswer(PromptAnswer::Yes);
    check->tick();
    ASSERT_EQ(prompts.titles(), QStringList({"Dateinamen umbenennen?"}));
    EXPECT_TRUE(recordNames().isEmpty());
    check->tick();
    EXPECT_EQ(recordNames(), QStringList({"PÄ.NC"}));
    EXPECT_EQ(editors.size(), 1);
    EXPECT_EQ(storedList(), QStringList({"PÄ.NC"}));
    // Through the catalogue's way from a record to its file.
    EXPECT_EQ(CatalogueNames::resolveStoredName(dataDir(), "PÄ.NC").path, dataDir() + "Pä.NC");
    EXPECT_EQ(prompts.asked().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, DirectoryCheckTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

} // namespace
} // namespace zep::test
