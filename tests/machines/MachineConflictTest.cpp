#include "db/DbFixture.h"

#include "app/ManualClock.h"
#include "db/RowReader.h"
#include "app/ScriptedPrompts.h"
#include "machines/MachineSession.h"

namespace zep::test {
namespace {

using Part = MachineSession::Part;

// One machine edited in the machine managers of two stations. Each field is
// stored as it is left; a field changed at the other station meanwhile is
// not overwritten without the user seeing both versions.
struct MachineConflictTest : CatalogueOnEngine {
    void SetUp() override
    {
        CatalogueOnEngine::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(db.execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES (?, ?)", {"Drehbank ", "Halle 1 "}));
        db.readRows("SELECT max(Maschinennummer) FROM Maschinen", {}, [&](const RowReader &r) { machine = r.integer(0); });
        ASSERT_GT(machine, 0);
        ASSERT_TRUE(reopen(otherDb));
        here = std::make_unique<MachineSession>(db, prompts, clock);
        there = std::make_unique<MachineSession>(otherDb, otherPrompts, clock);
        QObject::connect(here.get(), &MachineSession::loaded, [this](const MachineRecord &r) { shown << r; });
        here->load(machine);
        there->load(machine);
        ASSERT_EQ(shown.size(), 1);
    }
    QString stored(const char *column)
    {
        QString out;
        db.readRows(QString("SELECT %1 FROM Maschinen WHERE Maschinennummer=?").arg(column), {qlonglong(machine)},
                    [&](const RowReader &r) { out = r.text(0); });
        return out;
    }

    long machine = 0;
    Database otherDb;
    ManualClock clock;
    ScriptedPrompts prompts, otherPrompts;
    std::unique_ptr<MachineSession> here, there;
    QList<MachineRecord> shown;
};

TEST_P(MachineConflictTest, FieldChangedElsewhereIsShownWithBothVersionsAndNothingIsLost)
{
    there->draftName(Part::Standort, "Halle 3");
    there->leave(Part::Standort);
    EXPECT_EQ(stored("Standort"), "Halle 3 ");
    EXPECT_TRUE(otherPrompts.asked().isEmpty());

    // Nobody answers (or the user edits on): nothing is stored, the typed
    // text stays as a draft and is asked about at the next store.
    here->draftName(Part::Standort, "Halle 9");
    here->leave(Part::Standort);
    EXPECT_EQ(stored("Standort"), "Halle 3 ");
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().first().buttons, PromptButtons::YesNoCancel);
    EXPECT_EQ(prompts.asked().first().text,
              MachineSession::changedElsewhereText("Drehbank", Part::Standort, "Halle 3", "Halle 9"));
    EXPECT_TRUE(here->hasDraft(Part::Standort));

    // Another field of the same machine is stored without a question.
    here->draftName(Part::Bezeichnung, "Drehbank neu");
    here->leave(Part::Bezeichnung);
    EXPECT_EQ(stored("Bezeichnung"), "Drehbank neu ");
    EXPECT_EQ(prompts.asked().size(), 1);

    // Keeping mine stores it.
    prompts.queueAnswer(PromptAnswer::Yes);
    here->leave(Part::Standort);
    EXPECT_EQ(prompts.asked().size(), 2);
    EXPECT_EQ(stored("Standort"), "Halle 9 ");
    EXPECT_FALSE(here->hasDraft(Part::Standort));

    // The other station, storing from its old reading, is asked in turn and
    // takes this version: its window reads the machine anew.
    QList<MachineRecord> shownThere;
    QObject::connect(there.get(), &MachineSession::loaded, [&](const MachineRecord &r) { shownThere << r; });
    otherPrompts.queueAnswer(PromptAnswer::No);
    there->draftName(Part::Standort, "Halle 4");
    there->leave(Part::Standort);
    EXPECT_EQ(otherPrompts.asked().size(), 1);
    EXPECT_EQ(stored("Standort"), "Halle 9 ");
    ASSERT_EQ(shownThere.size(), 1);
    EXPECT_EQ(shownThere.first().standort, "Halle 9 ");
    EXPECT_EQ(shownThere.first().bezeichnung, "Drehbank neu ");
}

TEST_P(MachineConflictTest, MaintenancePlanChangedElsewhereIsAskedAbout)
{
    MaintenanceFields theirs;
    theirs.wartungsArt = {2, 0, 0};
    theirs.wartStart[0] = QDateTime(QDate(2026, 12, 1), QTime(0, 0));
    theirs.wartText[0] = "Öl wechseln";
    there->storeMaintenance(theirs);
    EXPECT_EQ(stored("WartText1"), "Öl wechseln");

    MaintenanceFields mine = theirs;
    mine.wartText[0] = "Filter tauschen";
    here->storeMaintenance(mine);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked().first().text.contains("dort: 1. Art 2 ab 01.12.2026: Öl wechseln"))
        << qPrintable(prompts.asked().first().text);
    EXPECT_TRUE(prompts.asked().first().text.contains("hier: 1. Art 2 ab 01.12.2026: Filter tauschen"));
    EXPECT_EQ(stored("WartText1"), "Öl wechseln");
}

INSTANTIATE_TEST_SUITE_P(Engines, MachineConflictTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

} // namespace
} // namespace zep::test
