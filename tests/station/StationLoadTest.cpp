#include "StationFixture.h"

#include "comm/CommStation.h"
#include "station/Station.h"
#include "db/Schema.h"
#include "station/StationInternals.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

// Dialogs the first start may open; none is expected in a regular start.
struct NoDialogs : StationDialogs {
    QStringList opened;
    void openSettingsDialog() override { opened << "settings"; }
    void openWizard() override { opened << "wizard"; }
};

struct Load : ::testing::Test, StationFixture {
    QStringList steps;
    NoDialogs dialogs;
    bool monitoringBeforeDatabase = false;

    Load()
    {
        QObject::connect(station.get(), &Station::statusChanged, [this](const QString &t) {
            steps << "status:" + t;
            if (t.startsWith("Öffne Datenbank..."))
                monitoringBeforeDatabase = station->monitoring() && !station->loaded();
        });
        QObject::connect(station.get(), &Station::machineListChanged, [this] { steps << "ShowMaschinen"; });
    }

    Station::LoadOutcome run()
    {
        const auto outcome = loadStation(dialogs, env.root() + "drive/");
        EXPECT_EQ(station->loaded(), outcome == Station::LoadOutcome::Ready);
        return outcome;
    }
    int interval() const { return station->findChild<QTimer *>("Timer1")->interval() / 1000; }
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
    EXPECT_EQ(run(), Station::LoadOutcome::Ready);
    const QStringList expected{"status:Lese aktuelle FileListe...",
                               "status:Öffne Datenbank... (" + dbPath() + ")",
                               "status:Setze Window-Defaults...",
                               "status:Initialisiere Comm-Verbindungen...",
                               "status:Maschinen eintragen...",
                               "ShowMaschinen",
                               "status:Bereit"};
    EXPECT_EQ(steps, expected);
    EXPECT_TRUE(state->database.isOpen());
    EXPECT_TRUE(prompts.asked().isEmpty());
    EXPECT_TRUE(dialogs.opened.isEmpty());
    EXPECT_EQ(interval(), 5);
    EXPECT_TRUE(station->findChild<QTimer *>("ComTimer")->isActive());
    // The timer is armed early, but its ticks must wait for the database.
    EXPECT_TRUE(monitoringBeforeDatabase);
    EXPECT_EQ(StationInternals::comm(*station).lamp(0).colour, LampColour::Grey);
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
    EXPECT_EQ(interval(), 5);

    settings.write("Settings", "Intervall", "0");
    state->database.close();
    run();
    EXPECT_EQ(interval(), 5); // never a zero-interval timer
    settings.write("Settings", "Intervall", "120");
    state->database.close();
    run();
    EXPECT_EQ(interval(), 120);
}

TEST_F(Load, MissingDatabaseEndsWithItsMessageAndChangesNothing)
{
    storeDirectories();
    EXPECT_EQ(run(), Station::LoadOutcome::EndProgram);
    EXPECT_FALSE(station->monitoring());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "Datenbank fehlt!");
    EXPECT_TRUE(prompts.asked()[0].text.startsWith(
        "Die Datenbank CNCPRG.MDB konnte nicht geöffnet werden! Sie muß sich im Programmverzeichnis ("));
    EXPECT_TRUE(prompts.asked()[0].text.endsWith("wieder her."));
    EXPECT_FALSE(QFileInfo::exists(dbPath()));
    EXPECT_FALSE(steps.contains("status:Initialisiere Comm-Verbindungen..."));
}

TEST_F(Load, AFileThatIsNoDatabaseIsNamedAndLeftUntouched)
{
    storeDirectories();
    QByteArray jet(4096, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    env.writeFile(dbPath(), jet);
    const QByteArray before = hashOf(dbPath());
    EXPECT_EQ(run(), Station::LoadOutcome::EndProgram);
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
    EXPECT_EQ(run(), Station::LoadOutcome::Ready);
    EXPECT_TRUE(steps.contains("status:Öffne Datenbank für Assistent... (" + dbPath() + ")"));
    EXPECT_EQ(state->verzeichnis, env.root() + "drive/ZEP_Data/");
    EXPECT_TRUE(QFileInfo::exists(env.programDir() + "FileListe.dat"));
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
