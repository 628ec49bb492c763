// Times the main list's search on a catalogue of 100,000 records: a term
// matching 1,000 records, statement run and list filled (target < 50 ms),
// against the sqlite3 shell running the same query; then every record
// listed, with the time to fill, to scroll to the end and the resident
// memory (target < 150 MB).

#include "app/IniSettingsStore.h"
#include "app/Logbook.h"
#include "app/ScriptedPrompts.h"
#include "app/SystemClock.h"
#include "station/Station.h"
#include "station/ui/Form1.h"
#include "station/ui/MainListController.h"
#include "catalogue/RecordListModel.h"
#include "catalogue/ui/RecordListView.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

bool fillCatalogue(const QString &path, int records)
{
    zep::Database db;
    if (!db.open(path) || !db.transaction())
        return false;
    for (int m = 1; m <= 5; ++m)
        db.execute("INSERT INTO Maschinen (Bezeichnung, Standort) VALUES (?, 'Halle')", {QString("Maschine %1").arg(m)});
    for (int i = 0; i < records; ++i) {
        const bool special = i % 100 == 0; // 1,000 records
        const bool ok = db.execute(
            "INSERT INTO DateiListe (Dateiname, Bezeichnung, Zeichnungsnummer, Auftragsnummer, Kunde, Datum, "
            "MaschinenIndex) VALUES (?, ?, ?, ?, ?, ?, ?)",
            {QString("DREHEN\\P%1.NC").arg(i), QString("Welle %1\r\nzweite Zeile").arg(i), QString("Z-%1").arg(i % 977),
             QString("A%1").arg(i % 5003), special ? QStringLiteral("Sonderkunde Österreich") : QStringLiteral("Müller GmbH"),
             QDateTime(QDate(2020, 1, 1).addDays(i % 2000), QTime(8, 0)), i % 6});
        if (!ok)
            return false;
    }
    return db.commit();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeMs(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

double residentMb()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    QApplication app(argc, argv);

    const int records = 100000;
    const QString programDir = home.path() + "/program/";
    QDir().mkpath(programDir);
    QDir().mkpath(home.path() + "/watched");
    QDir().mkpath(home.path() + "/fotos");
    const QString dbPath = programDir + "CNCPRG.mdb";
    if (!zep::createFreshDatabase(dbPath) || !fillCatalogue(dbPath, records)) {
        std::fprintf(stderr, "could not build the catalogue\n");
        return 1;
    }

    zep::IniSettingsStore settings;
    settings.write("Settings", "Verzeichnis", home.path() + "/watched/");
    settings.write("Settings", "FotoVerzeichnis", home.path() + "/fotos/");
    zep::ScriptedPrompts prompts;
    zep::SystemClock clock;
    zep::Logbook logbook(programDir, clock);
    zep::Station station(settings, prompts, clock, logbook, programDir);
    zep::Form1 window(station);
    if (window.load() != zep::Station::LoadOutcome::Ready)
        return 1;
    window.show();
    app.processEvents();
    const double baseMb = residentMb();

    auto search = [&](const QString &term) {
        window.searchField()->setText(term);
        return timeMs([&] {
            window.mainList()->search();
            app.processEvents(); // the list is drawn
        });
    };

    std::vector<double> found, shell;
    int rows = 0;
    for (int run = 0; run < 9; ++run) {
        found.push_back(search("sonderkunde"));
        rows = window.grid()->records()->rowCount();
        shell.push_back(timeMs([&] {
            QProcess sqlite;
            const QString like = "LIKE '%sonderkunde%'";
            sqlite.start("sqlite3", {dbPath, "SELECT * FROM DateiListe WHERE Dateiname " + like + " OR Bezeichnung " + like
                                                 + " OR Zeichnungsnummer " + like + " OR Auftragsnummer " + like
                                                 + " OR Kunde " + like + ";"});
            sqlite.waitForFinished();
            sqlite.readAllStandardOutput();
        }));
    }
    std::printf("search over %d records, %d found: median %.1f ms (target < 50 ms); sqlite3 shell, same query: %.1f ms\n",
                records, rows, median(found), median(shell));

    const double all = search("");
    const int allRows = window.grid()->records()->rowCount();
    const double scroll = timeMs([&] {
        window.grid()->scrollToBottom();
        app.processEvents();
        window.grid()->selectRecord(allRows / 2);
        app.processEvents();
    });
    const double sort = timeMs([&] {
        window.mainList()->sortBy(zep::RecordRow::Datum);
        app.processEvents();
    });
    std::printf("all %d records listed: %.0f ms; scroll and select: %.1f ms; sort by date: %.0f ms\n", allRows, all,
                scroll, sort);
    std::printf("resident memory with %d records listed: %.0f MB (window alone %.0f MB; target < 150 MB)\n", allRows,
                residentMb(), baseMb);
    return prompts.asked().isEmpty() ? 0 : 1;
}
