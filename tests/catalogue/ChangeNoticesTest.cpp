#include "CatalogueFixture.h"

#include "catalogue/CatalogueService.h"
#include "catalogue/RecordIntake.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace zep::test {
namespace {

// What one station changes shows at the others within a second: the server
// sends a notice with each change, and each station's catalogue service
// tells it from the event loop.
struct ChangeNoticesTest : CatalogueOnEngines {
    void SetUp() override
    {
        CatalogueOnEngines::SetUp();
        if (HasFatalFailure())
            return;
        if (GetParam() != Engine::Postgres)
            GTEST_SKIP() << "a catalogue file serves one station only";
        catalogue = std::make_unique<CatalogueService>(CatalogueService::Context{
            db(), prompts, logbook, settings, *files, state->verzeichnis, state->fotoVerzeichnis, {}});
        QObject::connect(catalogue.get(), &CatalogueService::recordChanged, [this](long i) { changed << i; });
        QObject::connect(catalogue.get(), &CatalogueService::recordsAddedOrDeleted,
                         [this](const QList<long> &a, const QList<long> &d) {
                             added << a;
                             deleted << d;
                         });
        QObject::connect(catalogue.get(), &CatalogueService::machinesChanged, [this] { ++machines; });
        ASSERT_TRUE(other.openServer(db().path()));
        // The first look starts listening.
        settle(std::chrono::milliseconds(2 * CatalogueService::kNoticeLookMs));
    }
    // Runs the event loop until `done` or the time is up; the time it took.
    qint64 settle(std::chrono::milliseconds limit, const std::function<bool()> &done = [] { return false; })
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < limit.count())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        return t.elapsed();
    }

    std::unique_ptr<CatalogueService> catalogue;
    Database other; // the other station's connection
    QList<long> changed, added, deleted;
    int machines = 0;
};

TEST_P(ChangeNoticesTest, ChangesAtAnotherStationAreToldWithinASecondAndOwnOnesAreNot)
{
    PendingMachines pending;
    const RecordIntake::Result made = RecordIntake::catalogue(other, clock, pending, {"P1.NC", "P2.NC"});
    ASSERT_EQ(made.created.size(), 2);
    const long p1 = made.created.at(0).index, p2 = made.created.at(1).index;
    EXPECT_LT(settle(std::chrono::seconds(2), [&] { return added.size() == 2; }), 1000);
    EXPECT_EQ(added, QList<long>({p1, p2}));

    ASSERT_TRUE(other.execute("UPDATE DateiListe SET Kunde=? WHERE DateiIndex=?", {"Dort", qlonglong(p1)}));
    EXPECT_LT(settle(std::chrono::seconds(2), [&] { return !changed.isEmpty(); }), 1000);
    EXPECT_EQ(changed, QList<long>({p1}));
    // The line as the list shows it, read anew.
    const std::optional<RecordRow> row = catalogue->listRow(p1);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->cells[RecordRow::Kunde], "Dort");

    ASSERT_TRUE(other.execute("DELETE FROM DateiListe WHERE DateiIndex=?", {qlonglong(p2)}));
    EXPECT_LT(settle(std::chrono::seconds(2), [&] { return !deleted.isEmpty(); }), 1000);
    EXPECT_EQ(deleted, QList<long>({p2}));
    EXPECT_FALSE(catalogue->listRow(p2));

    ASSERT_TRUE(other.execute("INSERT INTO Maschinen (Bezeichnung) VALUES (?)", {"Fräse"}));
    EXPECT_LT(settle(std::chrono::seconds(2), [&] { return machines > 0; }), 1000);

    // This station's own changes are shown by whoever made them.
    changed.clear();
    added.clear();
    ASSERT_TRUE(db().execute("UPDATE DateiListe SET Kunde=? WHERE DateiIndex=?", {"Hier", qlonglong(p1)}));
    RecordIntake::catalogue(db(), clock, pending, {"P3.NC"});
    settle(std::chrono::milliseconds(600));
    EXPECT_TRUE(changed.isEmpty());
    EXPECT_TRUE(added.isEmpty());
}

TEST_P(ChangeNoticesTest, ListensAgainOnAConnectionOpenedAnew)
{
    const QString url = db().path();
    db().close();
    ASSERT_TRUE(db().openServer(url));
    settle(std::chrono::milliseconds(2 * CatalogueService::kNoticeLookMs));
    ASSERT_TRUE(other.execute("INSERT INTO DateiListe (Dateiname) VALUES (?)", {"NEU.NC"}));
    EXPECT_LT(settle(std::chrono::seconds(2), [&] { return !added.isEmpty(); }), 1000);
}

INSTANTIATE_TEST_SUITE_P(Engines, ChangeNoticesTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

} // namespace
} // namespace zep::test
