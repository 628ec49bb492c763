#pragma once

#include "backup/BackupPlan.h"
#include "backup/BackupRun.h"

#include <QObject>
#include <atomic>
#include <memory>
#include <thread>

namespace zep {

// A backup running off the main thread, so the window keeps answering. It
// reports its steps and its end as signals on the thread that started it.
// A stop request ends it after the archive being written is complete.
class BackupJob : public QObject
{
    Q_OBJECT

public:
    explicit BackupJob(QObject *parent = nullptr);
    // Stops the run and waits for it.
    ~BackupJob() override;

    // False while a run is going on.
    bool start(const BackupPlan &plan);
    bool running() const { return m_running; }
    void requestStop() { m_stop = true; }
    // Blocks until the run's thread has ended (after its current archive
    // when a stop was requested). finished() still comes through the event
    // loop afterwards.
    void wait();

Q_SIGNALS:
    // 1-3: the program, monitored and photo directory are done.
    void progress(int step);
    void finished(const zep::BackupOutcome &outcome);

private:
    std::thread m_thread;
    std::atomic_bool m_stop{false};
    bool m_running = false;
};

} // namespace zep
