#include "../../station/ui/UiFixture.h"
#include "station/StationInternals.h"
#include "../RecordRows.h"

#include "app/Prompts.h"
#include "catalogue/MonitoredDirectory.h"
#include "catalogue/RecordClipboard.h"
#include "catalogue/RecordListModel.h"
#include "catalogue/ui/RecordEditor.h"
#include "catalogue/ui/PresetsDialog.h"
#include "catalogue/ui/RecordEditors.h"
#include "catalogue/ui/RecordSheetPrinter.h"
#include "catalogue/ui/RecordListView.h"
#include "editor/ui/CNCEditor.h"
#include "editor/ui/CodeView.h"
#include "station/ui/MainListController.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QToolButton>

namespace zep::test {
namespace {

struct RecordEditorTest : ::testing::Test, UiFixture {
    void SetUp() override
    {
        prepareRegularStart();
        QDir().mkpath(dataDir());
        QDir().mkpath(fotoDir());
        Database db;
        ASSERT_TRUE(db.open(dbPath()));
        ASSERT_TRUE(db.execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES ('DMU 50', 'Halle 1')"));
        ASSERT_TRUE(db.execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES ('CTX 400', 'Halle 2')"));
        db.close();
        ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
        showActive();
        QGuiApplication::clipboard()->clear();
    }
    void TearDown() override { window->dialogs().closeRecordEditors(); }

    QString dataDir() const { return env.root() + "data/"; }
    QString fotoDir() const { return env.root() + "foto/"; }
    Database &db() { return StationInternals::database(*station); }

    long addRecord(const QString &name, long machine = 0, bool withFile = true)
    {
        if (withFile)
            env.writeFile("data/" + name, "%\r\nM30\r\n");
        return insertRecord(db(), name, machine);
    }
    QVariant column(long index, const QString &name) { return recordColumn(db(), index, name); }
    void searchAll()
    {
        window->searchField()->setText("");
        QTest::keyClick(window->searchField(), Qt::Key_Return);
    }
    RecordEditors *editors() { return window->dialogs().recordEditors(); }
    RecordEditor *editor(long index) { return editors()->editor(index); }
    // The editor shares activation with the main window, so waiting for
    // it to be "active" says nothing: wait until it is the active window.
    static void activate(QWidget *w)
    {
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([w] { return QApplication::activeWindow() == w; }));
    }
    RecordEditor *openEditor(long index)
    {
        window->dialogs().openRecordEditor(index);
        RecordEditor *form = editor(index);
        if (form)
            activate(form);
        return form;
    }
    QPlainTextEdit *plain(RecordEditor *form, RecordFields::Field f) { return static_cast<QPlainTextEdit *>(form->field(f)); }
    QLineEdit *line(RecordEditor *form, RecordFields::Field f) { return static_cast<QLineEdit *>(form->field(f)); }
    // Leaves the field as a user does, with the Tab key.
    void leave(QWidget *field)
    {
        activate(field->window());
        field->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(field->hasFocus());
        QTest::keyClick(field, Qt::Key_Tab);
        QApplication::processEvents();
    }
    bool isYellow(QLineEdit *field) const { return field->styleSheet().contains("255, 255, 0"); }
};

TEST_F(RecordEditorTest, TheListOpensOneEditorPerRecordWithEveryField)
{
    const long index = addRecord("A.NC", 2);
    addRecord("B.NC");
    searchAll();
    window->grid()->selectRecord(0);
    window->command(3)->click();
    RecordEditor *form = editor(index);
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(window->statusText(), "Editieren");
    EXPECT_EQ(form->fileNameField()->text(), "A.NC");
    EXPECT_TRUE(form->fileNameLocked());
    EXPECT_TRUE(form->fileNameField()->styleSheet().contains("255, 255, 192"));
    EXPECT_EQ(line(form, RecordFields::Kunde)->text(), "Zander");
    EXPECT_EQ(form->dateField()->text(), "05.01.2026");
    EXPECT_EQ(form->machineText(), "CTX 400 / Halle 2");
    EXPECT_FALSE(form->fileMissingShown());
    EXPECT_TRUE(prompts.asked().isEmpty());

    // A second open, from the menu or a double click, is the same window.
    window->action("mmMDatensatzBearbeiten")->trigger();
    Q_EMIT window->grid()->doubleClicked(window->grid()->records()->index(0, 0));
    EXPECT_EQ(editors()->editors().size(), 1);

    form->verwerfen();
    QApplication::processEvents();
    EXPECT_EQ(window->statusText(), "Bereit");
    EXPECT_TRUE(editors()->editors().isEmpty());
}

// The record editor that the directory check opens for a new record must
// not stop the check while its reading waits for the user's retry.
TEST_F(RecordEditorTest, AnEditorWhoseReadingFailedWaitsForTheRetryAnswerWithoutHoldingUpTheStation)
{
    const long index = addRecord("A.NC");
    const long other = addRecord("B.NC");
    prompts.holdQuestions(true);
    db().close();
    window->dialogs().openRecordEditor(index);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    EXPECT_TRUE(prompts.heldQuestions().first().text.contains("Aufgetreten in Form3.Form_Load"));
    RecordEditor *form = editor(index);
    ASSERT_TRUE(form);
    EXPECT_FALSE(form->isVisible());

    ASSERT_TRUE(db().open(dbPath()));
    prompts.answerHeld(0, PromptAnswer::Retry);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->fileNameField()->text(), "A.NC");
    EXPECT_EQ(window->statusText(), "Editieren");

    // Cancelled: the window never shows and its place is free.
    db().close();
    window->dialogs().openRecordEditor(other);
    ASSERT_EQ(prompts.heldQuestions().size(), 1);
    QPointer<RecordEditor> cancelled(editor(other));
    ASSERT_TRUE(cancelled);
    prompts.answerHeld(0, PromptAnswer::Cancel);
    ASSERT_TRUE(db().open(dbPath()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return cancelled.isNull(); }));
    EXPECT_EQ(editor(other), nullptr);
    prompts.holdQuestions(false);
}

TEST_F(RecordEditorTest, WritingStoresTheFieldsAndRefreshesTheListLine)
{
    const long index = addRecord("A.NC");
    searchAll();
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    plain(form, RecordFields::Bezeichnung)->setPlainText("Flansch\nRückseite");
    line(form, RecordFields::Kunde)->setText("Müller");
    form->dateField()->setText("010203");
    plain(form, RecordFields::Bemerkungen)->setPlainText("  entgraten\n\n  ");
    static_cast<QComboBox *>(form->findChild<QComboBox *>("cboMaschine"))->setCurrentIndex(1);
    QPointer<RecordEditor> guard(form);
    ASSERT_TRUE(form->uebernehmen());
    QApplication::processEvents();
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(column(index, "Bezeichnung").toString(), "Flansch\r\nRückseite");
    EXPECT_EQ(column(index, "Kunde").toString(), "Müller");
    EXPECT_EQ(column(index, "Datum").toDateTime().date(), QDate(2003, 2, 1));
    EXPECT_EQ(column(index, "Bemerkungen").toString(), "entgraten\r\n");
    EXPECT_EQ(column(index, "MaschinenIndex").toLongLong(), 1);
    const RecordRow &row = window->grid()->records()->row(window->grid()->records()->GetGridRow(index));
    EXPECT_EQ(row[RecordRow::Bezeichnung], "Flansch / Rückseite");
    EXPECT_EQ(row[RecordRow::Datum], "01.02.2003");
    EXPECT_EQ(row[RecordRow::Maschine], "DMU 50 / Halle 1");
    EXPECT_EQ(row[RecordRow::MaschIDX], "1");
    EXPECT_EQ(window->statusText(), "Bereit");
}

TEST_F(RecordEditorTest, AnImpossibleDateKeepsTheEditorAndEveryEditAnEmptyOneStoresNoDate)
{
    const long index = addRecord("A.NC");
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    line(form, RecordFields::Kunde)->setText("Neu & Wichtig");
    form->dateField()->setText("31.02.2003");
    EXPECT_FALSE(form->uebernehmen());
    QApplication::processEvents();
    ASSERT_EQ(editor(index), form);
    EXPECT_TRUE(form->isVisible());
    ASSERT_FALSE(prompts.asked().isEmpty());
    EXPECT_TRUE(prompts.asked().last().text.endsWith(" in Form3_DatensatzSchreiben"));
    EXPECT_EQ(prompts.asked().last().title, "Fehler!");
    EXPECT_TRUE(isYellow(form->dateField()));
    EXPECT_TRUE(form->dateField()->hasFocus());
    // The day that does not fit its month is the one marked.
    EXPECT_EQ(form->dateField()->selectedText(), "??.02.2003");
    EXPECT_EQ(line(form, RecordFields::Kunde)->text(), "Neu & Wichtig");
    EXPECT_EQ(column(index, "Kunde").toString(), "Zander");

    form->dateField()->clear();
    ASSERT_TRUE(form->uebernehmen());
    EXPECT_EQ(column(index, "Kunde").toString(), "Neu & Wichtig");
    EXPECT_FALSE(column(index, "Datum").isValid());
}

TEST_F(RecordEditorTest, LeavingTheDateCompletesItOrMarksIt)
{
    const long index = addRecord("A.NC");
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    form->dateField()->setText("010299");
    leave(form->dateField());
    EXPECT_EQ(form->dateField()->text(), "01.02.1999");
    EXPECT_FALSE(isYellow(form->dateField()));
    form->dateField()->setText("32.01.2003");
    leave(form->dateField());
    EXPECT_EQ(form->dateField()->text(), "??.01.2003");
    EXPECT_TRUE(isYellow(form->dateField()));
    EXPECT_TRUE(form->dateField()->hasFocus());
    EXPECT_EQ(form->dateField()->selectedText(), "??.01.2003");
    form->dateField()->setText("");
    leave(form->dateField());
    EXPECT_EQ(form->dateField()->text(), "");
    EXPECT_FALSE(isYellow(form->dateField()));
    // Dates as written by hand, and what is no date at all.
    for (const char *typed : {"01-02-2003", "1.2.3", "  010203  ", "01.02.03"}) {
        form->dateField()->setText(typed);
        leave(form->dateField());
        EXPECT_EQ(form->dateField()->text(), "01.02.2003") << typed;
        EXPECT_FALSE(isYellow(form->dateField())) << typed;
    }
    for (const char *typed : {"31.02.2003", "1.2", "gestern"}) {
        form->dateField()->setText(typed);
        leave(form->dateField());
        EXPECT_TRUE(isYellow(form->dateField())) << typed;
        EXPECT_TRUE(form->dateField()->hasFocus()) << typed;
    }

    plain(form, RecordFields::Werkzeuge)->setPlainText("  T1\n\n  ");
    leave(plain(form, RecordFields::Werkzeuge));
    EXPECT_EQ(plain(form, RecordFields::Werkzeuge)->toPlainText(), "T1\n");
}

TEST_F(RecordEditorTest, ADateWrittenWithDashesIsStoredAsThatDay)
{
    const long index = addRecord("A.NC");
    searchAll();
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    form->dateField()->setText(" 01-02-2003 ");
    ASSERT_TRUE(form->uebernehmen()) << prompts.messageTexts().join('|').toStdString();
    EXPECT_EQ(column(index, "Datum").toDateTime().date(), QDate(2003, 2, 1));
    const RecordRow &row = window->grid()->records()->row(window->grid()->records()->GetGridRow(index));
    EXPECT_EQ(row[RecordRow::Datum], "01.02.2003");
}

TEST_F(RecordEditorTest, DeletingARecordWhoseEditorIsOpenWarnsFirst)
{
    const long index = addRecord("A.NC");
    searchAll();
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    line(form, RecordFields::Kunde)->setText("Neu");
    window->grid()->selectRecord(window->grid()->records()->GetGridRow(index));
    prompts.queueAnswer(PromptAnswer::No);
    window->command(1)->click();
    EXPECT_EQ(prompts.titles(), QStringList{"Datensatz in Bearbeitung!"});
    EXPECT_TRUE(column(index, "Dateiname").isValid());
    EXPECT_TRUE(QFileInfo::exists(dataDir() + "A.NC"));

    // Deleted anyway: storing then says what became of the record, and the
    // edits stay in the editor, since the file went with it.
    prompts.clear();
    prompts.queueAnswer(PromptAnswer::Yes);
    prompts.queueAnswer(PromptAnswer::Yes);
    window->command(1)->click();
    EXPECT_EQ(prompts.titles(), (QStringList{"Datensatz in Bearbeitung!", "Löschen?"}));
    EXPECT_FALSE(column(index, "Dateiname").isValid());
    EXPECT_FALSE(QFileInfo::exists(dataDir() + "A.NC"));
    prompts.clear();
    EXPECT_FALSE(form->uebernehmen());
    QApplication::processEvents();
    ASSERT_EQ(editor(index), form);
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "Datensatz gelöscht!");
    EXPECT_TRUE(prompts.asked()[0].text.contains("nicht mehr im Überwachungsverzeichnis"));
    EXPECT_FALSE(prompts.asked()[0].text.contains("nicht gefunden!!"));
    EXPECT_EQ(line(form, RecordFields::Kunde)->text(), "Neu");
    EXPECT_TRUE(form->fileMissingShown());
    auto all = db().openRecordset("SELECT * FROM DateiListe", RecordsetType::Snapshot);
    EXPECT_EQ(all->recordCount(), 0);
}

TEST_F(RecordEditorTest, EditsOfARecordDeletedMeanwhileCanBecomeItsFilesRecordAgain)
{
    const long index = addRecord("A.NC", 1);
    searchAll();
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    line(form, RecordFields::Kunde)->setText("Neu");
    form->dateField()->setText("1.2.3");
    ASSERT_TRUE(db().execute("DELETE * FROM DateiListe WHERE DateiIndex=?", {qlonglong(index)}));

    // No: nothing is stored and the editor keeps the edits.
    prompts.queueAnswer(PromptAnswer::No);
    EXPECT_FALSE(form->uebernehmen());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "Datensatz gelöscht!");
    EXPECT_EQ(prompts.asked()[0].buttons, PromptButtons::YesNo);
    EXPECT_TRUE(prompts.asked()[0].text.contains("A.NC"));
    EXPECT_TRUE(form->isVisible());
    auto none = db().openRecordset("SELECT * FROM DateiListe", RecordsetType::Snapshot);
    EXPECT_EQ(none->recordCount(), 0);

    prompts.queueAnswer(PromptAnswer::Yes);
    QPointer<RecordEditor> guard(form);
    EXPECT_TRUE(form->uebernehmen());
    QApplication::processEvents();
    EXPECT_TRUE(guard.isNull());
    auto all = db().openRecordset("SELECT * FROM DateiListe", RecordsetType::Snapshot);
    ASSERT_EQ(all->recordCount(), 1);
    EXPECT_EQ(all->value("Dateiname").toString(), "A.NC");
    EXPECT_EQ(all->value("Kunde").toString(), "Neu");
    EXPECT_EQ(all->value("Bezeichnung").toString(), "Welle");
    EXPECT_EQ(all->value("Datum").toDateTime().date(), QDate(2003, 2, 1));
    EXPECT_EQ(all->value("MaschinenIndex").toLongLong(), 1);
}

TEST_F(RecordEditorTest, DiscardAndTheCloseBoxWriteNothing)
{
    const long index = addRecord("A.NC");
    RecordEditor *form = openEditor(index);
    line(form, RecordFields::Kunde)->setText("weg");
    form->verwerfen();
    form = openEditor(index);
    ASSERT_TRUE(form);
    EXPECT_EQ(line(form, RecordFields::Kunde)->text(), "Zander");
    line(form, RecordFields::Kunde)->setText("weg");
    form->close();
    EXPECT_EQ(column(index, "Kunde").toString(), "Zander");
}

TEST_F(RecordEditorTest, AnOpenEditorListsMachinesChangedMeanwhileAndKeepsItsChoice)
{
    const long index = addRecord("A.NC", 2);
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    ASSERT_EQ(form->machineText(), "CTX 400 / Halle 2");
    ASSERT_TRUE(db().execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES ('Hermle C42', 'Halle 3')"));
    station->machinesChanged();
    EXPECT_EQ(form->machineChoices(),
              QStringList({"keine Auswahl", "DMU 50 / Halle 1", "CTX 400 / Halle 2", "Hermle C42 / Halle 3"}));
    EXPECT_EQ(form->machineText(), "CTX 400 / Halle 2");

    // The chosen machine deleted: it stays chosen, so saving asks about it.
    ASSERT_TRUE(db().execute("DELETE FROM Maschinen WHERE Bezeichnung = 'CTX 400'"));
    station->machinesChanged();
    EXPECT_EQ(form->machineText(), "CTX 400 / Halle 2");
    EXPECT_TRUE(form->machineChoices().contains("Hermle C42 / Halle 3"));
    EXPECT_TRUE(prompts.asked().isEmpty());
}

TEST_F(RecordEditorTest, AMachineThatIsGoneIsAskedAboutYesStoresNoneAtOnce)
{
    const long keep = addRecord("A.NC", 9);
    const long clear = addRecord("B.NC", 9);
    prompts.queueAnswer(PromptAnswer::No);
    RecordEditor *form = openEditor(keep);
    ASSERT_TRUE(form);
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().last().title, "Achtung!");
    EXPECT_TRUE(prompts.asked().last().text.startsWith("Die Maschine welche für dieses Programm angegeben war"));
    EXPECT_EQ(form->machineText(), "keine Auswahl");
    EXPECT_EQ(column(keep, "MaschinenIndex").toLongLong(), 9);
    form->verwerfen();

    prompts.queueAnswer(PromptAnswer::Yes);
    form = openEditor(clear);
    ASSERT_TRUE(form);
    EXPECT_EQ(prompts.asked().size(), 2);
    EXPECT_EQ(column(clear, "MaschinenIndex").toLongLong(), 0);
    form->verwerfen();
}

TEST_F(RecordEditorTest, AFileMissingIsMarkedAndCannotBeRenamed)
{
    const long index = addRecord("WEG.NC", 0, false);
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->fileMissingShown());
    EXPECT_EQ(form->findChild<QLabel *>("imgDateiFehlt")->toolTip(),
              "Dieses Symbol bedeutet, dass die Datei im Überwachungsverzeichnis nichtmehr vorhanden ist!");
    form->startRename();
    EXPECT_EQ(prompts.asked().last().text, "Wenn die Datei fehlt, kann Sie nicht umbenannt werden!");
    EXPECT_EQ(prompts.asked().last().title, "Geht nicht!");
    EXPECT_TRUE(form->fileNameLocked());
}

TEST_F(RecordEditorTest, ANewFileOpensItsEditorWithTheSendingMachine)
{
    StationInternals::state(*station).pendingMachines.insert("NEU.NC", 2);
    env.writeFile("data/NEU.NC", "O1");
    station->tick();
    const QList<RecordEditor *> open = editors()->editors();
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0]->fileNameField()->text(), "NEU.NC");
    EXPECT_EQ(open[0]->machineText(), "CTX 400 / Halle 2");
    EXPECT_EQ(line(open[0], RecordFields::Kunde)->text(), "");
    EXPECT_EQ(plain(open[0], RecordFields::Bezeichnung)->toPlainText(), "Neue Datei");
}

TEST_F(RecordEditorTest, FiftyNewFilesOpenAFewEditorsAndTheRestWait)
{
    for (int i = 0; i < 50; ++i)
        env.writeFile(QString("data/P%1.NC").arg(i, 2, 10, QChar('0')), "O1");
    station->tick();
    QList<RecordEditor *> open = editors()->editors();
    EXPECT_EQ(open.size(), 3);
    EXPECT_EQ(editors()->waiting(), 47);
    EXPECT_EQ(window->statusText(), "Editieren - 47 neue Datensätze warten auf Bearbeitung");
    auto count = db().openRecordset("SELECT * FROM DateiListe", RecordsetType::Snapshot);
    EXPECT_EQ(count->recordCount(), 50);

    open[0]->verwerfen();
    QApplication::processEvents();
    EXPECT_EQ(editors()->editors().size(), 3);
    EXPECT_EQ(editors()->waiting(), 46);
    EXPECT_EQ(window->statusText(), "Editieren - 46 neue Datensätze warten auf Bearbeitung");
    // Closing ZEP drops the queue; the records stay.
    window->dialogs().closeRecordEditors();
    QApplication::processEvents();
    EXPECT_TRUE(editors()->editors().isEmpty());
    EXPECT_EQ(editors()->waiting(), 0);
}

TEST_F(RecordEditorTest, CopyAndPasteCarryTheFieldsBetweenTwoRecords)
{
    const long from = addRecord("A.NC");
    const long to = addRecord("B.NC", 1);
    RecordEditor *source = openEditor(from);
    ASSERT_TRUE(source);
    EXPECT_FALSE(source->pasteEnabled());
    plain(source, RecordFields::Bezeichnung)->setPlainText("Welle Ø20\nmit Nut");
    line(source, RecordFields::Kunde)->setText("Müller & Söhne");
    plain(source, RecordFields::Bemerkungen)->setPlainText("erste\nzweite\ndritte");
    line(source, RecordFields::Ersteller)->setText("Jörg");
    source->copyRecord();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("CNC||Welle Ø20\r\nmit Nut||"));
    EXPECT_TRUE(source->pasteEnabled());
    const RecordFields copied = source->currentFields();
    source->verwerfen();

    RecordEditor *target = openEditor(to);
    ASSERT_TRUE(target);
    EXPECT_TRUE(target->pasteEnabled());
    target->pasteRecord();
    const RecordFields pasted = target->currentFields();
    for (RecordFields::Field f : {RecordFields::Bezeichnung, RecordFields::Zeichnungsnummer,
                                  RecordFields::Auftragsnummer, RecordFields::Kunde, RecordFields::Laufzeit,
                                  RecordFields::Aufspannung, RecordFields::Werkzeuge, RecordFields::Ersteller,
                                  RecordFields::Bemerkungen})
        EXPECT_EQ(pasted.text(f), copied.text(f)) << RecordFields::label(f).toStdString();
    EXPECT_EQ(pasted.dateiname, "B.NC");
    EXPECT_EQ(target->machineText(), "DMU 50 / Halle 1");
    ASSERT_TRUE(target->uebernehmen());
    EXPECT_EQ(column(to, "Bemerkungen").toString(), "erste\r\nzweite\r\ndritte");
    EXPECT_EQ(column(to, "Kunde").toString(), "Müller & Söhne");

    QGuiApplication::clipboard()->setText("irgendwas");
    RecordEditor *third = openEditor(from);
    EXPECT_FALSE(third->pasteEnabled());
    third->pasteRecord();
    EXPECT_EQ(prompts.asked().last().text, "Keine ZEP-Datensatzkopie im Clipboard!");
    EXPECT_EQ(prompts.asked().last().title, "Sorry!");
}

TEST_F(RecordEditorTest, APasteKeepsToTheFieldLimitsAndACopyMissingFieldsChangesNothing)
{
    const long index = addRecord("A.NC");
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    const RecordFields before = form->currentFields();
    QGuiApplication::clipboard()->setText("CNC||NurEins||");
    ASSERT_TRUE(form->pasteEnabled());
    form->pasteRecord();
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked()[0].text.contains("1 Angabe statt 9")) << prompts.asked()[0].text.toStdString();
    EXPECT_EQ(form->currentFields(), before);

    RecordFields copy;
    copy.kunde = QString(300, 'K');
    copy.bezeichnung = QString(250, 'B');
    copy.ersteller = "Jörg";
    QGuiApplication::clipboard()->setText(RecordClipboard::format(copy));
    prompts.clear();
    form->pasteRecord();
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "Gekürzt!");
    EXPECT_EQ(line(form, RecordFields::Kunde)->text(), QString(50, 'K'));
    EXPECT_EQ(plain(form, RecordFields::Bezeichnung)->toPlainText(), QString(200, 'B'));
    EXPECT_EQ(line(form, RecordFields::Ersteller)->text(), "Jörg");
    ASSERT_TRUE(form->uebernehmen());
    EXPECT_EQ(column(index, "Kunde").toString(), QString(50, 'K'));
    EXPECT_EQ(column(index, "Bezeichnung").toString(), QString(200, 'B'));
}

TEST_F(RecordEditorTest, ACopyThatAPasteWouldCutIsRefused)
{
    const long index = addRecord("A.NC");
    RecordEditor *form = openEditor(index);
    QGuiApplication::clipboard()->setText("vorher");
    line(form, RecordFields::Auftragsnummer)->setText("A||B");
    form->copyRecord();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "vorher");
    ASSERT_FALSE(prompts.asked().isEmpty());
    EXPECT_TRUE(prompts.asked().last().text.contains("Auftragsnummer:"));
}

TEST_F(RecordEditorTest, PresetsGoIntoTheEightFieldsWithShiftAndAFunctionKey)
{
    settings.write("Vorgaben", "F3", "Kunde A");
    settings.write("Vorgaben", "F8", "Zeile 1\r\nZeile 2");
    const long index = addRecord("A.NC");
    RecordEditor *form = openEditor(index);
    QLineEdit *kunde = line(form, RecordFields::Kunde);
    kunde->setFocus();
    kunde->selectAll();
    QTest::keyClick(kunde, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(kunde->text(), "Kunde A");
    QTest::keyClick(kunde, Qt::Key_F3);
    EXPECT_EQ(kunde->text(), "Kunde A");
    QPlainTextEdit *remarks = plain(form, RecordFields::Bemerkungen);
    remarks->clear();
    QTest::keyClick(remarks, Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(RecordFields::toStored(remarks->toPlainText()), "Zeile 1\r\nZeile 2");
    QLineEdit *laufzeit = line(form, RecordFields::Laufzeit);
    laufzeit->setText("5");
    QTest::keyClick(laufzeit, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(laufzeit->text(), "5"); // not one of the eight
}

TEST_F(RecordEditorTest, TheRenameMovesFilePhotosAndNameAndTheCheckFindsNothingNew)
{
    const long index = addRecord("A1.NC");
    const long other = addRecord("TAKEN.NC");
    Q_UNUSED(other);
    station->rescan();
    station->tick(); // the list knows both files
    prompts.clear();
    env.writeFile("foto/Foto_A1.NC_1.jpg", "1");
    env.writeFile("foto/Foto_A1.NC_2.jpg", "2");
    env.writeFile("foto/Foto_A1.NC_X_1.jpg", "x");
    searchAll();
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);

    form->startRename();
    EXPECT_EQ(prompts.asked().last().title, "HINWEIS!");
    EXPECT_FALSE(form->fileNameLocked());
    form->fileNameField()->setText("taken.nc");
    leave(form->fileNameField());
    EXPECT_EQ(prompts.asked().last().text, "Dieser Dateiname existiert bereits!");
    EXPECT_EQ(form->fileNameField()->text(), "A1.NC");
    EXPECT_TRUE(form->fileNameLocked());

    form->startRename();
    form->fileNameField()->setText("b2.nc");
    leave(form->fileNameField());
    EXPECT_EQ(form->fileNameField()->text(), "B2.NC");
    EXPECT_TRUE(QFileInfo::exists(dataDir() + "b2.nc"));
    EXPECT_FALSE(QFileInfo::exists(dataDir() + "A1.NC"));
    EXPECT_EQ(QDir(fotoDir()).entryList(QDir::Files, QDir::Name),
              (QStringList{"Foto_A1.NC_X_1.jpg", "Foto_B2.NC_1.jpg", "Foto_B2.NC_2.jpg"}));
    EXPECT_EQ(column(index, "Dateiname").toString(), "B2.NC");
    EXPECT_TRUE(StationInternals::files(*station).entries().contains("B2.NC"));
    EXPECT_FALSE(StationInternals::files(*station).entries().contains("A1.NC"));
    const RecordRow &row = window->grid()->records()->row(window->grid()->records()->GetGridRow(index));
    EXPECT_EQ(row[RecordRow::Datei], "B2.NC");

    // A file arriving now is new; the renamed one is not.
    QList<long> created;
    QObject::connect(station.get(), &Station::recordCreated, [&](long i) { created << i; });
    env.writeFile("data/C3.NC", "O1");
    station->tick();
    EXPECT_EQ(created.size(), 1);
    EXPECT_EQ(column(created.value(0), "Dateiname").toString(), "C3.NC");
    form->verwerfen();
}

TEST_F(RecordEditorTest, ARenameToAHiddenNameIsRefusedAndNothingMoves)
{
    const long index = addRecord("A1.NC");
    station->rescan();
    env.writeFile("foto/Foto_A1.NC_1.jpg", "1");
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    for (const char *typed : {".versteckt.nc", "sub\\.alt\\A1.NC"}) {
        prompts.clear();
        form->startRename();
        form->fileNameField()->setText(typed);
        leave(form->fileNameField());
        ASSERT_EQ(prompts.asked().size(), 2) << typed;
        EXPECT_EQ(prompts.asked()[1].title, "Fehler!");
        EXPECT_EQ(prompts.asked()[1].text, QString("Der Name '") + typed
                                               + "' beginnt mit einem Punkt. Eine solche Datei ist versteckt und "
                                                 "würde im überwachten Verzeichnis nie erkannt.");
        EXPECT_EQ(form->fileNameField()->text(), "A1.NC");
        EXPECT_TRUE(form->fileNameLocked());
    }
    EXPECT_EQ(QDir(dataDir()).entryList(QDir::Files | QDir::Hidden | QDir::AllDirs | QDir::NoDotAndDotDot),
              QStringList{"A1.NC"});
    EXPECT_EQ(QDir(fotoDir()).entryList(QDir::Files | QDir::Hidden), QStringList{"Foto_A1.NC_1.jpg"});
    EXPECT_EQ(column(index, "Dateiname").toString(), "A1.NC");
    EXPECT_TRUE(StationInternals::files(*station).entries().contains("A1.NC"));
}

TEST_F(RecordEditorTest, AProgramEditorOpenDuringARenameSavesIntoTheRenamedFile)
{
    env.writeFile("data/RX010.cnc", "%\r\nM30\r\n");
    const long index = insertRecord(db(), "RX010.CNC");
    station->rescan();
    station->tick();
    searchAll();
    window->grid()->selectRecord(window->grid()->records()->GetGridRow(index));
    window->command(4)->click();
    const QList<CNCEditor *> programEditors = window->findChildren<CNCEditor *>();
    ASSERT_EQ(programEditors.size(), 1);
    QPointer<CNCEditor> program(programEditors[0]);
    ASSERT_EQ(program->fileLine(), "Datei: " + dataDir() + "RX010.cnc");

    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    form->startRename();
    form->fileNameField()->setText("RX010NEU.CNC");
    leave(form->fileNameField());
    ASSERT_EQ(column(index, "Dateiname").toString(), "RX010NEU.CNC");
    EXPECT_EQ(program->fileLine(), "Datei: " + dataDir() + "RX010NEU.CNC");
    form->verwerfen();

    // A line typed in the program editor, then "Änderung übernehmen".
    program->activateWindow();
    program->view(0)->setFocus();
    program->view(0)->moveCursor(QTextCursor::End);
    QTest::keyClicks(program->view(0), "N20 G1");
    prompts.clear();
    program->action("mnuSpeichern")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(prompts.asked().isEmpty()) << prompts.messageTexts().join('|').toStdString();
    EXPECT_TRUE(program.isNull() || !program->isVisible());
    EXPECT_TRUE(env.readFile(dataDir() + "RX010NEU.CNC").startsWith("%\r\nM30\r\n"));
    EXPECT_TRUE(env.readFile(dataDir() + "RX010NEU.CNC").contains("N20 G1"));
    EXPECT_FALSE(QFileInfo::exists(dataDir() + "RX010.cnc"));

    // One program, one record: the check finds nothing new.
    QList<long> created;
    QObject::connect(station.get(), &Station::recordCreated, [&](long i) { created << i; });
    station->tick();
    EXPECT_TRUE(created.isEmpty());
    auto all = db().openRecordset("SELECT * FROM DateiListe", RecordsetType::Snapshot);
    EXPECT_EQ(all->recordCount(), 1);
}

TEST_F(RecordEditorTest, ThePresetsDialogShowsAndStoresTheEightTexts)
{
    settings.write("Vorgaben", "F2", "Halter");
    QStringList status;
    QObject::connect(station.get(), &Station::statusChanged, [&](const QString &t) { status << t; });
    onModal = [&](QDialog &dialog) {
        auto *presets = dynamic_cast<PresetsDialog *>(&dialog);
        EXPECT_TRUE(presets);
        if (!presets)
            return 0;
        EXPECT_EQ(status.last(), "F-Tastenbelegung");
        EXPECT_EQ(presets->line(2)->text(), "Halter");
        EXPECT_TRUE(presets->findChild<QPushButton *>("cmdAbbruch"));
        for (int n = 1; n <= 8; ++n)
            presets->line(n)->setText(n == 5 ? QString("Spannzange") : QString());
        presets->findChild<QPushButton *>("cmdSpeichern")->click();
        return 1;
    };
    window->action("mmTasten")->trigger();
    EXPECT_EQ(modalTitles, QStringList{"Tastenvorgaben definieren"});
    EXPECT_EQ(settings.read("Vorgaben", "F5"), "Spannzange");
    EXPECT_EQ(settings.read("Vorgaben", "F2", "missing"), "");
    EXPECT_EQ(status.last(), "Bereit");

    onModal = [&](QDialog &dialog) {
        static_cast<PresetsDialog &>(dialog).line(5)->setText("verworfen");
        dialog.findChild<QPushButton *>("cmdAbbruch")->click();
        return 0;
    };
    window->action("mmTasten")->trigger();
    EXPECT_EQ(settings.read("Vorgaben", "F5"), "Spannzange");
}

QString pdfText(const QString &path)
{
    QProcess process;
    process.start("pdftotext", {"-layout", path, "-"});
    process.waitForFinished(20000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST_F(RecordEditorTest, TheSheetSavedAsPdfReadsBackWithLabelsValuesAndUnsavedEdits)
{
    const long index = addRecord("DREHEN\\P1.NC", 0, false);
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    plain(form, RecordFields::Bezeichnung)->setPlainText("Welle Ø20");
    line(form, RecordFields::Kunde)->setText(""); // empty: label and an empty line
    plain(form, RecordFields::Bemerkungen)->setPlainText("erste Zeile\nzweite Zeile\ndritte Zeile");
    plain(form, RecordFields::Werkzeuge)->setPlainText(QString("Fräser ").repeated(60).trimmed());
    const QString path = env.root() + "blatt.pdf";
    prompts.queuePath(path);
    form->saveSheetAsPdf();
    ASSERT_TRUE(QFileInfo::exists(path)) << prompts.messageTexts().join("|").toStdString();
    // Proposed inside the home folder, not as a file beside it.
    const auto dialog = std::find_if(prompts.asked().begin(), prompts.asked().end(),
                                     [](const auto &a) { return a.kind == ScriptedPrompts::Kind::SaveFile; });
    ASSERT_NE(dialog, prompts.asked().end());
    EXPECT_EQ(dialog->text, QDir::homePath() + "/DREHEN-P1.NC.pdf");
    const QString text = pdfText(path);
    EXPECT_TRUE(text.contains("DREHEN\\P1.NC")) << text.toStdString();
    EXPECT_TRUE(text.contains("Maschine: keine Auswahl"));
    EXPECT_TRUE(text.contains("Welle Ø20"));
    for (const char *label : {"Zeichnungsnummern:", "Auftragsnummer:", "Kunde:", "Datum:", "Laufzeit je Teil:",
                              "Aufspannung:", "Werkzeuge:", "Ersteller:", "Bemerkungen:"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(label))) << label;
    EXPECT_TRUE(text.contains("05.01.2026"));
    const QStringList lines = text.split('\n');
    const qsizetype remarks = lines.indexOf(QRegularExpression("^\\s*Bemerkungen:\\s*$"));
    ASSERT_GE(remarks, 0);
    EXPECT_EQ(lines.value(remarks + 1).trimmed(), "erste Zeile");
    EXPECT_EQ(lines.value(remarks + 2).trimmed(), "zweite Zeile");
    EXPECT_EQ(lines.value(remarks + 3).trimmed(), "dritte Zeile");
    const qsizetype kunde = lines.indexOf(QRegularExpression("^\\s*Kunde:\\s*$"));
    ASSERT_GE(kunde, 0);
    EXPECT_EQ(lines.value(kunde + 1).trimmed(), "");
    EXPECT_EQ(lines.value(kunde + 3).trimmed(), "Datum:");
    // The long tool list wraps instead of running off the page.
    EXPECT_GE(text.count("Fräser"), 60) << text.toStdString();
    EXPECT_TRUE(text.contains(QString(40, '=')));
    // Nothing but the PDF is left in its folder.
    EXPECT_EQ(QDir(env.root()).entryList({"*blatt*"}, QDir::Files | QDir::Hidden), QStringList{"blatt.pdf"});
}

TEST_F(RecordEditorTest, ALongSheetGoesOnToMorePagesAndNoPrinterIsTold)
{
    const long index = addRecord("LANG.NC");
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    QStringList many;
    for (int i = 1; i <= 120; ++i)
        many << QString("Bemerkung %1").arg(i);
    plain(form, RecordFields::Bemerkungen)->setPlainText(many.join('\n'));
    const QString path = env.root() + "lang.pdf";
    prompts.queuePath(path);
    form->saveSheetAsPdf();
    QProcess info;
    info.start("pdfinfo", {path});
    info.waitForFinished(20000);
    const QString pages = QString::fromUtf8(info.readAllStandardOutput()).section("Pages:", 1).section('\n', 0, 0);
    EXPECT_GE(pages.trimmed().toInt(), 2);
    const QString text = pdfText(path);
    EXPECT_TRUE(text.contains("Bemerkung 1\n"));
    EXPECT_TRUE(text.contains("Bemerkung 120"));

    // This machine has no printer set up: the user hears so, nothing starts.
    if (RecordSheetPrinter::printerAvailable())
        GTEST_SKIP() << "a printer is set up here";
    prompts.clear();
    form->printSheet();
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().last().title, "Kein Drucker!");
    EXPECT_TRUE(modalTitles.isEmpty());
}

TEST(RecordSheetPrinter, APrintJobRunsThroughOrFailsWithAReasonAndNothingLeft)
{
    TestEnvironment env;
    RecordFields fields;
    fields.dateiname = "P1.NC";
    fields.kunde = "Müller";
    const QList<RecordSheet::Line> lines = RecordSheet::lines(fields, "DMU 50 / Halle 1");

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(env.root() + "job.pdf");
    EXPECT_FALSE(RecordSheetPrinter::print(lines, printer).has_value());
    const QString text = pdfText(env.root() + "job.pdf");
    EXPECT_TRUE(text.contains("P1.NC")) << text.toStdString();
    EXPECT_TRUE(text.contains("Maschine: DMU 50 / Halle 1"));
    EXPECT_TRUE(text.contains("Müller"));

    QPrinter broken(QPrinter::HighResolution);
    broken.setOutputFormat(QPrinter::PdfFormat);
    broken.setOutputFileName(env.root() + "no/such/dir/job.pdf");
    const std::optional<QString> error = RecordSheetPrinter::print(lines, broken);
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains("nichts gedruckt"));
    EXPECT_FALSE(QFileInfo::exists(env.root() + "no"));

    EXPECT_TRUE(RecordSheetPrinter::writePdf(lines, env.root() + "no/such/dir/x.pdf", "P1.NC").has_value());
}

} // namespace
} // namespace zep::test
