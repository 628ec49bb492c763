#include "app/MessageText.h"
#include "support/QStringPrinter.h"

#include <QList>
#include <gtest/gtest.h>

using namespace zep;

namespace {

const QChar kBreak(0x200B);

QString withoutBreaks(QString text)
{
    return text.remove(kBreak);
}

// The longest run of characters without a blank or a break opportunity.
qsizetype longestUnbroken(const QString &text)
{
    qsizetype longest = 0, run = 0;
    for (const QChar c : text) {
        run = c.isSpace() || c == kBreak ? 0 : run + 1;
        longest = qMax(longest, run);
    }
    return longest;
}

} // namespace

TEST(MessageText, LongWordsGetBreakOpportunitiesAndKeepEveryCharacter)
{
    const QString path300 = "/home/werkstatt/ZEP_Data/" + QString("Unterordner_mit_langem_Namen/").repeated(9)
                            + QString(300, 'x').left(300 - 25 - 29 * 9 - 7) + "_P1.CNC";
    ASSERT_EQ(path300.size(), 300);
    struct Case {
        const char *name;
        QString text;
        bool changed;
    };
    const QList<Case> cases = {
        {"short words stay as they are", "Die Datei 'P4711.NC' existiert bereits!", false},
        {"a line break stays", "Fehler:\r\rZeile zwei", false},
        {"a long path", "Die Datei\r" + path300 + "\rkonnte nicht gelesen werden.", true},
        {"a Windows path", QString("C:\\Eigene Dateien\\") + QString("Programme\\").repeated(10) + "P1.NC", true},
        {"one long name without any separator", "Name: " + QString(200, 'A') + ".", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString shown = MessageText::breakLongWords(c.text);
        EXPECT_EQ(withoutBreaks(shown), c.text);
        EXPECT_EQ(shown != c.text, c.changed);
        EXPECT_LE(longestUnbroken(shown), MessageText::kLongWord);
    }
    // The breaks come after the separators, so a line ends with "/" and the
    // next begins with the following folder's name.
    const QString shown = MessageText::breakLongWords(path300);
    EXPECT_TRUE(shown.contains(QString("ZEP_") + kBreak + "Data/" + kBreak + "Unterordner_"));
}
