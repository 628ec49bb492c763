#pragma once

#include "app/StatusLine.h"
#include "backup/BackupRun.h"
#include "station/MonitoringPause.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace zep {

class BackupJob;
class Station;

// "Backup erstellen" for the running station. The archives are written off
// the main thread; the station meanwhile pauses only its directory check, so
// its database stays open (the backup copies it through the engine) and the
// record list stays as it is. One backup at a time.
class StationBackup : public QObject
{
    Q_OBJECT

public:
    explicit StationBackup(Station &station, QObject *parent = nullptr);
    ~StationBackup() override;

    // Starts a backup; false when none was started (no backup directory set,
    // which the user is told, or one is running already).
    bool start();
    bool running() const;

    // The program is to end. While a backup runs the user is asked, without
    // waiting; on yes the backup stops after the archive being written and
    // `answered` gets true once it has, on no false. Without a backup: true
    // at once, unasked.
    void mayEnd(std::function<void(bool)> answered);
    // Ends a running backup unasked, after its current archive.
    void stopAndWait();

Q_SIGNALS:
    void runningChanged(bool running);
    // The running backup's percent: 0 at the start, a third more as each of
    // the program, monitored and photo directory is done.
    void progress(int percent);
    void finished(const zep::BackupOutcome &outcome);

private:
    void done();

    Station &m_station;
    QPointer<BackupJob> m_job; // the running one
    // Held while the archives are written.
    MonitoringPause m_pause;
    StatusLine::Busy m_busy;
    QString m_backupDir;
};

} // namespace zep
