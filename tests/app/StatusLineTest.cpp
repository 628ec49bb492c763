#include "app/StatusLine.h"
#include "support/QStringPrinter.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <optional>

using namespace zep;

namespace {

struct Shown {
    explicit Shown(StatusLine &line)
    {
        QObject::connect(&line, &StatusLine::changed, &line, [this](const QString &t) { texts << t; });
    }
    QStringList texts;
};

} // namespace

TEST(StatusLine, IdleSaysBereit)
{
    StatusLine line;
    EXPECT_EQ(line.text(), "Bereit");
}

TEST(StatusLine, NestedBusyTextsGiveWayToTheOneLeftAndEndInBereit)
{
    StatusLine line;
    Shown shown(line);
    {
        const StatusLine::Busy settings = line.busy("Einstellungen");
        {
            const StatusLine::Busy check = line.busy("Katalogisiere Dateien...");
            EXPECT_EQ(line.text(), "Katalogisiere Dateien...");
        }
        EXPECT_EQ(line.text(), "Einstellungen");
    }
    EXPECT_EQ(shown.texts, QStringList({"Einstellungen", "Katalogisiere Dateien...", "Einstellungen", "Bereit"}));
}

TEST(StatusLine, AnOlderScopeEndingFirstLeavesTheNewerOneShown)
{
    StatusLine line;
    std::optional<StatusLine::Busy> backup = line.busy("Backup läuft");
    StatusLine::Busy send = line.busy("Datenübertragung wählen");
    backup.reset();
    EXPECT_EQ(line.text(), "Datenübertragung wählen");
    // The older scope's step waits behind the newer work.
    send.setText("Senden von P1.NC...");
    EXPECT_EQ(line.text(), "Senden von P1.NC...");
    send.end();
    EXPECT_EQ(line.text(), "Bereit");
    send.end(); // ended once is enough
    send.setText("nichts");
    EXPECT_EQ(line.text(), "Bereit");
}

TEST(StatusLine, AStepOfAnOlderScopeShowsOnlyWhenTheNewerEnds)
{
    StatusLine line;
    StatusLine::Busy older = line.busy("Backup läuft");
    StatusLine::Busy newer = line.busy("F-Tastenbelegung");
    older.setText("Backup wird beendet...");
    EXPECT_EQ(line.text(), "F-Tastenbelegung");
    newer.end();
    EXPECT_EQ(line.text(), "Backup wird beendet...");
}

TEST(StatusLine, AMovedScopeEndsOnceAndAFailureStaysToBeRead)
{
    StatusLine line;
    Shown shown(line);
    StatusLine::Busy first = line.busy("Senden von P1.NC...");
    StatusLine::Busy moved = std::move(first);
    first.end(); // hands nothing back any more
    EXPECT_EQ(line.text(), "Senden von P1.NC...");
    moved.endWith("Fehler beim Senden: \rzu");
    EXPECT_EQ(line.text(), "Fehler beim Senden: \rzu");
    EXPECT_EQ(shown.texts, QStringList({"Senden von P1.NC...", "Bereit", "Fehler beim Senden: \rzu"}));
    // A passing text stays until the next one.
    line.show("NIX GEFUNDEN!");
    EXPECT_EQ(line.text(), "NIX GEFUNDEN!");
}

TEST(StatusLine, AScopeOutlivingItsLineEndsQuietly)
{
    StatusLine::Busy busy;
    {
        StatusLine line;
        busy = line.busy("Einstellungen");
    }
    EXPECT_FALSE(busy.active());
    busy.end();
}
