#include "app/IniSettingsStore.h"
#include "comm/ui/CompareWindow.h"
#include "support/QStringPrinter.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>

using namespace zep;

namespace {
struct Compare : ::testing::Test {
    Compare() : settings(env.iniFile()) {}
    test::TestEnvironment env;
    IniSettingsStore settings;
};
} // namespace

TEST_F(Compare, HeadingIsTheNamesEndAndTheFileIsShownReadOnlyFromTheCodePage)
{
    CompareWindow window("DREHEN\\UNTERORDNER\\WELLE_LANG.NC", "M\xFC" "LLER\r\n", "N10", settings);
    EXPECT_EQ(window.heading()->text(), "UNTERORDNER\\WELLE_LANG.NC");
    EXPECT_EQ(window.heading()->text().size(), 25);
    EXPECT_EQ(window.existingView()->toPlainText(), "MüLLER\n");
    EXPECT_TRUE(window.existingView()->isReadOnly());
    EXPECT_FALSE(window.receivedView()->isReadOnly());
}

TEST_F(Compare, UntouchedTextComesBackByteForByte)
{
    QByteArray text = "\r\nA\rB\n\n";
    for (int i = 0; i < 256; ++i)
        text += char(i);
    CompareWindow window("P1.NC", {}, text, settings);
    EXPECT_EQ(window.editedText(), text);
}

TEST_F(Compare, EditedTextKeepsItsLineEndsNoBreakSpacesAndGetsReplacementCharacters)
{
    CompareWindow window("P1.NC", {}, "N10\nN20\xA0X\n", settings);
    QTextCursor cursor = window.receivedView()->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText("N30 Ω ä\n");
    window.receivedView()->setTextCursor(cursor);
    EXPECT_EQ(window.editedText(), QByteArray("N10\nN20\xA0X\nN30 ? \xE4\n"));

    CompareWindow crlf("P1.NC", {}, "N10\r\n", settings);
    crlf.receivedView()->appendPlainText("N20");
    EXPECT_EQ(crlf.editedText(), "N10\r\n\r\nN20");
}

// An edit of one line leaves every other line's end as the machine sent it.
TEST_F(Compare, EditedTextWithMixedLineEndsKeepsEachUntouchedLinesEnd)
{
    CompareWindow window("P1.NC", {}, QByteArray("%\r\nN10\nN20\rN30\r\n"), settings);
    QTextCursor cursor = window.receivedView()->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText("M30\n");
    window.receivedView()->setTextCursor(cursor);
    EXPECT_EQ(window.editedText(), QByteArray("%\r\nN10\nN20\rN30\r\nM30\r\n"));

    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::Down);
    cursor.movePosition(QTextCursor::EndOfLine);
    cursor.insertText(" G0");
    EXPECT_EQ(window.editedText(), QByteArray("%\r\nN10 G0\nN20\rN30\r\nM30\r\n"));
}
