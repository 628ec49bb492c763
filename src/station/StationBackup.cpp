#include "station/StationBackup.h"

#include "app/Logbook.h"
#include "app/ProgramSettings.h"
#include "app/Prompts.h"
#include "backup/BackupJob.h"
#include "backup/BackupPlan.h"
#include "station/MainState.h"
#include "station/Station.h"

#include <QPointer>

namespace zep {

StationBackup::StationBackup(Station &station, QObject *parent)
    : QObject(parent), m_station(station)
{
}

StationBackup::~StationBackup()
{
    stopAndWait();
}

bool StationBackup::running() const
{
    return m_job && m_job->isRunning();
}

bool StationBackup::start()
{
    if (running())
        return false;
    Prompts &prompts = m_station.prompts();
    BackupPlan plan = BackupPlan::fromSettings(m_station.settings(), m_station.programDir());
    if (plan.backupDir.isEmpty()) {
        prompts.ask({BackupTexts::missingPath(), BackupTexts::missingPathTitle(), PromptIcon::Exclamation});
        return false;
    }
    // The directories the station works with now.
    plan.monitoredDir = m_station.m_state->verzeichnis;
    plan.photoDir = m_station.m_state->fotoVerzeichnis;

    m_backupDir = plan.backupDir;
    m_pause = m_station.pauseMonitoring();
    m_busy = m_station.status().busy(BackupTexts::notice());
    m_job = new BackupJob(plan, this);
    connect(m_job, &Job::percentChanged, this, &StationBackup::progress);
    connect(m_job, &Job::finished, this, &StationBackup::done);
    m_job->start();
    Q_EMIT runningChanged(true);
    Q_EMIT progress(0);
    return true;
}

void StationBackup::done()
{
    const BackupOutcome outcome = m_job->outcome();
    m_job->deleteLater();
    m_job = nullptr;
    m_pause.end();
    m_busy.end();
    Q_EMIT runningChanged(false);
    Q_EMIT finished(outcome);
    Prompts &prompts = m_station.prompts();
    logBackupOutcome(m_station.logbook(), outcome, m_backupDir);
    if (outcome.stopped) {
        // Ending: nobody is left to read a message.
    } else if (!outcome.fatal.isEmpty()) {
        prompts.ask({outcome.fatal + QStringLiteral(" in Form1.mmBackup_Click"), QStringLiteral("Fehler!"),
                     PromptIcon::Exclamation});
    } else if (!outcome.errors.isEmpty()) {
        prompts.ask({BackupTexts::errors(errorsToShow(outcome.errors), QStringLiteral("\r")),
                     BackupTexts::errorsTitle(), PromptIcon::Exclamation});
    } else {
        prompts.ask({BackupTexts::success(m_backupDir, QStringLiteral("\r")), BackupTexts::successTitle(),
                     PromptIcon::Information});
    }
}

void StationBackup::mayEnd(std::function<void(bool)> answered)
{
    if (!running())
        return answered(true);
    const QPointer<StationBackup> self(this);
    // Nobody there to ask: the backup is let finish.
    m_station.prompts().ask(
        {QStringLiteral("Das Backup läuft noch.\r\rSoll ZEP trotzdem beendet werden? Das Backup wird nach "
                        "dem Archiv, das gerade geschrieben wird, abgebrochen."),
         QStringLiteral("ZEP"), PromptIcon::Question, PromptButtons::YesNo, PromptAnswer::No},
        [self, answered = std::move(answered)](PromptAnswer answer) {
            if (!self)
                return;
            if (answer != PromptAnswer::Yes)
                return answered(false);
            self->stopAndWait();
            answered(true);
        });
}

void StationBackup::stopAndWait()
{
    if (!running())
        return;
    m_busy.setText(QStringLiteral("Backup wird beendet..."));
    m_job->cancel();
    // Its end is told now, while the station still runs, not at some later
    // turn of an event loop that may not come.
    m_job->wait();
}

} // namespace zep
