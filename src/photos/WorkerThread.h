#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace zep {

// One piece of long work off the main thread (a scan, a filter), so the
// window keeps answering. The work reads the cancel flag between its steps;
// what it hands back with post() runs on the owner's thread, and never after
// a cancel. Destroying the object cancels and waits for the work to end.
class WorkerThread : public QObject
{
    Q_OBJECT

public:
    using Work = std::function<void(WorkerThread &self, const std::atomic<bool> &cancel)>;

    explicit WorkerThread(QObject *parent = nullptr);
    ~WorkerThread() override;

    // Starts `work`; a run still going is cancelled first.
    void start(Work work);
    // Asks the work to stop and waits until it has; nothing it posted runs.
    void cancel();
    bool isRunning() const;

    // From the work: runs `call` on the owner's thread, unless cancelled.
    void post(std::function<void()> call);

private:
    std::unique_ptr<QThread> m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<quint64> m_run{0};
};

} // namespace zep
