#include "CatalogueFixture.h"

#include "catalogue/DirectoryCheck.h"
#include "catalogue/FileListFile.h"
#include "catalogue/RecordIntake.h"
#include "db/JetErrors.h"
#include "db/RowReader.h"
#include "db/SharedCatalogue.h"

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

INSTANTIATE_TEST_SUITE_P(Engines, SharedCatalogueTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

} // namespace
} // namespace zep::test
