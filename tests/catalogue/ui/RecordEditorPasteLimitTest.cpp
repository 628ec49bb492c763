#include "../../station/ui/UiFixture.h"
#include "station/StationInternals.h"
#include "../RecordRows.h"

#include "catalogue/ui/LimitedTextEdit.h"
#include "catalogue/ui/RecordEditor.h"
#include "catalogue/ui/RecordEditors.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>

#include <memory>

namespace zep::test {
namespace {

// The two short multi-line fields keep to their 200 characters whichever
// way text comes in, and say what they left out on the editor's hint line.
struct RecordEditorPasteLimitTest : ::testing::Test, UiFixture {
    void SetUp() override
    {
        prepareRegularStart();
        QDir().mkpath(env.root() + "data/");
        QDir().mkpath(env.root() + "foto/");
        ASSERT_EQ(loadWindow(), Station::LoadOutcome::Ready);
        showActive();
        QGuiApplication::clipboard()->clear();
    }
    void TearDown() override { window->dialogs().closeRecordEditors(); }

    Database &db() { return StationInternals::database(*station); }
    long addRecord(const QString &name)
    {
        env.writeFile("data/" + name, "%\r\nM30\r\n");
        return insertRecord(db(), name);
    }
    QString column(long index, const QString &name) { return recordColumn(db(), index, name).toString(); }
    RecordEditor *openEditor(long index)
    {
        window->dialogs().openRecordEditor(index);
        RecordEditor *form = window->dialogs().recordEditors()->editor(index);
        if (form) {
            form->activateWindow();
            EXPECT_TRUE(QTest::qWaitFor([form] { return QApplication::activeWindow() == form; }));
        }
        return form;
    }
    static LimitedTextEdit *limited(RecordEditor *form, RecordFields::Field f)
    {
        return qobject_cast<LimitedTextEdit *>(form->field(f));
    }
    // Ctrl+V, as the user pastes, behind what the field holds.
    static void pasteAtEnd(QPlainTextEdit *field, const QString &clipboardText)
    {
        QGuiApplication::clipboard()->setText(clipboardText);
        field->setFocus(Qt::MouseFocusReason);
        field->moveCursor(QTextCursor::End);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    }
    static QString fieldText(QPlainTextEdit *field) { return field->toPlainText(); }

    const QString bez = "Bezeichnung hat höchstens 200 Zeichen: ";
    const QString zei = "Zeichnungsnummern hat höchstens 200 Zeichen: ";
};

TEST_F(RecordEditorPasteLimitTest, FiveHundredCharactersPastedIntoEachFieldKeepTheLimitUndoAndTheRestOfTheRecord)
{
    const long index = addRecord("A.NC");
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    LimitedTextEdit *bezeichnung = limited(form, RecordFields::Bezeichnung);
    LimitedTextEdit *zeichnung = limited(form, RecordFields::Zeichnungsnummer);
    ASSERT_TRUE(bezeichnung && zeichnung);
    EXPECT_EQ(fieldText(bezeichnung), "Welle");

    // Another program's text: 500 characters with a CR LF among them.
    const QString other = QString(100, 'a') + "\r\n" + QString(398, 'b');
    pasteAtEnd(bezeichnung, other);
    EXPECT_EQ(fieldText(bezeichnung), "Welle" + QString(100, 'a') + "\n" + QString(94, 'b'));
    EXPECT_EQ(form->hintText(), bez + "304 Zeichen wurden nicht übernommen.");

    // One undo takes the paste back whole, one redo brings the cut paste.
    bezeichnung->undo();
    EXPECT_EQ(fieldText(bezeichnung), "Welle");
    bezeichnung->redo();
    EXPECT_EQ(fieldText(bezeichnung).size(), 200);

    pasteAtEnd(zeichnung, QString(500, 'z'));
    EXPECT_EQ(fieldText(zeichnung), QString(200, 'z'));
    EXPECT_EQ(form->hintText(), zei + "300 Zeichen wurden nicht übernommen.");
    // Full now: a key adds nothing, a paste over a selection replaces it
    // with what fits and no more.
    QTest::keyClick(zeichnung, Qt::Key_Q);
    EXPECT_EQ(fieldText(zeichnung), QString(200, 'z'));
    QTextCursor selection = zeichnung->textCursor();
    selection.setPosition(0);
    selection.setPosition(3, QTextCursor::KeepAnchor);
    zeichnung->setTextCursor(selection);
    QGuiApplication::clipboard()->setText("12345");
    QTest::keyClick(zeichnung, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(fieldText(zeichnung), "123" + QString(197, 'z'));
    EXPECT_TRUE(prompts.asked().isEmpty()) << "no box for a cut paste";

    ASSERT_TRUE(form->uebernehmen());
    EXPECT_EQ(column(index, "Bezeichnung"), "Welle" + QString(100, 'a') + "\r\n" + QString(94, 'b'));
    EXPECT_EQ(RecordFields::shownLength(RecordFields::Bezeichnung, column(index, "Bezeichnung")), 200);
    EXPECT_EQ(column(index, "Zeichnungsnummer"), "123" + QString(197, 'z'));
    EXPECT_EQ(column(index, "Dateiname"), "A.NC");
    EXPECT_EQ(column(index, "Kunde"), "Zander");
    EXPECT_EQ(recordColumn(db(), index, "Datum").toDateTime().date(), QDate(2026, 1, 5));
}

TEST_F(RecordEditorPasteLimitTest, TheContextMenuADropAnInputMethodAndAPresetKeepTheLimitToo)
{
    settings.write("Vorgaben", "F2", QString(300, 'p'));
    const long index = addRecord("A.NC");
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    LimitedTextEdit *bezeichnung = limited(form, RecordFields::Bezeichnung);
    LimitedTextEdit *zeichnung = limited(form, RecordFields::Zeichnungsnummer);

    QGuiApplication::clipboard()->setText(QString(500, 'm'));
    bezeichnung->clear();
    std::unique_ptr<QMenu> menu(bezeichnung->createStandardContextMenu());
    QAction *paste = menu->findChild<QAction *>("edit-paste");
    ASSERT_TRUE(paste);
    paste->trigger();
    EXPECT_EQ(fieldText(bezeichnung), QString(200, 'm'));

    // What an input method hands over in one piece.
    bezeichnung->clear();
    QInputMethodEvent composed;
    composed.setCommitString(QString(260, 'i'));
    QApplication::sendEvent(bezeichnung, &composed);
    EXPECT_EQ(fieldText(bezeichnung), QString(200, 'i'));
    EXPECT_EQ(form->hintText(), bez + "60 Zeichen wurden nicht übernommen.");
    bezeichnung->clear();
    paste->trigger();
    EXPECT_EQ(fieldText(bezeichnung), QString(200, 'm'));

    // Dropped from another program.
    zeichnung->clear();
    QMimeData dragged;
    dragged.setText(QString(500, 'd'));
    const QPoint at = zeichnung->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(zeichnung->viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(zeichnung->viewport(), &move);
    QDropEvent drop(at, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(zeichnung->viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(fieldText(zeichnung), QString(200, 'd'));
    EXPECT_EQ(form->hintText(), zei + "300 Zeichen wurden nicht übernommen.");
    // A text moved here that fits stays a move; one that is cut is taken
    // as a copy, so the place it came from keeps it whole.
    // (Shift makes the drop a move, as a text field's own drag is.)
    const auto moveHere = [&](const QString &text, Qt::DropActions offered) {
        QMimeData moved;
        moved.setText(text);
        QDragEnterEvent enter(at, offered, &moved, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(zeichnung->viewport(), &enter);
        QDragMoveEvent move(at, offered, &moved, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(zeichnung->viewport(), &move);
        QDropEvent drop(at, offered, &moved, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(zeichnung->viewport(), &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    };
    const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
    zeichnung->clear();
    EXPECT_EQ(moveHere("Z-7", copyOrMove), Qt::MoveAction);
    EXPECT_EQ(fieldText(zeichnung), "Z-7");
    zeichnung->clear();
    EXPECT_EQ(moveHere(QString(300, 'v'), copyOrMove), Qt::CopyAction);
    EXPECT_EQ(fieldText(zeichnung), QString(200, 'v'));
    // A source that can only give its text away keeps it.
    EXPECT_EQ(moveHere(QString(300, 'w'), Qt::MoveAction), Qt::IgnoreAction);
    EXPECT_EQ(fieldText(zeichnung), QString(200, 'v'));
    EXPECT_EQ(form->hintText(), zei + "300 Zeichen wurden nicht übernommen.");

    // Shift+F2 with a preset longer than the field.
    zeichnung->setPlainText("Z-1 ");
    zeichnung->setFocus(Qt::MouseFocusReason);
    zeichnung->moveCursor(QTextCursor::End);
    QTest::keyClick(zeichnung, Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_EQ(fieldText(zeichnung), "Z-1 " + QString(196, 'p'));
    EXPECT_EQ(form->hintText(), zei + "104 Zeichen wurden nicht übernommen.");
    EXPECT_TRUE(prompts.asked().isEmpty());

    ASSERT_TRUE(form->uebernehmen());
    EXPECT_EQ(column(index, "Bezeichnung"), QString(200, 'm'));
    EXPECT_EQ(column(index, "Zeichnungsnummer"), "Z-1 " + QString(196, 'p'));
}

TEST_F(RecordEditorPasteLimitTest, ALongerStoredTextIsShownWholeAndAPasteNeverMakesItLonger)
{
    const long index = addRecord("A.NC");
    const QString stored = QString(250, 's');
    ASSERT_TRUE(db().execute("UPDATE DateiListe SET Bezeichnung=? WHERE DateiIndex=?", {stored, qlonglong(index)}));
    RecordEditor *form = openEditor(index);
    ASSERT_TRUE(form);
    LimitedTextEdit *bezeichnung = limited(form, RecordFields::Bezeichnung);
    EXPECT_EQ(fieldText(bezeichnung), stored);

    // Nothing fits behind it: the field stays as it is.
    pasteAtEnd(bezeichnung, "mehr");
    EXPECT_EQ(fieldText(bezeichnung), stored);
    EXPECT_EQ(form->hintText(), "Bezeichnung hat höchstens 250 Zeichen: 4 Zeichen wurden nicht übernommen.");
    // In place of ten of its characters go ten.
    QTextCursor selection = bezeichnung->textCursor();
    selection.setPosition(0);
    selection.setPosition(10, QTextCursor::KeepAnchor);
    bezeichnung->setTextCursor(selection);
    QGuiApplication::clipboard()->setText(QString(40, 'n'));
    QTest::keyClick(bezeichnung, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(fieldText(bezeichnung), QString(10, 'n') + QString(240, 's'));

    ASSERT_TRUE(form->uebernehmen());
    EXPECT_EQ(column(index, "Bezeichnung"), QString(10, 'n') + QString(240, 's'));
}

} // namespace
} // namespace zep::test
