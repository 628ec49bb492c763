#include "editor/ui/CNCEditor.h"
#include "editor/ui/CodeView.h"

#include "app/IniSettingsStore.h"
#include "app/ProgramSettings.h"
#include "app/ScriptedPrompts.h"
#include "support/AllBytes.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QSplitter>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace zep;

namespace {

struct EditorTest : ::testing::Test {
    test::TestEnvironment env;
    IniSettingsStore settings{env.iniFile()};
    ScriptedPrompts prompts;

    std::unique_ptr<CNCEditor> open(const QString &path)
    {
        auto editor = std::make_unique<CNCEditor>(settings, prompts, path);
        editor->load();
        return editor;
    }
    QString text(const CNCEditor &e) const { return e.document()->toRawText(); }
};

QByteArray withoutLineEnds()
{
    QByteArray bytes = test::allBytes();
    bytes.remove(13, 1);
    bytes.remove(10, 1);
    return bytes;
}

} // namespace

TEST_F(EditorTest, EveryByteAndEveryLineEndStyleSurvivesOpenAndSaveUnchanged)
{
    const QByteArray body = withoutLineEnds();
    const QByteArray half1 = body.left(120), half2 = body.mid(120);
    const QList<QByteArray> files{
        test::allBytes(),
        half1 + "\r\n" + half2 + "\r\n" + "N10\r\n",
        half1 + "\n" + half2 + "\n" + "N10",
        half1 + "\r" + half2 + "\r" + "\r",
        half1 + "\r\n" + half2 + "\n" + "N10\r" + "\r\n\n\r" + "M30",
        QByteArray(),
        QByteArray("\r\n"),
    };
    int n = 0;
    for (const QByteArray &bytes : files) {
        const QString path = env.writeFile("data/P" + QString::number(++n) + ".NC", bytes);
        auto editor = open(path);
        EXPECT_EQ(editor->currentBytes().value_or("?"), bytes) << "file " << n;
        prompts.clear();
        EXPECT_TRUE(editor->acceptChanges());
        EXPECT_EQ(env.readFile(path), bytes) << "file " << n;
        EXPECT_TRUE(prompts.asked().isEmpty()) << "file " << n;
    }
}

TEST_F(EditorTest, NulShowsAsMarkerAndGoesBackAsAZeroByte)
{
    const QString path = env.writeFile("data/P1.NC", QByteArray("A\0B", 3));
    auto editor = open(path);
    EXPECT_EQ(text(*editor), "A<NULL>B");
    EXPECT_TRUE(prompts.asked().isEmpty());
    EXPECT_EQ(editor->fileLine(), "Datei: " + path);
    EXPECT_TRUE(editor->acceptChanges());
    EXPECT_EQ(env.readFile(path), QByteArray("A\0B", 3));
}

TEST_F(EditorTest, BinaryWarningComesAtThreeOfTheElevenValuesNotAtTwo)
{
    auto two = open(env.writeFile("data/ZWEI.NC", QByteArray("N1\0\x01\x01", 5)));
    EXPECT_TRUE(prompts.asked().isEmpty());
    EXPECT_TRUE(text(*two).contains("<NULL>"));

    const QByteArray three("\0\x07\xff", 3);
    auto editor = open(env.writeFile("data/DREI.NC", three));
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].title, "ACHTUNG!");
    EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Exclamation);
    EXPECT_EQ(prompts.asked()[0].text, "Diese Datei scheint nicht nur Zeichen zu enthalten (Binärformat).\r\r"
                                       "Im Zweifelsfall bitte nicht speichern!");
    EXPECT_FALSE(text(*editor).contains("<NULL>"));
    EXPECT_EQ(editor->currentBytes().value_or("?"), three);
}

TEST_F(EditorTest, TypedMarkerBecomesAZeroAndEditsKeepTheOtherLinesEnds)
{
    const QString path = env.writeFile("data/P1.NC", "N10\r\nN20\nN30\rN40");
    auto editor = open(path);
    editor->show();
    CodeView *view = editor->view(0);
    view->setFocus();
    QTextCursor c(editor->document()->findBlockByNumber(1));
    c.movePosition(QTextCursor::EndOfBlock);
    view->setTextCursor(c);
    QTest::keyClicks(view, " <NULL>");
    QTest::keyClick(view, Qt::Key_Return);
    QTest::keyClicks(view, "M30");
    EXPECT_TRUE(editor->isWindowModified());
    EXPECT_TRUE(editor->acceptChanges());
    // The split line keeps its LF; the new one gets the text's usual end
    // (its first, CR LF); the lines not touched keep theirs.
    EXPECT_EQ(env.readFile(path), QByteArray("N10\r\nN20 \0\nM30\r\nN30\rN40", 23));
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(EditorTest, ChangedOnDiskIsAskedAndNoKeepsEditorAndFile)
{
    const QString path = env.writeFile("data/P1.NC", "N10\r\n");
    auto editor = open(path);
    editor->show();
    QTest::keyClicks(editor->view(0), "X");
    env.writeFile("data/P1.NC", "N99\r\n");
    prompts.queueAnswer(PromptAnswer::No);
    EXPECT_FALSE(editor->acceptChanges());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(env.readFile(path), "N99\r\n");
    EXPECT_TRUE(text(*editor).startsWith("XN10"));
}

TEST_F(EditorTest, ACharacterTheCodePageLacksIsNotSavedAsAQuestionMark)
{
    const QString path = env.writeFile("data/P1.NC", "N10\r\nN20\r\n");
    auto editor = open(path);
    editor->show();
    QTextCursor c(editor->document()->findBlockByNumber(1));
    c.insertText(QString(QChar(0x2192)));
    EXPECT_FALSE(editor->acceptChanges());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_TRUE(prompts.asked()[0].text.contains("Zeile 2"));
    EXPECT_EQ(env.readFile(path), "N10\r\nN20\r\n");
    EXPECT_TRUE(editor->isVisible());
}

TEST_F(EditorTest, NoPathOrAnUnreadableFileCannotBeSaved)
{
    auto none = open(QString());
    EXPECT_EQ(none->fileLine(), "Datei nicht angegeben?");
    EXPECT_FALSE(none->action("mnuSpeichern")->isEnabled());

    const QString folder = env.root() + "data/ORDNER.NC";
    QDir().mkpath(folder);
    auto editor = open(folder);
    EXPECT_EQ(prompts.asked().size(), 1);
    EXPECT_FALSE(editor->action("mnuSpeichern")->isEnabled());
    EXPECT_FALSE(editor->acceptChanges());
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(EditorTest, ThrowingChangesAwayIsAskedFirst)
{
    auto editor = open(env.writeFile("data/P1.NC", "N10"));
    editor->show();
    editor->discardChanges();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(prompts.asked().isEmpty());

    editor->show();
    QTest::keyClicks(editor->view(0), "X");
    prompts.queueAnswer(PromptAnswer::No);
    editor->discardChanges();
    EXPECT_TRUE(editor->isVisible());
    prompts.queueAnswer(PromptAnswer::Yes);
    editor->discardChanges();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(env.readFile(env.root() + "data/P1.NC"), "N10");
}

TEST_F(EditorTest, SplitterPositionsAreKeptAsWholeNumbers)
{
    EXPECT_EQ(ProgramSettings::editSplitterH.read(settings), -1);
    {
        auto editor = open(env.writeFile("data/P1.NC", "N10"));
        editor->resize(700, 500);
        editor->show();
        QApplication::processEvents();
        // Defaults: the extra views are closed.
        EXPECT_EQ(editor->splitterV()->sizes().value(1), 0);
        editor->splitterH()->setSizes({200, 150});
        editor->splitterV()->setSizes({300, 300});
        editor->close();
    }
    const int h = ProgramSettings::editSplitterH.read(settings);
    const int v = ProgramSettings::editSplitterV.read(settings);
    EXPECT_GT(h, 150);
    EXPECT_GT(v, 200);
    auto again = open(env.root() + "data/P1.NC");
    again->resize(700, 500);
    again->show();
    QApplication::processEvents();
    EXPECT_EQ(again->splitterH()->sizes().value(0), h);
    EXPECT_EQ(again->splitterV()->sizes().value(0), v);
}

TEST_F(EditorTest, CopyPasteDeleteAndFindReplaceWithUndo)
{
    auto editor = open(env.writeFile("data/P1.NC", "N10 G0 X1\r\nN20 G0 X2\r\nN30 G1 X3\r\n"));
    editor->show();
    editor->copySelection();
    EXPECT_EQ(prompts.beeps(), 1);

    editor->showFind(true);
    editor->findField()->setText("g0");
    editor->replaceField()->setText("G00");
    EXPECT_EQ(editor->replaceAll(), 2);
    EXPECT_EQ(editor->currentBytes().value_or("?"), "N10 G00 X1\r\nN20 G00 X2\r\nN30 G1 X3\r\n");
    editor->document()->undo();
    EXPECT_EQ(editor->currentBytes().value_or("?"), "N10 G0 X1\r\nN20 G0 X2\r\nN30 G1 X3\r\n");

    editor->findField()->setText("X2");
    ASSERT_TRUE(editor->findNext());
    editor->copySelection();
    EXPECT_EQ(QApplication::clipboard()->text(), "X2");
    EXPECT_EQ(editor->activeView()->hasFocus() || !editor->isActiveWindow(), true);
    editor->deleteSelection();
    QTextCursor end(editor->document());
    end.movePosition(QTextCursor::End);
    editor->activeView()->setTextCursor(end);
    editor->paste();
    EXPECT_EQ(editor->currentBytes().value_or("?"), "N10 G0 X1\r\nN20 G0 \r\nN30 G1 X3\r\nX2");
    // Text from elsewhere comes with its own line ends; each becomes one
    // line end of this file.
    QApplication::clipboard()->setText("\r\nA\nB\r\n");
    editor->paste();
    EXPECT_EQ(editor->currentBytes().value_or("?"), "N10 G0 X1\r\nN20 G0 \r\nN30 G1 X3\r\nX2\r\nA\r\nB\r\n");
    editor->findField()->setText("gibt es nicht");
    EXPECT_FALSE(editor->findNext());
}

TEST_F(EditorTest, PrintsTheProgramTextToAPdf)
{
    auto editor = open(env.writeFile("data/P1.NC", "%\r\nN10 G0 X\xe4\r\nM30\r\n"));
    const QString pdf = env.root() + "druck.pdf";
    editor->setPrinterChooser([&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    editor->printText();
    ASSERT_TRUE(QFile::exists(pdf));
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    if (!text.waitForFinished(10000) || text.exitCode() != 0)
        GTEST_SKIP() << "pdftotext not available";
    EXPECT_TRUE(QString::fromUtf8(text.readAllStandardOutput()).contains(QString::fromUtf8("N10 G0 Xä")));
}

TEST_F(EditorTest, LargeTextsAreNotColouredButStillExact)
{
    QByteArray big;
    while (big.size() <= CNCEditor::kHighlightLimit * 11 / 10)
        big += "N10 G01 X100.5 Y-20 F300 (KONTUR)\r\n";
    auto editor = open(env.writeFile("data/BIG.NC", big));
    EXPECT_FALSE(editor->highlighted());
    EXPECT_EQ(editor->currentBytes().value_or("?"), big);
    auto small = open(env.writeFile("data/SMALL.NC", "N10"));
    EXPECT_TRUE(small->highlighted());
}
