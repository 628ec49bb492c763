#include "MachineManagerFixture.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace zep::test {
namespace {

using MachineManagerTest = MachineManagerFixture;

TEST_F(MachineManagerTest, OpensOnTheFirstMachineAndTellsTheStatusLine)
{
    const long a = insertMachine("Drehbank 1 ", " Halle 1 ", "MitRS232, Sonderzeichen, Baudrate", {1, 0, "6"});
    insertMachine("Fräse", "Halle 2", "MitRS232, Sonderzeichen", {1, 1});
    auto w = open();
    const MachineManagerControls &c = w->controls();
    EXPECT_EQ(w->windowTitle(), "Maschinenverwaltung");
    EXPECT_TRUE(w->isModal());
    EXPECT_EQ(status, QStringList{"Maschinenverwaltung"});
    QTreeWidgetItem *header = c.list->headerItem();
    EXPECT_EQ((QStringList{header->text(0), header->text(1), header->text(2), header->text(3)}),
              (QStringList{"Index", "Maschine", "Standort", "RS232"}));
    EXPECT_EQ(row(*w, 0), (QStringList{QString::number(a), "Drehbank 1", "Halle 1", "Ja: Timeout"}));
    EXPECT_EQ(row(*w, 1).mid(1), (QStringList{"Fräse", "Halle 2", "Ja: Sonderzeichen"}));
    EXPECT_EQ(w->loadedMachine(), a);
    EXPECT_EQ(c.bezeichnung->text(), "Drehbank 1");
    EXPECT_EQ(c.speed->currentText(), "9600");
    EXPECT_FALSE(c.speed->isEditable());
    EXPECT_EQ(c.speed->count(), 16);
    EXPECT_TRUE(c.bezeichnung->isEnabled());
    EXPECT_TRUE(c.deleteMachine->isEnabled());
    EXPECT_EQ(c.tabs->tabText(0), "Datenübertragung");
    EXPECT_EQ(c.tabs->tabText(1), "Wartungsplan");
    EXPECT_EQ(c.newMachine->text(), "Neue Maschine");
    EXPECT_EQ(c.deleteMachine->text(), "Maschine löschen");

    QTest::mouseClick(c.back, Qt::LeftButton);
    EXPECT_EQ(status.last(), "Bereit");
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(MachineManagerTest, ANewMachineIsListedWithItsDefaultsAndIsTheOneLoaded)
{
    const long first = insertMachine("Drehbank");
    auto w = open();
    const MachineManagerControls &c = w->controls();
    QTest::mouseClick(c.newMachine, Qt::LeftButton);
    ASSERT_EQ(c.list->topLevelItemCount(), 2);
    EXPECT_EQ(row(*w, 1).mid(1), (QStringList{"neue Maschine", "neuer Standort", "Nein"}));
    // Typing right after "Neue Maschine" must reach the new machine.
    const long created = w->loadedMachine();
    EXPECT_NE(created, first);
    EXPECT_EQ(c.bezeichnung->text(), "neue Maschine");
    EXPECT_EQ(c.code->text(), "26");
    EXPECT_EQ(c.codeName->text(), "EOF");
    EXPECT_EQ(c.start->text(), "^2^");
    EXPECT_EQ(c.end->text(), "^3^");
    EXPECT_EQ(c.speed->currentText(), "2400");
    EXPECT_FALSE(c.endBySpecial->isEnabled()) << "RS232 not ticked";

    c.rs232->click();
    EXPECT_EQ(row(*w, 1)[3], "Ja: Sonderzeichen");
    EXPECT_EQ(column(created, "MitRS232").toInt(), 1);
    EXPECT_TRUE(c.endBySpecial->isEnabled());
    EXPECT_EQ(column(first, "MitRS232").toInt(), 0);
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(MachineManagerTest, DesignationIsStoredWithOneBlankOnEnterAndShownWithoutIt)
{
    const long n = insertMachine("alt", "alt");
    {
        auto w = open();
        showActive(*w);
        const MachineManagerControls &c = w->controls();
        type(c.bezeichnung, "Drehbank 1");
        QTest::keyClick(c.bezeichnung, Qt::Key_Return);
        EXPECT_TRUE(w->isVisible()) << "Enter is the field's, not the window's";
        EXPECT_EQ(column(n, "Bezeichnung").toString(), "Drehbank 1 ");
        EXPECT_EQ(row(*w, 0)[1], "Drehbank 1");

        // Umlauts and apostrophes travel as they are.
        c.standort->setFocus();
        c.standort->setText("Müller's Halle");
        c.standort->setModified(true);
        c.bezeichnung->setFocus();
        EXPECT_EQ(column(n, "Standort").toString(), "Müller's Halle ");
        EXPECT_EQ(row(*w, 0)[2], "Müller's Halle");
    }
    auto again = open();
    EXPECT_EQ(again->controls().bezeichnung->text(), "Drehbank 1");
    EXPECT_EQ(again->controls().standort->text(), "Müller's Halle");
}

TEST_F(MachineManagerTest, ConversionCodesWithoutAnEntryShowAsNormalAndAreStoredAsZero)
{
    const long n = insertMachine("Fräse", "Halle", "MitRS232, ECRzu, ELFzu, SCRzu, SLFzu", {1, 7, 254, 255, 13});
    auto w = open();
    const MachineManagerControls &c = w->controls();
    EXPECT_EQ(c.conversions[0]->currentText(), "normal");
    EXPECT_EQ(c.conversions[1]->currentText(), "CRLF");
    EXPECT_EQ(c.conversions[2]->currentText(), "löschen");
    EXPECT_EQ(c.conversions[3]->currentText(), "CR");
    EXPECT_EQ(column(n, "ECRzu").toInt(), 7) << "loading stores nothing";
    c.sxon->click();
    EXPECT_EQ(column(n, "ECRzu").toInt(), 0);
    EXPECT_EQ(column(n, "ELFzu").toInt(), 254);
    EXPECT_EQ(column(n, "SXON").toInt(), 1);
    c.conversions[3]->setCurrentIndex(3);
    EXPECT_EQ(column(n, "SLFzu").toInt(), 10);
}

TEST_F(MachineManagerTest, StartAndEndStringsAreSplitAtTheSeparatorAndJoinedAgain)
{
    const long pair = insertMachine("Paar", "", "MitRS232, Sonderzeichen, Param2, Param3", {1, 1, "%||M30", "Z"});
    const long single = insertMachine("Nur Start", "", "MitRS232, Sonderzeichen, Param2, Param3", {1, 1, "%", "Z"});
    auto w = open();
    const MachineManagerControls &c = w->controls();
    EXPECT_TRUE(c.stringPair->isChecked());
    EXPECT_EQ(c.start->text(), "%");
    EXPECT_EQ(c.end->text(), "M30");
    choose(*w, single);
    EXPECT_EQ(c.start->text(), "%");
    EXPECT_EQ(c.end->text(), "");
    c.exon->click();
    EXPECT_EQ(column(single, "Param2").toString(), "%||");
    EXPECT_EQ(column(pair, "Param2").toString(), "%||M30");
}

TEST_F(MachineManagerTest, TimeOutEmptiesTheParametersAndSpecialCharactersStartFromWhatTheFieldsShow)
{
    const long n = insertMachine("Fräse", "", "MitRS232, Sonderzeichen, Param1, Param2, Param3",
                                 {1, 1, "27", "%||M30", "A"});
    auto w = open();
    const MachineManagerControls &c = w->controls();
    EXPECT_TRUE(c.specialFrame->isVisibleTo(w.get()));
    c.endByTimeout->click();
    EXPECT_FALSE(c.specialFrame->isVisibleTo(w.get()));
    EXPECT_EQ(row(*w, 0)[3], "Ja: Timeout");
    for (const char *p : {"Param1", "Param2", "Param3"})
        EXPECT_EQ(column(n, p).toString(), "") << p;
    EXPECT_EQ(column(n, "Sonderzeichen").toInt(), 0);

    c.endBySpecial->click();
    EXPECT_EQ(column(n, "Param1").toString(), "27");
    EXPECT_EQ(column(n, "Param2").toString(), "%||M30");
    EXPECT_EQ(column(n, "Param3").toString(), "A");
    c.stringPair->click();
    EXPECT_EQ(column(n, "Param3").toString(), "Z");
}

TEST_F(MachineManagerTest, EndCharacterNamesFollowTheCodeField)
{
    insertMachine("Fräse");
    auto w = open();
    const MachineManagerControls &c = w->controls();
    const QList<std::pair<QString, QString>> cases{
        {"0", "NULL"}, {"00", ""}, {"26.0", "EOF"}, {"26", "EOF"}, {"27", "ESC"}, {"1310", "CRLF"}, {"x", ""}};
    for (const auto &[code, name] : cases) {
        c.code->setText(code);
        EXPECT_EQ(c.codeName->text(), name) << code;
    }
}

TEST_F(MachineManagerTest, DeletingTheOnlyMachineLeavesAnEmptyListAndDisabledFields)
{
    const long n = insertMachine("Müller's Drehbank");
    ASSERT_TRUE(db.execute("INSERT INTO DateiListe (Dateiname, MaschinenIndex) VALUES ('P1.NC', ?)", {qlonglong(n)}));
    auto w = open();
    const MachineManagerControls &c = w->controls();

    prompts.queueAnswer(PromptAnswer::No);
    QTest::mouseClick(c.deleteMachine, Qt::LeftButton);
    EXPECT_EQ(machineCount(), 1);

    prompts.queueAnswer(PromptAnswer::Yes);
    QTest::mouseClick(c.deleteMachine, Qt::LeftButton);
    ASSERT_EQ(prompts.asked().size(), 2);
    EXPECT_EQ(prompts.asked()[1].text, "Wollen Sie die Maschine Müller's Drehbank wirklich löschen?");
    EXPECT_EQ(prompts.asked()[1].title, "Wirklich?");
    EXPECT_EQ(prompts.asked()[1].icon, PromptIcon::Question);
    EXPECT_EQ(prompts.asked()[1].buttons, PromptButtons::YesNo);
    EXPECT_EQ(machineCount(), 0);
    EXPECT_EQ(c.list->topLevelItemCount(), 0);
    EXPECT_FALSE(c.deleteMachine->isEnabled());
    EXPECT_FALSE(c.bezeichnung->isEnabled());
    EXPECT_EQ(c.bezeichnung->text(), "");
    EXPECT_FALSE(c.rs232->isEnabled());
    EXPECT_FALSE(c.communicationPage->isEnabled());
    EXPECT_FALSE(c.maintenancePage->isEnabled());
    EXPECT_EQ(c.turnus[0]->currentText(), "kein");
    EXPECT_EQ(w->loadedMachine(), 0);
    auto set = db.openRecordset("SELECT * FROM DateiListe", RecordsetType::Snapshot);
    EXPECT_EQ(set->value("MaschinenIndex").toInt(), 0);
}

TEST_F(MachineManagerTest, MaintenancePlanIsStoredAndKeepsTheTimeOfDay)
{
    const QDateTime due(QDate(2026, 11, 2), QTime(14, 45, 10));
    const long n = insertMachine("Fräse", "", "WartungsArt1, WartStart1, WartText1", {0, due, "Öl"});
    auto w = open();
    showActive(*w);
    const MachineManagerControls &c = w->controls();
    EXPECT_FALSE(c.dates[0]->isEnabled()) << "kein: no date, no note";
    EXPECT_FALSE(c.notes[0]->isEnabled());
    c.tabs->setCurrentIndex(1);
    c.turnus[0]->setCurrentIndex(3);
    EXPECT_TRUE(c.notes[0]->isEnabled());
    EXPECT_EQ(column(n, "WartungsArt1").toInt(), 3);
    EXPECT_EQ(column(n, "WartStart1").toDateTime(), due);

    c.dates[0]->setDate(QDate(2026, 12, 1));
    EXPECT_EQ(column(n, "WartStart1").toDateTime(), QDateTime(QDate(2026, 12, 1), QTime(14, 45, 10)));

    c.notes[0]->setFocus();
    c.notes[0]->selectAll();
    c.notes[0]->insertPlainText("Öl wechseln, Späne entfernen");
    c.turnus[1]->setFocus();
    EXPECT_EQ(column(n, "WartText1").toString(), "Öl wechseln, Späne entfernen");
    EXPECT_TRUE(prompts.asked().isEmpty());
}

} // namespace
} // namespace zep::test
