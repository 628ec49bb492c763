#include "BackupFixture.h"

#include "app/IniSettingsStore.h"
#include "backup/ServerDump.h"
#include "db/Database.h"
#include "db/RowReader.h"
#include "db/Schema.h"
#include "support/PostgresServer.h"

#include <QDateTime>
#include <QSettings>

namespace zep::test {
namespace {

// A station whose catalogue lives on the server: the backup archives the
// server's dump where the catalogue file would be.
struct ServerCatalogueBackupTest : BackupFixture, PostgresDatabase {
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(takeFreshDatabase());
        ASSERT_TRUE(db.openServer(url)) << qPrintable(db.lastError().description);
        ASSERT_EQ(CheckOldDB(db).outcome, SchemaCheck::Upgraded);
        write(program() + "FileListe.dat", "Liste");
        write(daten() + "p1.nc", "%\nM30\n");
        write(fotos() + "f.jpg", "jpg");
    }

    BackupPlan serverPlan() const
    {
        BackupPlan p = plan();
        p.catalogueServer = url;
        return p;
    }

    static QStringList records(Database &on)
    {
        QStringList out;
        EXPECT_TRUE(on.readRows("SELECT DateiIndex, Dateiname, Kunde, Datum FROM DateiListe ORDER BY DateiIndex", {},
                                [&](const RowReader &r) {
                                    out << r.text(0) + "|" + r.text(1) + "|" + (r.isNull(2) ? "∅" : r.text(2)) + "|"
                                               + r.text(3);
                                }))
            << qPrintable(on.lastError().description);
        return out;
    }

    Database db;
};

TEST_F(ServerCatalogueBackupTest, TheServersDumpIsArchivedAndRestoresToTheSameCatalogue)
{
    ASSERT_FALSE(findDumpProgram().isEmpty()) << "pg_dump is part of the postgresql packages";
    for (const auto &[name, kunde] : QList<std::pair<QString, QVariant>>{
             {"Drehen/Welle.nc", "Müller & Söhne"}, {"Fräsen/Deckel.nc", "O'Brien"}, {"leer.nc", QVariant()}})
        ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Kunde, Datum) VALUES (?, ?, ?)",
                               {name, kunde, QDateTime(QDate(2026, 12, 7), QTime(9, 30))}));
    ASSERT_TRUE(db.execute("INSERT INTO Maschinen (Bezeichnung) VALUES ('Drehbank Süd')"));

    BackupRun run(serverPlan());
    const BackupOutcome outcome = run.run();
    ASSERT_TRUE(outcome.ok()) << qPrintable(outcome.errors.join("\n") + outcome.fatal);

    const QString archive = archiveOf(program());
    EXPECT_EQ(entries(archive), (QStringList{"CNCPRG.dump", "FileListe.dat"}));
    EXPECT_TRUE(testArchive(archive));
    const QString dump = write(env.root() + "restore/CNCPRG.dump", entry(archive, "CNCPRG.dump"));

    // Into a fresh database, with the server's own tool.
    auto &server = PostgresServer::shared();
    const QString fresh = server.createDatabase();
    ASSERT_FALSE(fresh.isEmpty());
    const QString pgRestore = QFileInfo(findDumpProgram()).absolutePath() + "/pg_restore";
    QProcess restore;
    // As the README says: by the stations' role, into a database set up
    // as for the first start.
    restore.start(pgRestore, {"--no-password", "--exit-on-error", "--no-owner", "--no-comments",
                              "--dbname=" + server.url(fresh), dump});
    ASSERT_TRUE(restore.waitForFinished(60000));
    ASSERT_EQ(restore.exitCode(), 0) << restore.readAllStandardError().constData();

    Database restored;
    ASSERT_TRUE(restored.openServer(server.url(fresh)));
    const QStringList original = records(db);
    EXPECT_EQ(original.size(), 3);
    EXPECT_EQ(records(restored), original);
    EXPECT_EQ(server.query(fresh, "SELECT Bezeichnung FROM Maschinen"), "Drehbank Süd");
    // The restored catalogue is one a station can work on at once.
    EXPECT_EQ(CheckOldDB(restored).outcome, SchemaCheck::Current);
    ASSERT_TRUE(restored.execute("INSERT INTO DateiListe (Dateiname) VALUES ('neu.nc')"));
    EXPECT_EQ(server.query(fresh, "SELECT DateiIndex FROM DateiListe WHERE Dateiname = 'neu.nc'"), "4");
}

TEST_F(ServerCatalogueBackupTest, NoDumpIsAnErrorInTheResultNotASuccess)
{
    const struct {
        const char *what;
        QString server;
        QString program;
        const char *says;
    } cases[] = {
        {"no pg_dump", url, env.root() + "nicht/da/pg_dump", "pg_dump wurde nicht gefunden"},
        {"server unreachable", "postgresql://zep@/zep?host=/nonexistent/socket/dir", {}, "pg_dump meldet einen Fehler"},
        {"no such catalogue", PostgresServer::shared().url("gibt_es_nicht"), {}, "gibt_es_nicht"},
    };
    for (const auto &c : cases) {
        BackupPlan p = plan();
        p.catalogueServer = c.server;
        p.dumpProgram = c.program;
        const BackupOutcome outcome = BackupRun(p).run();
        EXPECT_FALSE(outcome.ok()) << c.what;
        ASSERT_EQ(outcome.errors.size(), 1) << c.what << ": " << qPrintable(outcome.errors.join("\n"));
        EXPECT_TRUE(outcome.errors.first().startsWith("Der Katalog auf dem Server '" + c.server
                                                      + "' konnte nicht gesichert werden: "))
            << qPrintable(outcome.errors.first());
        EXPECT_TRUE(outcome.errors.first().contains(c.says)) << c.what << ": " << qPrintable(outcome.errors.first());
        // The rest of the backup is still made.
        EXPECT_EQ(outcome.archives, 3) << c.what;
        EXPECT_FALSE(entries(archiveOf(program())).contains("CNCPRG.dump")) << c.what;
    }
}

TEST_F(ServerCatalogueBackupTest, TheSettingOfAServerCatalogueSelectsTheDump)
{
    const QString ini = env.root() + "ZEP.ini";
    const struct {
        QString setting;
        QString server;
    } cases[] = {{"", ""}, {"CNCPRG.mdb", ""}, {"  " + url + " ", url}};
    for (const auto &c : cases) {
        QFile::remove(ini);
        IniSettingsStore store(ini);
        store.write("Settings", "Datenbank", c.setting);
        EXPECT_EQ(BackupPlan::fromSettings(store, program()).catalogueServer, c.server) << qPrintable(c.setting);
    }
}

} // namespace
} // namespace zep::test
