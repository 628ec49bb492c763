#include "SessionFixture.h"

#include "app/session/LoadSequence.h"
#include "db/Schema.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

struct Load : ::testing::Test, SessionFixture {
    QStringList steps;
    bool finishedWhenArmed = true;
    LoadSequence *running = nullptr;

    LoadSequence::Hooks hooks()
    {
        LoadSequence::Hooks h;
        h.status = [this](const QString &t) { steps << "status:" + t; };
        h.restoreGeometry = [this] { steps << "geometry"; };
        h.restoreColumns = [this] { steps << "columns"; };
        h.loadFileListe = [this] { steps << "LoadFileListe"; };
        h.getFileListe = [this] { steps << "GetFileListe"; };
        h.armTimer = [this](int s) {
            steps << QString("Timer1:%1").arg(s);
            finishedWhenArmed = running->finished();
        };
        h.writeHeadings = [this] { steps << "headings"; };
        h.setComm = [this] { steps << "SetComm"; };
        h.showMaschinen = [this] { steps << "ShowMaschinen"; };
        h.checkWartungen = [this] { steps << "CheckWartungen"; };
        return h;
    }

    LoadSequence::Outcome run()
    {
        LoadSequence sequence(*state, hooks(), env.root() + "drive/");
        running = &sequence;
        const auto outcome = sequence.run();
        EXPECT_EQ(sequence.finished(), outcome == LoadSequence::Outcome::Ready);
        running = nullptr;
        return outcome;
    }
};

QByteArray hashOf(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

TEST_F(Load, RunsItsStepsInTheFixedOrderAndOpensTheDatabase)
{
    storeDirectories();
    ASSERT_TRUE(createFreshDatabase(dbPath()));
    EXPECT_EQ(run(), LoadSequence::Outcome::Ready);
    const QStringList expected{"geometry",
                               "columns",
                               "status:Lese aktuelle FileListe...",
                               "LoadFileListe",
                               "Timer1:5",
                               "status:Öffne Datenbank... (" + dbPath() + ")",
                               "status:Setze Window-Defaults...",
                               "headings",
                               "status:Initialisiere Comm-Verbindungen...",
                               "SetComm",
                               "status:Maschinen eintragen...",
                               "ShowMaschinen",
                               "status:Bereit",
                               "CheckWartungen"};
    EXPECT_EQ(steps, expected);
    EXPECT_TRUE(state->database.isOpen());
    EXPECT_TRUE(prompts.asked().isEmpty());
    // The timer is armed early, but its ticks must wait for the database.
    EXPECT_FALSE(finishedWhenArmed);
}

TEST_F(Load, ReadsTheCurrentValuesWithSaneDefaultsForHandEditedNonsense)
{
    storeDirectories();
    settings.write("Settings", "Intervall", "fünf");
    settings.write("Settings", "JPGQualitaet", "0");
    ASSERT_TRUE(createFreshDatabase(dbPath()));
    run();
    EXPECT_EQ(state->intervall, 5);
    EXPECT_EQ(state->jpgQualitaet, 80);
    EXPECT_TRUE(steps.contains("Timer1:5"));

    settings.write("Settings", "Intervall", "0");
    state->database.close();
    steps.clear();
    run();
    EXPECT_TRUE(steps.contains("Timer1:5")); // never a zero-interval timer
    settings.write("Settings", "Intervall", "120");
    state->database.close();
    steps.clear();
    run();
    EXPECT_TRUE(steps.contains("Timer1:120"));
}

TEST_F(Load, MissingDatabaseEndsWithItsMessageAndChangesNothing)
{
    storeDirectories();
    EXPECT_EQ(run(), LoadSequence::Outcome::EndProgram);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "Datenbank fehlt!");
    EXPECT_TRUE(prompts.asked()[0].text.startsWith(
        "Die Datenbank CNCPRG.MDB konnte nicht geöffnet werden! Sie muß sich im Programmverzeichnis ("));
    EXPECT_TRUE(prompts.asked()[0].text.endsWith("wieder her."));
    EXPECT_FALSE(QFileInfo::exists(dbPath()));
    EXPECT_FALSE(steps.contains("SetComm"));
}

TEST_F(Load, AFileThatIsNoDatabaseIsNamedAndLeftUntouched)
{
    storeDirectories();
    QByteArray jet(4096, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    env.writeFile(dbPath(), jet);
    const QByteArray before = hashOf(dbPath());
    EXPECT_EQ(run(), LoadSequence::Outcome::EndProgram);
    ASSERT_FALSE(prompts.asked().isEmpty());
    EXPECT_TRUE(prompts.asked().last().text.contains("CNCPRG.mdb"));
    EXPECT_EQ(hashOf(dbPath()), before);
}

TEST_F(Load, FirstStartRebuildsTheFileListFromTheNewDirectory)
{
    ASSERT_TRUE(createFreshDatabase(dbPath()));
    prompts.queueAnswer(PromptAnswer::Yes);
    prompts.queueAnswer(PromptAnswer::Ok);
    prompts.queueAnswer(PromptAnswer::Ok);
    EXPECT_EQ(run(), LoadSequence::Outcome::Ready);
    EXPECT_EQ(steps.indexOf("GetFileListe"), steps.indexOf("status:Öffne Datenbank für Assistent... (" + dbPath() + ")") + 1);
    EXPECT_EQ(state->verzeichnis, env.root() + "drive/ZEP_Data/");
    EXPECT_TRUE(state->database.isOpen());
}

TEST_F(Load, OlderDatabaseIsUpgradedOnceAcrossTwoStarts)
{
    storeDirectories();
    ASSERT_TRUE(createOlderDatabase(dbPath()));
    run();
    EXPECT_EQ(prompts.messageTexts(), QStringList{"Ihre Datenbank wurde aktualisiert!"});
    state->database.close();
    prompts.clear();
    run();
    EXPECT_TRUE(prompts.asked().isEmpty());
}
