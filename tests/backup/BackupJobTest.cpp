#include "BackupFixture.h"

#include "backup/BackupJob.h"
#include "support/Noise.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace zep::test {
namespace {

struct BackupJobTest : BackupFixture {
    void watch(BackupJob &job)
    {
        QObject::connect(&job, &Job::percentChanged, [this](int p) { percents << p; });
        QObject::connect(&job, &Job::finished, [this] { ++endings; });
    }
    bool runUntilFinished(Job &job)
    {
        QElapsedTimer t;
        t.start();
        while (!job.isFinished() && t.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return job.isFinished();
    }
    QList<int> percents;
    int endings = 0;
};

TEST_F(BackupJobTest, WritesTheArchivesOffTheMainThreadAThirdAtATime)
{
    write(program() + "Logbuch.txt", "07.12.2026 eins\r\n");
    write(daten() + "P1.NC", "G1 X10\r\n");
    write(fotos() + "Foto_1_1.jpg", noise(4096));
    BackupJob job(plan());
    watch(job);
    EXPECT_EQ(job.state(), Job::State::Ready);
    job.start();
    EXPECT_EQ(job.state(), Job::State::Running);
    ASSERT_TRUE(runUntilFinished(job));
    EXPECT_EQ(job.result(), Job::Result::Succeeded) << job.error().toStdString();
    EXPECT_EQ(percents, QList<int>({33, 66, 100}));
    EXPECT_EQ(endings, 1);
    EXPECT_TRUE(job.outcome().ok());
    EXPECT_EQ(job.outcome().archives, 3);
    EXPECT_EQ(entry(archiveOf(program()), "Logbuch.txt"), "07.12.2026 eins\r\n");
    EXPECT_EQ(entry(archiveOf(daten()), "P1.NC"), "G1 X10\r\n");
    EXPECT_EQ(entry(archiveOf(fotos()), "Foto_1_1.jpg"), noise(4096));

    job.cancel();
    QCoreApplication::processEvents();
    EXPECT_EQ(endings, 1);
    EXPECT_EQ(job.result(), Job::Result::Succeeded);
}

TEST_F(BackupJobTest, ACancelEndsItAfterTheArchiveBeingWrittenWhichStaysWhole)
{
    write(program() + "Logbuch.txt", "x");
    // Enough that the monitored directory is still being packed when the
    // first third is told.
    for (int i = 0; i < 6; ++i)
        write(daten() + QString("P%1.NC").arg(i), noise(4 * 1024 * 1024, quint32(i + 1)));
    write(fotos() + "F.jpg", "jpg");
    BackupJob job(plan());
    watch(job);
    QObject::connect(&job, &Job::percentChanged, &job, [&job](int) { job.cancel(); });
    job.start();
    ASSERT_TRUE(runUntilFinished(job));
    EXPECT_EQ(endings, 1);
    EXPECT_TRUE(job.isCancelled());
    EXPECT_TRUE(job.outcome().stopped);
    EXPECT_EQ(percents.first(), 33);
    EXPECT_TRUE(testArchive(archiveOf(program())));
    if (QFileInfo::exists(archiveOf(daten())))
        EXPECT_TRUE(testArchive(archiveOf(daten())));
    EXPECT_FALSE(QFileInfo::exists(archiveOf(fotos())));
}

TEST_F(BackupJobTest, ErrorsEndItAsFailedWithTheErrorListInItsOutcome)
{
    write(daten() + "P1.NC", "G1");
    write(fotos() + "F.jpg", "jpg");
    write(program() + "Logbuch.txt", "x");
    BackupPlan p = plan();
    write(env.root() + "keinverzeichnis", "x");
    p.backupDir = env.root() + "keinverzeichnis/";
    BackupJob job(p);
    watch(job);
    job.start();
    ASSERT_TRUE(runUntilFinished(job));
    EXPECT_EQ(job.result(), Job::Result::Failed);
    EXPECT_EQ(job.outcome().errors.size(), 3);
    EXPECT_EQ(job.error(), job.outcome().errors.join('\n'));
    EXPECT_EQ(endings, 1);
}

} // namespace
} // namespace zep::test
