// Times the main window's load sequence (without the splash's one-second
// minimum) on a catalogue of 100,000 records. Prints the median of several
// runs in milliseconds; the target on a 2-core machine is under 300 ms.

#include "BenchHome.h"
#include "app/IniSettingsStore.h"
#include "app/Logbook.h"
#include "app/ScriptedPrompts.h"
#include "app/SystemClock.h"
#include "station/Station.h"
#include "station/ui/MainWindow.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

bool fillCatalogue(const QString &path, int records)
{
    zep::Database db;
    if (!db.open(path) || !db.transaction())
        return false;
    for (int i = 0; i < records; ++i) {
        const bool ok = db.execute(
            "INSERT INTO DateiListe (Dateiname, Bezeichnung, Zeichnungsnummer, Auftragsnummer, Kunde, Datum, "
            "MaschinenIndex) VALUES (?, ?, ?, ?, ?, ?, ?)",
            {QString("DREHEN\\P%1.NC").arg(i), QString("Welle %1").arg(i), QString("Z-%1").arg(i % 977),
             QString("A%1").arg(i % 5003), QStringLiteral("Müller GmbH"), QDateTime(QDate(2020, 1, 1).addDays(i % 2000), QTime(8, 0)),
             i % 5});
        if (!ok)
            return false;
    }
    return db.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    const BenchHome home;
    QApplication app(argc, argv);

    const int records = 100000;
    const QString &programDir = home.programDir;
    const QString &dbPath = home.dbPath;
    zep::ErrorInfo error;
    if (!zep::createFreshDatabase(dbPath, &error) || !fillCatalogue(dbPath, records)) {
        std::fprintf(stderr, "could not build the catalogue: %s\n", qPrintable(error.description));
        return 1;
    }

    zep::IniSettingsStore settings;
    settings.write("Settings", "Verzeichnis", home.watched);
    settings.write("Settings", "FotoVerzeichnis", home.fotos);
    zep::ScriptedPrompts prompts;
    zep::SystemClock clock;
    zep::Logbook logbook(programDir, clock);

    std::vector<double> times;
    for (int run = 0; run < 7; ++run) {
        zep::Station station(settings, prompts, clock, logbook, programDir);
        zep::MainWindow window(station);
        QElapsedTimer timer;
        timer.start();
        // Nothing is asked in a regular start, so the outcome comes at once.
        std::optional<zep::Station::LoadOutcome> outcome;
        window.load([&](zep::Station::LoadOutcome o) { outcome = o; });
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (outcome != zep::Station::LoadOutcome::Ready) {
            std::fprintf(stderr, "load sequence did not finish\n");
            return 1;
        }
        station.shutDown();
    }
    std::sort(times.begin(), times.end());
    std::printf("load sequence on %d records: median %.1f ms (min %.1f, max %.1f; target < 300 ms)\n", records,
                times[times.size() / 2], times.front(), times.back());
    return prompts.asked().isEmpty() ? 0 : 1;
}
