#include "StationFixture.h"

#include "catalogue/FileListFile.h"
#include "db/RowReader.h"
#include "db/Schema.h"
#include "station/StationInternals.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <cstdio>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

// A heap of new files at once in a running station: the check takes them in
// slices, and what the station does between slices holds.
struct DirectoryCheckSlicesStationTest : ::testing::Test, StationFixture {
    static constexpr int kFiles = 5000;

    void SetUp() override
    {
        storeDirectories();
        ASSERT_TRUE(createFreshDatabase(dbPath()));
        ASSERT_EQ(loadStation(dialogs, env.root() + "drive/"), Station::LoadOutcome::Ready);
        for (int i = 0; i < kFiles; ++i)
            env.writeFile(QString("data/N%1.NC").arg(i, 4, 10, QLatin1Char('0')), "O1");
    }
    QSet<QString> records()
    {
        QSet<QString> out;
        state->database.readRows("SELECT Dateiname FROM DateiListe", {},
                                 [&](const RowReader &r) { out.insert(r.text(0)); });
        return out;
    }
    qsizetype recordCount()
    {
        qsizetype n = 0;
        state->database.readRows("SELECT Dateiname FROM DateiListe", {}, [&](const RowReader &) { ++n; });
        return n;
    }
    QStringList storedList() { return FileListFile::read(env.programDir() + "FileListe.dat").entries; }
    void run(int msecs)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < msecs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    void expectListOnlyCatalogued(const QSet<QString> &catalogued)
    {
        const QStringList listed = storedList();
        EXPECT_EQ(QSet<QString>(listed.begin(), listed.end()), catalogued);
        EXPECT_EQ(QSet<QString>(listed.begin(), listed.end()).size(), listed.size());
    }

    NoStationDialogs dialogs;
};

TEST_F(DirectoryCheckSlicesStationTest, APauseBetweenSlicesHoldsTheRestAndTheNextTickTakesItOnce)
{
    QElapsedTimer firstSlice;
    firstSlice.start();
    station->tick();
    std::printf("[ MEASURED ] first slice of %d new files: %lld ms\n", kFiles,
                static_cast<long long>(firstSlice.elapsed()));
    const qsizetype first = recordCount();
    ASSERT_LT(first, kFiles) << "all files in one slice: this machine is too fast for the test";
    {
        const MonitoringPause pause = station->pauseMonitoring();
        run(500);
        const QSet<QString> taken = records();
        EXPECT_LT(taken.size(), kFiles);
        expectListOnlyCatalogued(taken);
    }
    station->tick();
    QElapsedTimer t;
    t.start();
    while (recordCount() < kFiles && t.elapsed() < 60000)
        run(50);
    run(100);
    EXPECT_EQ(recordCount(), kFiles);
    EXPECT_EQ(records().size(), kFiles);
    expectListOnlyCatalogued(records());
}

TEST_F(DirectoryCheckSlicesStationTest, TheStationEndingBetweenSlicesLeavesOnlyCataloguedFilesListed)
{
    station->tick();
    ASSERT_LT(recordCount(), kFiles) << "all files in one slice: this machine is too fast for the test";
    const QSet<QString> before = records();
    station.reset();
    run(200);
    const QStringList listed = storedList();
    const QSet<QString> listedSet(listed.begin(), listed.end());
    EXPECT_EQ(listedSet, before);
    EXPECT_LT(listedSet.size(), kFiles);
}

} // namespace
