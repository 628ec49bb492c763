#include "station/ServerConnectJob.h"

#include "db/PgConnection.h"

#include <QMetaObject>

#include <mutex>
#include <thread>

namespace zep {

// Where the connecting thread leaves its result: the job lives on the
// window's thread, and once it has stopped listening the result is dropped.
struct ServerConnectJob::Mailbox {
    std::mutex mutex;
    ServerConnectJob *receiver = nullptr;

    void close()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        receiver = nullptr;
    }
};

struct ServerConnectJob::Attempt {
    std::unique_ptr<PgConnection> connection;
    ErrorInfo error;
};

ServerConnectJob::ServerConnectJob(QString url, QObject *parent)
    : Job(parent), m_url(std::move(url)), m_mailbox(std::make_shared<Mailbox>())
{
}

ServerConnectJob::~ServerConnectJob()
{
    m_mailbox->close();
}

void ServerConnectJob::start()
{
    if (!begin())
        return;
    m_mailbox->receiver = this;
    std::thread([mailbox = m_mailbox, url = m_url] {
        auto result = std::make_shared<Attempt>();
        result->connection = PgConnection::open(url, &result->error);
        const std::lock_guard<std::mutex> lock(mailbox->mutex);
        ServerConnectJob *receiver = mailbox->receiver;
        if (!receiver)
            return;
        // Queued to the job: one deleted before its turn never sees it.
        QMetaObject::invokeMethod(
            receiver, [receiver, result] { receiver->answered(*result); }, Qt::QueuedConnection);
    }).detach();
}

void ServerConnectJob::answered(Attempt &attempt)
{
    if (isFinished())
        return;
    m_mailbox->close();
    if (!attempt.connection) {
        m_failure = attempt.error;
        return finish(Result::Failed, m_failure.description);
    }
    m_connection = std::move(attempt.connection);
    finish(Result::Succeeded);
}

std::unique_ptr<PgConnection> ServerConnectJob::takeConnection()
{
    return std::move(m_connection);
}

void ServerConnectJob::stopRunning()
{
    m_mailbox->close();
    finish(Result::Cancelled);
}

} // namespace zep
