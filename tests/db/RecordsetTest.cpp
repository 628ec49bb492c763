#include "db/DbFixture.h"
#include "db/KeysetRows.h"

#include <QDateTime>
#include <QFile>

using namespace zep;
using zep::test::CatalogueFile;

namespace {

using RecordsetTest = zep::test::CatalogueOnEngine;

// Walks a record set forwards and backwards and checks what the loops of the
// handlers ("Do Until rs.EOF ... MoveNext") and the end tests see.
void expectWalk(Recordset &rs, const QStringList &expected)
{
    ASSERT_EQ(rs.recordCount(), expected.size());
    rs.moveFirst();
    QStringList forwards;
    for (; !rs.eof(); rs.moveNext())
        forwards.append(rs.value("Dateiname").toString());
    EXPECT_EQ(forwards, expected);
    EXPECT_FALSE(rs.bof());

    rs.moveNext(); // already past the end: an error, not a crash
    EXPECT_EQ(rs.lastError().number, 3021);
    EXPECT_TRUE(rs.eof());

    rs.moveLast();
    QStringList backwards;
    for (; !rs.bof(); rs.movePrevious())
        backwards.prepend(rs.value("Dateiname").toString());
    EXPECT_EQ(backwards, expected);
    EXPECT_FALSE(rs.eof());

    rs.moveLast();
    EXPECT_EQ(rs.value("Dateiname").toString(), expected.last());
    rs.moveFirst();
    EXPECT_EQ(rs.value("Dateiname").toString(), expected.first());
    EXPECT_FALSE(rs.bof());
    EXPECT_FALSE(rs.eof());
}

} // namespace

TEST_P(RecordsetTest, EmptyRecordSetsAreAtBothEndsWhateverTheirSource)
{
    for (const QString &source : {QStringLiteral("DateiListe"), QStringLiteral("SELECT * FROM DateiListe"),
                                  QStringLiteral("SELECT Dateiname FROM DateiListe ORDER BY Dateiname")}) {
        auto rs = db.openRecordset(source);
        ASSERT_TRUE(rs) << source;
        EXPECT_TRUE(rs->eof()) << source;
        EXPECT_TRUE(rs->bof()) << source;
        EXPECT_EQ(rs->recordCount(), 0);
        rs->moveFirst();
        rs->moveLast();
        EXPECT_TRUE(rs->eof() && rs->bof()) << source;
        EXPECT_FALSE(rs->value("Dateiname").isValid());
        EXPECT_EQ(rs->lastError().number, 3021) << source;
        EXPECT_FALSE(rs->edit());
    }
}

TEST_P(RecordsetTest, NavigationFollowsTheSourceOrder)
{
    addRecord("B.NC");
    addRecord("C.NC");
    addRecord("A.NC");

    auto table = db.openRecordset("DateiListe");
    ASSERT_TRUE(table);
    expectWalk(*table, {"B.NC", "C.NC", "A.NC"}); // in the order stored

    auto sorted = db.openRecordset("SELECT * FROM DateiListe ORDER BY Dateiname DESC");
    ASSERT_TRUE(sorted);
    expectWalk(*sorted, {"C.NC", "B.NC", "A.NC"});

    auto filtered = db.openRecordset("SELECT * FROM DateiListe WHERE Dateiname <> 'C.NC';");
    ASSERT_TRUE(filtered);
    expectWalk(*filtered, {"B.NC", "A.NC"});

    auto chosen = db.openRecordset("SELECT Dateiname, Kunde FROM DateiListe ORDER BY Dateiname",
                                   RecordsetType::Snapshot);
    ASSERT_TRUE(chosen);
    expectWalk(*chosen, {"A.NC", "B.NC", "C.NC"});
}

TEST_P(RecordsetTest, ColumnsAreFoundByNameWhateverTheLetterCase)
{
    addRecord("A.NC", "Kunde A");
    auto rs = db.openRecordset("SELECT * FROM DateiListe WHERE DateiIndex=1");
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->value("DATEINAME").toString(), "A.NC");
    EXPECT_EQ(rs->value("kunde").toString(), "Kunde A");
    EXPECT_EQ(rs->value("Maschinenindex"), rs->value("MaschinenIndex")); // the search statement spells it so
    EXPECT_TRUE(rs->columns().contains("Bemerkungen"));

    EXPECT_FALSE(rs->value("Gibtsnicht").isValid());
    EXPECT_EQ(rs->lastError().number, 3265);
    EXPECT_TRUE(rs->lastError().description.contains("Gibtsnicht"));

    ASSERT_TRUE(rs->edit());
    EXPECT_FALSE(rs->setValue("Gibtsnicht", 1));
    EXPECT_EQ(rs->lastError().number, 3265);
    EXPECT_TRUE(rs->setValue("bezeichnung", "klein geschrieben"));
    ASSERT_TRUE(rs->update());
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Bezeichnung='klein geschrieben'"), QStringList{"A.NC"});
}

// NeuerEintrag: the whole table opened to add one row, the counter read back.
TEST_P(RecordsetTest, NewRowOnTheWholeTableGivesItsCounterThroughLastModified)
{
    addRecord("ALT1.NC");
    const qint64 older = addRecord("ALT2.NC");

    auto rs = db.openRecordset("DateiListe");
    ASSERT_TRUE(rs);
    ASSERT_FALSE(rs->findFirst("Dateiname='NEU.NC'"));
    EXPECT_TRUE(rs->noMatch());

    const QDateTime now = QDateTime::currentDateTime();
    ASSERT_TRUE(rs->addNew());
    EXPECT_FALSE(rs->setValue("DateiIndex", 99)); // the engine counts it
    EXPECT_EQ(rs->lastError().number, 3164);
    EXPECT_TRUE(rs->setValue("Dateiname", "NEU.NC"));
    EXPECT_TRUE(rs->setValue("Bezeichnung", "Neue Datei"));
    EXPECT_TRUE(rs->setValue("Datum", now));
    EXPECT_TRUE(rs->setValue("MaschinenIndex", 3));
    ASSERT_TRUE(rs->update()) << rs->lastError().description;

    ASSERT_TRUE(rs->moveToLastModified());
    const qint64 index = rs->value("DateiIndex").toLongLong();
    EXPECT_GT(index, older);
    EXPECT_EQ(rs->value("Dateiname").toString(), "NEU.NC");
    EXPECT_EQ(rs->recordCount(), 3);

    // The record editor opens it by that number.
    auto one = db.openRecordset("SELECT * FROM DateiListe WHERE DateiIndex=" + QString::number(index));
    ASSERT_TRUE(one);
    ASSERT_EQ(one->recordCount(), 1);
    EXPECT_EQ(one->value("Bezeichnung").toString(), "Neue Datei");
    EXPECT_EQ(one->value("MaschinenIndex").toInt(), 3);
    EXPECT_EQ(one->value("Datum").toDateTime().toSecsSinceEpoch(), now.toSecsSinceEpoch());

    // A second new row gets a new number; the first keeps its own.
    ASSERT_TRUE(rs->addNew());
    rs->setValue("Dateiname", "NEU2.NC");
    ASSERT_TRUE(rs->update());
    ASSERT_TRUE(rs->moveToLastModified());
    EXPECT_GT(rs->value("DateiIndex").toLongLong(), index);
    EXPECT_TRUE(rs->findFirst("DateiIndex=" + QString::number(index)));
    EXPECT_EQ(rs->value("Dateiname").toString(), "NEU.NC");
}

TEST_P(RecordsetTest, NewRowOnAFreshCatalogueAndOnAStatementsRecordSet)
{
    auto rs = db.openRecordset("DateiListe");
    ASSERT_TRUE(rs);
    ASSERT_TRUE(rs->eof());
    EXPECT_FALSE(rs->moveToLastModified()); // nothing stored yet
    ASSERT_TRUE(rs->addNew());
    rs->setValue("Dateiname", "ERSTE.NC");
    ASSERT_TRUE(rs->update());
    ASSERT_TRUE(rs->moveToLastModified());
    EXPECT_EQ(rs->value("Dateiname").toString(), "ERSTE.NC");
    EXPECT_GT(rs->value("DateiIndex").toLongLong(), 0);

    // A key set over a statement takes the new row at its end.
    auto some = db.openRecordset("SELECT * FROM DateiListe WHERE Dateiname LIKE 'E*'");
    ASSERT_TRUE(some);
    ASSERT_TRUE(some->addNew());
    some->setValue("Dateiname", "ANDERE.NC");
    ASSERT_TRUE(some->update());
    ASSERT_TRUE(some->moveToLastModified());
    EXPECT_EQ(some->value("Dateiname").toString(), "ANDERE.NC");
    EXPECT_EQ(some->recordCount(), 2);
    EXPECT_EQ(rowCount(), 2);
}

TEST_P(RecordsetTest, EditStoresOnlyTheCurrentRowAndCancelDiscards)
{
    const qint64 a = addRecord("A.NC", "alt");
    addRecord("B.NC", "alt");

    auto rs = db.openRecordset("SELECT * FROM DateiListe WHERE DateiIndex=" + QString::number(a));
    ASSERT_TRUE(rs);
    EXPECT_FALSE(rs->setValue("Kunde", "ohne Edit"));
    EXPECT_EQ(rs->lastError().number, 3020);
    EXPECT_FALSE(rs->update());
    EXPECT_EQ(rs->lastError().number, 3020);

    ASSERT_TRUE(rs->edit());
    ASSERT_TRUE(rs->setValue("Kunde", "neu"));
    EXPECT_EQ(rs->value("Kunde").toString(), "neu"); // the pending value
    rs->cancelUpdate();
    EXPECT_EQ(rs->value("Kunde").toString(), "alt");
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde='neu'"), QStringList());

    ASSERT_TRUE(rs->addNew());
    rs->setValue("Dateiname", "VERWORFEN.NC");
    rs->cancelUpdate();
    EXPECT_EQ(rs->value("Dateiname").toString(), "A.NC");
    EXPECT_EQ(rowCount(), 2);

    ASSERT_TRUE(rs->edit());
    ASSERT_TRUE(rs->setValue("Kunde", "neu"));
    ASSERT_TRUE(rs->update());
    EXPECT_EQ(rs->value("Kunde").toString(), "neu");
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde='neu'"), QStringList{"A.NC"});
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde='alt'"), QStringList{"B.NC"});

    // An edit followed by a move is dropped, as the old engine did.
    ASSERT_TRUE(rs->edit());
    rs->setValue("Kunde", "verloren");
    rs->moveFirst();
    EXPECT_EQ(rs->value("Kunde").toString(), "neu");
}

TEST_P(RecordsetTest, RowsChangedOrDeletedElsewhereAreSeenNotCrashedOn)
{
    const qint64 a = addRecord("A.NC", "alt");
    auto rs = db.openRecordset("SELECT * FROM DateiListe WHERE DateiIndex=" + QString::number(a));
    ASSERT_TRUE(rs);
    ASSERT_TRUE(db.execute("UPDATE DateiListe SET Kunde='anderswo' WHERE DateiIndex=" + QString::number(a)));
    rs->moveFirst();
    EXPECT_EQ(rs->value("Kunde").toString(), "anderswo");

    ASSERT_TRUE(rs->edit());
    rs->setValue("Kunde", "x");
    ASSERT_TRUE(db.execute("DELETE * FROM DateiListe WHERE DateiIndex=" + QString::number(a)));
    EXPECT_FALSE(rs->update());
    EXPECT_EQ(rs->lastError().number, 3167);
    rs->cancelUpdate();
    EXPECT_FALSE(rs->value("Kunde").isValid());
    EXPECT_EQ(rs->lastError().number, 3167);
    EXPECT_EQ(rowCount(), 0);
}

TEST_P(RecordsetTest, SnapshotsAndComputedRowsAreReadOnly)
{
    addRecord("A.NC", "alt");
    for (auto [source, type] : {std::pair{QStringLiteral("DateiListe"), RecordsetType::Snapshot},
                                {QStringLiteral("SELECT * FROM DateiListe"), RecordsetType::Snapshot},
                                {QStringLiteral("SELECT Dateiname, Kunde FROM DateiListe"), RecordsetType::Dynaset}}) {
        auto rs = db.openRecordset(source, type);
        ASSERT_TRUE(rs) << source;
        EXPECT_FALSE(rs->isUpdatable()) << source;
        EXPECT_FALSE(rs->edit()) << source;
        EXPECT_EQ(rs->lastError().number, 3027) << source;
        EXPECT_FALSE(rs->addNew()) << source;
        EXPECT_EQ(rs->lastError().number, 3027) << source;
        EXPECT_FALSE(rs->setValue("Kunde", "neu"));
        EXPECT_FALSE(rs->update());
        EXPECT_EQ(rs->value("Kunde").toString(), "alt");
    }
    EXPECT_EQ(rowCount(), 1);
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde='alt'"), QStringList{"A.NC"});
}

TEST_P(RecordsetTest, FindFirstTakesJetConditionsAndTheSafeForm)
{
    addRecord("A.NC", "Huber");
    const qint64 oneil = addRecord("O'NEIL.NC", "Müller's");
    addRecord("B.NC", "Müller's");
    addRecord("C.NC");

    auto rs = db.openRecordset("DateiListe");
    ASSERT_TRUE(rs);
    EXPECT_TRUE(rs->findFirst("Dateiname='O''NEIL.NC'"));
    EXPECT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value("DateiIndex").toLongLong(), oneil);

    rs->moveFirst();
    EXPECT_TRUE(rs->findFirst("dateiname='o''neil.nc'")); // letter case ignored, as the old engine did
    EXPECT_EQ(rs->value("DateiIndex").toLongLong(), oneil);

    rs->moveFirst();
    EXPECT_TRUE(rs->findFirst("Dateiname", "O'NEIL.NC"));
    EXPECT_EQ(rs->value("DateiIndex").toLongLong(), oneil);

    // First match in the record set's order, from the top, wherever it stands.
    rs->moveLast();
    EXPECT_TRUE(rs->findFirst("Kunde='MÜLLER''S'"));
    EXPECT_EQ(rs->value("Dateiname").toString(), "O'NEIL.NC");
    EXPECT_TRUE(rs->findFirst("Kunde='Müller''s' And Dateiname=\"B.NC\""));
    EXPECT_EQ(rs->value("Dateiname").toString(), "B.NC");
    EXPECT_TRUE(rs->findFirst("DateiIndex=" + QString::number(oneil) + " Or Dateiname='A.NC'"));
    EXPECT_EQ(rs->value("Dateiname").toString(), "A.NC");
    EXPECT_TRUE(rs->findFirst("Kunde", QVariant()));
    EXPECT_EQ(rs->value("Dateiname").toString(), "C.NC");

    auto sorted = db.openRecordset("SELECT * FROM DateiListe ORDER BY Dateiname DESC", RecordsetType::Snapshot);
    ASSERT_TRUE(sorted);
    EXPECT_TRUE(sorted->findFirst("Kunde", "müller's"));
    EXPECT_EQ(sorted->value("Dateiname").toString(), "O'NEIL.NC");

    // No match keeps the current row and says so until the next hit.
    EXPECT_FALSE(rs->findFirst("Dateiname='FEHLT.NC'"));
    EXPECT_TRUE(rs->noMatch());
    EXPECT_EQ(rs->value("Dateiname").toString(), "C.NC");
    EXPECT_FALSE(rs->findFirst("Dateiname", "FEHLT.NC"));
    EXPECT_TRUE(rs->noMatch());
    EXPECT_TRUE(rs->findFirst("Dateiname", "a.nc"));
    EXPECT_FALSE(rs->noMatch());

    // A broken condition is an error with a number, and counts as no match.
    EXPECT_FALSE(rs->findFirst("Dateiname='A.NC"));
    EXPECT_TRUE(rs->noMatch());
    EXPECT_NE(rs->lastError().number, 0);
    EXPECT_FALSE(rs->findFirst("Gibtsnicht=1"));
    EXPECT_NE(rs->lastError().number, 0);
    EXPECT_FALSE(rs->findFirst("DateiIndex=1); DELETE FROM DateiListe; --"));
    EXPECT_EQ(rowCount(), 4);
}

TEST_P(RecordsetTest, MissingTableIsError3078WhicheverWayItIsOpened)
{
    if (onServer()) {
        ASSERT_TRUE(db.executeNative("DROP TABLE maschinen CASCADE"));
    } else {
        db.close();
        QFile::remove(dbPath());
        ASSERT_TRUE(createOlderDatabase(dbPath()));
        ASSERT_TRUE(db.open(dbPath()));
    }
    for (const QString &source :
         {QStringLiteral("Maschinen"), QStringLiteral("[Maschinen]"), QStringLiteral("SELECT * FROM Maschinen"),
          QStringLiteral("SELECT * FROM Maschinen WHERE Maschinennummer=1;"),
          QStringLiteral("SELECT Bezeichnung, Standort FROM Maschinen")}) {
        for (RecordsetType type : {RecordsetType::Snapshot, RecordsetType::Dynaset}) {
            EXPECT_EQ(db.openRecordset(source, type), nullptr) << source;
            EXPECT_EQ(db.lastError().number, 3078) << source;
            EXPECT_TRUE(db.lastError().description.contains("'Maschinen'")) << db.lastError().description;
        }
    }
    EXPECT_FALSE(db.execute("DELETE * FROM Maschinen WHERE Maschinennummer=1"));
    EXPECT_EQ(db.lastError().number, 3078);
    EXPECT_TRUE(db.openRecordset("DateiListe"));
}

TEST_P(RecordsetTest, DatesReadBackAsDateTimesAndSortByTime)
{
    auto rs = db.openRecordset("DateiListe");
    ASSERT_TRUE(rs);
    const QDateTime evening(QDate(2026, 12, 5), QTime(18, 30, 15));
    const QDateTime utc(QDate(2025, 1, 31), QTime(23, 59, 59), Qt::UTC);
    struct Case {
        const char *name;
        QVariant given;
        QDateTime expected;
    };
    const Case cases[] = {
        {"DT.NC", evening, evening},
        {"UTC.NC", utc, utc},
        {"D.NC", QDate(2024, 2, 29), QDateTime(QDate(2024, 2, 29), QTime(0, 0))},
        {"TEXT.NC", QStringLiteral("03.04.1999"), QDateTime(QDate(1999, 4, 3), QTime(0, 0))},
        {"ISO.NC", QStringLiteral("2000-01-02 03:04:05"), QDateTime(QDate(2000, 1, 2), QTime(3, 4, 5))},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(rs->addNew());
        rs->setValue("Dateiname", c.name);
        ASSERT_TRUE(rs->setValue("Datum", c.given)) << c.name << rs->lastError().description;
        ASSERT_TRUE(rs->update());
        ASSERT_TRUE(rs->moveToLastModified());
        const QVariant back = rs->value("Datum");
        EXPECT_EQ(back.typeId(), QMetaType::QDateTime) << c.name;
        EXPECT_EQ(back.toDateTime(), c.expected) << c.name;
    }

    // A text that is no date is refused, not stored as a text no date
    // comparison would find; the row is not touched.
    ASSERT_TRUE(rs->edit());
    EXPECT_FALSE(rs->setValue("Datum", "32.01.2003"));
    EXPECT_EQ(rs->lastError().number, 3421);
    EXPECT_FALSE(rs->setValue("Datum", ""));
    EXPECT_TRUE(rs->update());
    EXPECT_EQ(rs->value("Datum").toDateTime(), cases[4].expected);

    EXPECT_EQ(names("SELECT * FROM DateiListe ORDER BY Datum"),
              (QStringList{"TEXT.NC", "ISO.NC", "D.NC", "UTC.NC", "DT.NC"}));
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Datum > ? ORDER BY Datum DESC", {QDate(2025, 1, 1)}),
              (QStringList{"DT.NC", "UTC.NC"}));
}

TEST_P(RecordsetTest, NullReadsAsInvalidAndStaysApartFromEmptyText)
{
    auto rs = db.openRecordset("DateiListe");
    ASSERT_TRUE(rs);
    ASSERT_TRUE(rs->addNew());
    rs->setValue("Dateiname", "LEER.NC");
    rs->setValue("Kunde", QString(""));
    rs->setValue("Ersteller", QString()); // an empty field widget gives a null QString
    rs->setValue("Bezeichnung", QVariant());
    ASSERT_TRUE(rs->update());
    ASSERT_TRUE(rs->moveToLastModified());

    for (const char *column : {"Bezeichnung", "Zeichnungsnummer", "Auftragsnummer", "Datum", "Aufspannung",
                               "Werkzeuge", "Laufzeit", "Bemerkungen", "MaschinenIndex"}) {
        const QVariant v = rs->value(column);
        EXPECT_FALSE(v.isValid()) << column;
        EXPECT_EQ(v.toString(), QString()) << column; // shown as empty text
        EXPECT_EQ(v.toInt(), 0) << column;
    }
    EXPECT_EQ(rs->lastError().number, 0);
    for (const char *column : {"Kunde", "Ersteller"}) {
        EXPECT_TRUE(rs->value(column).isValid()) << column;
        EXPECT_EQ(rs->value(column).toString(), "") << column;
    }
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde = '' AND Ersteller = '' AND Bezeichnung IS NULL"),
              QStringList{"LEER.NC"});

    // A date that was cleared goes back to NULL.
    ASSERT_TRUE(rs->edit());
    ASSERT_TRUE(rs->setValue("Datum", QDateTime(QDate(2020, 1, 1), QTime(0, 0))));
    ASSERT_TRUE(rs->update());
    ASSERT_TRUE(rs->edit());
    ASSERT_TRUE(rs->setValue("Datum", QDateTime()));
    ASSERT_TRUE(rs->update());
    EXPECT_FALSE(rs->value("Datum").isValid());
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Datum IS NULL"), QStringList{"LEER.NC"});
}

TEST_P(RecordsetTest, BinaryAndHugeTextsComeBackUnchanged)
{
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i)
        bytes.append(char(i % 256)); // NULs, invalid UTF-8, everything
    QString huge;
    for (int i = 0; i < 60000; ++i)
        huge += QStringLiteral("G01 X%1 Ä'ö\"ü ß \r\n").arg(i);
    QString withNul = QStringLiteral("vor") + QChar(0) + QStringLiteral("nach");
    const QString astral = QStringLiteral("Werkzeug \U0001F527 \u00e9");

    auto rs = db.openRecordset("DateiListe");
    ASSERT_TRUE(rs);
    if (onServer()) {
        // A server's text column holds UTF-8 without NUL: such bytes are
        // refused with an error, nothing is stored in part, and the values
        // typed stay pending for another try.
        ASSERT_TRUE(rs->addNew());
        rs->setValue("Dateiname", "BIN.NC");
        ASSERT_TRUE(rs->setValue("Bemerkungen", bytes));
        EXPECT_FALSE(rs->update());
        EXPECT_NE(rs->lastError().number, 0);
        EXPECT_TRUE(rs->isEditing());
        EXPECT_EQ(rowCount(), 0);
        rs->cancelUpdate();
        bytes = QByteArray("\xc3\xa4 G01 X1\r\n");
        withNul = QStringLiteral("vor nach");
    }
    ASSERT_TRUE(rs->addNew());
    rs->setValue("Dateiname", "BIN.NC");
    ASSERT_TRUE(rs->setValue("Bemerkungen", bytes));
    ASSERT_TRUE(rs->setValue("Aufspannung", huge));
    ASSERT_TRUE(rs->setValue("Werkzeuge", withNul));
    ASSERT_TRUE(rs->setValue("Bezeichnung", astral));
    ASSERT_TRUE(rs->update()) << rs->lastError().description;
    rs.reset();

    db.close();
    ASSERT_TRUE(reopen());
    auto back = db.openRecordset("SELECT * FROM DateiListe WHERE Dateiname='BIN.NC'");
    ASSERT_TRUE(back);
    ASSERT_FALSE(back->eof());
    EXPECT_EQ(back->value("Bemerkungen").toByteArray(), bytes);
    EXPECT_EQ(back->value("Aufspannung").toString(), huge);
    EXPECT_EQ(back->value("Werkzeuge").toString(), withNul);
    EXPECT_EQ(back->value("Bezeichnung").toString(), astral);
    EXPECT_TRUE(back->findFirst("Aufspannung", huge));

    // The same through a statement's parameters.
    ASSERT_TRUE(db.execute("UPDATE DateiListe SET Bemerkungen = ?, Kunde = ? WHERE Dateiname = ?",
                           {bytes.left(3), huge, "BIN.NC"}));
    back->moveFirst();
    EXPECT_EQ(back->value("Bemerkungen").toByteArray(), bytes.left(3));
    EXPECT_EQ(back->value("Kunde").toString(), huge);
}

TEST_P(RecordsetTest, RecordSetOutlivingItsDatabaseReportsClosedInsteadOfCrashing)
{
    addRecord("A.NC");
    addRecord("B.NC");
    auto table = db.openRecordset("DateiListe");
    auto keys = db.openRecordset("SELECT * FROM DateiListe WHERE DateiIndex=1");
    auto computed = db.openRecordset("SELECT Dateiname FROM DateiListe", RecordsetType::Snapshot);
    ASSERT_TRUE(table && keys && computed);
    ASSERT_TRUE(keys->edit());
    keys->setValue("Kunde", "nie gespeichert");

    // A loop over the rows ends when the database goes away beneath it.
    int visited = 0;
    for (table->moveFirst(); !table->eof() && visited < 10; table->moveNext())
        if (++visited == 1)
            db.close();
    EXPECT_EQ(visited, 1);

    for (Recordset *rs : {table.get(), keys.get(), computed.get()}) {
        EXPECT_TRUE(rs->eof());
        EXPECT_TRUE(rs->bof());
        EXPECT_FALSE(rs->value("Dateiname").isValid());
        EXPECT_EQ(rs->lastError().number, 3420);
        rs->moveNext();
        rs->moveLast();
        rs->movePrevious();
        EXPECT_EQ(rs->recordCount(), 0);
        EXPECT_FALSE(rs->edit());
        EXPECT_FALSE(rs->addNew());
        EXPECT_FALSE(rs->setValue("Kunde", "x"));
        EXPECT_FALSE(rs->update());
        EXPECT_FALSE(rs->findFirst("Dateiname='A.NC'"));
        EXPECT_FALSE(rs->findFirst("Dateiname", "A.NC"));
        EXPECT_FALSE(rs->moveToLastModified());
        EXPECT_EQ(rs->lastError().number, 3420);
    }

    // Opening again gives new record sets; the old ones stay closed.
    ASSERT_TRUE(reopen());
    EXPECT_FALSE(table->value("Dateiname").isValid());
    EXPECT_EQ(table->lastError().number, 3420);
    EXPECT_EQ(names("SELECT * FROM DateiListe WHERE Kunde IS NULL"), (QStringList{"A.NC", "B.NC"}));

    // A record set that is itself closed, and one whose Database is gone.
    computed->close();
    EXPECT_TRUE(computed->eof());
    EXPECT_FALSE(computed->value("Dateiname").isValid());
    EXPECT_EQ(computed->lastError().number, 3420);
    auto survivor = db.openRecordset("DateiListe");
    ASSERT_TRUE(survivor);
    {
        Database other;
        ASSERT_TRUE(reopen(other));
        survivor = other.openRecordset("DateiListe");
        ASSERT_TRUE(survivor);
    }
    survivor->moveFirst();
    EXPECT_EQ(survivor->lastError().number, 3420);
}

TEST_P(RecordsetTest, ASnapshotKeepsWhatItReadWhileADynasetShowsChanges)
{
    addRecord("A.NC", "Kunde A");
    addRecord("B.NC", "Kunde B");
    ASSERT_TRUE(db.execute("UPDATE DateiListe SET Datum=? WHERE Dateiname='B.NC'",
                           {QDateTime(QDate(2026, 12, 7), QTime(9, 30))}));
    auto snapshot = db.openRecordset("SELECT * FROM DateiListe WHERE Kunde LIKE 'kunde*' ORDER BY Dateiname",
                                     RecordsetType::Snapshot);
    auto dynaset = db.openRecordset("SELECT * FROM DateiListe WHERE Kunde LIKE 'kunde*' ORDER BY Dateiname");
    ASSERT_TRUE(snapshot && dynaset);
    ASSERT_TRUE(db.execute("UPDATE DateiListe SET Kunde='Neu' WHERE Dateiname='A.NC'"));
    ASSERT_TRUE(db.execute("DELETE * FROM DateiListe WHERE Dateiname='B.NC'"));

    EXPECT_EQ(snapshot->recordCount(), 2);
    EXPECT_EQ(snapshot->value("Kunde").toString(), "Kunde A");
    snapshot->moveNext();
    EXPECT_EQ(snapshot->value("Dateiname").toString(), "B.NC");
    EXPECT_EQ(snapshot->value("Datum").toDateTime(), QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    EXPECT_TRUE(snapshot->findFirst("Dateiname", "A.NC"));

    EXPECT_EQ(dynaset->value("Kunde").toString(), "Neu");
    dynaset->moveNext();
    EXPECT_FALSE(dynaset->value("Dateiname").isValid());
    EXPECT_EQ(dynaset->lastError().number, 3167);
}

TEST_P(RecordsetTest, ASnapshotLargerThanItKeepsStillGivesEveryRow)
{
    ASSERT_TRUE(db.transaction());
    for (int i = 0; i <= KeysetRows::kSnapshotRowsKept; ++i)
        ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname) VALUES (?)", {QString("P%1.NC").arg(i, 5, 10, QChar('0'))}));
    ASSERT_TRUE(db.commit());
    auto set = db.openRecordset("SELECT * FROM DateiListe ORDER BY Dateiname", RecordsetType::Snapshot);
    ASSERT_TRUE(set);
    EXPECT_EQ(set->recordCount(), KeysetRows::kSnapshotRowsKept + 1);
    EXPECT_EQ(set->value("Dateiname").toString(), "P00000.NC");
    set->moveLast();
    EXPECT_EQ(set->value("Dateiname").toString(), QString("P%1.NC").arg(KeysetRows::kSnapshotRowsKept, 5, 10, QChar('0')));
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordsetTest,
                         ::testing::Values(zep::test::Engine::Sqlite, zep::test::Engine::Postgres),
                         zep::test::engineName);
