#include "CatalogueFixture.h"

#include "catalogue/DirectoryCheck.h"
#include "catalogue/FileListFile.h"
#include "catalogue/RecordIntake.h"
#include "db/JetErrors.h"
#include "db/RowReader.h"
#include "db/SharedCatalogue.h"

#include <functional>
#include <future>
#include <thread>

namespace zep::test {
namespace {

// One catalogue that several stations share: a stored name has one record,
// whichever station's insert comes first.
struct SharedCatalogueTest : CatalogueOnEngines {
    QStringList recordNames()
    {
        QStringList out;
        db().readRows("SELECT Dateiname FROM DateiListe ORDER BY DateiIndex", {},
                      [&](const RowReader &r) { out << r.text(0); });
        return out;
    }
    // A second station's own connection to the same catalogue.
    std::unique_ptr<Database> otherStation()
    {
        auto other = std::make_unique<Database>();
        const bool opened = GetParam() == Engine::Postgres ? other->openServer(db().path()) : other->open(dbPath());
        EXPECT_TRUE(opened) << qPrintable(other->lastError().description);
        return other;
    }
};

TEST_P(SharedCatalogueTest, StoredNameIsUniqueWhateverTheLetterCase)
{
    EXPECT_TRUE(db().hasIndex(SharedCatalogue::uniqueIndexName()));
    EXPECT_EQ(SharedCatalogue::ensureUniqueNames(db()), SharedCatalogue::UniqueNames::Present);
    ASSERT_TRUE(db().execute("INSERT INTO DateiListe (Dateiname) VALUES (?)", {"DREHEN\\P1.NC"}));
    EXPECT_FALSE(db().execute("INSERT INTO DateiListe (Dateiname) VALUES (?)", {"drehen\\p1.nc"}));
    EXPECT_EQ(db().lastError().number, JetErrors::DuplicateKey);
    EXPECT_EQ(recordNames(), QStringList({"DREHEN\\P1.NC"}));
}

TEST_P(SharedCatalogueTest, DoubledNamesFromOlderDaysKeepEveryRecordAndTheUpgradeGoesThrough)
{
    ASSERT_TRUE(db().executeNative("DROP INDEX " + SharedCatalogue::uniqueIndexName()));
    for (const QString &name : {"P1.NC", "P1.NC", "p1.nc", "P2.NC"})
        ASSERT_TRUE(db().execute("INSERT INTO DateiListe (Dateiname) VALUES (?)", {name}));
    EXPECT_EQ(SharedCatalogue::ensureUniqueNames(db()), SharedCatalogue::UniqueNames::Doubled);
    const SchemaCheckResult check = CheckOldDB(db());
    EXPECT_EQ(check.outcome, SchemaCheck::Current) << qPrintable(check.error.description);
    EXPECT_FALSE(db().hasIndex(SharedCatalogue::uniqueIndexName()));
    EXPECT_EQ(recordNames(), QStringList({"P1.NC", "P1.NC", "p1.nc", "P2.NC"}));
    // New files are catalogued as ever meanwhile; a doubled name finds its
    // first record.
    const RecordIntake::Result result = RecordIntake::catalogue(db(), clock, state->pendingMachines, {"P3.NC", "P1.NC"});
    ASSERT_TRUE(result.ok()) << qPrintable(result.error.description);
    ASSERT_EQ(result.created.size(), 1);
    EXPECT_EQ(result.created.first().name, "P3.NC");
    EXPECT_EQ(result.known.size() + result.byOthers.size(), 1);
    EXPECT_EQ(recordNames().size(), 5);
    // Tidied up by hand, the next start makes the index.
    qint64 keep = 0;
    db().readRows("SELECT min(DateiIndex) FROM DateiListe WHERE Dateiname=?", {"P1.NC"},
                  [&](const RowReader &r) { keep = r.integer(0); });
    ASSERT_TRUE(db().execute("DELETE FROM DateiListe WHERE Dateiname=? AND DateiIndex<>?", {"P1.NC", keep}));
    EXPECT_EQ(CheckOldDB(db()).outcome, SchemaCheck::Current);
    EXPECT_TRUE(db().hasIndex(SharedCatalogue::uniqueIndexName()));
}

TEST_P(SharedCatalogueTest, RecordMadeByAnotherStationIsTakenQuietly)
{
    if (GetParam() != Engine::Postgres)
        GTEST_SKIP() << "a catalogue file serves one station only";
    auto other = otherStation();
    const RecordIntake::Result theirs = RecordIntake::catalogue(*other, clock, state->pendingMachines, {"P1.NC"});
    ASSERT_EQ(theirs.created.size(), 1);

    files->LoadFileListe();
    addProgram("p1.nc");
    addProgram("p2.nc");
    QList<long> editors;
    DirectoryCheck check({*files, db(), prompts, clock, state->pendingMachines, {}, [&](long i) { editors << i; }});
    check.tick();
    // Only the file this station catalogued gets an editor; the other one
    // goes into the file list without a word.
    EXPECT_TRUE(prompts.asked().isEmpty());
    ASSERT_EQ(editors.size(), 1);
    EXPECT_NE(editors.first(), theirs.created.first().index);
    EXPECT_EQ(recordNames(), QStringList({"P1.NC", "P2.NC"}));
    EXPECT_EQ(FileListFile::read(listPath()).entries.size(), 2);
}

TEST_P(SharedCatalogueTest, NameBeingCataloguedElsewhereIsLeftForLaterWithoutWaiting)
{
    if (GetParam() != Engine::Postgres)
        GTEST_SKIP() << "a catalogue file serves one station only";
    // Station 1 has catalogued P1.NC and not yet committed when station 2
    // catalogues the same name: station 2 does not wait for that commit
    // (its window would), it leaves the name for its next check.
    auto first = otherStation();
    ASSERT_TRUE(first->transaction());
    bool added = false;
    RecordLookup made;
    ASSERT_FALSE(findOrAddRecord(*first, nullptr, "P1.NC", clock.now(), 0, added, made));
    ASSERT_TRUE(added);

    auto second = std::async(std::launch::async, [&] {
        Database station2;
        EXPECT_TRUE(station2.openServer(db().path()));
        PendingMachines pending;
        return RecordIntake::catalogue(station2, clock, pending, {"P0.NC", "P1.NC"});
    });
    ASSERT_EQ(second.wait_for(std::chrono::milliseconds(250)), std::future_status::ready);
    const RecordIntake::Result result = second.get();
    ASSERT_TRUE(result.ok()) << qPrintable(result.error.description);
    ASSERT_EQ(result.created.size(), 1);
    EXPECT_EQ(result.created.first().name, "P0.NC");
    EXPECT_EQ(result.deferred, QStringList({"P1.NC"}));
    EXPECT_TRUE(result.byOthers.isEmpty());

    // Once station 1 has committed, the next check takes its record.
    ASSERT_TRUE(first->commit());
    const RecordIntake::Result later = RecordIntake::catalogue(db(), clock, state->pendingMachines, {"P1.NC"});
    ASSERT_EQ(later.byOthers.size(), 1);
    EXPECT_EQ(later.byOthers.first().index, made.index);
    EXPECT_EQ(recordNames(), QStringList({"P1.NC", "P0.NC"}));
}

TEST_P(SharedCatalogueTest, InsertAtTheSameMomentYieldsToTheFirstStationsRecord)
{
    if (GetParam() != Engine::Postgres)
        GTEST_SKIP() << "a catalogue file serves one station only";
    // A record made outside the intake (no claim on the name), not yet
    // committed: the intake's insert waits on the unique index and yields
    // once the other transaction commits.
    auto first = otherStation();
    ASSERT_TRUE(first->transaction());
    ASSERT_TRUE(first->execute("INSERT INTO DateiListe (Dateiname) VALUES (?)", {"P1.NC"}));
    qint64 theirs = 0;
    first->readRows("SELECT DateiIndex FROM DateiListe WHERE Dateiname=?", {"P1.NC"},
                    [&](const RowReader &r) { theirs = r.integer(0); });

    auto second = std::async(std::launch::async, [&] {
        Database station2;
        EXPECT_TRUE(station2.openServer(db().path()));
        PendingMachines pending;
        return RecordIntake::catalogue(station2, clock, pending, {"P0.NC", "P1.NC"});
    });
    EXPECT_EQ(second.wait_for(std::chrono::milliseconds(150)), std::future_status::timeout);
    ASSERT_TRUE(first->commit());
    const RecordIntake::Result result = second.get();
    ASSERT_TRUE(result.ok()) << qPrintable(result.error.description);
    ASSERT_EQ(result.created.size(), 1);
    EXPECT_EQ(result.created.first().name, "P0.NC");
    ASSERT_EQ(result.byOthers.size(), 1);
    EXPECT_EQ(result.byOthers.first().index, theirs);
    EXPECT_EQ(recordNames(), QStringList({"P1.NC", "P0.NC"}));
}

// The whole catalogue is counted for every empty search; on a server the
// engine keeps the count, which must never drift from the records.
struct RecordCountTest : SharedCatalogueTest {
    qint64 counted()
    {
        qint64 n = -1;
        EXPECT_TRUE(db().readRows("SELECT count(*) FROM DateiListe", {}, [&](const RowReader &r) { n = r.integer(0); }));
        return n;
    }
    qint64 keptRows()
    {
        qint64 n = -1;
        EXPECT_TRUE(db().executeNative("SELECT count(*) FROM " + SharedCatalogue::countTable(), {},
                                       [&](const RowReader &r) { n = r.integer(0); }));
        return n;
    }
    // The catalogue as a server left it that had no kept count.
    void dropKeptCount()
    {
        for (const char *trigger : {"dateiliste_anzahl_neu", "dateiliste_anzahl_weg", "dateiliste_anzahl_leer"})
            ASSERT_TRUE(db().executeNative(QString("DROP TRIGGER %1 ON DateiListe").arg(trigger)));
        ASSERT_TRUE(db().executeNative("DROP TABLE " + SharedCatalogue::countTable()));
    }
    QStringList names(const QString &prefix, int n)
    {
        QStringList out;
        for (int i = 0; i < n; ++i)
            out << QString("%1%2.NC").arg(prefix).arg(i);
        return out;
    }
};

TEST_P(RecordCountTest, FollowsEveryWayRecordsComeAndGo)
{
    const bool server = GetParam() == Engine::Postgres;
    auto other = otherStation();
    const struct {
        const char *step;
        std::function<void()> run;
    } steps[] = {
        {"a new catalogue", [] {}},
        {"one record", [&] { ASSERT_TRUE(db().execute("INSERT INTO DateiListe (Dateiname) VALUES ('O''NEIL.NC')")); }},
        {"a tick's intake",
         [&] { ASSERT_TRUE(RecordIntake::catalogue(db(), clock, state->pendingMachines, names("A", 30)).ok()); }},
        {"names already there yield",
         [&] { ASSERT_TRUE(RecordIntake::catalogue(*other, clock, state->pendingMachines, names("A", 35)).ok()); }},
        {"several at once",
         [&] {
             ASSERT_TRUE(db().executeNative("INSERT INTO DateiListe (Dateiname) VALUES ('M1.NC'), ('M2.NC'), ('M3.NC')"));
         }},
        {"a rolled back transaction",
         [&] {
             ASSERT_TRUE(other->transaction());
             ASSERT_TRUE(other->execute("INSERT INTO DateiListe (Dateiname) VALUES ('WEG.NC')"));
             ASSERT_TRUE(other->execute("DELETE FROM DateiListe WHERE Dateiname LIKE 'A1*'"));
             ASSERT_TRUE(other->rollback());
         }},
        {"deleted at another station",
         [&] { ASSERT_TRUE(other->execute("DELETE FROM DateiListe WHERE Dateiname LIKE 'A2*'")); }},
        {"a record renamed", [&] { ASSERT_TRUE(db().execute("UPDATE DateiListe SET Dateiname='B.NC' WHERE Dateiname='M1.NC'")); }},
        {"one statement per record, past folding",
         [&] {
             for (const QString &name : names("E", SharedCatalogue::kCountRowsKept + 10))
                 ASSERT_TRUE(other->execute("INSERT INTO DateiListe (Dateiname) VALUES (?)", {name}));
         }},
        {"all deleted", [&] { ASSERT_TRUE(db().execute("DELETE FROM DateiListe")); }},
        {"new ones after", [&] { ASSERT_TRUE(RecordIntake::catalogue(db(), clock, state->pendingMachines, names("N", 4)).ok()); }},
        {"emptied at once",
         [&] {
             if (server)
                 ASSERT_TRUE(db().executeNative("TRUNCATE DateiListe CASCADE"));
         }},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.step);
        step.run();
        const std::optional<qint64> kept = SharedCatalogue::recordCount(db());
        ASSERT_TRUE(kept) << qPrintable(db().lastError().description);
        EXPECT_EQ(*kept, counted());
        if (server)
            EXPECT_LE(keptRows(), SharedCatalogue::kCountRowsKept + 1);
    }
}

TEST_P(RecordCountTest, MonthsOfRowsAreFoldedAFewAtATimeAndAlwaysCountRight)
{
    if (GetParam() != Engine::Postgres)
        GTEST_SKIP() << "a catalogue file is counted as it is";
    // A station nobody searched at for months: a row for each new file, and
    // for each file deleted.
    ASSERT_TRUE(db().executeNative("INSERT INTO DateiListe (Dateiname) SELECT 'P' || i || '.NC' FROM "
                                   "generate_series(1, 2500) AS i"));
    ASSERT_TRUE(db().executeNative("INSERT INTO " + SharedCatalogue::countTable()
                                   + " SELECT 1 - 2 * (i % 2) FROM generate_series(1, 3000) AS i"));
    ASSERT_GT(keptRows(), 3000);
    int counts = 0;
    while (keptRows() > SharedCatalogue::kCountRowsKept && counts < 10) {
        EXPECT_EQ(SharedCatalogue::recordCount(db()), std::optional<qint64>(2500));
        ++counts;
    }
    EXPECT_EQ(counts, 3);
    EXPECT_EQ(SharedCatalogue::recordCount(db()), std::optional<qint64>(2500));
}

TEST_P(RecordCountTest, ACatalogueFromBeforeIsCountedOnceWhenStationsStartTogether)
{
    if (GetParam() != Engine::Postgres)
        GTEST_SKIP() << "a catalogue file is counted as it is";
    // A catalogue made before the kept count, with records in it.
    ASSERT_NO_FATAL_FAILURE(dropKeptCount());
    ASSERT_TRUE(RecordIntake::catalogue(db(), clock, state->pendingMachines, names("ALT", 7)).ok());

    // Three stations upgrade it at the same moment.
    std::vector<std::future<bool>> starts;
    for (int i = 0; i < 3; ++i)
        starts.push_back(std::async(std::launch::async, [&] {
            Database station;
            return station.openServer(db().path()) && SharedCatalogue::ensureRecordCount(station);
        }));
    for (auto &start : starts)
        EXPECT_TRUE(start.get());
    EXPECT_EQ(SharedCatalogue::recordCount(db()), std::optional<qint64>(7));
    ASSERT_TRUE(RecordIntake::catalogue(db(), clock, state->pendingMachines, names("NEU", 2)).ok());
    EXPECT_EQ(SharedCatalogue::recordCount(db()), std::optional<qint64>(9));
}

TEST_P(RecordCountTest, WithoutAKeptCountTheRecordsAreCounted)
{
    if (GetParam() != Engine::Postgres)
        GTEST_SKIP() << "a catalogue file is counted as it is";
    // A role that could not make the count's table and triggers.
    ASSERT_TRUE(RecordIntake::catalogue(db(), clock, state->pendingMachines, names("P", 5)).ok());
    ASSERT_NO_FATAL_FAILURE(dropKeptCount());
    EXPECT_EQ(SharedCatalogue::recordCount(db()), std::optional<qint64>(5));
    // Inside a transaction too, which a failed look at the count would spoil.
    ASSERT_TRUE(db().transaction());
    EXPECT_EQ(SharedCatalogue::recordCount(db()), std::optional<qint64>(5));
    EXPECT_TRUE(db().execute("INSERT INTO DateiListe (Dateiname) VALUES ('IN.NC')"));
    EXPECT_TRUE(db().commit());
    EXPECT_EQ(counted(), 6);
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordCountTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

INSTANTIATE_TEST_SUITE_P(Engines, SharedCatalogueTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

} // namespace
} // namespace zep::test
