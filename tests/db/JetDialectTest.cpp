#include "db/DbFixture.h"
#include "db/JetDialect.h"

#include <QDateTime>
#include <QFile>

using namespace zep;
using zep::test::CatalogueFile;

namespace {

struct JetDialectTest : CatalogueFile {
    // Declared type of each column, from the file itself.
    QMap<QString, QString> declaredTypes(const QString &table)
    {
        QMap<QString, QString> out;
        auto rs = db.openRecordset("SELECT name, type FROM pragma_table_info(?)", RecordsetType::Snapshot, {table});
        EXPECT_TRUE(rs);
        for (; rs && !rs->eof(); rs->moveNext())
            out.insert(rs->value("name").toString(), rs->value("type").toString().toUpper());
        return out;
    }
};

} // namespace

TEST_F(JetDialectTest, DeleteStarFromDeletesTheRowsTheConditionNames)
{
    for (int i = 1; i <= 6; ++i)
        addRecord(QStringLiteral("P%1.NC").arg(i));
    EXPECT_EQ(JetDialect::toSqlite("DELETE * FROM DateiListe WHERE DateiIndex=5"),
              "DELETE FROM DateiListe WHERE DateiIndex=5");
    ASSERT_TRUE(db.execute("DELETE * FROM DateiListe WHERE DateiIndex=5")) << db.lastError().description;
    EXPECT_EQ(db.recordsAffected(), 1);
    ASSERT_TRUE(db.execute("delete  *  from DateiListe where DateiIndex=6;"));
    EXPECT_EQ(db.recordsAffected(), 1);
    ASSERT_TRUE(db.execute("DELETE FROM DateiListe WHERE DateiIndex=4"));
    EXPECT_EQ(names("DateiListe"), (QStringList{"P1.NC", "P2.NC", "P3.NC"}));
}

TEST_F(JetDialectTest, CreateTableTypesBehaveAsTheOldOnesDid)
{
    ASSERT_TRUE(db.execute("CREATE TABLE Probe (Nummer COUNTER, Kurz TEXT(30), Frei TEXT, Notiz MEMO, Art BYTE, "
                           "Menge LONG, Wann DATE);"))
        << db.lastError().description;

    const QMap<QString, QString> types = declaredTypes("Probe");
    ASSERT_EQ(types.size(), 7);
    EXPECT_TRUE(types.value("Kurz").contains("30")) << types.value("Kurz"); // the limit stays readable
    EXPECT_TRUE(types.value("Art").contains("INT"));
    EXPECT_TRUE(types.value("Menge").contains("INT"));

    auto rs = db.openRecordset("Probe");
    ASSERT_TRUE(rs);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(rs->addNew());
        rs->setValue("Kurz", "KURZ");
        rs->setValue("Frei", "Äpfel");
        rs->setValue("Notiz", QString(5000, QLatin1Char('x')));
        rs->setValue("Art", "7"); // a text for a number column is converted
        rs->setValue("Menge", 123456789);
        rs->setValue("Wann", QDate(2026, 12, 5));
        ASSERT_TRUE(rs->update()) << rs->lastError().description;
    }
    ASSERT_TRUE(rs->moveToLastModified());
    EXPECT_EQ(rs->value("Nummer").toInt(), 2); // counted by the engine
    EXPECT_EQ(rs->value("Art").typeId(), QMetaType::LongLong);
    EXPECT_EQ(rs->value("Art").toInt(), 7);
    EXPECT_EQ(rs->value("Wann").toDateTime(), QDateTime(QDate(2026, 12, 5), QTime(0, 0)));
    EXPECT_EQ(rs->value("Notiz").toString().size(), 5000);
    EXPECT_FALSE(rs->setValue("Menge", "viel"));

    // Text columns of every kind compare without regard to letter case.
    auto hit = db.openRecordset("SELECT * FROM Probe WHERE Kurz='kurz' AND Frei='ÄPFEL' AND Notiz LIKE 'X*'");
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->recordCount(), 2);

    // The counter is never reused, even after the last row is deleted.
    ASSERT_TRUE(db.execute("DELETE * FROM Probe WHERE Nummer=2"));
    ASSERT_TRUE(db.execute("INSERT INTO Probe (Kurz) VALUES ('neu')"));
    auto last = db.openRecordset("SELECT * FROM Probe WHERE Kurz='NEU'");
    ASSERT_TRUE(last);
    EXPECT_EQ(last->value("Nummer").toInt(), 3);
}

TEST_F(JetDialectTest, IndexWithPrimaryBecomesAUniqueIndexOfThatName)
{
    ASSERT_TRUE(db.execute("CREATE TABLE Liste (Nummer LONG, Name TEXT);"));
    ASSERT_TRUE(db.execute("CREATE INDEX ListIDX ON Liste ([Nummer]) WITH PRIMARY;")) << db.lastError().description;
    EXPECT_TRUE(db.hasIndex("ListIDX"));
    ASSERT_TRUE(db.execute("INSERT INTO Liste (Nummer, Name) VALUES (1, 'eins')"));
    EXPECT_FALSE(db.execute("INSERT INTO Liste (Nummer, Name) VALUES (1, 'doppelt')"));
    EXPECT_EQ(db.lastError().number, 3022);

    // The upgrade's own statement, on the table the fresh file already has.
    EXPECT_TRUE(db.hasIndex("MaschIDX"));
    ASSERT_TRUE(db.execute("DROP INDEX MaschIDX ON Maschinen"));
    EXPECT_FALSE(db.hasIndex("MaschIDX"));
    ASSERT_TRUE(db.execute("CREATE INDEX MaschIDX ON Maschinen ([Maschinennummer]) WITH PRIMARY;"));
    EXPECT_TRUE(db.hasIndex("MaschIDX"));
    EXPECT_FALSE(db.execute("CREATE INDEX MaschIDX ON Maschinen ([Maschinennummer]) WITH PRIMARY;"));
    EXPECT_EQ(db.lastError().number, 3375);
}

TEST_F(JetDialectTest, AddedLongColumnLeavesExistingRowsWithoutAMachine)
{
    db.close();
    QFile::remove(dbPath());
    ASSERT_TRUE(createOlderDatabase(dbPath()));
    ASSERT_TRUE(db.open(dbPath()));
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Kunde) VALUES ('ALT.NC', 'Huber')"));
    ASSERT_FALSE(db.hasColumn("DateiListe", "MaschinenIndex"));

    ASSERT_TRUE(db.execute("ALTER TABLE DateiListe ADD COLUMN MaschinenIndex LONG;")) << db.lastError().description;
    EXPECT_TRUE(declaredTypes("DateiListe").value("MaschinenIndex").contains("INT"));
    auto rs = db.openRecordset("SELECT * FROM DateiListe WHERE Dateiname='ALT.NC'");
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->value("Kunde").toString(), "Huber");
    EXPECT_FALSE(rs->value("MaschinenIndex").isValid());
    EXPECT_EQ(rs->value("MaschinenIndex").toInt(), 0);
    ASSERT_TRUE(db.execute("UPDATE DateiListe SET MaschinenIndex=0 WHERE MaschinenIndex=5"));
}

TEST_F(JetDialectTest, NothingInsideAQuotedLiteralIsRewritten)
{
    const QStringList tricky = {"DELETE * FROM X.NC", "[Dateiname] *?#%_\\", "O'NEIL \"zitiert\"",
                                "LIKE '*a*' -- ; DROP TABLE DateiListe", "COUNTER TEXT(30) WITH PRIMARY"};
    QString values;
    for (const QString &t : tricky)
        values += (values.isEmpty() ? "" : ", ") + JetDialect::quote(t);
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Bezeichnung, Kunde, Bemerkungen, Ersteller) VALUES ("
                           + values + ");"))
        << db.lastError().description;
    auto rs = db.openRecordset("DateiListe");
    ASSERT_TRUE(rs);
    ASSERT_FALSE(rs->eof());
    const char *columns[] = {"Dateiname", "Bezeichnung", "Kunde", "Bemerkungen", "Ersteller"};
    for (int i = 0; i < tricky.size(); ++i)
        EXPECT_EQ(rs->value(columns[i]).toString(), tricky.at(i)) << columns[i];

    // Outside LIKE, '*' and '?' are just characters.
    addRecord("*");
    addRecord("?");
    addRecord("STERN.NC");
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Dateiname='*' OR Dateiname = \"?\""),
              (QStringList{"*", "?"}));
    // A double-quoted text is a literal in this dialect, with "" for a quote.
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde=\"O'NEIL \"\"zitiert\"\"\""),
              QStringList{"DELETE * FROM X.NC"});
}

TEST_F(JetDialectTest, BracketedNamesAreQuotedNames)
{
    ASSERT_TRUE(db.execute("CREATE TABLE [Alte Liste] ([Nr] COUNTER, [Name mit Leerzeichen] TEXT(50), [Datum] DATE)"))
        << db.lastError().description;
    ASSERT_TRUE(db.execute("INSERT INTO [Alte Liste] ([Name mit Leerzeichen]) VALUES ('eins')"));
    EXPECT_TRUE(declaredTypes("Alte Liste").value("Name mit Leerzeichen").contains("50"));

    auto whole = db.openRecordset("[Alte Liste]");
    ASSERT_TRUE(whole) << db.lastError().description;
    EXPECT_EQ(whole->value("name mit leerzeichen").toString(), "eins");
    ASSERT_TRUE(whole->edit());
    whole->setValue("Name mit Leerzeichen", "zwei");
    ASSERT_TRUE(whole->update());

    auto rs = db.openRecordset("SELECT * FROM [Alte Liste] WHERE [Name mit Leerzeichen]='ZWEI' ORDER BY [Nr]");
    ASSERT_TRUE(rs) << db.lastError().description;
    EXPECT_EQ(rs->recordCount(), 1);
    EXPECT_TRUE(rs->isUpdatable());

    addRecord("A.NC", "Kunde");
    EXPECT_EQ(names("SELECT [Dateiname], [Kunde] FROM [DateiListe] WHERE [DateiListe].[Kunde]='kunde'"),
              QStringList{"A.NC"});
}

TEST_F(JetDialectTest, ASecondStatementIsRefusedAndNothingRuns)
{
    addRecord("A.NC");
    addRecord("B.NC");
    EXPECT_FALSE(db.execute("DELETE * FROM DateiListe WHERE DateiIndex=1; DROP TABLE DateiListe"));
    EXPECT_NE(db.lastError().number, 0);
    EXPECT_FALSE(db.execute("UPDATE DateiListe SET Kunde='x';DELETE FROM DateiListe"));
    EXPECT_EQ(db.openRecordset("SELECT * FROM DateiListe; DELETE FROM DateiListe"), nullptr);
    EXPECT_NE(db.lastError().number, 0);
    EXPECT_EQ(db.openRecordset("SELECT * FROM DateiListe WHERE DateiIndex=1; DROP TABLE Maschinen"), nullptr);
    EXPECT_EQ(db.openRecordset("SELECT Dateiname FROM DateiListe; DROP TABLE Maschinen"), nullptr);

    EXPECT_TRUE(db.hasTable("Maschinen"));
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde IS NULL"), (QStringList{"A.NC", "B.NC"}));

    // A trailing ';' (or several, or blanks) ends the one statement.
    EXPECT_TRUE(db.execute("UPDATE DateiListe SET Kunde='y' WHERE DateiIndex=1 ; ;\r\n"));
    EXPECT_FALSE(db.execute(";"));
    EXPECT_FALSE(db.execute(""));
}

TEST_F(JetDialectTest, AnUnclosedQuoteIsReportedAndChangesNothing)
{
    addRecord("A.NC", "alt");
    addRecord("B.NC", "alt");
    // A statement built from text with a stray apostrophe must fail, not be
    // repaired into one that writes every row.
    EXPECT_FALSE(db.execute("UPDATE DateiListe SET Kunde='O'NEIL' WHERE DateiIndex=1"));
    EXPECT_FALSE(db.execute("UPDATE DateiListe SET Kunde='neu WHERE DateiIndex=1"));
    EXPECT_EQ(db.lastError().number, 3075) << db.lastError().description;
    EXPECT_FALSE(db.execute("UPDATE DateiListe SET Kunde=\"neu WHERE DateiIndex=1"));
    EXPECT_FALSE(db.execute("UPDATE [DateiListe SET Kunde='neu'"));
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde='alt'"), (QStringList{"A.NC", "B.NC"}));

    EXPECT_EQ(db.openRecordset("SELECT * FROM DateiListe WHERE Dateiname LIKE '*O'NEIL*'"), nullptr);
    EXPECT_NE(db.lastError().number, 0);
    EXPECT_EQ(db.openRecordset("SELECT * FROM DateiListe WHERE Kunde='alt"), nullptr);
    EXPECT_NE(db.lastError().number, 0);
}

TEST_F(JetDialectTest, LikeWildcardsOfTheOldDialect)
{
    for (const char *name : {"AB.NC", "XABY.NC", "A1B.NC", "A_B.NC", "A*B.NC", "A?B.NC", "A#B.NC", "A[B.NC",
                             "ACB.NC", "DREHEN\\P1.NC", "ab"})
        addRecord(name);
    auto find = [&](const QString &pattern) {
        QStringList found = names("SELECT * FROM DateiListe WHERE Dateiname LIKE " + JetDialect::quote(pattern));
        found.sort();
        return found;
    };
    EXPECT_EQ(find("*ab*"), (QStringList{"AB.NC", "XABY.NC", "ab"}));
    EXPECT_EQ(find("ab"), QStringList{"ab"}); // anchored at both ends
    EXPECT_EQ(find("A?B.NC"),
              (QStringList{"A#B.NC", "A*B.NC", "A1B.NC", "A?B.NC", "ACB.NC", "A[B.NC", "A_B.NC"}));
    EXPECT_EQ(find("A#B*"), QStringList{"A1B.NC"});          // '#' is one digit
    EXPECT_EQ(find("A[*]B*"), QStringList{"A*B.NC"});        // [*] [?] [#] [[] are that character
    EXPECT_EQ(find("A[?]B*"), QStringList{"A?B.NC"});
    EXPECT_EQ(find("A[#]B*"), QStringList{"A#B.NC"});
    EXPECT_EQ(find("A[[]B*"), QStringList{"A[B.NC"});
    EXPECT_EQ(find("A[0-9C]B*"), (QStringList{"A1B.NC", "ACB.NC"}));
    EXPECT_EQ(find("A[!0-9C]B*"), (QStringList{"A#B.NC", "A*B.NC", "A?B.NC", "A[B.NC", "A_B.NC"}));
    EXPECT_EQ(find("A_B*"), QStringList{"A_B.NC"});
    EXPECT_EQ(find("*\\P1*"), QStringList{"DREHEN\\P1.NC"}); // a subdirectory's "\" is a plain character
    EXPECT_EQ(find("A[B*"), QStringList{"A[B.NC"});          // an open '[' is literal too
    EXPECT_EQ(find("*").size(), 11);
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE DateiIndex LIKE '1*'"),
              (QStringList{"AB.NC", "DREHEN\\P1.NC", "ab"})); // numbers match as their digits

    // In NOT LIKE and in find-first conditions as well.
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Dateiname NOT LIKE 'A*' AND Dateiname LIKE '*.NC'"),
              (QStringList{"XABY.NC", "DREHEN\\P1.NC"}));
    auto rs = db.openRecordset("DateiListe");
    ASSERT_TRUE(rs);
    EXPECT_TRUE(rs->findFirst("Dateiname LIKE 'X*'"));
    EXPECT_EQ(rs->value("Dateiname").toString(), "XABY.NC");
}
