#include "CatalogueFixture.h"

#include "machines/MachineList.h"
#include "catalogue/RecordSearch.h"

namespace zep::test {
namespace {

struct RecordSearchTest : CatalogueOnEngines {
    void SetUp() override
    {
        CatalogueOnEngines::SetUp();
        machine("DMU 50", "Halle 1");      // 1
        machine("Drehmaschine", "Halle 2"); // 2
    }
    void machine(const QString &name, const QString &where)
    {
        ASSERT_TRUE(db().execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES (?, ?)", {name, where}));
    }
    void record(const QString &file, const QString &bezeichnung, const QString &kunde, long machine = 0,
                const QVariant &datum = QVariant())
    {
        ASSERT_TRUE(db().execute("INSERT INTO DateiListe (Dateiname, Bezeichnung, Kunde, MaschinenIndex, Datum) "
                                 "VALUES (?, ?, ?, ?, ?)",
                                 {file, bezeichnung, kunde, qlonglong(machine), datum}))
            << db().lastError().description;
    }
    QStringList found(const QString &term, long machine = 0)
    {
        const SearchResult result = RecordSearch::run(db(), SearchStatement::build(term, machine));
        EXPECT_TRUE(result.ok) << result.error.description;
        QStringList names;
        for (const RecordRow &row : result.rows)
            names << row[RecordRow::Datei];
        names.sort();
        return names;
    }
};

TEST_P(RecordSearchTest, StatementKeepsItsWordingAndBindsTheTerm)
{
    const SearchStatement s = SearchStatement::build("Müller's", 2);
    EXPECT_EQ(s.shownText,
              "SELECT * FROM DateiListe WHERE Dateiname LIKE '*Müller''s*' AND Maschinenindex=2 OR Bezeichnung LIKE "
              "'*Müller''s*' AND Maschinenindex=2 OR Zeichnungsnummer LIKE '*Müller''s*' AND Maschinenindex=2 OR "
              "Auftragsnummer LIKE '*Müller''s*' AND Maschinenindex=2 OR Kunde LIKE '*Müller''s*' AND Maschinenindex=2;");
    EXPECT_FALSE(s.sql.contains("Müller"));
    EXPECT_EQ(s.params.size(), 10);
    EXPECT_EQ(SearchStatement::build("", 0).params.first().toString(), "***");
}

TEST_P(RecordSearchTest, EveryListedColumnIsSearchedWithTheMachineFilterOnEach)
{
    record("P1.NC", "Welle", "Müller's Söhne", 1);
    record("P2.NC", "Flansch", "Meier", 2);
    record("MUELLER.NC", "Deckel", "Schulz", 2);
    ASSERT_TRUE(db().execute("INSERT INTO DateiListe (Dateiname, Auftragsnummer) VALUES ('A.NC', '4711')"));
    ASSERT_TRUE(db().execute("INSERT INTO DateiListe (Dateiname, Zeichnungsnummer) VALUES ('Z.NC', 'ZG-99')"));
    EXPECT_EQ(found(""), QStringList({"A.NC", "MUELLER.NC", "P1.NC", "P2.NC", "Z.NC"}));
    EXPECT_EQ(found("", 2), QStringList({"MUELLER.NC", "P2.NC"}));
    EXPECT_EQ(found("MÜLLER'S"), QStringList({"P1.NC"}));
    EXPECT_EQ(found("müller's", 2), QStringList());
    EXPECT_EQ(found("mueller"), QStringList({"MUELLER.NC"}));
    EXPECT_EQ(found("471"), QStringList({"A.NC"}));
    EXPECT_EQ(found("zg-"), QStringList({"Z.NC"}));
    EXPECT_EQ(found("welle"), QStringList({"P1.NC"}));
}

TEST_P(RecordSearchTest, StarAndQuestionMarkAreWildcardsEverythingElseIsLiteral)
{
    record("P1.NC", "Teil [alt]", "K");
    record("P2.NC", "100% fertig", "K");
    record("P3.NC", "Nr. #5", "K");
    record("P4.NC", "a_b", "K");
    record("P5.NC", "axb", "K");
    EXPECT_EQ(found("P?.NC"), QStringList({"P1.NC", "P2.NC", "P3.NC", "P4.NC", "P5.NC"}));
    EXPECT_EQ(found("Teil*alt"), QStringList({"P1.NC"}));
    EXPECT_EQ(found("[alt]"), QStringList({"P1.NC"}));
    EXPECT_EQ(found("["), QStringList({"P1.NC"}));
    EXPECT_EQ(found("%"), QStringList({"P2.NC"}));
    EXPECT_EQ(found("#5"), QStringList({"P3.NC"}));
    EXPECT_EQ(found("#"), QStringList({"P3.NC"}));
    EXPECT_EQ(found("a_b"), QStringList({"P4.NC"}));
    EXPECT_EQ(found("'"), QStringList());
    EXPECT_EQ(found("' OR 1=1 --"), QStringList());
}

TEST_P(RecordSearchTest, HugeTermRunsAndFindsNothing)
{
    record("P1.NC", "Welle", "K");
    EXPECT_EQ(found(QString(10000, QChar('x'))), QStringList());
    EXPECT_EQ(found(QString(10000, QChar('*'))), QStringList({"P1.NC"}));
}

TEST_P(RecordSearchTest, RowsShowOneLineTextsDatesAndMachines)
{
    record("P1.NC", "Welle\r\nlang", "K", 2, QDateTime(QDate(2026, 3, 4), QTime(10, 0)));
    record("P2.NC", "", "", 99);
    ASSERT_TRUE(db().execute("INSERT INTO DateiListe (Dateiname) VALUES ('P3.NC')"));
    const SearchResult result = RecordSearch::run(db(), SearchStatement::build("", 0));
    ASSERT_EQ(result.rows.size(), 3);
    const RecordRow &p1 = result.rows[0];
    EXPECT_EQ(p1[RecordRow::Bezeichnung], "Welle / lang");
    EXPECT_EQ(p1[RecordRow::Datum], "04.03.2026");
    EXPECT_EQ(p1[RecordRow::Maschine], "Drehmaschine / Halle 2");
    EXPECT_EQ(p1[RecordRow::MaschIDX], "2");
    EXPECT_GT(p1.dateiIndex(), 0);
    EXPECT_EQ(result.rows[1][RecordRow::Maschine], ""); // machine gone
    EXPECT_EQ(result.rows[2][RecordRow::Datum], "");
    EXPECT_EQ(result.rows[2][RecordRow::MaschIDX], "");
    EXPECT_EQ(result.rows[2][RecordRow::Maschine], "");
}

TEST_P(RecordSearchTest, MachineFilterListsNoChoiceFirstThenEveryMachine)
{
    const QList<MachineChoice> choices = MachineList::filterChoices(db());
    ASSERT_EQ(choices.size(), 3);
    EXPECT_EQ(choices[0].text, "keine Auswahl");
    EXPECT_EQ(choices[0].number, 0);
    EXPECT_EQ(choices[1].text, "DMU 50 / Halle 1");
    EXPECT_EQ(choices[2].number, 2);
}

} // namespace
INSTANTIATE_TEST_SUITE_P(Engines, RecordSearchTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

} // namespace zep::test
