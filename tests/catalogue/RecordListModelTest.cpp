#include "catalogue/RecordListModel.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace zep::test
