#pragma once

#include "app/Job.h"

#include <QVariant>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace zep {

// A job whose work runs off the owner's thread (a backup, a filter, a scan),
// so the window and the station keep answering. The work reads the cancel
// flag between its steps and returns its result; the job hands that over on
// the owner's thread as value() when it finishes. A cancelled job finishes
// once its work has returned; value() then holds whatever the work handed
// back (a backup tells how far it came), which a caller may ignore.
class ThreadJob : public Job
{
    Q_OBJECT

public:
    // What the work sees of its job, from the work's own thread.
    class Control {
    public:
        bool cancelled() const { return m_cancel.load(); }
        // For routines that read the flag themselves.
        const std::atomic<bool> &cancelFlag() const { return m_cancel; }
        // Told on the owner's thread as the job's percent; only a rise is
        // passed on, so a work may call this as often as it likes.
        void setPercent(int percent);
        // The job ends as failed with this text (unless it was cancelled).
        void fail(const QString &error)
        {
            m_failed = true;
            m_error = error;
        }

    private:
        friend class ThreadJob;
        explicit Control(ThreadJob &job) : m_job(job) {}
        ThreadJob &m_job;
        std::atomic<bool> m_cancel{false};
        std::atomic<int> m_told{-1};
        bool m_failed = false;
        QString m_error;
    };

    using Work = std::function<QVariant(Control &control)>;

    explicit ThreadJob(Work work, QObject *parent = nullptr);
    // Cancels the work and waits for it to return; tells nothing more.
    ~ThreadJob() override;

    void start();
    // Blocks until the work has returned. A started job has told finished()
    // when this returns; for an end that must not wait for a later turn of an
    // event loop that may never come (the program ending).
    void wait();

    // The work's result, once finished; invalid before.
    QVariant value() const { return m_value; }

protected:
    void stopRunning() override;

private:
    void workReturned();

    Work m_work;
    Control m_control{*this};
    std::unique_ptr<QThread> m_thread;
    QVariant m_returned; // written by the work's thread before it ends
    QVariant m_value;
};

} // namespace zep
