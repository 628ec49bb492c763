#pragma once

#include <QObject>
#include <QString>

namespace zep {

// The one shape of every long piece of work: a send, a backup, a photo
// filter, a scan. Started, it tells its percent; it ends exactly once with
// finished(), as succeeded, failed (with its error) or cancelled, and does
// nothing more afterwards. Everything it tells arrives on the thread that
// owns it, so a progress bar and a cancel button connect to any job alike
// and never care where the work runs.
class Job : public QObject
{
    Q_OBJECT

public:
    enum class State { Ready, Running, Finished };
    enum class Result { None, Succeeded, Failed, Cancelled };

    ~Job() override;

    State state() const { return m_state; }
    bool isRunning() const { return m_state == State::Running; }
    bool isFinished() const { return m_state == State::Finished; }
    // 0-100, never going back; -1 until the job has told one.
    int percent() const { return m_percent; }
    // None until finished.
    Result result() const { return m_result; }
    bool isCancelled() const { return m_result == Result::Cancelled; }
    // What a failed job ended with; empty after success or a cancel.
    QString error() const { return m_error; }

    // Asks the job to end. One not started yet ends at once; a running one as
    // soon as its work allows (finished() tells when). Asking again, or once
    // the job has finished, does nothing.
    void cancel();
    bool cancelRequested() const { return m_cancelRequested; }

Q_SIGNALS:
    void percentChanged(int percent);
    void finished();

protected:
    explicit Job(QObject *parent = nullptr);

    // Ready to Running; false (and nothing changes) in any other state.
    bool begin();
    // A value below the last one is dropped, one above 100 told as 100: a
    // bar must neither jump back nor overflow. Nothing once finished.
    void setPercent(int percent);
    // The end; told once, later calls are dropped.
    void finish(Result result, const QString &error = {});
    // Stops the work, started or not; a started job calls finish() once it
    // has stopped, within this call or later.
    virtual void stopRunning() = 0;

private:
    State m_state = State::Ready;
    Result m_result = Result::None;
    int m_percent = -1;
    bool m_cancelRequested = false;
    QString m_error;
};

} // namespace zep
