#include "CatalogueFixture.h"

#include "catalogue/DirectoryCheck.h"
#include "catalogue/FileListFile.h"
#include "db/Database.h"
#include "db/RowReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QTimer>

namespace zep::test {
namespace {

// Many new files at once: the check takes them in slices that each keep the
// window's thread only briefly, on either engine.
struct DirectoryCheckSlicesTest : CatalogueOnEngines {
    static constexpr int kFiles = 200;

    void SetUp() override
    {
        CatalogueOnEngines::SetUp();
        if (HasFatalFailure())
            return;
        files->LoadFileListe();
        for (int i = 0; i < kFiles; ++i)
            addProgram(QString("neu%1.nc").arg(i, 3, 10, QLatin1Char('0')));
        check = makeCheck(*files);
    }

    std::unique_ptr<DirectoryCheck> makeCheck(MonitoredDirectory &directory)
    {
        // A budget of a millisecond makes slices of a file or a few.
        return std::make_unique<DirectoryCheck>(DirectoryCheck::Context{
            directory, db(), prompts, clock, state->pendingMachines, {}, [this](long index) { editors << index; },
            &logbook, [this](const QString &t) { statusLines << t; },
            [this] {
                ++asked;
                return goOn();
            },
            1});
    }

    QStringList recordNames()
    {
        QStringList out;
        db().readRows("SELECT Dateiname FROM DateiListe", {}, [&](const RowReader &r) { out << r.text(0); });
        return out;
    }
    QSet<QString> recordSet()
    {
        const QStringList names = recordNames();
        return {names.begin(), names.end()};
    }
    QStringList storedList() { return FileListFile::read(listPath()).entries; }
    // The list on disk names only files that have their record, each once.
    void expectListOnlyCatalogued()
    {
        const QStringList listed = storedList();
        const QSet<QString> listedSet(listed.begin(), listed.end());
        EXPECT_EQ(listedSet.size(), listed.size());
        EXPECT_EQ(listedSet, recordSet());
    }
    bool runUntil(const std::function<bool()> &done, int msecs = 60000)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < msecs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    }
    void expectAllOnce()
    {
        const QStringList names = recordNames();
        EXPECT_EQ(names.size(), kFiles);
        EXPECT_EQ(recordSet().size(), kFiles);
        EXPECT_EQ(storedList().size(), kFiles);
        expectListOnlyCatalogued();
    }

    std::unique_ptr<DirectoryCheck> check;
    std::function<bool()> goOn = [] { return true; };
    int asked = 0;
    QList<long> editors;
};

TEST_P(DirectoryCheckSlicesTest, ManyNewFilesAreCataloguedOnceInSlicesWithTheEventLoopBetween)
{
    // Before every further slice the list on disk holds only catalogued files.
    goOn = [this] {
        expectListOnlyCatalogued();
        return true;
    };
    check->tick();
    ASSERT_TRUE(check->running());
    const qsizetype afterFirst = recordNames().size();
    EXPECT_GE(afterFirst, 1);
    EXPECT_LT(afterFirst, kFiles);
    expectListOnlyCatalogued();

    // An event posted now runs before the last file is taken.
    qsizetype whenQueuedRan = -1;
    QTimer::singleShot(0, [&] { whenQueuedRan = recordNames().size(); });
    // Ticks that come meanwhile walk nothing twice.
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] { check->tick(); });
    ticks.start(1);
    ASSERT_TRUE(runUntil([&] { return !check->running(); }));
    ticks.stop();
    check->tick();
    ASSERT_TRUE(runUntil([&] { return !check->running(); }));

    EXPECT_GE(whenQueuedRan, afterFirst);
    EXPECT_LT(whenQueuedRan, kFiles);
    EXPECT_GE(asked, 2);
    expectAllOnce();
    EXPECT_EQ(editors.size(), kFiles);
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_P(DirectoryCheckSlicesTest, APauseBetweenSlicesHoldsTheRestUntilTheNextTick)
{
    bool paused = false;
    goOn = [&] { return !paused; };
    check->tick();
    ASSERT_TRUE(check->running());
    paused = true;
    ASSERT_TRUE(runUntil([&] { return !check->running(); }));
    const qsizetype taken = recordNames().size();
    EXPECT_LT(taken, kFiles);
    // Only the catalogued files are listed; the others wait off the list.
    expectListOnlyCatalogued();
    EXPECT_EQ(files->count(), taken);
    runUntil([] { return false; }, 50);
    EXPECT_EQ(recordNames().size(), taken);

    // The pause over, the next tick finds the rest new and takes it.
    paused = false;
    check->tick();
    ASSERT_TRUE(runUntil([&] { return !check->running(); }));
    expectAllOnce();
}

TEST_P(DirectoryCheckSlicesTest, StoppedMidwayTheListHoldsOnlyTheCataloguedAndTheNextRunTakesTheRest)
{
    check->tick();
    ASSERT_TRUE(check->running());
    // The station ends between slices: the slice on its way finds nobody.
    check.reset();
    runUntil([] { return false; }, 50);
    const qsizetype taken = recordNames().size();
    EXPECT_LT(taken, kFiles);
    expectListOnlyCatalogued();

    // The next run reads FileListe.dat and finds the rest new.
    MonitoredDirectory again({prompts, logbook, env.programDir(), state->verzeichnis, {}});
    again.LoadFileListe();
    EXPECT_EQ(again.count(), taken);
    check = makeCheck(again);
    check->tick();
    ASSERT_TRUE(runUntil([&] { return !check->running(); }));
    expectAllOnce();
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Engines, DirectoryCheckSlicesTest, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         engineName);

} // namespace zep::test
