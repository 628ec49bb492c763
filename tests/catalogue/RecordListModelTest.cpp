#include "catalogue/RecordListModel.h"
#include "catalogue/RecordSearch.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace zep::test {
namespace {

RecordRow row(const QString &file, const QString &kunde, const QDate &date = {})
{
    RecordRow r;
    r.cells[RecordRow::Datei] = file;
    r.cells[RecordRow::Kunde] = kunde;
    r.date = date;
    r.cells[RecordRow::Datum] = date.isValid() ? date.toString("dd.MM.yyyy") : QString();
    return r;
}

QStringList column(const RecordListModel &model, int c)
{
    QStringList out;
    for (int i = 0; i < model.rowCount(); ++i)
        out << model.data(model.index(i, c)).toString();
    return out;
}

TEST(RecordListModel, DateSortsNewestFirstWithNoDateAsNineteenEighty)
{
    RecordListModel model;
    model.setRows({row("A", "", QDate(1979, 5, 1)), row("B", ""), row("C", "", QDate(2026, 1, 2)),
                   row("D", "", QDate(2025, 12, 31))});
    model.sortBy(RecordRow::Datum);
    EXPECT_EQ(column(model, RecordRow::Datei), QStringList({"C", "D", "B", "A"}));
    model.sortBy(RecordRow::Datum);
    EXPECT_EQ(column(model, RecordRow::Datei), QStringList({"C", "D", "B", "A"}));
}

TEST(RecordListModel, TextColumnsSortAToZWhateverTheCase)
{
    RecordListModel model;
    model.setRows({row("P3", "meier"), row("P1", "Zander"), row("P2", "Albrecht"), row("P10", "")});
    model.sortBy(RecordRow::Kunde);
    EXPECT_EQ(column(model, RecordRow::Kunde), QStringList({"", "Albrecht", "meier", "Zander"}));
    model.sortBy(RecordRow::Datei);
    EXPECT_EQ(column(model, RecordRow::Datei), QStringList({"P1", "P10", "P2", "P3"}));
    EXPECT_EQ(model.sortColumn(), 0);
}

TEST(RecordListModel, HeadingsCarryTheirSortHint)
{
    RecordListModel model;
    EXPECT_EQ(model.columnCount(), 9);
    EXPECT_EQ(model.headerData(5, Qt::Horizontal).toString(), "Datum");
    EXPECT_EQ(model.headerData(4, Qt::Horizontal, Qt::ToolTipRole).toString(),
              "Sortieren nach Spalte 'Kunde' durch anklicken.");
    model.setRows({row("A", "K")});
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::ToolTipRole).isValid());
}


// The list's order, made the plain way: every shown text folded whole and
// compared as code units, equal texts in the order they came.
QStringList plainOrder(QStringList shown)
{
    std::stable_sort(shown.begin(), shown.end(), [](const QString &x, const QString &y) {
        const QString a = x.toCaseFolded(), b = y.toCaseFolded();
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](QChar p, QChar q) { return p.unicode() < q.unicode(); });
    });
    return shown;
}

TEST(RecordListModel, TextSortMatchesThePlainOrderForLongSharedPrefixesUmlautsAndLineBreaks)
{
    // Texts alike in their first eight characters and beyond, prefixes of
    // one another, plain ASCII beside umlauts, and multi-line texts, which
    // the list shows with " / ".
    QStringList texts{"DREHEN\\SERIE\\W100.NC", "drehen\\serie\\w100.nc", "DREHEN\\SERIE\\W10.NC", "DREHEN\\SERIE\\",
                      "drehen", "DREHEN\\SERIE\\Ä1.NC", "drehen\\serie\\ä1.nc", "DREHEN\\SERIE\\Z1.NC", "", "a",
                      "A", "Welle\r\nlang", "Welle / lang", "Welle /", "Welle\r\n", "Ölwanne", "olwanne", "Straße",
                      "STRASSE", "Ωmega", "ωmega", "~", "0815"};
    std::mt19937 random(7);
    const QString alphabet = QStringLiteral("aAbBäÄ\\/ 1.");
    for (int i = 0; i < 300; ++i) {
        QString text;
        for (int n = int(random() % 14); n > 0; --n)
            text += alphabet[int(random() % alphabet.size())];
        texts << text;
    }
    // As a search gives them: multi-line texts as stored, with CR LF.
    FoundRecords found;
    for (int i = 0; i < texts.size(); ++i) {
        const QByteArray number = QByteArray::number(i), text = texts[i].toUtf8();
        FoundRecords::Values values;
        values.texts = {number, text, {}, {}, text, {}};
        found.append(values);
    }
    RecordListModel model;
    model.setRows(std::move(found));
    for (int c : {int(RecordRow::Kunde), int(RecordRow::Bezeichnung)}) {
        model.sortBy(RecordRow::Datei);
        QStringList before = column(model, c);
        model.sortBy(c);
        EXPECT_EQ(column(model, c), plainOrder(before)) << c;
        // Equal texts keep the order they had.
        QStringList again = column(model, RecordRow::Datei);
        model.sortBy(c);
        EXPECT_EQ(column(model, RecordRow::Datei), again);
    }
}

TEST(RecordListModel, AnEditedRecordShowsItsNewValuesAndKeepsItsKeyAndPlace)
{
    RecordRow a = row("A.NC", "Müller", QDate(2026, 3, 4));
    a.cells[RecordRow::DBIndex] = "7";
    a.cells[RecordRow::Maschine] = "DMU 50 / Halle 1";
    a.cells[RecordRow::MaschIDX] = "1";
    RecordRow b = row("B.NC", "Zander");
    b.cells[RecordRow::DBIndex] = "8";
    RecordListModel model;
    model.setRows({b, a});
    model.sortBy(RecordRow::Datei);
    EXPECT_EQ(model.GetGridRow(7), 0);
    EXPECT_EQ(model.row(0)[RecordRow::Maschine], "DMU 50 / Halle 1");
    EXPECT_EQ(model.row(1)[RecordRow::MaschIDX], "");

    RecordRow edited = row("A.NC", "Schäfer & Söhne", QDate(2025, 1, 2));
    edited.cells[RecordRow::DBIndex] = "7";
    edited.cells[RecordRow::Bezeichnung] = RecordSearch::oneLine("Welle\r\nlang");
    edited.cells[RecordRow::MaschIDX] = "0";
    ASSERT_TRUE(model.refreshRecord(edited));
    const RecordRow shown = model.row(0);
    EXPECT_EQ(shown[RecordRow::Kunde], "Schäfer & Söhne");
    EXPECT_EQ(shown[RecordRow::Bezeichnung], "Welle / lang");
    EXPECT_EQ(shown[RecordRow::Datum], "02.01.2025");
    EXPECT_EQ(shown[RecordRow::DBIndex], "7");
    EXPECT_EQ(shown[RecordRow::MaschIDX], "0");
    EXPECT_EQ(shown[RecordRow::Maschine], "");
    EXPECT_EQ(model.row(1)[RecordRow::Kunde], "Zander");
    RecordRow unknown = edited;
    unknown.cells[RecordRow::DBIndex] = "99";
    EXPECT_FALSE(model.refreshRecord(unknown));
}

} // namespace
} // namespace zep::test
