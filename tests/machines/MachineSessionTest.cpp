#include "MachineFixture.h"

#include "app/ScriptedPrompts.h"
#include "machines/MachineSession.h"

#include <tuple>


namespace zep::test {
namespace {

using Part = MachineSession::Part;

struct MachineSessionTest : MachineFixture {
    void SetUp() override
    {
        MachineFixture::SetUp();
        a = insertMachine("Drehbank ", "Halle 1 ");
        b = insertMachine("Fräse ", "Halle 2 ");
        session = std::make_unique<MachineSession>(db, prompts, clock);
        QObject::connect(session.get(), &MachineSession::loaded, [this](const MachineRecord &r) { shown = r; });
        QObject::connect(session.get(), &MachineSession::changed, [this] { ++changes; });
    }
    QString stored(long machine, const char *column) { return this->column(machine, column).toString(); }

    ScriptedPrompts prompts;
    std::unique_ptr<MachineSession> session;
    long a = 0;
    long b = 0;
    MachineRecord shown;
    int changes = 0;
};

TEST_F(MachineSessionTest, TypingIsStoredWhenTheFieldIsLeftAndTellsTheChange)
{
    session->load(a);
    EXPECT_EQ(shown.maschinennummer, a);
    EXPECT_EQ(session->machine(), a);

    QList<std::tuple<long, Part, QString>> stores;
    QObject::connect(session.get(), &MachineSession::stored,
                     [&](long machine, Part part, const QString &text) { stores.append({machine, part, text}); });
    session->draftName(Part::Bezeichnung, "Drehbank neu");
    EXPECT_EQ(stored(a, "Bezeichnung"), "Drehbank ");
    EXPECT_EQ(changes, 0);
    session->leave(Part::Bezeichnung);
    EXPECT_EQ(stored(a, "Bezeichnung"), "Drehbank neu ");
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(stores.size(), 1);
    EXPECT_EQ(std::get<0>(stores[0]), a);
    EXPECT_EQ(std::get<1>(stores[0]), Part::Bezeichnung);
    EXPECT_EQ(std::get<2>(stores[0]), "Drehbank neu");
    // Leaving again without typing stores nothing.
    session->leave(Part::Bezeichnung);
    EXPECT_EQ(changes, 1);

    MaintenanceFields plan;
    plan.wartungsArt = {1, 0, 0};
    plan.wartStart[0] = clock.now();
    plan.wartText[0] = "Öl wechseln";
    session->draftMaintenance(plan);
    session->leave(Part::Maintenance);
    EXPECT_EQ(stored(a, "WartText1"), "Öl wechseln");
    EXPECT_EQ(changes, 2);
}

TEST_F(MachineSessionTest, WhatIsTypedGoesToItsMachineWhenTheUserTurnsToAnotherOrEnds)
{
    session->load(a);
    session->draftName(Part::Standort, "Halle 9");
    CommunicationFields typed = CommunicationFields::fromRecord(shown);
    typed.mitRS232 = true;
    typed.sonderzeichen = true;
    typed.code = "13";
    session->draftCommunication(typed);
    session->load(b);
    EXPECT_EQ(stored(a, "Standort"), "Halle 9 ");
    EXPECT_EQ(stored(a, "Param1"), "13");
    EXPECT_EQ(stored(b, "Standort"), "Halle 2 ");
    EXPECT_EQ(session->machine(), b);

    // While the window fills its fields with the record, what they signal
    // is no edit.
    QObject::connect(session.get(), &MachineSession::loaded, [this](const MachineRecord &) {
        session->draftName(Part::Bezeichnung, "halb gefüllt");
        session->storeCommunication(CommunicationFields());
    });
    session->load(a);
    session->storeDrafts();
    EXPECT_EQ(stored(a, "Bezeichnung"), "Drehbank ");
    EXPECT_EQ(stored(a, "Param1"), "13");

    session->draftName(Part::Bezeichnung, "zuletzt");
    session->end();
    EXPECT_EQ(stored(a, "Bezeichnung"), "zuletzt ");
    // Closing moves the focus and empties fields: nothing of it is stored.
    session->draftName(Part::Bezeichnung, "");
    session->leave(Part::Bezeichnung);
    session->load(b);
    EXPECT_EQ(stored(a, "Bezeichnung"), "zuletzt ");
    EXPECT_EQ(session->machine(), 0);
}

TEST_F(MachineSessionTest, AFailedStoreAsksForARetryWithoutWaiting)
{
    session->load(a);
    // Another station deleted the machine meanwhile.
    ASSERT_TRUE(db.execute("DELETE FROM Maschinen WHERE Maschinennummer=?", {qlonglong(a)}));
    prompts.holdQuestions(true);
    session->draftName(Part::Bezeichnung, "weg");
    session->leave(Part::Bezeichnung);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_EQ(prompts.heldQuestions().first().buttons, PromptButtons::RetryCancel);
    EXPECT_TRUE(prompts.heldQuestions().first().text.contains("Aufgetreten in Form6.TrageBezeichnungEin"));
    EXPECT_EQ(changes, 0);
    // The session goes on meanwhile.
    session->load(b);
    EXPECT_EQ(session->machine(), b);
    prompts.answerHeld(0, PromptAnswer::Retry);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    prompts.answerHeld(0, PromptAnswer::Cancel);
    EXPECT_TRUE(prompts.heldQuestions().isEmpty());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(stored(b, "Bezeichnung"), "Fräse ");
}

} // namespace
} // namespace zep::test
