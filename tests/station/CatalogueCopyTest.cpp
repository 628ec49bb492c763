#include "app/InstanceLock.h"
#include "db/CatalogueCopy.h"
#include "db/CatalogueSchema.h"
#include "db/Database.h"
#include "db/RowReader.h"
#include "db/Schema.h"
#include "db/SharedCatalogue.h"
#include "station/CatalogueCopyCommand.h"
#include "support/PostgresServer.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace zep::test {
namespace {

// What a station's catalogue file holds after years of use: records with
// umlauts, ß, apostrophes, dates and empty values, gaps in the keys where
// records were deleted, machines with their maintenance, and a table of the
// shop's own.
struct CatalogueCopyTest : PostgresTest {
    void SetUp() override
    {
        PostgresTest::SetUp();
        QDir().mkpath(env.programDir());
        ErrorInfo error;
        ASSERT_TRUE(createFreshDatabase(file(), &error)) << qPrintable(error.description);
        ASSERT_TRUE(source.open(file()));
    }

    QString file() const { return env.programDir() + "CNCPRG.mdb"; }

    void fill(int records)
    {
        ASSERT_TRUE(source.transaction());
        const QStringList customers{"Müller & Söhne", "Straßenbau Weiß", "O'Brien's Werkstatt", "", "ÄÖÜ äöü ß"};
        for (int i = 1; i <= records; ++i) {
            const QVariant datum = i % 7 == 0 ? QVariant() : QVariant(QDateTime(QDate(2020, 1, 1).addDays(i), QTime(i % 24, 30, 15)));
            ASSERT_TRUE(source.execute("INSERT INTO DateiListe (Dateiname, Bezeichnung, Kunde, Datum, Aufspannung, "
                                       "MaschinenIndex) VALUES (?, ?, ?, ?, ?, ?)",
                                       {QString("Drehen/P%1.nc").arg(i, 6, 10, QChar('0')),
                                        i % 5 == 0 ? QVariant() : QVariant(QString("Welle Ø%1 'lang' \"neu\"").arg(i)),
                                        customers.at(i % customers.size()), datum,
                                        i % 3 == 0 ? QVariant(QString("Zeile 1\r\nZeile 2 ß")) : QVariant(QString()),
                                        i % 2 == 0 ? QVariant(2) : QVariant()}))
                << qPrintable(source.lastError().description);
        }
        // Gaps: the copy keeps the keys, it does not renumber.
        ASSERT_TRUE(source.execute("DELETE FROM DateiListe WHERE DateiIndex IN (2, 3, 10)"));
        ASSERT_TRUE(source.execute("INSERT INTO Maschinen (Bezeichnung, Standort, MitRS232, Baudrate, WartungsArt1, "
                                   "WartStart1, WartText1) VALUES ('Drehbank Süd', 'Halle 2', -1, '9600', 1, ?, "
                                   "'Öl wechseln')",
                                   {QDateTime(QDate(2026, 3, 1), QTime(0, 0))}))
            << qPrintable(source.lastError().description);
        ASSERT_TRUE(source.execute("INSERT INTO Maschinen (Bezeichnung, Standort, MitRS232) VALUES ('Fräse ''Nord''', "
                                   "'', 0)"));
        ASSERT_TRUE(source.execute("INSERT INTO Wartungen (Datum, Maschinennummer, Wartungstext) VALUES (?, 2, ?)",
                                   {QDateTime(QDate(2026, 2, 3), QTime(7, 0)), QString("Spindel geprüft; Maß ok")}));
        ASSERT_TRUE(source.execute("CREATE TABLE Werkzeuge (Nr COUNTER, Name TEXT(50), Laenge DOUBLE, Stand DATE)"));
        ASSERT_TRUE(source.execute("INSERT INTO Werkzeuge (Name, Laenge, Stand) VALUES ('Bohrer Ø6', 81.25, NULL)"));
        ASSERT_TRUE(source.commit());
    }

    // Every row of a table, key order, each value as text ("∅" for NULL).
    static QStringList rows(Database &db, const QString &table, const QStringList &columns, const QString &key)
    {
        QStringList out;
        QStringList quoted;
        for (const QString &c : columns)
            quoted << "[" + c + "]";
        EXPECT_TRUE(db.readRows("SELECT " + quoted.join(", ") + " FROM [" + table + "] ORDER BY [" + key + "]", {},
                                [&](const RowReader &row) {
                                    QStringList values;
                                    for (int i = 0; i < columns.size(); ++i)
                                        values << (row.isNull(i) ? QString("∅") : row.text(i));
                                    out << values.join("|");
                                }))
            << qPrintable(table) << ": " << qPrintable(db.lastError().description);
        return out;
    }

    static QStringList names(const SchemaTable &t)
    {
        QStringList out;
        for (const SchemaColumn &c : t.columns)
            out << c.name;
        return out;
    }

    QString one(const QString &sql) { return PostgresServer::shared().query(database, sql); }

    // A station started on the server before the copy, and did this there.
    void startedOnServer(const QStringList &statements)
    {
        Database server;
        ASSERT_TRUE(server.openServer(url));
        ASSERT_EQ(CheckOldDB(server).outcome, SchemaCheck::Upgraded);
        for (const QString &statement : statements)
            ASSERT_TRUE(server.execute(statement)) << qPrintable(statement);
    }

    TestEnvironment env;
    Database source;
};

TEST_F(CatalogueCopyTest, EveryTableGoesOverWithItsKeysAndTheCountsAreCompared)
{
    fill(3000);
    source.close();
    QStringList progress;
    const CatalogueCopyResult result = copyCatalogue(file(), url, [&](const QString &l) { progress << l; });
    ASSERT_TRUE(result.ok) << qPrintable(result.error);

    const QList<std::pair<QString, qint64>> expected{{"DateiListe", 2997}, {"Maschinen", 2}, {"Wartungen", 1},
                                                     {"Werkzeuge", 1}};
    ASSERT_EQ(result.tables.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(result.tables[i].table, expected[i].first);
        EXPECT_EQ(result.tables[i].source, expected[i].second);
        EXPECT_EQ(result.tables[i].target, expected[i].second);
    }
    EXPECT_EQ(progress.size(), 4);
    const QString report = copyReport(result, url);
    EXPECT_TRUE(report.contains("DateiListe: 2997 von 2997 Einträgen")) << qPrintable(report);
    EXPECT_TRUE(report.contains("Werkzeuge: 1 von 1 Einträgen")) << qPrintable(report);

    Database server;
    ASSERT_TRUE(server.openServer(url));
    ASSERT_TRUE(source.open(file()));
    const struct {
        const SchemaTable &table;
        const char *key;
    } tables[] = {{CatalogueSchema::dateiListe(), "DateiIndex"},
                  {CatalogueSchema::maschinen(), "Maschinennummer"},
                  {CatalogueSchema::wartungen(), "WartIndex"}};
    for (const auto &t : tables) {
        const QStringList inFile = rows(source, t.table.name, names(t.table), t.key);
        EXPECT_EQ(rows(server, t.table.name, names(t.table), t.key), inFile) << qPrintable(t.table.name);
        EXPECT_FALSE(inFile.isEmpty());
    }
    EXPECT_EQ(rows(server, "Werkzeuge", {"Nr", "Name", "Laenge", "Stand"}, "Nr"), QStringList{"1|Bohrer Ø6|81.25|∅"});

    // The server's counters go on after the highest copied key.
    ASSERT_TRUE(server.execute("INSERT INTO DateiListe (Dateiname) VALUES ('neu.nc')"))
        << qPrintable(server.lastError().description);
    EXPECT_EQ(one("SELECT DateiIndex FROM DateiListe WHERE Dateiname = 'neu.nc'"), "3001");
    ASSERT_TRUE(server.execute("INSERT INTO Maschinen (Bezeichnung) VALUES ('Neu')"));
    EXPECT_EQ(one("SELECT Maschinennummer FROM Maschinen WHERE Bezeichnung = 'Neu'"), "3");
    ASSERT_TRUE(server.execute("INSERT INTO Werkzeuge (Name) VALUES ('Fräser')"));
    EXPECT_EQ(one("SELECT Nr FROM Werkzeuge WHERE Name = 'Fräser'"), "2");
    // Text compares as on the file: letter case and umlauts alike.
    EXPECT_EQ(one("SELECT count(*) FROM DateiListe WHERE Kunde = 'MÜLLER & SÖHNE'"), "599"); // 10 was deleted
    // The station's schema check finds the copy current, and the count the
    // server keeps for the list holds every record.
    EXPECT_EQ(CheckOldDB(server).outcome, SchemaCheck::Current);
    EXPECT_EQ(SharedCatalogue::recordCount(server), std::optional<qint64>(2998));
    EXPECT_EQ(one("SELECT sum(Anzahl) FROM " + SharedCatalogue::countTable()), "2998");
}

TEST_F(CatalogueCopyTest, ACatalogueWhoseRecordsCameAndWentIsEmpty)
{
    fill(20);
    source.close();
    // A station tried the server first, and its test records were deleted.
    startedOnServer({"INSERT INTO DateiListe (Dateiname) VALUES ('PROBE.NC')", "DELETE FROM DateiListe"});
    const CatalogueCopyResult result = copyCatalogue(file(), url);
    ASSERT_TRUE(result.ok) << qPrintable(result.error);
    Database server;
    ASSERT_TRUE(server.openServer(url));
    EXPECT_EQ(SharedCatalogue::recordCount(server), std::optional<qint64>(result.tables.first().target));
}

TEST_F(CatalogueCopyTest, AnOlderFileWithoutTheMachineTablesGoesOverToTheCurrentShape)
{
    source.close();
    QFile::remove(file());
    ErrorInfo error;
    ASSERT_TRUE(createOlderDatabase(file(), &error)) << qPrintable(error.description);
    ASSERT_TRUE(source.open(file()));
    ASSERT_TRUE(source.execute("INSERT INTO DateiListe (Dateiname, Kunde) VALUES ('alt.nc', 'Groß')"));
    source.close();
    const CatalogueCopyResult result = copyCatalogue(file(), url);
    ASSERT_TRUE(result.ok) << qPrintable(result.error);
    ASSERT_EQ(result.tables.size(), 1);
    EXPECT_EQ(one("SELECT Kunde FROM DateiListe"), "Groß");
    EXPECT_EQ(one("SELECT count(*) FROM Maschinen"), "0");
    Database server;
    ASSERT_TRUE(server.openServer(url));
    EXPECT_EQ(CheckOldDB(server).outcome, SchemaCheck::Current);
}

TEST_F(CatalogueCopyTest, ACatalogueThatIsNotEmptyIsRefusedAndNothingIsWritten)
{
    fill(20);
    source.close();
    startedOnServer({"INSERT INTO Wartungen (Wartungstext) VALUES ('schon da')"});
    const QString tablesBefore = one("SELECT string_agg(table_name, ',' ORDER BY table_name) FROM "
                                     "information_schema.tables WHERE table_schema = 'public'");
    const CatalogueCopyResult result = copyCatalogue(file(), url);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("ist nicht leer")) << qPrintable(result.error);
    EXPECT_TRUE(result.error.contains("Wartungen hat 1 Einträge")) << qPrintable(result.error);
    EXPECT_TRUE(result.error.contains("Es wurde nichts geschrieben.")) << qPrintable(result.error);
    EXPECT_EQ(one("SELECT count(*) FROM DateiListe"), "0");
    EXPECT_EQ(one("SELECT count(*) FROM Wartungen"), "1");
    EXPECT_EQ(one("SELECT string_agg(table_name, ',' ORDER BY table_name) FROM information_schema.tables WHERE "
                  "table_schema = 'public'"),
              tablesBefore);
}

TEST_F(CatalogueCopyTest, AFailureHalfWayLeavesNoRowOnTheServer)
{
    fill(50);
    // A shop table whose text cannot go into the server's column of the same
    // name: the copy stops there, after the records were sent.
    ASSERT_TRUE(source.execute("CREATE TABLE Extra (Wann DATE)"));
    ASSERT_TRUE(source.executeNative("INSERT INTO Extra (Wann) VALUES ('kein Datum')"));
    source.close();
    {
        Database server;
        ASSERT_TRUE(server.openServer(url));
        ASSERT_TRUE(server.executeNative("CREATE TABLE extra (wann timestamp)"));
    }
    const CatalogueCopyResult result = copyCatalogue(file(), url);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("Es wurde nichts kopiert.")) << qPrintable(result.error);
    EXPECT_EQ(one("SELECT count(*) FROM DateiListe"), "0");
    EXPECT_EQ(one("SELECT count(*) FROM Maschinen"), "0");
}

TEST_F(CatalogueCopyTest, MissingOrDamagedFilesAndAnUnreachableServerAreToldInGerman)
{
    fill(400);
    source.close();
    const QString missing = env.root() + "nicht-da/CNCPRG.mdb";
    const QString garbage = env.writeFile("garbage.mdb", QByteArray(8192, 'x'));
    // A real catalogue file with a page in the middle overwritten.
    const QString damaged = env.root() + "damaged.mdb";
    ASSERT_TRUE(QFile::copy(file(), damaged));
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_GT(f.size(), 4096 * 8);
        f.seek(4096 * 4);
        f.write(QByteArray(4096 * 2, '\x5a'));
    }
    const QString nowhere = "postgresql://zep@/zep?host=/nonexistent/socket/dir&connect_timeout=2";
    const struct {
        QString file;
        QString url;
        const char *says;
    } cases[] = {
        {missing, url, "wurde nicht gefunden"},
        {garbage, url, "kann nicht gelesen werden"},
        {damaged, url, "beschädigt"},
        {file(), nowhere, "Der Datenbank-Server ist nicht erreichbar"},
        {file(), "/srv/zep/CNCPRG.mdb", "keine Adresse eines Datenbank-Servers"},
    };
    for (const auto &c : cases) {
        const CatalogueCopyResult result = copyCatalogue(c.file, c.url);
        EXPECT_FALSE(result.ok) << c.says;
        EXPECT_TRUE(result.error.contains(c.says)) << c.says << ": " << qPrintable(result.error);
        EXPECT_TRUE(result.tables.isEmpty());
    }
    // A password someone put into the address is never printed.
    const CatalogueCopyResult secret =
        copyCatalogue(file(), "postgresql://zep:geheim@/zep?host=/nonexistent/socket/dir&connect_timeout=2");
    EXPECT_FALSE(secret.ok);
    EXPECT_FALSE(secret.error.contains("geheim")) << qPrintable(secret.error);
    // Nothing was made on the server on the way.
    EXPECT_EQ(one("SELECT count(*) FROM information_schema.tables WHERE table_schema = 'public'"), "0");
}

// The command as a shop runs it: `zep --copy-catalogue-to URL` with the
// program directory as the program finds it.
struct CatalogueCopyCommandTest : CatalogueCopyTest {
    int run(const QString &target, QString *out, QString *err)
    {
        std::FILE *o = std::tmpfile();
        std::FILE *e = std::tmpfile();
        const int code = runCatalogueCopyFromCommandLine({"zep", "--copy-catalogue-to", target, "--program-dir",
                                                          env.programDir()},
                                                         env.root(), target, o, e);
        const auto read = [](std::FILE *f) {
            std::rewind(f);
            QByteArray bytes;
            char buffer[4096];
            while (const size_t n = std::fread(buffer, 1, sizeof buffer, f))
                bytes.append(buffer, qsizetype(n));
            std::fclose(f);
            return QString::fromLocal8Bit(bytes);
        };
        *out = read(o);
        *err = read(e);
        return code;
    }
};

TEST_F(CatalogueCopyCommandTest, SaysTheCountsAndEndsWithZeroOnlyWhenTheCopyIsComplete)
{
    fill(30);
    source.close();
    QString out, err;
    EXPECT_EQ(run(url, &out, &err), 0) << qPrintable(err);
    EXPECT_TRUE(out.contains("DateiListe: 27 von 27 Einträgen")) << qPrintable(out);
    EXPECT_TRUE(out.contains("Alle Anzahlen stimmen überein.")) << qPrintable(out);
    EXPECT_TRUE(err.isEmpty()) << qPrintable(err);

    // Once more into the now filled catalogue: refused, not doubled.
    EXPECT_NE(run(url, &out, &err), 0);
    EXPECT_TRUE(err.contains("ist nicht leer")) << qPrintable(err);
    EXPECT_EQ(one("SELECT count(*) FROM DateiListe"), "27");
}

TEST_F(CatalogueCopyCommandTest, IsRefusedWhileAStationRunsOnTheProgramDirectory)
{
    fill(3);
    source.close();
    // Another process's lock: a lock file naming a live process that is not us.
    InstanceLock running(env.programDir());
    ASSERT_TRUE(running.tryLock());
    QString out, err;
    // Our own process holds it here; the command takes its own lock object,
    // which a second QLockFile in the same process cannot take either.
    EXPECT_NE(run(url, &out, &err), 0);
    EXPECT_TRUE(err.contains("ZEP läuft noch")) << qPrintable(err);
    EXPECT_EQ(one("SELECT count(*) FROM information_schema.tables WHERE table_schema = 'public'"), "0");
}

} // namespace
} // namespace zep::test
