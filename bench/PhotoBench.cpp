// The photo figures: "DeBlock" and "DeBlock+" on a 4000 x 3000 zoomed view,
// and opening a record editor whose record has ten 12-megapixel photos until
// it is shown and usable. Beside each, in the same run, what no filter or
// editor can beat: a copy of the same bitmap (each filter copies it once
// or twice itself), and a plain full load of one of the photos (what an
// editor reading its previews unscaled would pay ten times). Median of five.
#include "BenchTiming.h"
#include "app/IniSettingsStore.h"
#include "app/Logbook.h"
#include "app/ScriptedPrompts.h"
#include "app/SystemClock.h"
#include "catalogue/CatalogueService.h"
#include "catalogue/MonitoredDirectory.h"
#include "catalogue/ui/RecordEditor.h"
#include "catalogue/ui/PhotoArea.h"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "photos/BlockFilters.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <cstdio>

using namespace zep;

namespace {

// A photo-like picture with JPEG blocks: smooth gradients and some edges.
QImage blockyPicture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb((x / 8 * 8 * 255 / w) & 255, (y / 8 * 8 * 255 / h) & 255, ((x / 64 + y / 64) % 2) * 200);
    }
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int kRuns = 5;

    // The filters.
    const QImage view = blockyPicture(4000, 3000);
    std::vector<double> copies, deBlocks, deBlockPluses;
    for (int run = 0; run < kRuns; ++run) {
        QImage copy;
        copies.push_back(timeMs([&] { copy = view.copy(); }));
        QImage a = view.copy();
        deBlocks.push_back(timeMs([&] { BlockFilters::DeBlock(a, {[](int, int) {}, nullptr}); }));
        QImage b = view.copy();
        deBlockPluses.push_back(
            timeMs([&] { BlockFilters::DeBlockPlus(b, BlockFilters::kDefaultDistance, {[](int, int) {}, nullptr}); }));
    }
    std::printf("4000 x 3000 view (median of %d):\n", kRuns);
    std::printf("  DeBlock            %8.1f ms   (limit 1000 ms)\n", median(deBlocks));
    std::printf("  DeBlock+           %8.1f ms   (limit 1000 ms)\n", median(deBlockPluses));
    std::printf("  reference: copy    %8.1f ms\n", median(copies));

    // The editor with ten 12-megapixel photos.
    QTemporaryDir dir;
    const QString data = dir.path() + "/data/";
    const QString foto = dir.path() + "/foto/";
    QDir().mkpath(data);
    QDir().mkpath(foto);
    {
        QFile program(data + "WELLE.NC");
        program.open(QIODevice::WriteOnly);
        program.write("%\r\nM30\r\n");
    }
    const QImage photo = blockyPicture(4000, 3000);
    for (int n = 1; n <= 10; ++n) {
        QImageWriter writer(foto + QString("Foto_WELLE.NC_%1.jpg").arg(n), "jpeg");
        writer.setQuality(85);
        writer.write(photo);
    }
    const QString dbPath = dir.path() + "/CNCPRG.db";
    if (!createFreshDatabase(dbPath)) {
        std::fprintf(stderr, "no database\n");
        return 1;
    }
    Database db;
    db.open(dbPath);
    db.execute("INSERT INTO DateiListe (Dateiname, Bezeichnung) VALUES ('WELLE.NC', 'Welle')");
    auto set = db.openRecordset("SELECT * FROM DateiListe WHERE Dateiname='WELLE.NC'", RecordsetType::Snapshot);
    const long index = set && !set->eof() ? long(set->value("DateiIndex").toLongLong()) : 0;
    set.reset();
    IniSettingsStore settings(dir.path() + "/ZEP.ini");
    ScriptedPrompts prompts;
    SystemClock clock;
    Logbook logbook(dir.path() + "/", clock);
    MonitoredDirectory files({prompts, logbook, dir.path() + "/", data, {}, {}});
    CatalogueService catalogue({db, prompts, logbook, settings, files, data, foto, {}});
    std::vector<double> opens, fullLoads;
    int listed = 0;
    for (int run = 0; run < kRuns; ++run) {
        opens.push_back(timeMs([&] {
            auto *form = new RecordEditor({catalogue, prompts, settings, {}}, index);
            form->load();
            QApplication::processEvents();
            listed = form->photos()->count();
            delete form;
        }));
        fullLoads.push_back(timeMs([&] { QImageReader(foto + "Foto_WELLE.NC_1.jpg").read(); }));
    }
    std::printf("record editor with %d photos of 4000 x 3000 (median of %d):\n", listed, kRuns);
    std::printf("  open until shown   %8.1f ms   (limit 300 ms)\n", median(opens));
    std::printf("  reference: one full photo load %8.1f ms\n", median(fullLoads));
    return prompts.asked().isEmpty() ? 0 : 2;
}
