#include "CatalogueFixture.h"
#include "RecordRows.h"

#include "catalogue/CatalogueRecord.h"
#include "catalogue/RecordFields.h"

namespace zep::test {
namespace {

TEST(FieldLimit, AnEntryTakesWhatFitsCountingEachLineBreakOnce)
{
    using F = RecordFields;
    const QString smile = QString::fromUtf8("😀");
    struct Case {
        const char *what;
        F::Field field;
        qsizetype limit;
        qsizetype kept;
        QString entered;
        QString taken;
        qsizetype leftOut;
    };
    const Case cases[] = {
        {"500 into an empty field", F::Bezeichnung, 200, 0, QString(500, 'x'), QString(200, 'x'), 300},
        {"behind typed text", F::Zeichnungsnummer, 200, 5, QString(500, 'z'), QString(195, 'z'), 305},
        {"fits whole", F::Bezeichnung, 200, 190, "abc\r\ndef", "abc\ndef", 0},
        {"CR LF, CR, LF and paragraph marks are one each", F::Bezeichnung, 200, 193,
         "a\r\nb\rc\nd" + QString(QChar::ParagraphSeparator) + "e", "a\nb\nc\nd", 2},
        {"never half a character", F::Bezeichnung, 200, 199, smile + "x", "", 3},
        {"a full field takes nothing", F::Bezeichnung, 200, 200, "a", "", 1},
        {"nor one that is longer already", F::Bezeichnung, 200, 250, "abc", "", 3},
        {"no limit", F::Bemerkungen, 0, 9000, "a\r\nb", "a\nb", 0},
        {"a one-line field counts as it stands", F::Kunde, 50, 45, "ab\r\ncdef", "ab\r\nc", 3},
    };
    for (const Case &c : cases) {
        const F::Entry entry = F::fitEntry(c.field, c.limit, c.kept, c.entered);
        EXPECT_EQ(entry.text, c.taken) << c.what;
        EXPECT_EQ(entry.leftOut, c.leftOut) << c.what;
    }
}

TEST(FieldLimit, AStoredTextLongerThanTheLimitMayBeEditedAtItsLength)
{
    using F = RecordFields;
    EXPECT_EQ(F::entryLimit(F::Bezeichnung, "Welle"), 200);
    EXPECT_EQ(F::entryLimit(F::Zeichnungsnummer, QString(260, 'z')), 260);
    // 150 + one line break + 100, as the field shows it.
    EXPECT_EQ(F::entryLimit(F::Bezeichnung, QString(150, 'a') + "\r\n" + QString(100, 'b')), 251);
    EXPECT_EQ(F::entryLimit(F::Bemerkungen, QString(5000, 'x')), 0);
    EXPECT_EQ(F::shownLength(F::Bezeichnung, "a\r\nb"), 3);
    EXPECT_EQ(F::shownLength(F::Kunde, "a\r\nb"), 4);
}

TEST(FieldLimit, TheHintNamesTheFieldItsLimitAndWhatWasLeftOut)
{
    EXPECT_EQ(RecordFields::leftOutText(RecordFields::Bezeichnung, 200, 300),
              "Bezeichnung hat höchstens 200 Zeichen: 300 Zeichen wurden nicht übernommen.");
    EXPECT_EQ(RecordFields::leftOutText(RecordFields::Zeichnungsnummer, 200, 1),
              "Zeichnungsnummern hat höchstens 200 Zeichen: 1 Zeichen wurde nicht übernommen.");
}

// Neither engine holds a text to its column's declared width (Zeichnungsnummer
// is declared 100 wide, yet the editor allows 200): what the editor lets
// through is stored whole, without an error and without being cut. The
// editor's limit is the only one, and a longer stored text is never cut.
struct StoredWidthTest : CatalogueOnEngines {};

TEST_P(StoredWidthTest, ALongerTextIsStoredWholeWithoutAnError)
{
    const long index = insertRecord(db(), "P1.NC");
    RecordFields fields = CatalogueRecord::load(db(), index).fields;
    fields.bezeichnung = QString(500, 'b');
    fields.zeichnungsnummer = QString(300, 'z') + "\r\n" + QString(199, 'z');
    const CatalogueRecord::Written written = CatalogueRecord::DatensatzSchreiben(db(), index, fields, std::nullopt);
    ASSERT_TRUE(written.ok) << written.error.description.toStdString();
    EXPECT_EQ(recordColumn(db(), index, "Bezeichnung").toString(), fields.bezeichnung);
    EXPECT_EQ(recordColumn(db(), index, "Zeichnungsnummer").toString(), fields.zeichnungsnummer);
}

INSTANTIATE_TEST_SUITE_P(Engines, StoredWidthTest, ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

} // namespace
} // namespace zep::test
