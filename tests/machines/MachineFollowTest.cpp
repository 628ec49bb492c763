#include "db/DbFixture.h"

#include "app/ManualClock.h"
#include "app/ScriptedPrompts.h"
#include "db/RowReader.h"
#include "machines/MachineSession.h"

namespace zep::test {
namespace {

using Part = MachineSession::Part;

// The machine manager of this station open on a machine while another
// station changes, adds and deletes machines. What the window is to show
// again, and what stays as the user typed it, is decided here.
struct MachineFollowTest : CatalogueOnEngine {
    void SetUp() override
    {
        CatalogueOnEngine::SetUp();
        if (HasFatalFailure())
            return;
        machine = insert("Drehbank ", "Halle 1 ");
        ASSERT_GT(machine, 0);
        ASSERT_TRUE(reopen(other));
        here = std::make_unique<MachineSession>(db, prompts, clock);
        QObject::connect(here.get(), &MachineSession::listRead,
                         [this](const QList<MachineListEntry> &entries) { lists << entries; });
        QObject::connect(here.get(), &MachineSession::changedElsewhere,
                         [this](const MachineRecord &r, const QList<Part> &s, const QList<Part> &k) {
                             // What the window fills in is no edit.
                             EXPECT_FALSE(here->editing());
                             records << r;
                             shown << s;
                             kept << k;
                         });
        QObject::connect(here.get(), &MachineSession::deletedElsewhere,
                         [this](long number, const QString &name) { deleted << std::make_pair(number, name); });
        here->load(machine);
        ASSERT_EQ(here->machine(), machine);
    }

    // A row as another station's manager writes it.
    long insert(const QString &bezeichnung, const QString &standort) { return insert(db, bezeichnung, standort); }
    long insert(Database &into, const QString &bezeichnung, const QString &standort)
    {
        EXPECT_TRUE(into.execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES (?, ?)", {bezeichnung, standort}));
        long out = 0;
        into.readRows("SELECT max(Maschinennummer) FROM Maschinen", {}, [&](const RowReader &r) { out = r.integer(0); });
        return out;
    }
    void changeThere(const QString &assignment, const QVariantList &values)
    {
        QVariantList params = values;
        params << qlonglong(machine);
        ASSERT_TRUE(other.execute("UPDATE Maschinen SET " + assignment + " WHERE Maschinennummer=?", params))
            << qPrintable(other.lastError().description);
    }
    QString stored(const char *column)
    {
        QString out;
        db.readRows(QString("SELECT %1 FROM Maschinen WHERE Maschinennummer=?").arg(column), {qlonglong(machine)},
                    [&](const RowReader &r) { out = r.text(0); });
        return out;
    }
    QStringList names(const QList<MachineListEntry> &entries)
    {
        QStringList out;
        for (const MachineListEntry &e : entries)
            out << e.bezeichnung.trimmed();
        return out;
    }

    long machine = 0;
    Database other; // the other station's connection
    ManualClock clock{QDateTime(QDate(2026, 12, 8), QTime(9, 0))};
    ScriptedPrompts prompts;
    std::unique_ptr<MachineSession> here;
    QList<QList<MachineListEntry>> lists;
    QList<MachineRecord> records;
    QList<QList<Part>> shown, kept;
    QList<std::pair<long, QString>> deleted;
};

TEST_P(MachineFollowTest, ListIsReadAgainAndTheMachineShownTakesTheChangedParts)
{
    // Nothing changed at the shown machine: only the list is read.
    const long added = insert(other, "Fräse ", "Halle 2 ");
    here->followChanges();
    ASSERT_EQ(lists.size(), 1);
    EXPECT_EQ(names(lists.last()), QStringList({"Drehbank", "Fräse"}));
    EXPECT_TRUE(records.isEmpty());

    changeThere("Standort=?, WartungsArt1=?, WartText1=?", {"Halle 3 ", 2, "Öl wechseln"});
    ASSERT_TRUE(other.execute("DELETE FROM Maschinen WHERE Maschinennummer=?", {qlonglong(added)}));
    here->followChanges();
    ASSERT_EQ(lists.size(), 2);
    EXPECT_EQ(names(lists.last()), QStringList({"Drehbank"}));
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(shown.last(), QList<Part>({Part::Standort, Part::Maintenance}));
    EXPECT_TRUE(kept.last().isEmpty());
    EXPECT_EQ(records.last().standort, "Halle 3 ");
    EXPECT_EQ(records.last().wartText[0], "Öl wechseln");
    EXPECT_EQ(here->machine(), machine);

    // Edited on from what is shown now, the store asks nothing.
    here->draftName(Part::Standort, "Halle 4");
    here->leave(Part::Standort);
    MaintenanceFields plan;
    plan.wartungsArt = {2, 0, 0};
    plan.wartText[0] = "Öl und Filter wechseln";
    here->storeMaintenance(plan);
    EXPECT_TRUE(prompts.asked().isEmpty()) << qPrintable(prompts.asked().first().text);
    EXPECT_EQ(stored("Standort"), "Halle 4 ");
    EXPECT_EQ(stored("WartText1"), "Öl und Filter wechseln");
    EXPECT_TRUE(deleted.isEmpty());
}

TEST_P(MachineFollowTest, WhatTheUserIsTypingStaysAndItsStoreShowsBothVersions)
{
    here->draftName(Part::Standort, "Halle 9");
    changeThere("Bezeichnung=?, Standort=?", {"Drehbank neu ", "Halle 3 "});
    here->followChanges();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(shown.last(), QList<Part>({Part::Bezeichnung}));
    EXPECT_EQ(kept.last(), QList<Part>({Part::Standort}));
    EXPECT_TRUE(here->hasDraft(Part::Standort));
    EXPECT_EQ(stored("Standort"), "Halle 3 ");

    // The typed location is not stored over the other one unseen; the
    // designation, shown anew, stores without a question.
    here->leave(Part::Standort);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().first().text,
              MachineSession::changedElsewhereText("Drehbank neu", Part::Standort, "Halle 3", "Halle 9"));
    EXPECT_EQ(stored("Standort"), "Halle 3 ");
    here->draftName(Part::Bezeichnung, "Drehbank 2");
    here->leave(Part::Bezeichnung);
    EXPECT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(stored("Bezeichnung"), "Drehbank 2 ");
}

TEST_P(MachineFollowTest, AStoreWaitingForItsAnswerIsNotShownOver)
{
    prompts.holdQuestions(true);
    changeThere("WartText1=?", {"Öl wechseln"});
    MaintenanceFields mine;
    mine.wartText[0] = "Filter tauschen";
    here->storeMaintenance(mine);
    ASSERT_EQ(prompts.asked().size(), 1);

    // Changed there once more while the question is open: the plan on the
    // screen is still the one the question is about.
    changeThere("WartText1=?", {"Öl und Filter"});
    here->followChanges();
    ASSERT_EQ(records.size(), 1);
    EXPECT_TRUE(shown.last().isEmpty());
    EXPECT_EQ(kept.last(), QList<Part>({Part::Maintenance}));

    // Keeping this plan: it was changed there again meanwhile, so the user
    // sees that version before it is overwritten.
    prompts.answerHeld(0, PromptAnswer::Yes);
    ASSERT_EQ(prompts.asked().size(), 2);
    EXPECT_TRUE(prompts.asked().last().text.contains("Öl und Filter")) << qPrintable(prompts.asked().last().text);
    prompts.answerHeld(0, PromptAnswer::Yes);
    EXPECT_EQ(stored("WartText1"), "Filter tauschen");

    // Once settled, a further change there is shown again.
    changeThere("Standort=?, WartText1=?", {"Halle 5 ", "Ketten schmieren"});
    here->followChanges();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(shown.last(), QList<Part>({Part::Standort, Part::Maintenance}));
    EXPECT_TRUE(kept.last().isEmpty());
}

TEST_P(MachineFollowTest, AMachineDeletedThereIsEditedNoLongerAndNothingTypedIsStored)
{
    here->draftName(Part::Bezeichnung, "Drehbank alt");
    MaintenanceFields plan;
    plan.wartText[0] = "Öl wechseln";
    here->draftMaintenance(plan);
    ASSERT_TRUE(other.execute("DELETE FROM Maschinen WHERE Maschinennummer=?", {qlonglong(machine)}));
    here->followChanges();
    ASSERT_EQ(deleted.size(), 1);
    EXPECT_EQ(deleted.first(), std::make_pair(machine, QString("Drehbank")));
    EXPECT_TRUE(lists.last().isEmpty());
    EXPECT_FALSE(here->editing());
    EXPECT_FALSE(here->hasDraft(Part::Bezeichnung));
    EXPECT_FALSE(here->hasDraft(Part::Maintenance));

    // Turning elsewhere or closing stores nothing and reports nothing.
    here->storeDrafts();
    here->draftName(Part::Standort, "Halle 2");
    here->leave(Part::Standort);
    here->end();
    EXPECT_TRUE(prompts.asked().isEmpty());
    int machines = -1;
    db.readRows("SELECT count(*) FROM Maschinen", {}, [&](const RowReader &r) { machines = r.integer(0); });
    EXPECT_EQ(machines, 0);
    EXPECT_TRUE(records.isEmpty());
}

TEST_P(MachineFollowTest, AMachineDeletedThereIsMadeAgainFromWhatIsShownByNewMachine)
{
    QList<long> made;
    QObject::connect(here.get(), &MachineSession::created, [&](long n) { made << n; });
    MaintenanceFields plan;
    plan.wartungsArt = {3, 0, 0};
    plan.wartStart[0] = QDateTime(QDate(2026, 12, 1), QTime(7, 0));
    plan.wartText[0] = "Öl wechseln";
    const ShownMachine shownHere{"Drehbank alt", "Halle 1", CommunicationFields::fromRecord(MachineRecord()), plan};

    ASSERT_TRUE(other.execute("DELETE FROM Maschinen WHERE Maschinennummer=?", {qlonglong(machine)}));
    here->followChanges();
    ASSERT_TRUE(here->shownDeletedElsewhere());
    here->addMachine(shownHere);
    ASSERT_EQ(made.size(), 1);
    EXPECT_NE(made.first(), machine);
    EXPECT_FALSE(here->shownDeletedElsewhere());
    machine = made.first();
    EXPECT_EQ(stored("Bezeichnung"), "Drehbank alt ");
    EXPECT_EQ(stored("Standort"), "Halle 1 ");
    EXPECT_EQ(stored("WartungsArt1"), "3");
    EXPECT_EQ(stored("WartText1"), "Öl wechseln");

    // Afterwards a new machine is a new one again.
    here->addMachine(shownHere);
    ASSERT_EQ(made.size(), 2);
    machine = made.last();
    EXPECT_EQ(stored("Bezeichnung"), "neue Maschine");
    EXPECT_TRUE(prompts.asked().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, MachineFollowTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

} // namespace
} // namespace zep::test
