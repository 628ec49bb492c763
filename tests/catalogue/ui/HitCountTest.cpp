#include "../../station/ui/UiFixture.h"

#include "catalogue/RecordListModel.h"
#include "catalogue/ui/RecordListView.h"

#include <QLabel>
#include <QLineEdit>

namespace zep::test {
namespace {

struct HitCountTest : ::testing::Test, UiFixture {
    void SetUp() override
    {
        prepareRegularStart();
        Database db;
        ASSERT_TRUE(db.open(dbPath()));
        ASSERT_TRUE(db.transaction());
        for (int i = 0; i < 1234; ++i)
            ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, Kunde) VALUES (?, ?)",
                                   {QString("P%1.NC").arg(i), i % 617 == 0 ? QString("Müller") : QString("Zander")}));
        ASSERT_TRUE(db.commit());
        db.close();
        ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
        showActive();
    }
    QString hits() const { return window->findChild<QLabel *>("Treffer")->text(); }
};

TEST_F(HitCountTest, TheLabelBelowTheListShowsTheHitsOfEachSearch)
{
    EXPECT_EQ(hits(), "");
    searchFor("");
    EXPECT_EQ(hits(), "1.234 Datensätze");
    EXPECT_EQ(window->grid()->records()->rowCount(), 1234);
    searchFor("müller");
    EXPECT_EQ(hits(), "2 Datensätze");
    searchFor("gibt es nicht");
    EXPECT_EQ(hits(), "0 Datensätze");
    searchFor("P617.NC");
    EXPECT_EQ(hits(), "1 Datensatz");
}

} // namespace
} // namespace zep::test
