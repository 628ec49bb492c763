#pragma once

#include "app/ErrorInfo.h"
#include "app/Job.h"

#include <QString>

#include <memory>

namespace zep {

class PgConnection;

// Connects to a catalogue server off the window's thread: resolving a host
// name and the server's hand-shake may take seconds. The job succeeds with
// the connection to take, or fails with the server's (or the network's) own
// words. The connecting thread cannot be interrupted and is never waited
// for: a job cancelled (the station ending) or deleted before the server has
// answered drops what comes later, and nothing more is told.
class ServerConnectJob : public Job
{
    Q_OBJECT

public:
    explicit ServerConnectJob(QString url, QObject *parent = nullptr);
    ~ServerConnectJob() override;

    void start();

    // The connection of a job that succeeded; empty afterwards, and for
    // any other end.
    std::unique_ptr<PgConnection> takeConnection();
    // Why a failed job found no server, as the logbook and the status line
    // tell it.
    const ErrorInfo &failure() const { return m_failure; }

protected:
    void stopRunning() override;

private:
    struct Mailbox;
    struct Attempt;
    void answered(Attempt &attempt);

    QString m_url;
    std::shared_ptr<Mailbox> m_mailbox;
    std::unique_ptr<PgConnection> m_connection;
    ErrorInfo m_failure;
};

} // namespace zep
