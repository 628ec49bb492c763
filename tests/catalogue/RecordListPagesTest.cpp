#include "CatalogueFixture.h"

#include "catalogue/RecordListModel.h"
#include "catalogue/RecordSearch.h"
#include "catalogue/RecordSearchPages.h"
#include "db/ListOrder.h"
#include "db/RowReader.h"

#include <QDateTime>

#include <algorithm>
#include <memory>
#include <random>

namespace zep::test {
namespace {

// The main list reading a search page by page from the engine, checked
// against the list holding every found record and sorting it itself.
struct RecordListPagesTest : CatalogueOnEngines {
    void SetUp() override
    {
        CatalogueOnEngines::SetUp();
        // Two machines with texts alike but for the case, and one more.
        machine("dmu 50", "Halle 1");      // 1
        machine("Drehmaschine", "Halle 2"); // 2
        machine("DMU 50", "HALLE 1");      // 3
    }
    void machine(const QString &name, const QString &where)
    {
        ASSERT_TRUE(db().execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES (?, ?)", {name, where}));
    }
    void record(const QVariant &file, const QVariant &bezeichnung, const QVariant &zeichnung, const QVariant &auftrag,
                const QVariant &kunde, const QVariant &datum, const QVariant &machine)
    {
        ASSERT_TRUE(db().execute("INSERT INTO DateiListe (Dateiname, Bezeichnung, Zeichnungsnummer, Auftragsnummer, "
                                 "Kunde, Datum, MaschinenIndex) VALUES (?, ?, ?, ?, ?, ?, ?)",
                                 {file, bezeichnung, zeichnung, auftrag, kunde, datum, machine}))
            << db().lastError().description;
    }
    // Texts that meet in the order: case twins, umlauts and their plain
    // forms, ß beside ss, texts empty or missing, line breaks beside " / ",
    // prefixes of one another, and many equal ones.
    void mixedRecords(int count)
    {
        const QList<QVariant> texts{QVariant(),      QString(""),      "Müller",          "MÜLLER",
                                    "müller",        "Mueller",        "Straße",          "STRASSE",
                                    "strasse",       "Ölwanne",        "olwanne",         "Welle\r\nlang",
                                    "Welle / lang",  "Welle (kurz)",   "Welle - lang",    "Welle\r\n",
                                    "Welle",         "A",              "a",               "Zander",
                                    "0815",          "~",              "Ωmega",           "ωmega"};
        std::mt19937 random(28);
        auto any = [&] { return texts.at(int(random() % texts.size())); };
        ASSERT_TRUE(db().transaction());
        for (int i = 0; i < count; ++i) {
            QVariant date;
            switch (random() % 4) {
            case 0: break; // none: counts as 01.01.1980
            case 1: date = QDateTime(QDate(1979, 5, 1), QTime(8, 0)); break;
            case 2: date = QDateTime(QDate(2026, 3, int(random() % 3) + 1), QTime(int(random() % 24), 0)); break;
            default: date = QDateTime(QDate(1980, 1, 1), QTime(12, 0)); break;
            }
            QVariant machine;
            if (const int m = int(random() % 6); m < 5)
                machine = qlonglong(m); // 0 and 4 name no machine there is
            // A stored name is unique whatever its letter case: the same
            // texts, each made a name of its own (or none).
            QVariant file = i % 50 == 7 ? any() : QVariant(QStringLiteral("P%1.NC").arg(random() % 40));
            if (!file.isNull())
                file = file.toString() + QStringLiteral("#%1").arg(i);
            record(file, any(), any(), any(), any(), date, machine);
        }
        ASSERT_TRUE(db().commit());
    }
    // The lines as the list that holds every record shows them, starting
    // from the records in the order they were added.
    std::vector<long> reference(const QString &term, long machine, int column)
    {
        SearchResult all = RecordSearch::run(db(), SearchStatement::build(term, machine));
        EXPECT_TRUE(all.ok) << all.error.description;
        QList<RecordRow> rows(all.rows.begin(), all.rows.end());
        std::sort(rows.begin(), rows.end(),
                  [](const RecordRow &x, const RecordRow &y) { return x.dateiIndex() < y.dateiIndex(); });
        RecordListModel model;
        model.setRows(rows);
        model.sortBy(column);
        std::vector<long> lines;
        for (int i = 0; i < model.rowCount(); ++i)
            lines.push_back(model.row(i).dateiIndex());
        return lines;
    }
    std::unique_ptr<RecordListModel> listed(const QString &term, long machine = 0)
    {
        auto search = std::make_shared<RecordSearchPages>(db(), SearchStatement::build(term, machine));
        EXPECT_TRUE(search->count()) << search->error().description;
        auto model = std::make_unique<RecordListModel>();
        model->setSearch(search);
        return model;
    }
    static std::vector<long> lines(const RecordListModel &model)
    {
        std::vector<long> out;
        for (int i = 0; i < model.rowCount(); ++i)
            out.push_back(model.data(model.index(i, RecordRow::DBIndex)).toString().toLong());
        return out;
    }
};

TEST_P(RecordListPagesTest, EveryColumnSortsAsTheListHoldingEveryRecordSortsIt)
{
    mixedRecords(700);
    for (const auto &[term, machine] : {std::pair<QString, long>{"", 0}, {"ll", 0}, {"welle", 0}, {"", 1}}) {
        std::unique_ptr<RecordListModel> model = listed(term, machine);
        for (int column = 0; column < RecordRow::ColumnCount; ++column) {
            model->sortBy(column);
            const std::vector<long> expected = reference(term, machine, column);
            ASSERT_GT(expected.size(), 0u);
            EXPECT_EQ(lines(*model), expected) << "column " << column << " term '" << term.toStdString() << "'";
        }
    }
}

TEST_P(RecordListPagesTest, LinesReadFromTheEndOrAtRandomComeInTheSameOrder)
{
    mixedRecords(900);
    // A record without any text is no hit of the empty search.
    record(QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant());
    for (const QString term : {"", "welle"}) {
        for (const int column : {int(RecordRow::Datei), int(RecordRow::Datum), int(RecordRow::Maschine)}) {
            const std::vector<long> expected = reference(term, 0, column);
            std::unique_ptr<RecordListModel> model = listed(term);
            model->sortBy(column);
            ASSERT_EQ(model->rowCount(), int(expected.size()));
            std::vector<long> backwards(expected.size());
            for (int i = model->rowCount() - 1; i >= 0; --i)
                backwards[size_t(i)] = model->row(i).dateiIndex();
            EXPECT_EQ(backwards, expected) << column;
            model->sortBy(column);
            std::mt19937 random(column);
            for (int n = 0; n < 20; ++n) {
                const int i = int(random() % expected.size());
                EXPECT_EQ(model->row(i).dateiIndex(), expected[size_t(i)]) << column << " line " << i;
            }
        }
    }
}

TEST_P(RecordListPagesTest, LinesShowWhatTheListHoldingEveryRecordShows)
{
    mixedRecords(300);
    std::unique_ptr<RecordListModel> model = listed("");
    model->sortBy(RecordRow::Kunde);
    SearchResult all = RecordSearch::run(db(), SearchStatement::build("", 0));
    QHash<long, RecordRow> byIndex;
    for (const RecordRow &row : all.rows)
        byIndex.insert(row.dateiIndex(), row);
    ASSERT_EQ(model->rowCount(), int(all.rows.size()));
    for (int i = 0; i < model->rowCount(); i += 7) {
        const RecordRow shown = model->row(i);
        const RecordRow &expected = byIndex.value(shown.dateiIndex());
        for (int column = 0; column < RecordRow::ColumnCount; ++column) {
            EXPECT_EQ(shown[column], expected[column]) << i << " " << column;
            EXPECT_EQ(model->data(model->index(i, column)).toString(), expected[column]);
        }
        EXPECT_EQ(shown.date, expected.date);
    }
}

TEST_P(RecordListPagesTest, HitsAreCountedWithoutRecordsThatHoldNoText)
{
    record("A.NC", "Welle", QVariant(), QVariant(), "Müller", QVariant(), qlonglong(1));
    record(QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), qlonglong(1)); // no text at all
    record("B.NC", QVariant(), QVariant(), QVariant(), "MÜLLER", QVariant(), qlonglong(2));
    record(QVariant(), "Müllerwelle", QVariant(), QVariant(), QVariant(), QVariant(), QVariant());
    const struct {
        QString term;
        long machine;
        qint64 hits;
    } cases[] = {{"", 0, 3}, {"*", 0, 3}, {"", 1, 1}, {"", 2, 1}, {"müller", 0, 3}, {"welle", 1, 1}, {"xyz", 0, 0}};
    for (const auto &c : cases) {
        RecordSearchPages search(db(), SearchStatement::build(c.term, c.machine));
        ASSERT_TRUE(search.count()) << search.error().description;
        EXPECT_EQ(search.hits(), c.hits) << c.term.toStdString() << " " << c.machine;
    }
    RecordListModel model;
    QList<qint64> hits;
    QObject::connect(&model, &RecordListModel::hitsChanged, [&](qint64 n) { hits.append(n); });
    auto search = std::make_shared<RecordSearchPages>(db(), SearchStatement::build("", 0));
    ASSERT_TRUE(search->count());
    model.setSearch(search);
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits.at(0), 3);
    EXPECT_EQ(RecordListModel::hitsText(1234), "1.234 Datensätze");
    EXPECT_EQ(RecordListModel::hitsText(1), "1 Datensatz");
    EXPECT_EQ(RecordListModel::hitsText(0), "0 Datensätze");
}

TEST_P(RecordListPagesTest, ARecordIsFoundOnItsLineInEveryOrderThoughItsPageWasNeverRead)
{
    mixedRecords(600);
    for (int column = 0; column < RecordRow::ColumnCount; ++column) {
        std::unique_ptr<RecordListModel> model = listed("");
        model->sortBy(column);
        const std::vector<long> expected = reference("", 0, column);
        for (const size_t line : {size_t(0), size_t(300), expected.size() - 1})
            EXPECT_EQ(model->GetGridRow(expected[line]), int(line)) << "column " << column;
    }
    std::unique_ptr<RecordListModel> model = listed("welle");
    const std::vector<long> all = reference("", 0, 0);
    const std::vector<long> found = reference("welle", 0, 0);
    for (const long index : all)
        if (std::find(found.begin(), found.end(), index) == found.end()) {
            EXPECT_EQ(model->GetGridRow(index), -1);
            break;
        }
    EXPECT_EQ(model->GetGridRow(999999), -1);
}

TEST_P(RecordListPagesTest, AReloadShowsRecordsAddedAndDeletedElsewhereInTheSameOrder)
{
    mixedRecords(200);
    std::unique_ptr<RecordListModel> model = listed("");
    model->sortBy(RecordRow::Datum);
    const int before = model->rowCount();
    ASSERT_GT(before, 0);
    (void)model->row(0); // the first page is read
    record("NEU.NC", "Neu", QVariant(), QVariant(), QVariant(), QDateTime(QDate(2030, 1, 1), QTime(0, 0)), QVariant());
    const long gone = model->row(before - 1).dateiIndex();
    ASSERT_TRUE(db().execute("DELETE FROM DateiListe WHERE DateiIndex = ?", {qlonglong(gone)}));
    record("NEU2.NC", "Neu", QVariant(), QVariant(), QVariant(), QDateTime(QDate(2030, 1, 2), QTime(0, 0)), QVariant());

    QList<qint64> hits;
    QObject::connect(model.get(), &RecordListModel::hitsChanged, [&](qint64 n) { hits.append(n); });
    ASSERT_TRUE(model->reload());
    EXPECT_EQ(model->sortColumn(), int(RecordRow::Datum));
    EXPECT_EQ(model->rowCount(), before + 1);
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(model->row(0)[RecordRow::Datei], "NEU2.NC");
    EXPECT_EQ(model->row(1)[RecordRow::Datei], "NEU.NC");
    EXPECT_EQ(model->GetGridRow(gone), -1);
    EXPECT_EQ(lines(*model), reference("", 0, RecordRow::Datum));
}

TEST_P(RecordListPagesTest, AnEditedRecordShowsItsNewValuesOnItsLine)
{
    mixedRecords(50);
    std::unique_ptr<RecordListModel> model = listed("");
    model->sortBy(RecordRow::Datei);
    RecordRow edited = model->row(3);
    const long index = edited.dateiIndex();
    edited.cells[RecordRow::Kunde] = "Schäfer & Söhne";
    edited.cells[RecordRow::DBIndex] = QString::number(index);
    ASSERT_TRUE(model->refreshRecord(edited));
    EXPECT_EQ(model->row(3)[RecordRow::Kunde], "Schäfer & Söhne");
    EXPECT_EQ(model->row(3).dateiIndex(), index);
    RecordRow unknown = edited;
    unknown.cells[RecordRow::DBIndex] = "999999";
    EXPECT_FALSE(model->refreshRecord(unknown));
}

TEST_P(RecordListPagesTest, WithoutMachinesTheMachineColumnListsInTheOrderRecordsWereAdded)
{
    mixedRecords(150);
    ASSERT_TRUE(db().execute("DELETE FROM Maschinen"));
    std::unique_ptr<RecordListModel> model = listed("");
    model->sortBy(RecordRow::Maschine);
    EXPECT_EQ(lines(*model), reference("", 0, RecordRow::Maschine));
    const std::vector<long> expected = reference("", 0, RecordRow::Maschine);
    EXPECT_EQ(model->GetGridRow(expected[140]), 140);
}

TEST_P(RecordListPagesTest, HugeTextsAreWrittenAndListedInOrder)
{
    // Longer than any index entry the server keeps.
    const QString huge = QString(100000, QChar(u'ü'));
    for (const QString &lead : {"B", "a", "C"})
        record(lead + huge, lead + huge, lead + huge, lead + huge, lead + huge, QVariant(), QVariant());
    std::unique_ptr<RecordListModel> model = listed("");
    for (int column = 0; column < RecordRow::ColumnCount; ++column) {
        model->sortBy(column);
        EXPECT_EQ(lines(*model), reference("", 0, column)) << column;
    }
}

TEST_P(RecordListPagesTest, TheSchemaCheckMakesAnIndexForEveryOrder)
{
    for (int key = 0; key < ListOrder::kKeys; ++key)
        EXPECT_TRUE(db().hasIndex(ListOrder::indexName(ListOrder::Key(key)))) << key;
}

} // namespace
INSTANTIATE_TEST_SUITE_P(Engines, RecordListPagesTest, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         engineName);
} // namespace zep::test
