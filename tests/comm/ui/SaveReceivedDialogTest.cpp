#include "SaveReceivedDialogFixture.h"
#include "support/AllBytes.h"

#include "comm/ui/CompareWindow.h"
#include "support/SmallFileSystem.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace zep;
using zep::test::allBytes;
using zep::test::SaveReceivedDialogFixture;

namespace {

void leaveField(QLineEdit *field)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(field, &out);
}

} // namespace

TEST_F(SaveReceivedDialogFixture, OpensReadyForANameInFrontOfTheExtension)
{
    // Opened from the main window's timer, while the main window is active.
    select("P1.NC");
    mainActive = true;
    auto form = open(3, 0, "%\r\nN10 G00\r\n");
    const SaveReceivedDialogControls &ui = form->controls();
    EXPECT_EQ(ui.heading->text(), "Eingelesenes Programm von Maschine 3");
    EXPECT_EQ(ui.newName->text(), ".cnc");
    EXPECT_EQ(ui.newName->cursorPosition(), 0);
    EXPECT_FALSE(ui.newName->hasSelectedText());
    EXPECT_TRUE(ui.asNewFile->isChecked());
    EXPECT_TRUE(ui.newPanel->isVisible());
    EXPECT_FALSE(ui.updatePanel->isVisible());
    EXPECT_EQ(ui.previewBox->title(), "Vorschau");
    EXPECT_EQ(ui.preview->toPlainText(), "%\nN10 G00\n");
    EXPECT_EQ(ui.selFile->text(), "?");
    EXPECT_FALSE(ui.compare->isEnabled());
    EXPECT_FALSE(ui.editedMarker->isVisibleTo(form));
    EXPECT_TRUE(form->refreshing());
}

TEST_F(SaveReceivedDialogFixture, NameTypedInFrontOfTheExtensionIsWrittenByteExactWithTheProgramsMachine)
{
    auto form = open(2, 7, allBytes());
    form->controls().newName->insert("Müller's Welle");
    ASSERT_EQ(form->controls().newName->text(), "Müller's Welle.cnc");
    EXPECT_TRUE(form->save());
    EXPECT_EQ(env.readFile(dir() + "Müller's Welle.cnc"), allBytes());
    EXPECT_EQ(files(), QStringList({"Müller's Welle.cnc"}));
    ASSERT_EQ(pending.size(), 1);
    EXPECT_EQ(pending[0].first, "MÜLLER'S WELLE.CNC");
    EXPECT_EQ(pending[0].second, 7);
    EXPECT_EQ(traceLines, QStringList({"Datei 'Müller's Welle.cnc' wird gespeichert."}));
    settle();
    EXPECT_TRUE(form.isNull());
    EXPECT_TRUE(recoveryFiles().isEmpty());
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(SaveReceivedDialogFixture, ProgramWithoutMachineGivesMachineZeroAndSubdirectoryKeepsItsRealCase)
{
    QDir().mkpath(dir() + "Drehen");
    auto form = open(5, 0, "N10");
    form->controls().newName->setText("drehen/neu.nc");
    EXPECT_TRUE(form->save());
    EXPECT_EQ(env.readFile(dir() + "Drehen/neu.nc"), "N10");
    ASSERT_EQ(pending.size(), 1);
    EXPECT_EQ(pending[0], qMakePair(QString("DREHEN\\NEU.NC"), 0L));
}

TEST_F(SaveReceivedDialogFixture, UpdateWithTakeOverReplacesTheSelectedFileUnderItsRealName)
{
    env.writeFile(dir() + "Drehen/Welle a.nc", "ALT");
    select("DREHEN\\WELLE A.NC");
    auto form = open(1, 0, "NEU\r\n");
    form->controls().asUpdate->setChecked(true);
    EXPECT_TRUE(form->controls().updatePanel->isVisible());
    EXPECT_FALSE(form->controls().newPanel->isVisible());
    EXPECT_EQ(form->controls().selFile->text(), "DREHEN\\WELLE A.NC");
    EXPECT_EQ(form->controls().selMachine->text(), "Drehbank");
    EXPECT_TRUE(form->controls().compare->isEnabled());
    form->controls().takeOver->click();
    EXPECT_EQ(form->controls().targetName->text(), "DREHEN\\WELLE A.NC");
    form->controls().save->click();
    EXPECT_EQ(env.readFile(dir() + "Drehen/Welle a.nc"), "NEU\r\n");
    EXPECT_EQ(files(dir() + "Drehen"), QStringList({"Welle a.nc"}));
    EXPECT_TRUE(pending.isEmpty()); // the record stays as it is
    settle();
    EXPECT_TRUE(form.isNull());
}

TEST_F(SaveReceivedDialogFixture, MissingOriginalIsToldAndItsNameOfferedAsNewName)
{
    auto form = open(1, 0, "NEU");
    form->controls().asUpdate->setChecked(true);
    form->controls().targetName->setText("WEG.NC");
    EXPECT_FALSE(form->save());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].text, "Originaldatei nicht gefunden. Die Datei wäre keinem Datensatz zugeordnet!");
    EXPECT_EQ(prompts.asked()[0].title, "Originaldatei?");
    EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Exclamation);
    EXPECT_EQ(form->controls().newName->text(), "WEG.NC");
    EXPECT_TRUE(files().isEmpty());
    EXPECT_EQ(form->dateiString(), "NEU");
}

TEST_F(SaveReceivedDialogFixture, TakenNameIsFoundWhateverItsCaseOnLeavingTheFieldAndOnSaving)
{
    env.writeFile(dir() + "p1.nc", "ALT");
    auto form = open(1, 0, "NEU");
    form->controls().newName->setText("P1.NC");
    leaveField(form->controls().newName);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].text, "Die Datei 'P1.NC' existiert bereits!");
    EXPECT_EQ(prompts.asked()[0].title, "Ungültiger Name!");
    EXPECT_EQ(form->controls().newName->selectedText(), "P1.NC");

    EXPECT_FALSE(form->save());
    ASSERT_EQ(prompts.asked().size(), 2);
    EXPECT_EQ(prompts.asked()[1].text, "Die Datei 'P1.NC' existiert bereits!");
    EXPECT_EQ(prompts.asked()[1].title, "ZEP");
    EXPECT_EQ(env.readFile(dir() + "p1.nc"), "ALT");
    EXPECT_EQ(files(), QStringList({"p1.nc"}));
    EXPECT_TRUE(pending.isEmpty());
    EXPECT_EQ(form->dateiString(), "NEU");
}

TEST_F(SaveReceivedDialogFixture, TwoDialogsSaveTheirOwnTextsAndTheSecondMeetsTheFirstsName)
{
    auto first = open(1, 3, "VON EINS");
    auto second = open(2, 4, "VON ZWEI");
    first->controls().newName->setText("A.NC");
    second->controls().newName->setText("a.nc");
    EXPECT_TRUE(first->save());
    EXPECT_FALSE(second->save());
    EXPECT_EQ(prompts.messageTexts(), QStringList({"Die Datei 'a.nc' existiert bereits!"}));
    second->controls().newName->setText("B.NC");
    EXPECT_TRUE(second->save());
    EXPECT_EQ(env.readFile(dir() + "A.NC"), "VON EINS");
    EXPECT_EQ(env.readFile(dir() + "B.NC"), "VON ZWEI");
    EXPECT_EQ(pending, (QList<QPair<QString, long>>{{"A.NC", 3L}, {"B.NC", 4L}}));
}

TEST_F(SaveReceivedDialogFixture, PresetAloneOrBlanksBeforeTheExtensionBeepAndWriteNothing)
{
    auto form = open(1, 0, "N10");
    EXPECT_FALSE(form->save()); // ".cnc" as preset
    form->controls().newName->setText("  .cnc");
    EXPECT_FALSE(form->save());
    form->controls().newName->setText("");
    EXPECT_FALSE(form->save());
    EXPECT_EQ(prompts.beeps(), 3);
    EXPECT_TRUE(prompts.asked().isEmpty());
    EXPECT_TRUE(files().isEmpty());
    EXPECT_TRUE(pending.isEmpty());
    EXPECT_EQ(form->dateiString(), "N10");
}

TEST_F(SaveReceivedDialogFixture, NamesTheCatalogueCannotKeepAreRefusedClearly)
{
    auto form = open(1, 0, "N10");
    const QStringList names{".versteckt.nc", "../draussen.nc", "Zoll\"8.nc", "Tab\there.nc", "Ω-Welle.nc",
                            "a//b.nc", "fehlt/x.nc", "/tmp/x.nc"};
    for (const QString &name : names) {
        form->controls().newName->setText(name);
        EXPECT_FALSE(form->save()) << name;
    }
    const QStringList titles = prompts.titles();
    EXPECT_EQ(titles.size(), names.size());
    EXPECT_EQ(titles.count("Ungültiger Name!"), names.size());
    EXPECT_TRUE(prompts.asked()[0].text.contains("beginnt mit einem Punkt"));
    EXPECT_TRUE(prompts.asked()[2].text.contains("Anführungszeichen"));
    EXPECT_TRUE(prompts.asked()[6].text.startsWith("Das Verzeichnis für 'fehlt/x.nc'"));
    EXPECT_TRUE(files().isEmpty());
    EXPECT_TRUE(files(env.root()).isEmpty());
    EXPECT_FALSE(QFile::exists("/tmp/x.nc"));
}

TEST_F(SaveReceivedDialogFixture, EditInTheComparisonReplacesTheTextAndShowsTheMarker)
{
    env.writeFile(dir() + "P1.NC", "N10 G00\r\nN20 M30\r\n");
    select("P1.NC");
    const QByteArray received = "N10 G00\r\nN20 M3\xC4\r\n" + QByteArray(200, 'X');
    auto form = open(1, 0, received);
    form->controls().asUpdate->setChecked(true);
    QString leftSide;
    QTimer::singleShot(0, form, [&] {
        auto *window = form->findChild<CompareWindow *>();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->heading()->text(), "P1.NC");
        leftSide = window->existingView()->toPlainText();
        window->receivedView()->moveCursor(QTextCursor::Start);
        window->receivedView()->insertPlainText("%\n");
        window->takeOverButton()->click();
    });
    form->controls().compare->click();
    EXPECT_EQ(leftSide, "N10 G00\nN20 M30\n");
    const QByteArray edited = "%\r\n" + received;
    EXPECT_EQ(form->dateiString(), edited);
    EXPECT_EQ(form->controls().preview->toPlainText(), QString("%\nN10 G00\nN20 M3Ä\n") + QString(129, 'X') + "...");
    EXPECT_TRUE(form->controls().editedMarker->isVisible());
    EXPECT_EQ(form->controls().editedMarker->toolTip(), "Datei wurde durch Editor verändert");

    form->controls().takeOver->click();
    EXPECT_TRUE(form->save());
    EXPECT_EQ(env.readFile(dir() + "P1.NC"), edited);
}

TEST_F(SaveReceivedDialogFixture, CancelledComparisonKeepsTheReceivedText)
{
    env.writeFile(dir() + "P1.NC", "ALT");
    select("P1.NC");
    auto form = open(1, 0, "NEU");
    form->controls().asUpdate->setChecked(true);
    QTimer::singleShot(0, form, [&] {
        auto *window = form->findChild<CompareWindow *>();
        ASSERT_NE(window, nullptr);
        window->receivedView()->setPlainText("ANDERS");
        window->cancelButton()->click();
    });
    form->compareWithSelection();
    EXPECT_EQ(form->dateiString(), "NEU");
    EXPECT_FALSE(form->controls().editedMarker->isVisible());
}

TEST_F(SaveReceivedDialogFixture, ClosedByTheFrameOrEscapeTheProgramIsKeptAndLogged)
{
    auto byFrame = open(2, 0, allBytes());
    byFrame->close();
    settle();
    EXPECT_TRUE(byFrame.isNull());
    const QStringList kept = recoveryFiles();
    ASSERT_EQ(kept, QStringList({"Nicht_gespeichert_Maschine2_2026-03-05_14-33-07.txt"}));
    EXPECT_EQ(env.readFile(env.programDir() + kept[0]), allBytes());
    const QByteArray log = env.readFile(logbook.filePath());
    EXPECT_TRUE(log.startsWith("05.03.2026/14:33 - "));
    EXPECT_TRUE(log.contains(QFile::encodeName(kept[0])));

    auto byEscape = open(4, 0, "N10");
    QTest::keyClick(byEscape, Qt::Key_Escape);
    settle();
    EXPECT_TRUE(byEscape.isNull());
    EXPECT_EQ(recoveryFiles().size(), 2);
    EXPECT_EQ(env.readFile(logbook.filePath()).count("\r\n"), 2);
}

TEST_F(SaveReceivedDialogFixture, DiscardAndSaveLeaveNoCopy)
{
    auto discarded = open(1, 0, "N10");
    discarded->controls().discard->click();
    auto saved = open(1, 0, "N20");
    saved->controls().newName->setText("P2.NC");
    saved->controls().save->click();
    settle();
    EXPECT_TRUE(discarded.isNull());
    EXPECT_TRUE(saved.isNull());
    EXPECT_TRUE(recoveryFiles().isEmpty());
    EXPECT_FALSE(QFile::exists(logbook.filePath()));
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(SaveReceivedDialogFixture, FailedWriteKeepsTheOldFileWholeAndTheDialogOpen)
{
    const QString mountPoint = dir() + "voll/";
    test::SmallFileSystem disk(mountPoint, "64k");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    const QByteArray old(4000, 'O');
    env.writeFile(mountPoint + "P1.NC", old);
    const QByteArray received(512 * 1024, 'N');
    auto form = open(1, 0, received);
    form->controls().asUpdate->setChecked(true);
    form->controls().targetName->setText("VOLL\\P1.NC");
    prompts.queueAnswer(PromptAnswer::Retry); // then the default: Cancel
    EXPECT_FALSE(form->save());
    ASSERT_EQ(prompts.asked().size(), 2);
    EXPECT_TRUE(prompts.asked()[0].text.contains("Aufgetreten in Form10.Command1_Click"));
    EXPECT_EQ(prompts.asked()[0].buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(env.readFile(mountPoint + "P1.NC"), old);
    EXPECT_EQ(files(mountPoint), QStringList({"P1.NC"}));
    settle();
    ASSERT_FALSE(form.isNull());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->dateiString(), received);
}

TEST_F(SaveReceivedDialogFixture, ReadOnlyDiskRefusesTheNewFileAndTheDialogStays)
{
    const QString mountPoint = dir() + "nurlesen/";
    test::SmallFileSystem disk(mountPoint, "64k");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs mount here";
    ASSERT_TRUE(disk.makeReadOnly());
    auto form = open(1, 0, "N10");
    form->controls().newName->setText("nurlesen/P1.NC");
    EXPECT_FALSE(form->save());
    EXPECT_EQ(prompts.titles(), QStringList({"Error"}));
    EXPECT_TRUE(pending.isEmpty());
    EXPECT_TRUE(files(mountPoint).isEmpty());
    EXPECT_EQ(form->dateiString(), "N10");
}

TEST_F(SaveReceivedDialogFixture, SelectionFollowsTheMainListAndTheUpdateKeepsItCurrent)
{
    auto form = open(1, 0, "N10");
    select("P1.NC");
    mainActive = true;
    form->refreshSelection();
    EXPECT_EQ(form->controls().newName->selectedText(), "P1.NC");
    EXPECT_EQ(form->controls().selDrawing->text(), "Z-100");
    EXPECT_EQ(form->controls().selOrder->text(), "A-7");
    EXPECT_EQ(form->controls().selDesignation->text(), "Welle");
    mainActive = false;
    form->controls().newName->setText("EIGEN.NC");
    select("P2.NC");
    form->refreshSelection();
    EXPECT_EQ(form->controls().newName->text(), "EIGEN.NC"); // typing is not overwritten from here

    form->controls().asUpdate->setChecked(true);
    form->controls().asNewFile->setChecked(true);
    EXPECT_FALSE(form->refreshing());
    form->controls().asUpdate->setChecked(true);
    EXPECT_TRUE(form->refreshing());
    selected.reset();
    QTest::qWait(450);
    EXPECT_EQ(form->controls().selFile->text(), "?");
    EXPECT_FALSE(form->controls().compare->isEnabled());
    form->controls().takeOver->click();
    EXPECT_TRUE(form->controls().targetName->text().isEmpty());
}

TEST_F(SaveReceivedDialogFixture, TheMachineIsTheProgramsWhateverTheConnectionIsBoundToNow)
{
    // Bound to machine 7 when the program arrived, rebound to 9 since: the
    // program still came from machine 7.
    settings.write("COM1Einstellungen", "MaschinenIndex", "9");
    auto form = open(2, 7, "N10");
    form->controls().newName->setText("P1.NC");
    EXPECT_TRUE(form->save());
    ASSERT_EQ(pending.size(), 1);
    EXPECT_EQ(pending[0], qMakePair(QString("P1.NC"), 7L));
}

TEST_F(SaveReceivedDialogFixture, TheJournalEntryGoesOnceTheProgramIsSavedDiscardedOrKept)
{
    auto saved = openJournalled(1, 4, "EINS");
    auto discarded = openJournalled(2, 5, "ZWEI");
    auto closed = openJournalled(3, 6, allBytes());
    auto refused = openJournalled(4, 7, "VIER");
    ASSERT_EQ(journal.entries().size(), 4);
    EXPECT_EQ(saved->controls().heading->text(), "Eingelesenes Programm von Maschine 1");

    saved->controls().newName->setText("EINS.NC");
    saved->controls().save->click();
    EXPECT_EQ(pending, (QList<QPair<QString, long>>{{"EINS.NC", 4L}}));
    discarded->controls().discard->click();
    QTest::keyClick(closed, Qt::Key_Escape);
    refused->controls().newName->setText("eins.nc");
    EXPECT_FALSE(refused->save());
    settle();
    EXPECT_TRUE(saved.isNull());
    EXPECT_TRUE(discarded.isNull());
    EXPECT_TRUE(closed.isNull());
    ASSERT_FALSE(refused.isNull());

    EXPECT_EQ(env.readFile(dir() + "EINS.NC"), "EINS");
    const QStringList kept = recoveryFiles();
    ASSERT_EQ(kept, QStringList({"Nicht_gespeichert_Maschine3_2026-03-05_14-33-07.txt"}));
    EXPECT_EQ(env.readFile(env.programDir() + kept[0]), allBytes());
    // Only the program still waiting for its decision is left.
    const QList<ReceptionJournal::Entry> left = journal.entries();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].connection, 4);
    EXPECT_EQ(left[0].machine, 7);
    EXPECT_EQ(left[0].text, "VIER");
}

TEST_F(SaveReceivedDialogFixture, ARowOfTheMainListFillsTheNewNameOnlyUntilTheUserTypesOne)
{
    auto form = open(1, 0, "N10");
    QLineEdit *name = form->controls().newName;
    mainActive = true;
    select("P1.NC");
    form->refreshSelection();
    EXPECT_EQ(name->text(), "P1.NC"); // a name to start from
    select("P2.NC");
    form->refreshSelection();
    EXPECT_EQ(name->text(), "P2.NC");

    // Typed over the row's name: that name stays, whatever is clicked next.
    name->setCursorPosition(0);
    name->selectAll();
    QTest::keyClicks(name, "NEU123.cnc");
    ASSERT_EQ(name->text(), "NEU123.cnc");
    select("P3.NC");
    form->refreshSelection();
    QTest::qWait(450); // and the dialog's own refresh
    EXPECT_EQ(name->text(), "NEU123.cnc");
    EXPECT_EQ(form->controls().selFile->text(), "P3.NC");

    // Emptied by the user: no name of theirs left, the row may fill it again.
    name->selectAll();
    QTest::keyClick(name, Qt::Key_Delete);
    form->refreshSelection();
    EXPECT_EQ(name->text(), "P3.NC");
    name->selectAll();
    QTest::keyClicks(name, "NEU123.cnc");

    mainActive = false;
    EXPECT_TRUE(form->save());
    EXPECT_EQ(files(), QStringList({"NEU123.cnc"}));
}

TEST_F(SaveReceivedDialogFixture, TheOfferedNameOfAMissingOriginalStaysAsTheUsersOwn)
{
    auto form = open(1, 0, "NEU");
    form->controls().asUpdate->setChecked(true);
    form->controls().targetName->setText("WEG.NC");
    EXPECT_FALSE(form->save());
    ASSERT_EQ(form->controls().newName->text(), "WEG.NC");
    // The user looks at the main list before switching to the new file.
    select("P1.NC");
    mainActive = true;
    form->refreshSelection();
    EXPECT_EQ(form->controls().newName->text(), "WEG.NC");
    form->controls().asNewFile->setChecked(true);
    mainActive = false;
    EXPECT_TRUE(form->save());
    EXPECT_EQ(files(), QStringList({"WEG.NC"}));
}
