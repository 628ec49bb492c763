#include "BackupFixture.h"

#include "backup/DatabaseSnapshot.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QStandardPaths>

using namespace zep;
using namespace zep::test;

namespace {

struct CatalogueBackup : BackupFixture {
    QString dbPath() const { return program() + "CNCPRG.mdb"; }

    void SetUp() override
    {
        QDir().mkpath(program());
        ErrorInfo error;
        ASSERT_TRUE(createFreshDatabase(dbPath(), &error)) << error.description;
        ASSERT_TRUE(db.open(dbPath())) << db.lastError().description;
        ASSERT_TRUE(db.transaction());
        for (int i = 0; i < 2000; ++i)
            ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Kunde) VALUES (?, ?)",
                                   {QStringLiteral("P%1.NC").arg(i), QStringLiteral("Kunde %1").arg(i % 7)}));
        ASSERT_TRUE(db.commit());
        write(daten() + "P1.NC", "G1");
        write(fotos() + "F.jpg", "jpg");
    }

    // The records of a catalogue file, read by a connection of its own.
    static int records(const QString &file)
    {
        Database copy;
        if (!copy.open(file))
            return -1;
        auto rows = copy.openRecordset("SELECT count(*) AS n FROM DateiListe", RecordsetType::Snapshot);
        return rows && !rows->eof() ? rows->value("n").toInt() : -1;
    }

    Database db;
};

} // namespace

TEST_F(CatalogueBackup, CatalogueIsArchivedAsAConsistentCopyWhileASearchRuns)
{
    // A search half way through its rows, and a change not yet committed:
    // the copy holds every committed record and nothing else, and the
    // program's own connection stays open and usable.
    auto search = db.openRecordset("SELECT * FROM DateiListe WHERE Kunde LIKE 'Kunde 3'", RecordsetType::Snapshot);
    ASSERT_TRUE(search);
    search->moveNext();
    ASSERT_TRUE(db.transaction());
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname) VALUES ('NEU.NC')"));
    // The engine's side file must not land beside the copy in the archive.
    write(program() + "CNCPRG.mdb-journal", "alt");

    const BackupOutcome outcome = BackupRun(plan()).run();
    EXPECT_TRUE(outcome.ok()) << outcome.errors.join('\n');
    ASSERT_TRUE(db.rollback());
    EXPECT_TRUE(db.isOpen());
    EXPECT_FALSE(search->eof());

    const QString archive = archiveOf(program());
    EXPECT_EQ(entries(archive), QStringList({"CNCPRG.mdb"}));
    const QString restored = env.root() + "restored/CNCPRG.mdb";
    write(restored, entry(archive, "CNCPRG.mdb"));
    EXPECT_EQ(records(restored), 2000);
    if (!QStandardPaths::findExecutable("sqlite3").isEmpty())
        EXPECT_EQ(runTool("sqlite3", {restored, "PRAGMA integrity_check"}).trimmed(), "ok");
}

TEST_F(CatalogueBackup, SnapshotWaitsForAWriterAndFailsOnANonDatabase)
{
    const QString target = env.root() + "copy.mdb";
    QString error;
    ASSERT_TRUE(snapshotDatabase(dbPath(), target, &error)) << error;
    EXPECT_EQ(records(target), 2000);

    write(env.root() + "kaputt.mdb", QByteArray(4096, 'x'));
    EXPECT_FALSE(snapshotDatabase(env.root() + "kaputt.mdb", env.root() + "copy2.mdb", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(snapshotDatabase(env.root() + "fehlt.mdb", env.root() + "copy3.mdb", &error));
    EXPECT_FALSE(QFileInfo::exists(env.root() + "fehlt.mdb"));
}

TEST_F(CatalogueBackup, CatalogueThatCannotBeCopiedKeepsTheLastGoodOneInTheArchive)
{
    ASSERT_TRUE(BackupRun(plan()).run().ok());
    db.close();
    write(dbPath(), QByteArray(4096, 'x')); // ruined on disk
    const BackupOutcome outcome = BackupRun(plan()).run();
    ASSERT_EQ(outcome.errors.size(), 1);
    EXPECT_TRUE(outcome.errors[0].startsWith("Die Datenbank '" + dbPath() + "' konnte nicht gesichert werden: "));
    const QString restored = env.root() + "restored/CNCPRG.mdb";
    write(restored, entry(archiveOf(program()), "CNCPRG.mdb"));
    EXPECT_EQ(records(restored), 2000);
}
