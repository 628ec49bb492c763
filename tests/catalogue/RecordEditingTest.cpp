#include "CatalogueFixture.h"
#include "RecordRows.h"

#include "catalogue/CatalogueRecord.h"
#include "catalogue/DateCompletion.h"
#include "catalogue/EditorQueue.h"
#include "catalogue/ProgramRename.h"
#include "catalogue/RecordClipboard.h"
#include "catalogue/RecordFields.h"
#include "catalogue/RecordListModel.h"
#include "catalogue/RecordSheet.h"

#include <QDateTime>

namespace zep::test {
namespace {

TEST(DateCompletion, CompletesAndMarksAsTheTableSays)
{
    struct Case {
        const char *typed;
        const char *completed;
        bool marked;
    };
    const Case cases[] = {
        {"", "", false},
        {"010203", "01.02.2003", false},
        {"010299", "01.02.1999", false},
        {"01022003", "01.02.2003", false},
        {"01.02.2003", "01.02.2003", false},
        {"32.01.2003", "??.01.2003", true},
        {"00.01.2003", "??.01.2003", true},
        {"01.13.2003", "01.??.2003", true},
        {"01.00.2003", "01.??.2003", true},
        {"01.01.1850", "01.01.????", true},
        {"01.01.2201", "01.01.????", true},
        {"01.01.2200", "01.01.2200", false},
        {"01.01.1900", "01.01.1900", false},
        {"010100", "01.01.2000", false},
        {"010149", "01.01.2049", false},
        {"010150", "01.01.1950", false},
        {"311299", "31.12.1999", false},
        {"320199", "??.01.1999", true},
        {"011399", "01.??.1999", true},
        {"32132003", "??.??.2003", true},
        {"ab.cd.efgh", "??.??.????", true},
        // Blanks around the date go; ".", "-" and "/" part day, month and
        // year, each of one or two digits, the year of two or four.
        {"  010203  ", "01.02.2003", false},
        {"01-02-2003", "01.02.2003", false},
        {"01/02/2003", "01.02.2003", false},
        {"1.2.3", "01.02.2003", false},
        {"01.02.03", "01.02.2003", false},
        {"1.2.2003", "01.02.2003", false},
        {" 1 - 2 - 99 ", "01.02.1999", false},
        {"5/11/49", "05.11.2049", false},
        {"5.11.50", "05.11.1950", false},
        {"32-1-3", "??.01.2003", true},
        {"1/13/2003", "01.??.2003", true},
        {"1.2.1850", "01.02.????", true},
        // Each part in its range, yet no day of that month.
        {"31.02.2003", "??.02.2003", true},
        {"29.2.3", "??.02.2003", true},
        {"29.2.4", "29.02.2004", false},
        // What no completion reads stays as typed and is marked.
        {"1.2", "1.2", true},
        {"01x02x2003", "01x02x2003", true},
        {"1..2..2003", "1..2..2003", true},
        {"1.2.003", "1.2.003", true},
        {"heute", "heute", true},
    };
    for (const Case &c : cases) {
        const QString completed = DateCompletion::complete(QString::fromLatin1(c.typed));
        EXPECT_EQ(completed, QString::fromLatin1(c.completed)) << c.typed;
        EXPECT_EQ(DateCompletion::hasMarks(completed), c.marked) << c.typed;
        // Completing a completed text changes nothing.
        EXPECT_EQ(DateCompletion::complete(completed), completed) << c.typed;
    }
}

TEST(DateCompletion, TellsAnEmptyDateFromAnImpossibleOne)
{
    EXPECT_FALSE(DateCompletion::toDate("").has_value());
    EXPECT_EQ(DateCompletion::toDate("01.02.2003"), QDate(2003, 2, 1));
    EXPECT_FALSE(DateCompletion::toDate("31.02.2003")->isValid());
    EXPECT_FALSE(DateCompletion::toDate("29.02.2003")->isValid());
    EXPECT_TRUE(DateCompletion::toDate("29.02.2004")->isValid());
    EXPECT_FALSE(DateCompletion::toDate("??.01.2003")->isValid());
    EXPECT_FALSE(DateCompletion::toDate("1..2..2003")->isValid());
}

TEST(RecordFields, LeavingAMultiLineFieldTrimsBlanksAndOneFinalLineBreak)
{
    EXPECT_EQ(RecordFields::trimMultiLine("  Wort\r\n\r\n  "), "Wort\r\n");
    EXPECT_EQ(RecordFields::trimMultiLine("  a\r\nb  "), "a\r\nb");
    EXPECT_EQ(RecordFields::trimMultiLine("\r\nx"), "\r\nx");
    EXPECT_EQ(RecordFields::trimMultiLine("   "), "");
    EXPECT_EQ(RecordFields::toStored("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(RecordFields::toShown("a\r\nb"), "a\nb");
}

RecordFields sample(const QString &tag)
{
    RecordFields f;
    f.dateiname = "P1.NC";
    f.bezeichnung = "Welle für Getriebe " + tag + "\r\nzweite Zeile";
    f.zeichnungsnummer = "Z-4711\r\nZ-4712";
    f.auftragsnummer = "A 99";
    f.kunde = "Müller & Söhne";
    f.datum = "01.02.2003";
    f.aufspannung = "Schraubstock\r\n\r\nBacken weich";
    f.werkzeuge = "T1 Fräser Ø12\r\nT2 Bohrer";
    f.laufzeit = "12,5";
    f.ersteller = "Jörg";
    f.bemerkungen = "Achtung: Grat!\r\nentgraten\r\nprüfen";
    return f;
}

TEST(RecordClipboard, CopyThenPasteCarriesTheNineFieldsExactly)
{
    const RecordFields from = sample("A");
    const QString text = RecordClipboard::format(from);
    EXPECT_TRUE(text.startsWith("CNC||Welle für Getriebe A\r\nzweite Zeile||Z-4711\r\nZ-4712||A 99||"));
    EXPECT_TRUE(text.endsWith("||Jörg||Achtung: Grat!\r\nentgraten\r\nprüfen||"));
    EXPECT_TRUE(RecordClipboard::unsafeFields(from).isEmpty());

    RecordFields to;
    to.dateiname = "Q2.NC";
    to.datum = "05.05.2005";
    to.maschinenIndex = 3;
    const RecordClipboard::Pasted pasted = RecordClipboard::paste(text, to);
    ASSERT_TRUE(pasted.ok());
    EXPECT_TRUE(pasted.shortened.isEmpty());
    RecordFields expected = from;
    expected.dateiname = "Q2.NC";
    expected.datum = "05.05.2005";
    expected.maschinenIndex = 3;
    EXPECT_EQ(to, expected);
}

TEST(RecordClipboard, ACopyWithoutAllNineFieldsOrForeignTextChangesNothing)
{
    using Outcome = RecordClipboard::Pasted::Outcome;
    struct Case {
        const char *text;
        Outcome outcome;
        qsizetype fields;
    };
    const Case cases[] = {
        {"CNC||NurEins||", Outcome::WrongFieldCount, 1},
        {"CNC||a||b", Outcome::WrongFieldCount, 2},
        {"CNC||", Outcome::WrongFieldCount, 0},
        {"CNC||1||2||3||4||5||6||7||8||", Outcome::WrongFieldCount, 8},
        {"CNC||1||2||3||4||5||6||7||8||9||10||", Outcome::WrongFieldCount, 10},
        {"CNC|x", Outcome::NoCopy, 0},
        {"", Outcome::NoCopy, 0},
    };
    const RecordFields before = sample("B");
    for (const Case &c : cases) {
        RecordFields to = before;
        const RecordClipboard::Pasted pasted = RecordClipboard::paste(QString::fromUtf8(c.text), to);
        EXPECT_EQ(pasted.outcome, c.outcome) << c.text;
        EXPECT_EQ(pasted.fieldCount, c.fields) << c.text;
        EXPECT_EQ(to, before) << c.text;
        EXPECT_FALSE(RecordClipboard::refusalText(pasted).isEmpty()) << c.text;
    }
    RecordFields to = before;
    const RecordClipboard::Pasted one = RecordClipboard::paste("CNC||NurEins||", to);
    EXPECT_EQ(RecordClipboard::refusalText(one),
              "Die Datensatzkopie im Clipboard ist unvollständig: sie enthält 1 Angabe statt 9. Es wurde nichts "
              "eingefügt. Bitte den Datensatz noch einmal kopieren.");
    EXPECT_EQ(RecordClipboard::refusalText(RecordClipboard::paste("x", to)), "Keine ZEP-Datensatzkopie im Clipboard!");

    // Empty fields are fields too; a copy that lost its last separator
    // still holds all nine.
    ASSERT_TRUE(RecordClipboard::paste("CNC||||||||||||||||||||", to).ok());
    EXPECT_EQ(to.bezeichnung, "");
    EXPECT_EQ(to.bemerkungen, "");
    EXPECT_EQ(to.dateiname, before.dateiname);
    ASSERT_TRUE(RecordClipboard::paste("CNC||1||2||3||4||5||6||7||8||9", to).ok());
    EXPECT_EQ(to.bezeichnung, "1");
    EXPECT_EQ(to.bemerkungen, "9");
}

TEST(RecordClipboard, APasteKeepsToTheLimitsOfTyping)
{
    RecordFields from = sample("L");
    from.kunde = QString(300, 'K');
    from.bezeichnung = QString(150, 'a') + "\r\n" + QString(150, 'b'); // 301 characters as shown
    from.zeichnungsnummer = QString(199, 'z') + QString::fromUtf8("😀"); // 201 code units
    from.bemerkungen = QString(5000, 'x');                               // no limit
    RecordFields to;
    const RecordClipboard::Pasted pasted = RecordClipboard::paste(RecordClipboard::format(from), to);
    ASSERT_TRUE(pasted.ok());
    EXPECT_EQ(pasted.shortened, (QList<RecordFields::Field>{RecordFields::Bezeichnung, RecordFields::Zeichnungsnummer,
                                                            RecordFields::Kunde}));
    EXPECT_EQ(to.kunde, QString(50, 'K'));
    EXPECT_EQ(to.bezeichnung, QString(150, 'a') + "\r\n" + QString(49, 'b'));
    EXPECT_EQ(to.zeichnungsnummer, QString(199, 'z')); // never half a character
    EXPECT_EQ(to.bemerkungen, from.bemerkungen);
    EXPECT_EQ(RecordClipboard::shortenedText(pasted),
              "Diese Angaben waren länger als in diesen Feldern erlaubt und wurden gekürzt: Bezeichnung: auf 200 "
              "Zeichen, Zeichnungsnummern: auf 200 Zeichen, Kunde: auf 50 Zeichen.");
    EXPECT_EQ(RecordFields::typingLimit(RecordFields::Kunde), 50);
    EXPECT_EQ(RecordFields::typingLimit(RecordFields::Bemerkungen), 0);
}

TEST(RecordClipboard, NamesTheFieldsAPasteWouldCut)
{
    RecordFields f = sample("C");
    f.kunde = "A||B";
    f.werkzeuge = "T1|";
    f.ersteller = "|vorn"; // a leading "|" survives the split
    EXPECT_EQ(RecordClipboard::unsafeFields(f),
              (QList<RecordFields::Field>{RecordFields::Kunde, RecordFields::Werkzeuge}));
}

struct RecordStoreTest : CatalogueOnEngines {
    long addRecord(const QString &name, long machine = 0) { return insertRecord(db(), name, machine); }
    QVariant column(long index, const QString &name) { return recordColumn(db(), index, name); }
};

TEST_P(RecordStoreTest, WritesEveryFieldAndReadsThemBack)
{
    const long index = addRecord("P1.NC", 2);
    CatalogueRecord::Loaded loaded = CatalogueRecord::load(db(), index);
    ASSERT_TRUE(loaded.found);
    EXPECT_EQ(loaded.fields.bezeichnung, "Welle");
    EXPECT_EQ(loaded.fields.datum, "05.01.2026");
    EXPECT_EQ(loaded.fields.maschinenIndex, 2);

    RecordFields edited = sample("D");
    edited.dateiname = "SOMETHING.ELSE"; // only the rename changes the name
    const CatalogueRecord::Written written = CatalogueRecord::DatensatzSchreiben(db(), index, edited, 0L);
    ASSERT_TRUE(written.ok) << written.error.description.toStdString();
    loaded = CatalogueRecord::load(db(), index);
    RecordFields expected = edited;
    expected.dateiname = "P1.NC";
    expected.maschinenIndex = 0;
    EXPECT_EQ(loaded.fields, expected);
    EXPECT_EQ(column(index, "Datum").toDateTime().time(), QTime(0, 0));

    // The same day again keeps the time the record was made with.
    const long made = addRecord("NEU.NC");
    RecordFields same = CatalogueRecord::load(db(), made).fields;
    same.kunde = "Anders";
    ASSERT_TRUE(CatalogueRecord::DatensatzSchreiben(db(), made, same, std::nullopt).ok);
    EXPECT_EQ(column(made, "Datum").toDateTime(), QDateTime(QDate(2026, 1, 5), QTime(8, 0)));
    EXPECT_FALSE(CatalogueRecord::load(db(), index + 100).found);
}

TEST_P(RecordStoreTest, AnEmptyDateIsStoredAsNoneAnImpossibleOneStoresNothing)
{
    const long index = addRecord("P1.NC", 2);
    RecordFields edited = sample("E");
    edited.datum = "31.02.2003";
    CatalogueRecord::Written written = CatalogueRecord::DatensatzSchreiben(db(), index, edited, 5L);
    EXPECT_FALSE(written.ok);
    EXPECT_EQ(written.field, RecordFields::Datum);
    EXPECT_FALSE(written.error.description.isEmpty());
    EXPECT_EQ(column(index, "Bezeichnung").toString(), "Welle");
    EXPECT_EQ(column(index, "MaschinenIndex").toLongLong(), 2);

    edited.datum = "";
    written = CatalogueRecord::DatensatzSchreiben(db(), index, edited, std::nullopt);
    ASSERT_TRUE(written.ok) << written.error.description.toStdString();
    EXPECT_FALSE(column(index, "Datum").isValid());
    EXPECT_EQ(column(index, "MaschinenIndex").toLongLong(), 2); // no selection: kept
    EXPECT_EQ(CatalogueRecord::load(db(), index).fields.datum, "");
}

TEST_P(RecordStoreTest, AFailedStoreSaysWhy)
{
    const long index = addRecord("P1.NC");
    db().close();
    const CatalogueRecord::Written written = CatalogueRecord::DatensatzSchreiben(db(), index, sample("F"), 0L);
    EXPECT_FALSE(written.ok);
    EXPECT_EQ(written.field, RecordFields::FieldCount);
    EXPECT_NE(written.error.number, 0);
}

TEST_P(RecordStoreTest, EditsOfARecordDeletedMeanwhileBecomeTheRecordOfItsFileAgain)
{
    addProgram("P1.NC");
    const long index = addRecord("P1.NC", 2);
    ASSERT_TRUE(db().execute("DELETE * FROM DateiListe WHERE DateiIndex=?", {qlonglong(index)}));
    RecordFields edited = sample("V");
    edited.datum = "1.2.3";
    const CatalogueRecord::Written written = CatalogueRecord::DatensatzSchreiben(db(), index, edited, 1L);
    EXPECT_FALSE(written.ok);
    EXPECT_TRUE(written.gone);

    CatalogueRecord::Vanished vanished = CatalogueRecord::vanished(db(), dataDir(), "P1.NC");
    EXPECT_EQ(vanished.file, CatalogueRecord::Vanished::File::There);
    EXPECT_EQ(vanished.dateiIndex, 0);
    EXPECT_EQ(vanished.title, "Datensatz gelöscht!");
    EXPECT_EQ(vanished.text, "Der Datensatz der Datei P1.NC wurde gelöscht, während er hier bearbeitet wurde. Die Datei "
                             "ist noch im Überwachungsverzeichnis.\r\rSollen die Änderungen als neuer Datensatz "
                             "dieser Datei gespeichert werden?");
    const CatalogueRecord::Kept kept = CatalogueRecord::keepAsRecordOf(db(), "P1.NC", 0, edited, 1L);
    ASSERT_TRUE(kept.written.ok) << kept.written.error.description.toStdString();
    EXPECT_NE(kept.dateiIndex, index);
    RecordFields expected = edited;
    expected.dateiname = "P1.NC";
    expected.datum = "01.02.2003";
    expected.maschinenIndex = 1;
    EXPECT_EQ(CatalogueRecord::load(db(), kept.dateiIndex).fields, expected);

    // The directory check gave the file a record meanwhile: the edits go
    // into that one, no second record.
    vanished = CatalogueRecord::vanished(db(), dataDir(), "P1.NC");
    EXPECT_EQ(vanished.dateiIndex, kept.dateiIndex);
    EXPECT_TRUE(vanished.text.contains("hat inzwischen einen neuen Datensatz"));
    edited.kunde = "Zweiter";
    ASSERT_TRUE(CatalogueRecord::keepAsRecordOf(db(), "P1.NC", vanished.dateiIndex, edited, std::nullopt).written.ok);
    auto all = db().openRecordset("SELECT * FROM DateiListe", RecordsetType::Snapshot);
    EXPECT_EQ(all->recordCount(), 1);
    EXPECT_EQ(column(kept.dateiIndex, "Kunde").toString(), "Zweiter");
}

TEST_P(RecordStoreTest, EditsOfARecordDeletedWithItsFileHaveNowhereToGo)
{
    addProgram("Zwilling.nc");
    addProgram("ZWILLING.NC");
    const CatalogueRecord::Vanished gone = CatalogueRecord::vanished(db(), dataDir(), "WEG.NC");
    EXPECT_EQ(gone.file, CatalogueRecord::Vanished::File::Gone);
    EXPECT_TRUE(gone.text.contains("nicht mehr im Überwachungsverzeichnis (" + dataDir() + "WEG.NC)"));
    EXPECT_TRUE(gone.text.contains("bleiben in diesem Fenster"));
    const CatalogueRecord::Vanished twins = CatalogueRecord::vanished(db(), dataDir(), "ZWILLING.NC");
    EXPECT_EQ(twins.file, CatalogueRecord::Vanished::File::Twins);
    auto all = db().openRecordset("SELECT * FROM DateiListe", RecordsetType::Snapshot);
    EXPECT_EQ(all->recordCount(), 0);
}

TEST_P(RecordStoreTest, TheWrittenRecordRefreshesItsListLineOnly)
{
    RecordListModel model;
    RecordRow a, b;
    a.cells[RecordRow::Datei] = "A.NC";
    a.cells[RecordRow::DBIndex] = "7";
    b.cells[RecordRow::Datei] = "B.NC";
    b.cells[RecordRow::DBIndex] = "9";
    model.setRows({a, b});
    EXPECT_EQ(model.GetGridRow(9), 1);
    EXPECT_EQ(model.GetGridRow(8), -1);
    RecordFields f = sample("G");
    f.dateiname = "B.NC";
    EXPECT_TRUE(model.refreshRecord(CatalogueRecord::listRow(9, f, 4, "DMU 50 / Halle 1")));
    EXPECT_EQ(model.row(1)[RecordRow::Bezeichnung], "Welle für Getriebe G / zweite Zeile");
    EXPECT_EQ(model.row(1)[RecordRow::Datum], "01.02.2003");
    EXPECT_EQ(model.row(1)[RecordRow::Maschine], "DMU 50 / Halle 1");
    EXPECT_EQ(model.row(1)[RecordRow::MaschIDX], "4");
    EXPECT_EQ(model.row(1)[RecordRow::DBIndex], "9");
    EXPECT_EQ(model.row(0)[RecordRow::Datei], "A.NC");
    EXPECT_FALSE(model.refreshRecord(CatalogueRecord::listRow(8, f, 0, "keine Auswahl")));
}

struct RenameTest : RecordStoreTest {
    ProgramRename rename(long index, const QString &oldName, const QString &typed)
    {
        return ProgramRename({db(), state->verzeichnis, state->fotoVerzeichnis}, index, oldName, typed);
    }
    void photo(const QString &name) { env.writeFile("fotos/" + name, name.toLatin1()); }
    QStringList photos() { return QDir(fotoDir()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name); }
    QStringList programs() { return QDir(dataDir()).entryList(QDir::Files, QDir::Name); }
};

TEST_P(RenameTest, MovesFileThenPhotosByExactPrefixThenStoresTheName)
{
    addProgram("A1");
    const long index = addRecord("A1");
    photo("Foto_A1_1.jpg");
    photo("Foto_A1_2.bmp");
    photo("Foto_A1_4.jpg");
    photo("Foto_A1_X_1.jpg");   // another record's photo whose key holds A1
    photo("Foto_A1_1.jpg.bak"); // no photo at all
    ProgramRename r = rename(index, "A1", "b2.nc");
    ASSERT_EQ(r.check(), ProgramRename::Check::Ready);
    ASSERT_EQ(r.moves().size(), 4);
    EXPECT_EQ(QFileInfo(r.moves().first().from).fileName(), "A1");
    ASSERT_FALSE(r.run().has_value());
    EXPECT_EQ(programs(), QStringList{"b2.nc"});
    EXPECT_EQ(photos(), (QStringList{"Foto_A1_1.jpg.bak", "Foto_A1_X_1.jpg", "Foto_B2.NC_1.jpg", "Foto_B2.NC_2.bmp",
                                     "Foto_B2.NC_4.jpg"}));
    EXPECT_EQ(column(index, "Dateiname").toString(), "B2.NC");
    EXPECT_EQ(photos().contains("Foto_A1_X_1.jpg"), true);
}

TEST_P(RenameTest, TellsWhatStandsInTheWay)
{
    addProgram("A1");
    addProgram("Taken.nc");
    const long index = addRecord("A1");
    addRecord("GONE.NC"); // a record whose file is missing still owns its name
    EXPECT_EQ(rename(index, "A1", "a1").check(), ProgramRename::Check::Unchanged);
    EXPECT_EQ(rename(index, "A1", "TAKEN.NC").check(), ProgramRename::Check::NameTaken);
    EXPECT_EQ(rename(index, "A1", "gone.nc").check(), ProgramRename::Check::NameTaken);
    EXPECT_EQ(rename(index, "A1", "").check(), ProgramRename::Check::Invalid);
    EXPECT_EQ(rename(index, "A1", "X\\..\\Y").check(), ProgramRename::Check::Invalid);
    EXPECT_EQ(rename(index, "A1", "a\"b").check(), ProgramRename::Check::Invalid);
    // Hidden names drop out of the catalogue and the backup.
    EXPECT_EQ(rename(index, "A1", ".versteckt.nc").check(), ProgramRename::Check::Hidden);
    EXPECT_EQ(rename(index, "A1", "  .versteckt.nc").check(), ProgramRename::Check::Hidden);
    EXPECT_EQ(rename(index, "A1", ".sub\\A1").check(), ProgramRename::Check::Hidden);
    EXPECT_EQ(rename(index, "A1", "SUB/.A1").check(), ProgramRename::Check::Hidden);
    EXPECT_EQ(rename(index, "A1", "A.1.").check(), ProgramRename::Check::Ready);
    EXPECT_EQ(rename(index, "MISSING", "NEW").check(), ProgramRename::Check::SourceMissing);
    EXPECT_EQ(programs(), (QStringList{"A1", "Taken.nc"}));
}

TEST_P(RenameTest, AFailureHalfWayPutsEverythingBack)
{
    addProgram("A1");
    const long index = addRecord("A1");
    photo("Foto_A1_1.jpg");
    photo("Foto_A1_2.jpg");
    photo("Foto_A1_4.jpg");
    // Something under photo 4's new name: its move fails after the file and
    // photos 1 and 2 have moved.
    QDir().mkpath(fotoDir() + "Foto_B2_4.jpg");
    ProgramRename r = rename(index, "A1", "B2");
    ASSERT_EQ(r.check(), ProgramRename::Check::Ready);
    const std::optional<ErrorInfo> error = r.run();
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->description.contains("Foto_A1_4.jpg"));
    EXPECT_TRUE(error->description.contains("(Der Name ist schon vergeben)")) << error->description.toStdString();
    EXPECT_TRUE(error->description.contains("unverändert"));
    EXPECT_EQ(programs(), QStringList{"A1"});
    EXPECT_EQ(photos(), (QStringList{"Foto_A1_1.jpg", "Foto_A1_2.jpg", "Foto_A1_4.jpg", "Foto_B2_4.jpg"}));
    EXPECT_EQ(env.readFile(fotoDir() + "Foto_A1_2.jpg"), "Foto_A1_2.jpg");
    EXPECT_EQ(column(index, "Dateiname").toString(), "A1");
}

TEST_P(RenameTest, AFailedStoreOfTheNamePutsFileAndPhotosBack)
{
    addProgram("SUB/A1");
    const long index = addRecord("SUB\\A1");
    photo("Foto_SUB-A1_1.jpg");
    ProgramRename r = rename(index, "SUB\\A1", "sub\\a2");
    ASSERT_EQ(r.check(), ProgramRename::Check::Ready);
    EXPECT_EQ(r.moves().last().to, fotoDir() + "Foto_SUB-A2_1.jpg");
    db().close();
    ASSERT_TRUE(r.run().has_value());
    EXPECT_TRUE(QFileInfo::exists(dataDir() + "SUB/A1"));
    EXPECT_FALSE(QFileInfo::exists(dataDir() + "SUB/a2"));
    EXPECT_EQ(photos(), QStringList{"Foto_SUB-A1_1.jpg"});
}

TEST(RecordSheet, LaysOutTheSheetWithItsStyles)
{
    RecordFields f = sample("H");
    f.dateiname = "DREHEN\\P1.NC";
    f.kunde = "";
    const QList<RecordSheet::Line> lines = RecordSheet::lines(f, "keine Auswahl");
    QStringList texts;
    for (const RecordSheet::Line &line : lines)
        texts << line.text();
    const QStringList expected{
        "DREHEN\\P1.NC     Maschine: keine Auswahl", " ", QString(80, '='), "Welle für Getriebe H", "zweite Zeile",
        QString(80, '='), "Zeichnungsnummern:", "Z-4711", "Z-4712", " ", "Auftragsnummer:", "A 99", " ", "Kunde:", "",
        " ", "Datum:", "01.02.2003", " ", QString(80, '='), "Laufzeit je Teil:", "12,5", " ", "Aufspannung:",
        "Schraubstock", "", "Backen weich", " ", "Werkzeuge:", "T1 Fräser Ø12", "T2 Bohrer", " ", "Ersteller:", "Jörg",
        " ", QString(140, '-'), "Bemerkungen:", "Achtung: Grat!", "entgraten", "prüfen", " "};
    EXPECT_EQ(texts, expected);
    const RecordSheet::Run &name = lines[0].runs[0];
    EXPECT_EQ(name.pointSize, 20);
    EXPECT_TRUE(name.bold);
    EXPECT_EQ(lines[0].runs[1].pointSize, 10);
    EXPECT_FALSE(lines[0].runs[1].bold);
    EXPECT_TRUE(lines[2].rule);
    EXPECT_TRUE(lines[2].runs[0].bold);
    EXPECT_EQ(lines[3].runs[0].pointSize, 16);
    const RecordSheet::Run &label = lines[6].runs[0];
    EXPECT_TRUE(label.bold && label.underline);
    EXPECT_EQ(label.pointSize, 12);
    EXPECT_FALSE(lines[7].runs[0].bold || lines[7].runs[0].underline);
    EXPECT_TRUE(lines[19].runs[0].bold);  // the middle "=" rule
    EXPECT_FALSE(lines[35].runs[0].bold); // the "-" rule
    EXPECT_TRUE(lines[35].rule);
}

TEST(EditorQueue, FiftyNewRecordsOpenAFewAtATimeAndEachOnce)
{
    EditorQueue queue(3);
    int openNow = 0;
    for (long i = 1; i <= 50; ++i)
        openNow += queue.offerNew(i) == EditorQueue::Offer::OpenNow;
    EXPECT_EQ(openNow, 3);
    EXPECT_EQ(queue.waiting(), 47);
    EXPECT_EQ(queue.offerNew(2), EditorQueue::Offer::AlreadyOpen);
    EXPECT_EQ(queue.offerNew(10), EditorQueue::Offer::Queued);
    EXPECT_EQ(queue.waiting(), 47);
    // The user opens a waiting one himself: it does not open a second time.
    EXPECT_EQ(queue.offerChosen(10), EditorQueue::Offer::OpenNow);
    EXPECT_EQ(queue.waiting(), 46);
    EXPECT_EQ(queue.closed(1), QList<long>{});
    EXPECT_EQ(queue.closed(2), QList<long>{4});
    QList<long> order{4};
    long last = 4;
    while (queue.openCount() > 0) {
        const QList<long> next = queue.closed(last == 10 ? 3 : last);
        order += next;
        if (next.isEmpty())
            break;
        last = next.last();
    }
    EXPECT_EQ(queue.waiting(), 0);
    EXPECT_FALSE(order.contains(10));
    EXPECT_EQ(order.size(), 46);
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordStoreTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);
INSTANTIATE_TEST_SUITE_P(Engines, RenameTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

} // namespace
} // namespace zep::test
