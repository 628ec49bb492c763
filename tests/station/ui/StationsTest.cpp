#include "support/PostgresServer.h"
#include "support/TestEnvironment.h"

#include "app/IniSettingsStore.h"
#include "catalogue/FileListFile.h"
#include "db/Database.h"
#include "db/RowReader.h"
#include "db/Schema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>

using namespace zep;
using namespace zep::test;

namespace {

// Three stations, each the real program with its own program directory and
// settings, on one catalogue server and one monitored directory (as if a
// share were mounted at each).
struct ThreeStations : PostgresTest {
    static constexpr int kStations = 3;

    void SetUp() override
    {
        if (!QFileInfo(QStringLiteral(ZEP_EXECUTABLE_PATH)).isExecutable())
            GTEST_SKIP() << "the zep executable was not built";
        PostgresTest::SetUp();
        if (HasFatalFailure())
            return;
        // The catalogue is made once, before the stations start: copying
        // the first station's catalogue over does that in a shop.
        Database db;
        ASSERT_TRUE(db.openServer(url)) << qPrintable(db.lastError().description);
        ASSERT_EQ(CheckOldDB(db).outcome, SchemaCheck::Upgraded);
        QDir().mkpath(shared());
        for (int n = 0; n < kStations; ++n) {
            QDir().mkpath(station(n) + "program");
            QDir().mkpath(station(n) + "config");
            QDir().mkpath(station(n) + "data");
            IniSettingsStore settings(station(n) + "config/ZEP.ini");
            settings.write("Settings", "Verzeichnis", shared());
            settings.write("Settings", "FotoVerzeichnis", env.root() + "fotos/");
            settings.write("Settings", "Intervall", "1");
            settings.write("Settings", "Datenbank", url);
        }
        QDir().mkpath(env.root() + "fotos");
    }
    void TearDown() override
    {
        for (auto &p : processes) {
            p->kill();
            p->waitForFinished(5000);
        }
    }

    QString shared() const { return env.root() + "gemeinsam/"; }
    QString station(int n) const { return env.root() + QString("station%1/").arg(n + 1); }

    void start(int n)
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("XDG_CONFIG_HOME", station(n) + "config");
        e.insert("XDG_DATA_HOME", station(n) + "data");
        p->setProcessEnvironment(e);
        p->start(QStringLiteral(ZEP_EXECUTABLE_PATH), {"--program-dir", station(n) + "program"});
        ASSERT_TRUE(p->waitForStarted(10000));
        processes.push_back(std::move(p));
    }

    // The stored names and how often each is there.
    QHash<QString, int> records()
    {
        QHash<QString, int> out;
        Database db;
        if (!db.openServer(url))
            return out;
        db.readRows("SELECT Dateiname FROM DateiListe", {}, [&](const RowReader &r) { ++out[r.text(0)]; });
        return out;
    }
    int listed(int n)
    {
        return int(FileListFile::read(station(n) + "program/FileListe.dat").entries.size());
    }

    TestEnvironment env;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(ThreeStations, ThousandFilesDroppedWhileAllRunAreEachCataloguedExactlyOnce)
{
    for (int n = 0; n < kStations; ++n)
        start(n);
    // Each station has read the (empty) directory once it has its file list.
    QElapsedTimer t;
    t.start();
    auto allListed = [&](int count) {
        for (int n = 0; n < kStations; ++n)
            if (!QFileInfo::exists(station(n) + "program/FileListe.dat") || listed(n) != count)
                return false;
        return true;
    };
    while (!allListed(0) && t.elapsed() < 30000)
        QThread::msleep(100);
    for (auto &p : processes)
        ASSERT_EQ(p->state(), QProcess::Running) << p->readAll().constData();

    // The first files meet all three stations at once: the catalogue takes
    // no new rows until each station has looked them up and waits with its
    // insert (as when the stations' checks fall on the same moment).
    Database holder;
    ASSERT_TRUE(holder.openServer(url));
    ASSERT_TRUE(holder.transaction());
    ASSERT_TRUE(holder.executeNative("LOCK TABLE DateiListe IN SHARE MODE"));
    // Activity is read outside the holding transaction, which would see
    // one picture of it throughout.
    Database watcher;
    ASSERT_TRUE(watcher.openServer(url));
    auto waitingInserts = [&] {
        int n = 0;
        watcher.executeNative("SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock' AND query ILIKE "
                             "'INSERT INTO DateiListe%'",
                             {}, [&](const RowReader &r) { n = int(r.integer(0)); });
        return n;
    };

    // 1,000 files arrive over some seconds, in folders, while every station
    // checks every second.
    constexpr int kFiles = 1000;
    QSet<QString> expected;
    for (int i = 0; i < kFiles; ++i) {
        if (i == 300) {
            // Held no longer than a few seconds: a station whose statement
            // waits too long gives it up and connects again, and that must
            // lose nothing either.
            t.restart();
            while (waitingInserts() < kStations && t.elapsed() < 5000)
                QThread::msleep(50);
            ASSERT_TRUE(holder.commit());
        }
        const QString folder = QString("M%1/").arg(i % 5);
        const QString name = QString("P%1.NC").arg(i, 4, 10, QLatin1Char('0'));
        QDir().mkpath(shared() + folder);
        QFile f(shared() + folder + name.toLower());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%\r\nN10 G0 X0\r\nM30\r\n");
        f.close();
        expected.insert(QString(folder).replace('/', '\\') + name);
        // In waves at odd moments, so that the stations' checks meet new
        // files at different points of their seconds.
        if (i % 100 == 99 && i >= 300)
            QThread::msleep(137 * ((i / 100) % 7 + 1));
    }

    QHash<QString, int> stored;
    t.restart();
    while (t.elapsed() < 180000) {
        stored = records();
        if (stored.size() == kFiles && allListed(kFiles))
            break;
        QThread::msleep(500);
    }
    int total = 0;
    QStringList doubled;
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        total += it.value();
        if (it.value() > 1)
            doubled << it.key();
    }
    EXPECT_EQ(total, kFiles);
    EXPECT_TRUE(doubled.isEmpty()) << qPrintable(doubled.mid(0, 10).join(", "));
    QStringList missing;
    for (const QString &name : std::as_const(expected))
        if (!stored.contains(name))
            missing << name;
    EXPECT_TRUE(missing.isEmpty()) << missing.size() << " without a record, e.g. " << qPrintable(missing.value(0));
    for (int n = 0; n < kStations; ++n)
        EXPECT_EQ(listed(n), kFiles) << "station " << n + 1;
    for (auto &p : processes)
        EXPECT_EQ(p->state(), QProcess::Running) << p->readAll().constData();
}

} // namespace
