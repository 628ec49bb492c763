#include "MachineManagerFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zep::test {
namespace {

// Edits land on the machine they were made for, nothing is written to a
// deleted one, and input the columns cannot hold never reaches them.
using MachineManagerSafetyTest = MachineManagerFixture;

constexpr auto kYellow = "background-color: rgb(255, 255, 0);";

TEST_F(MachineManagerSafetyTest, AnEditStillBeingTypedIsStoredToItsMachineBeforeAnotherLoads)
{
    const long a = insertMachine("A", "Halle A", "MitRS232, Sonderzeichen, Param2, Param3, WartungsArt1",
                                 {1, 1, "%||M30", "Z", 2});
    const long b = insertMachine("B", "Halle B", "MitRS232, Sonderzeichen, Param2, Param3, WartungsArt1, WartText1",
                                 {1, 1, "(||)", "Z", 2, "B-Notiz"});
    auto w = open();
    const MachineManagerControls &c = w->controls();
    ASSERT_EQ(w->loadedMachine(), a);
    // Typed, not yet left: the list is worked with the keyboard or the
    // selection changes without the field losing its focus first.
    c.bezeichnung->setText("A neu");
    c.bezeichnung->setModified(true);
    c.start->setText("O1");
    c.start->setModified(true);
    c.notes[0]->selectAll();
    c.notes[0]->insertPlainText("A-Notiz");

    choose(*w, b);
    EXPECT_EQ(w->loadedMachine(), b);
    EXPECT_EQ(column(a, "Bezeichnung").toString(), "A neu ");
    EXPECT_EQ(column(a, "Param2").toString(), "O1||M30");
    EXPECT_EQ(column(a, "WartText1").toString(), "A-Notiz");
    EXPECT_EQ(column(b, "Bezeichnung").toString(), "B");
    EXPECT_EQ(column(b, "Param2").toString(), "(||)");
    EXPECT_EQ(column(b, "WartText1").toString(), "B-Notiz");
    EXPECT_EQ(c.bezeichnung->text(), "B");
    EXPECT_EQ(row(*w, 0)[1], "A neu");

    // Closing the window with the keyboard is no reason to lose an edit.
    c.standort->setText("Halle B2");
    c.standort->setModified(true);
    w->reject();
    EXPECT_EQ(column(b, "Standort").toString(), "Halle B2 ");
    EXPECT_EQ(column(a, "Standort").toString(), "Halle A");
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(MachineManagerSafetyTest, LeavingAFieldByClickingAnotherMachineStoresItToTheFirst)
{
    const long a = insertMachine("A");
    const long b = insertMachine("B");
    auto w = open();
    showActive(*w);
    const MachineManagerControls &c = w->controls();
    type(c.bezeichnung, "Drehbank A");
    QTreeWidgetItem *second = c.list->topLevelItem(1);
    QTest::mouseClick(c.list->viewport(), Qt::LeftButton, {}, c.list->visualItemRect(second).center());
    EXPECT_EQ(w->loadedMachine(), b);
    EXPECT_EQ(column(a, "Bezeichnung").toString(), "Drehbank A ");
    EXPECT_EQ(column(b, "Bezeichnung").toString(), "B");
}

TEST_F(MachineManagerSafetyTest, NothingIsWrittenWhileAndAfterTheDeletedMachinesFieldsChange)
{
    const long a = insertMachine("A", "Halle A", "MitRS232, Baudrate", {1, "6"});
    const long b = insertMachine("B", "Halle B", "MitRS232, Baudrate, COMString", {0, "2", "7,E,1"});
    auto w = open();
    showActive(*w);
    const MachineManagerControls &c = w->controls();
    type(c.comString, "8,N,2"); // typed for A, then A is deleted
    prompts.queueAnswer(PromptAnswer::Yes);
    QTest::mouseClick(c.deleteMachine, Qt::LeftButton);
    EXPECT_EQ(machineCount(), 1);
    EXPECT_EQ(w->loadedMachine(), 0);

    // The fields still show A's values; every change signal they send must
    // stay in the window.
    c.rs232->setEnabled(true);
    c.communicationPage->setEnabled(true);
    c.rs232->click();
    c.speed->setCurrentIndex(9);
    c.endByTimeout->click();
    c.bezeichnung->setText("Geist");
    c.bezeichnung->setModified(true);
    Q_EMIT c.bezeichnung->editingFinished();
    w->TrageCNCEin();
    w->TrageWartungEin();
    prompts.queueAnswer(PromptAnswer::Yes);
    QTest::mouseClick(c.deleteMachine, Qt::LeftButton); // nothing loaded: only a beep
    w->accept();

    EXPECT_EQ(prompts.asked().size(), 1) << prompts.messageTexts().join(" | ").toStdString();
    EXPECT_EQ(prompts.beeps(), 1);
    EXPECT_EQ(machineCount(), 1);
    EXPECT_EQ(column(b, "Bezeichnung").toString(), "B");
    EXPECT_EQ(column(b, "MitRS232").toInt(), 0);
    EXPECT_EQ(column(b, "Baudrate").toString(), "2");
    EXPECT_EQ(column(b, "COMString").toString(), "7,E,1");
    EXPECT_EQ(column(a, "Bezeichnung"), QVariant());
}

TEST_F(MachineManagerSafetyTest, AMachineOfNullsListsOpensAndTakesItsFirstValues)
{
    insertMachine("Fräse");
    ASSERT_TRUE(db.execute("INSERT INTO Maschinen (Bezeichnung) VALUES (NULL)"));
    auto w = open();
    const MachineManagerControls &c = w->controls();
    ASSERT_EQ(c.list->topLevelItemCount(), 2);
    EXPECT_EQ(row(*w, 1).mid(1), (QStringList{"", "", "Nein"}));
    const long empty = row(*w, 1)[0].toLong();
    choose(*w, empty);
    EXPECT_EQ(w->loadedMachine(), empty);
    EXPECT_EQ(c.bezeichnung->text(), "");
    EXPECT_TRUE(c.endByTimeout->isChecked());
    EXPECT_EQ(c.speed->currentText(), "2400");
    EXPECT_EQ(c.turnus[2]->currentText(), "kein");
    EXPECT_TRUE(prompts.asked().isEmpty());

    c.rs232->click();
    EXPECT_EQ(column(empty, "MitRS232").toInt(), 1);
    EXPECT_EQ(column(empty, "Baudrate").toString(), "4");
    EXPECT_TRUE(column(empty, "COMString").isNull()) << "an empty Com-String is no Com-String";
}

TEST_F(MachineManagerSafetyTest, AnEndCharacterCodeThatIsNoSingleCharacterIsMarkedAndNotStored)
{
    const long n = insertMachine("Fräse", "", "MitRS232, Sonderzeichen, Param1, Param3, COMString",
                                 {1, 1, "26", "A", "8,N,1"});
    auto w = open();
    showActive(*w);
    const MachineManagerControls &c = w->controls();
    for (const QString bad : {"1310", "256", "abc", "2 6"}) {
        prompts.clear();
        type(c.code, bad);
        c.start->setFocus();
        EXPECT_EQ(c.code->styleSheet(), kYellow) << bad;
        EXPECT_TRUE(c.code->hasFocus()) << bad;
        EXPECT_EQ(c.code->selectedText(), bad);
        ASSERT_EQ(prompts.asked().size(), 1) << bad;
        EXPECT_EQ(prompts.asked()[0].text, "Der ASCII-Code muss eine ganze Zahl von 0 bis 255 sein!");
        EXPECT_EQ(prompts.asked()[0].title, "ZEP");
        EXPECT_EQ(column(n, "Param1").toString(), "26") << bad;
    }
    // Another control storing meanwhile leaves the refused code out.
    c.exon->click();
    EXPECT_EQ(column(n, "EXON").toInt(), 1);
    EXPECT_EQ(column(n, "Param1").toString(), "26");

    type(c.code, "13");
    c.start->setFocus();
    EXPECT_EQ(c.code->styleSheet(), "");
    EXPECT_EQ(column(n, "Param1").toString(), "13");
}

TEST_F(MachineManagerSafetyTest, AMalformedComStringIsMarkedAndNotStoredButAnOldOneCanBeLookedAt)
{
    const long n = insertMachine("Fräse", "", "MitRS232, COMString", {1, "8,N,1"});
    const long old = insertMachine("Alt", "", "MitRS232, COMString, Param1, Sonderzeichen, Param3",
                                   {1, "9600", "1310", 1, "A"});
    auto w = open();
    showActive(*w);
    const MachineManagerControls &c = w->controls();
    type(c.comString, "8,X,1");
    c.code->setFocus();
    EXPECT_EQ(c.comString->styleSheet(), kYellow);
    EXPECT_TRUE(c.comString->hasFocus());
    EXPECT_EQ(column(n, "COMString").toString(), "8,N,1");
    EXPECT_TRUE(prompts.wasAsked("Com-String"));

    // Stored values are judged only once changed: tabbing through them
    // neither traps the user nor alters them.
    prompts.clear();
    choose(*w, old);
    EXPECT_EQ(c.comString->styleSheet(), "");
    EXPECT_EQ(c.codeName->text(), "CRLF");
    c.comString->setFocus();
    c.code->setFocus();
    c.start->setFocus();
    EXPECT_TRUE(c.start->hasFocus());
    EXPECT_TRUE(prompts.asked().isEmpty());
    EXPECT_EQ(column(old, "COMString").toString(), "9600");
    EXPECT_EQ(column(old, "Param1").toString(), "1310");
}

TEST_F(MachineManagerSafetyTest, FieldsTakeNoMoreThanTheirColumnsHold)
{
    const QString longName(255, QChar(u'ä'));
    insertMachine("Fräse", "", "MitRS232, Sonderzeichen, Param2, Param3", {1, 1, "%||M30", "Z"});
    const long full = insertMachine(longName, "Halle");
    auto w = open();
    showActive(*w);
    const MachineManagerControls &c = w->controls();
    EXPECT_EQ(c.bezeichnung->maxLength(), 254);
    EXPECT_EQ(c.standort->maxLength(), 254);
    EXPECT_EQ(c.code->maxLength(), 30);
    EXPECT_EQ(c.comString->maxLength(), 30);

    type(c.comString, QString(40, '8'));
    EXPECT_EQ(c.comString->text().size(), 30);

    // start + "||" + end share Param2's 30 characters.
    type(c.end, QString(20, 'E'));
    EXPECT_EQ(c.start->maxLength(), 8);
    type(c.start, QString(12, 'S'));
    EXPECT_EQ(c.start->text(), QString(8, 'S'));
    c.code->setFocus();
    EXPECT_EQ(column(w->loadedMachine(), "Param2").toString().size(), 30);

    // A full stored designation is shown whole and survives being left.
    choose(*w, full);
    EXPECT_EQ(c.bezeichnung->text(), longName);
    c.bezeichnung->setFocus();
    QTest::keyClick(c.bezeichnung, Qt::Key_Return);
    EXPECT_EQ(column(full, "Bezeichnung").toString(), longName);
}

TEST_F(MachineManagerSafetyTest, TheRs232ColumnFollowsTheLoadedMachine)
{
    const long a = insertMachine("A", "", "MitRS232, Sonderzeichen", {0, 1});
    const long b = insertMachine("B", "", "MitRS232, Sonderzeichen", {1, 0});
    auto w = open();
    const MachineManagerControls &c = w->controls();
    c.rs232->click();
    EXPECT_EQ(row(*w, 0)[3], "Ja: Sonderzeichen");
    choose(*w, b);
    EXPECT_EQ(row(*w, 1)[3], "Ja: Timeout");
    c.rs232->click();
    EXPECT_EQ(row(*w, 1)[3], "Nein");
    EXPECT_EQ(row(*w, 0)[3], "Ja: Sonderzeichen");
    EXPECT_EQ(column(a, "MitRS232").toInt(), 1);
    EXPECT_EQ(column(b, "MitRS232").toInt(), 0);
}

} // namespace
} // namespace zep::test
