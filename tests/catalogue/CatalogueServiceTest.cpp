#include "CatalogueFixture.h"
#include "RecordRows.h"

#include "catalogue/CatalogueService.h"
#include "catalogue/ProgramRename.h"
#include "catalogue/RecordSession.h"

#include <QDir>
#include <QFileInfo>

namespace zep::test {
namespace {

struct CatalogueServiceTest : CatalogueOnEngines {
    void SetUp() override
    {
        CatalogueOnEngines::SetUp();
        catalogue = std::make_unique<CatalogueService>(CatalogueService::Context{
            db(), prompts, logbook, settings, *files, state->verzeichnis, state->fotoVerzeichnis, {}});
    }
    long addRecord(const QString &name, long machine = 0) { return insertRecord(db(), name, machine); }
    QVariant column(long index, const QString &name) { return recordColumn(db(), index, name); }
    void photo(const QString &name) { env.writeFile("fotos/" + name, name.toLatin1()); }
    QStringList photos() { return QDir(fotoDir()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name); }
    QStringList programs() { return QDir(dataDir()).entryList(QDir::Files, QDir::Name); }

    // A session whose record has been read.
    std::unique_ptr<RecordSession> openRead(long index)
    {
        auto session = catalogue->openRecord(index);
        std::optional<RecordSession::Loaded> loaded;
        session->load([&](RecordSession::Loaded l, const RecordFields &) { loaded = l; });
        EXPECT_EQ(loaded, RecordSession::Loaded::Read);
        return session;
    }

    std::unique_ptr<CatalogueService> catalogue;
};

TEST_P(CatalogueServiceTest, ARenameThatFailsPutsEverythingBackAndARetryAfterTheCauseIsGoneRenames)
{
    addProgram("A1");
    const long index = addRecord("A1");
    photo("Foto_A1_1.jpg");
    photo("Foto_A1_4.jpg");
    // A folder under photo 4's new name: the rename fails after the file and
    // photo 1 have moved.
    QDir().mkpath(fotoDir() + "Foto_B2_4.jpg");
    auto session = openRead(index);

    prompts.holdQuestions(true);
    std::optional<RecordSession::Renamed> outcome;
    session->rename("B2", [&](RecordSession::Renamed r) { outcome = r; });
    // The retry report waits; nothing half-done stays meanwhile.
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    const Question retry = prompts.heldQuestions().first();
    EXPECT_EQ(retry.buttons, PromptButtons::RetryCancel);
    EXPECT_TRUE(retry.text.contains("Aufgetreten in Form3.Text1_Validate"));
    EXPECT_TRUE(retry.text.contains("Foto_A1_4.jpg"));
    EXPECT_EQ(retry.unattended, PromptAnswer::Cancel);
    EXPECT_FALSE(outcome.has_value());
    EXPECT_TRUE(session->renaming());
    EXPECT_EQ(programs(), QStringList{"A1"});
    EXPECT_EQ(photos(), (QStringList{"Foto_A1_1.jpg", "Foto_A1_4.jpg", "Foto_B2_4.jpg"}));
    EXPECT_EQ(column(index, "Dateiname").toString(), "A1");
    // A second leaving of the field while the report is open starts nothing.
    session->rename("C3", [&](RecordSession::Renamed) { ADD_FAILURE() << "second rename"; });
    EXPECT_EQ(prompts.heldQuestions().size(), 1);

    // The user clears the way and retries.
    ASSERT_TRUE(QDir(fotoDir() + "Foto_B2_4.jpg").removeRecursively());
    prompts.answerHeld(0, PromptAnswer::Retry);
    EXPECT_EQ(outcome, RecordSession::Renamed::Done);
    EXPECT_FALSE(session->renaming());
    EXPECT_EQ(session->storedName(), "B2");
    EXPECT_EQ(programs(), QStringList{"B2"});
    EXPECT_EQ(photos(), (QStringList{"Foto_B2_1.jpg", "Foto_B2_4.jpg"}));
    EXPECT_EQ(column(index, "Dateiname").toString(), "B2");
}

TEST_P(CatalogueServiceTest, ACancelledRetryOrATakenNameKeepsTheOldName)
{
    addProgram("A1");
    addProgram("TAKEN.NC");
    const long index = addRecord("A1");
    photo("Foto_A1_1.jpg");
    QDir().mkpath(fotoDir() + "Foto_B2_1.jpg");
    auto session = openRead(index);

    std::optional<RecordSession::Renamed> outcome;
    prompts.queueAnswer(PromptAnswer::Cancel);
    session->rename("B2", [&](RecordSession::Renamed r) { outcome = r; });
    EXPECT_EQ(outcome, RecordSession::Renamed::Refused);
    EXPECT_EQ(session->storedName(), "A1");
    EXPECT_EQ(programs(), (QStringList{"A1", "TAKEN.NC"}));
    EXPECT_EQ(photos(), (QStringList{"Foto_A1_1.jpg", "Foto_B2_1.jpg"}));
    EXPECT_EQ(column(index, "Dateiname").toString(), "A1");

    prompts.clear();
    outcome.reset();
    session->rename("taken.nc", [&](RecordSession::Renamed r) { outcome = r; });
    EXPECT_EQ(outcome, RecordSession::Renamed::Refused);
    EXPECT_EQ(prompts.messageTexts(), QStringList{"Dieser Dateiname existiert bereits!"});
    EXPECT_EQ(programs(), (QStringList{"A1", "TAKEN.NC"}));

    outcome.reset();
    session->rename("a1", [&](RecordSession::Renamed r) { outcome = r; });
    EXPECT_EQ(outcome, RecordSession::Renamed::Unchanged);
}

TEST_P(CatalogueServiceTest, ARecordWhoseMachineWasDeletedIsOfferedToDropIt)
{
    ASSERT_TRUE(db().execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES ('DMU 50', 'Halle 1')"));
    const long kept = addRecord("KEPT.NC", 1);
    const long gone = addRecord("GONE.NC", 7);
    const long declined = addRecord("DECLINED.NC", 7);

    // A machine that exists: nothing to ask.
    openRead(kept);
    EXPECT_TRUE(prompts.asked().isEmpty());
    EXPECT_EQ(column(kept, "MaschinenIndex").toLongLong(), 1);

    prompts.holdQuestions(true);
    auto session = openRead(gone);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions().first().buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompts.heldQuestions().first().title, "Achtung!");
    EXPECT_EQ(column(gone, "MaschinenIndex").toLongLong(), 7);
    prompts.answerHeld(0, PromptAnswer::Yes);
    EXPECT_EQ(column(gone, "MaschinenIndex").toLongLong(), 0);

    openRead(declined);
    prompts.answerHeld(0, PromptAnswer::No);
    EXPECT_EQ(column(declined, "MaschinenIndex").toLongLong(), 7);

    // An answer that comes after the editor has closed stores nothing.
    auto closed = openRead(declined);
    closed.reset();
    prompts.answerHeld(0, PromptAnswer::Yes);
    EXPECT_EQ(column(declined, "MaschinenIndex").toLongLong(), 7);
}

TEST_P(CatalogueServiceTest, AProgramFileIsFoundDoubledOrMissing)
{
    addProgram("EINS.NC");
    addProgram("Drehen/ZWEI.NC");
    addProgram("twin.nc");
    addProgram("TWIN.NC");
    const struct {
        const char *stored;
        ProgramFile::State state;
        const char *path;  // below the monitored directory
        const char *title; // of the notice
    } cases[] = {
        {"EINS.NC", ProgramFile::State::Found, "EINS.NC", ""},
        {"eins.nc", ProgramFile::State::Found, "EINS.NC", ""},
        {"DREHEN\\ZWEI.NC", ProgramFile::State::Found, "Drehen/ZWEI.NC", ""},
        {"TWIN.NC", ProgramFile::State::Doubled, "", "Datei doppelt!"},
        {"DREI.NC", ProgramFile::State::Missing, "", "Datei fehlt!"},
        {"FRAESEN\\DREI.NC", ProgramFile::State::Missing, "", "Datei fehlt!"},
    };
    for (const auto &c : cases) {
        const ProgramFile file = catalogue->programFile(c.stored);
        EXPECT_EQ(file.state, c.state) << c.stored;
        EXPECT_EQ(file.path, *c.path ? dataDir() + c.path : QString()) << c.stored;
        EXPECT_EQ(file.notice.title, c.title) << c.stored;
        if (c.state == ProgramFile::State::Missing)
            EXPECT_TRUE(file.notice.text.endsWith("' konnte nicht gefunden werden!")) << c.stored;
    }
}

} // namespace
INSTANTIATE_TEST_SUITE_P(Engines, CatalogueServiceTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

} // namespace zep::test
