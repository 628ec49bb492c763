#include "CatalogueFixture.h"

#include "catalogue/RecordSearch.h"
#include "catalogue/SearchStatement.h"
#include "db/Database.h"
#include "db/LikeMatcher.h"
#include "db/RowReader.h"
#include "db/SearchIndex.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <algorithm>

namespace zep::test {
namespace {

struct SearchIndexTest : CatalogueFixture {
    void add(const QString &name, const QString &bezeichnung, const QString &kunde = {}, long machine = 0)
    {
        ASSERT_TRUE(db().execute("INSERT INTO DateiListe (Dateiname, Bezeichnung, Kunde, MaschinenIndex) "
                                 "VALUES (?, ?, ?, ?)",
                                 {name, bezeichnung, kunde, qlonglong(machine)}));
    }
    static QStringList indexes(const SearchResult &result)
    {
        QStringList out;
        for (const RecordRow &row : result.rows)
            out << row[RecordRow::DBIndex];
        std::sort(out.begin(), out.end());
        return out;
    }
    // What the term finds through the index, and record by record.
    std::pair<SearchResult, SearchResult> both(const QString &term, long machine = 0)
    {
        SearchStatement statement = SearchStatement::build(term, machine);
        SearchStatement scan = statement;
        scan.indexedSql.clear();
        return {RecordSearch::run(db(), statement), RecordSearch::run(db(), scan)};
    }
    // The index path alone: the plain statement is broken on purpose.
    SearchResult indexOnly(const QString &term)
    {
        SearchStatement statement = SearchStatement::build(term, 0);
        statement.listSql = "SELECT nothing FROM nowhere";
        return RecordSearch::run(db(), statement);
    }
};

TEST_F(SearchIndexTest, TermsFindTheSameRecordsThroughTheIndexAsRecordByRecord)
{
    ASSERT_TRUE(SearchIndex::present(db()));
    add("P1.NC", "Welle für Müller's Getriebe", "MÜLLER GmbH", 1);
    add("P2.NC", "Flansch\r\nzweite Zeile", "müller ag", 2);
    add("STRASSE.NC", "Straßenbahn-Achse", "Österreich Bahn", 1);
    add("O'NEIL.NC", "Deckel 50% [alt] #1", "O'Neil & Söhne", 0);
    add("A_B.NC", "a_b Halter", "Zander", 2);
    add("KELVIN.NC", QString::fromUtf8("Temperatur 300 \u212A"), "Labor", 0);
    const QStringList terms{"müller", "MÜLLER", "Müller's", "m?ller", "*ller*gmbh", "ÖSTERREICH", "straße",
                            "STRASSE", "50%", "[alt]", "#1", "O'NEIL", "a_b", "A_B.NC", "söhne", "zweite",
                            "00 k", "ahn-a", "ller Getr", "GmbH", "xyz", "Welle*Getriebe", "P?.NC"};
    for (const QString &term : terms) {
        for (long machine : {0L, 1L, 2L}) {
            const auto [indexed, scanned] = both(term, machine);
            ASSERT_TRUE(indexed.ok && scanned.ok) << term.toStdString();
            EXPECT_EQ(indexes(indexed), indexes(scanned)) << term.toStdString() << " machine " << machine;
        }
    }
    // Only wildcards: every record with a searched column filled, as the
    // plain statement finds them.
    add("LEER.NC", {}, {}, 1);
    ASSERT_TRUE(db().execute("INSERT INTO DateiListe (Bezeichnung) VALUES (NULL)"));
    for (const QString &term : {QString(), QString("*"), QString("***")}) {
        for (long machine : {0L, 1L, 2L}) {
            const SearchStatement statement = SearchStatement::build(term, machine);
            QStringList plain;
            auto set = db().openRecordset(statement.sql, RecordsetType::Snapshot, statement.params);
            ASSERT_TRUE(set);
            for (; !set->eof(); set->moveNext())
                plain << set->value("DateiIndex").toString();
            std::sort(plain.begin(), plain.end());
            EXPECT_EQ(indexes(RecordSearch::run(db(), statement)), plain) << term.toStdString() << machine;
        }
    }
    EXPECT_EQ(indexes(indexOnly("müller")).size(), 2);
    EXPECT_EQ(indexes(indexOnly("STRASSE")).size(), 1); // the file name; "ß" is not "SS"
    EXPECT_EQ(indexes(indexOnly("straße")).size(), 1);
    EXPECT_EQ(indexes(indexOnly("Müller's")).size(), 1);
    EXPECT_EQ(indexes(indexOnly("00 k")).size(), 1);     // the Kelvin sign folds to k
    // Short terms and pure wildcards read every record.
    EXPECT_TRUE(SearchStatement::build("ab", 0).indexedSql.isEmpty());
    EXPECT_TRUE(SearchStatement::build("", 0).indexedSql.isEmpty());
    EXPECT_TRUE(SearchStatement::build("a?b*c", 0).indexedSql.isEmpty());
}

TEST_F(SearchIndexTest, EveryCharacterTheIndexServesFoldsAsTheCatalogueDoes)
{
    // Each character of the served range, and every character anywhere that
    // the catalogue folds into it, in a record of its own.
    QList<char32_t> served;
    for (char32_t c = 0x20; c <= 0x17F; ++c)
        if (!SearchIndex::usablePiece(QString("Q%1QZ").arg(QChar(char16_t(c)))).isEmpty() && c != '*' && c != '?')
            served << c;
    QSet<char32_t> foldedServed;
    for (char32_t c : served)
        foldedServed.insert(LikeMatcher::fold(c));
    ASSERT_TRUE(db().transaction());
    for (char32_t x = 0x20; x < 0x10000; ++x) {
        if (QChar::isSurrogate(x) || !foldedServed.contains(LikeMatcher::fold(x)))
            continue;
        add(QString("X%1.NC").arg(quint32(x)), "Q" + QString(QChar(char16_t(x))) + "QZ");
    }
    ASSERT_TRUE(db().commit());
    for (char32_t c : served) {
        const QString term = "Q" + QString(QChar(char16_t(c))) + "QZ";
        const auto [indexed, scanned] = both(term);
        EXPECT_EQ(indexes(indexed), indexes(scanned)) << "U+" << std::hex << quint32(c);
        EXPECT_FALSE(indexed.rows.isEmpty()) << "U+" << std::hex << quint32(c);
    }
}

TEST_F(SearchIndexTest, OlderDatabaseGetsItsIndexAndADamagedOneIsRebuilt)
{
    db().close();
    QFile::remove(dbPath());
    ASSERT_TRUE(createOlderDatabase(dbPath()));
    {
        // Records written by a program that knows nothing of the index.
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "older");
        other.setDatabaseName(dbPath());
        ASSERT_TRUE(other.open());
        QSqlQuery q(other);
        ASSERT_TRUE(q.exec("INSERT INTO DateiListe (Dateiname, Bezeichnung) VALUES ('ALT.NC', 'Alte Welle')"));
        other.close();
    }
    QSqlDatabase::removeDatabase("older");
    ASSERT_TRUE(db().open(dbPath()));
    EXPECT_FALSE(SearchIndex::present(db()));
    EXPECT_EQ(CheckOldDB(db()).outcome, SchemaCheck::Upgraded);
    EXPECT_TRUE(SearchIndex::present(db()));
    EXPECT_TRUE(db().hasIndex("DateinameIDX"));
    EXPECT_EQ(indexes(indexOnly("alte WELLE")).size(), 1);

    // Another program writes through the triggers: the index follows.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(dbPath());
        ASSERT_TRUE(other.open());
        QSqlQuery q(other);
        ASSERT_TRUE(q.exec("INSERT INTO DateiListe (Dateiname, Bezeichnung) VALUES ('NEU.NC', 'Neue Welle')"));
        ASSERT_TRUE(q.exec("UPDATE DateiListe SET Bezeichnung = 'Alte Scheibe' WHERE Dateiname = 'ALT.NC'"));
        other.close();
    }
    QSqlDatabase::removeDatabase("other");
    EXPECT_EQ(indexes(indexOnly("welle")).size(), 1);
    EXPECT_EQ(indexes(indexOnly("scheibe")).size(), 1);

    // Damaged: a trigger gone and entries lost. The next start rebuilds it.
    ASSERT_TRUE(db().executeNative("DROP TRIGGER DateiListeSuche_ai"));
    ASSERT_TRUE(db().execute("INSERT INTO DateiListe (Dateiname, Bezeichnung) VALUES ('OHNE.NC', 'Welle ohne')"));
    EXPECT_EQ(indexes(indexOnly("welle")).size(), 1);
    EXPECT_EQ(CheckOldDB(db()).outcome, SchemaCheck::Current);
    EXPECT_EQ(indexes(indexOnly("welle")).size(), 2);
    const auto [indexed, scanned] = both("welle");
    EXPECT_EQ(indexes(indexed), indexes(scanned));
}

} // namespace
} // namespace zep::test
