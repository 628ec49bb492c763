#include "StationFixture.h"

#include "app/CodePage1252.h"
#include "catalogue/RecordCommands.h"
#include "catalogue/RecordSearch.h"
#include "catalogue/SearchStatement.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "station/StationInternals.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

namespace {

// A station with nobody at the PC answers the catalogue's questions by their
// own rule: nothing is deleted, overwritten or catalogued in bulk that nobody
// chose, and the logbook tells what was asked and answered.
struct UnattendedAnswersTest : ::testing::Test, StationFixture {
    void SetUp() override
    {
        storeDirectories();
        ASSERT_TRUE(createFreshDatabase(dbPath()));
        station = std::make_unique<Station>(settings, prompts, clock, logbook, env.programDir(),
                                            Attendance::Unattended);
        state = &StationInternals::state(*station);
    }
    RecordCommands commands()
    {
        return RecordCommands({state->database, station->prompts(), logbook, settings, StationInternals::files(*station),
                               state->verzeichnis, state->fotoVerzeichnis});
    }
    QStringList recordNames()
    {
        QStringList out;
        for (const RecordRow &row : RecordSearch::run(state->database, SearchStatement::build("", 0)).rows)
            out << row[RecordRow::Datei];
        return out;
    }
    QString logbookText() const { return CodePage1252::decode(env.readFile(env.programDir() + "Logbuch.txt")); }

    NoStationDialogs dialogs;
};

} // namespace

TEST_F(UnattendedAnswersTest, NothingIsDeletedOrCataloguedInBulkByTheRule)
{
    // Files that were there before: the start-up's offer is declined by rule.
    env.writeFile("data/ALT1.NC", "O1");
    env.writeFile("data/ALT2.NC", "O2");
    ASSERT_EQ(loadStation(dialogs, env.root() + "drive/"), Station::LoadOutcome::Ready);
    EXPECT_TRUE(recordNames().isEmpty());
    EXPECT_TRUE(logbookText().contains("Dateien ohne Datensatz: Im Überwachungsverzeichnis liegen 2 Dateien"));
    EXPECT_TRUE(logbookText().contains("- ohne Bediener beantwortet: Nein"));

    ASSERT_TRUE(state->database.execute("INSERT INTO DateiListe (Dateiname, Bezeichnung) VALUES ('ALT1.NC', 'Welle')"));
    env.writeFile("foto/Foto_ALT1.NC_1.jpg", "JPEG");
    const SearchResult found = RecordSearch::run(state->database, SearchStatement::build("", 0));
    ASSERT_EQ(found.rows.size(), 1);
    const RecordRow row = found.rows.row(0);
    for (const bool inEditor : {false, true}) {
        std::optional<RecordCommands::DeleteOutcome> outcome;
        commands().deleteRecord(&row, inEditor, [&outcome](RecordCommands::DeleteOutcome o) { outcome = o; });
        EXPECT_EQ(outcome, RecordCommands::DeleteOutcome::Declined);
    }
    EXPECT_EQ(recordNames(), QStringList({"ALT1.NC"}));
    EXPECT_TRUE(QFile::exists(env.root() + "data/ALT1.NC"));
    EXPECT_TRUE(QFile::exists(env.root() + "foto/Foto_ALT1.NC_1.jpg"));
    EXPECT_TRUE(logbookText().contains("Löschen?: Wollen Sie wirklich die Datei"));
    EXPECT_TRUE(logbookText().contains("Datensatz in Bearbeitung!: Der Datensatz der Datei ALT1.NC"));
    EXPECT_FALSE(logbookText().contains("Datei ALT1.NC gelöscht!"));
    // No window was asked anything.
    EXPECT_TRUE(prompts.asked().isEmpty());
}
