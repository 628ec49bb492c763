#include "StationFixture.h"

#include "catalogue/MonitoredDirectory.h"
#include "catalogue/UnrecordedFiles.h"
#include "db/Database.h"
#include "db/RowReader.h"
#include "db/Schema.h"

#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

// A shop's archive that was in the monitored directory before the program
// was pointed at it.
struct UnrecordedFilesTest : ::testing::Test, StationFixture {
    void SetUp() override
    {
        storeDirectories();
        ASSERT_TRUE(createFreshDatabase(dbPath()));
        for (int i = 0; i < 30; ++i)
            env.writeFile(QString("data/Archiv/p%1.nc").arg(i), "O1");
        env.writeFile("data/Müller.nc", "O2");
        QObject::connect(station.get(), &Station::recordCreated, [this](long) { ++editors; });
        QObject::connect(station.get(), &Station::statusChanged, [this](const QString &t) { status << t; });
    }
    Station::LoadOutcome load() { return loadStation(dialogs, env.root() + "drive/"); }
    QList<std::pair<QString, QString>> records()
    {
        QList<std::pair<QString, QString>> out;
        state->database.readRows("SELECT Dateiname, Bezeichnung FROM DateiListe ORDER BY Dateiname", {},
                                 [&](const RowReader &r) { out.append({r.text(0), r.text(1)}); });
        return out;
    }

    NoStationDialogs dialogs;
    int editors = 0;
    QStringList status;
};

TEST_F(UnrecordedFilesTest, ArchiveFoundAtStartIsOfferedAndCataloguedInOneGo)
{
    prompts.queueAnswer(PromptAnswer::Yes);
    ASSERT_EQ(load(), Station::LoadOutcome::Ready);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().first().text, UnrecordedFiles::questionText(31));
    EXPECT_EQ(prompts.asked().first().buttons, PromptButtons::YesNo);
    const auto made = records();
    ASSERT_EQ(made.size(), 31);
    EXPECT_EQ(made.last().first, "MÜLLER.NC");
    for (const auto &[name, bezeichnung] : made)
        EXPECT_EQ(bezeichnung, "Neue Datei");
    // No editor for each of them, and the progress was shown.
    EXPECT_EQ(editors, 0);
    EXPECT_TRUE(status.contains(UnrecordedFiles::progressText(31, 31)));
    // Nothing left to offer, nothing new at the first tick.
    prompts.clear();
    station->rescan();
    EXPECT_EQ(prompts.titles(), QStringList({"ZEP"}));
    station->tick();
    EXPECT_EQ(records().size(), 31);
}

TEST_F(UnrecordedFilesTest, DeclinedAtStartIsOfferedAgainByCtrlN)
{
    ASSERT_EQ(load(), Station::LoadOutcome::Ready); // No, the cautious answer
    EXPECT_TRUE(records().isEmpty());
    prompts.clear();
    prompts.queueAnswer(PromptAnswer::Ok);
    prompts.queueAnswer(PromptAnswer::Yes);
    station->rescan();
    EXPECT_EQ(prompts.titles(), QStringList({"ZEP", "Dateien ohne Datensatz"}));
    EXPECT_EQ(records().size(), 31);
}

TEST_F(UnrecordedFilesTest, CatalogueRestoredFromAnOlderBackupGetsTheMissingRecords)
{
    prompts.queueAnswer(PromptAnswer::Yes);
    ASSERT_EQ(load(), Station::LoadOutcome::Ready);
    ASSERT_EQ(records().size(), 31);
    // The backup knew only one of them.
    ASSERT_TRUE(state->database.execute("DELETE FROM DateiListe WHERE Dateiname <> 'MÜLLER.NC'"));
    prompts.clear();
    prompts.queueAnswer(PromptAnswer::Ok);
    prompts.queueAnswer(PromptAnswer::Yes);
    station->rescan();
    EXPECT_EQ(prompts.asked().last().text, UnrecordedFiles::questionText(30));
    EXPECT_EQ(records().size(), 31);
}

} // namespace
