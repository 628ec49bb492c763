#include "station/CatalogueConnection.h"

#include "app/Logbook.h"
#include "db/Database.h"
#include "db/PgConnection.h"
#include "db/ServerAddress.h"

#include <QMetaObject>

#include <mutex>
#include <thread>

namespace zep {

namespace {

// Where the connecting thread leaves its result: the receiver lives on the
// window's thread, and once it is gone the result is dropped.
struct Mailbox {
    std::mutex mutex;
    QObject *receiver = nullptr;
};

struct Attempt {
    std::unique_ptr<PgConnection> connection;
    ErrorInfo error;
};

} // namespace

void connectToServer(const QString &url, QObject *context,
                     std::function<void(std::unique_ptr<PgConnection>, const ErrorInfo &)> done)
{
    auto mailbox = std::make_shared<Mailbox>();
    auto *receiver = new QObject(context);
    mailbox->receiver = receiver;
    QObject::connect(receiver, &QObject::destroyed, [mailbox] {
        const std::lock_guard<std::mutex> lock(mailbox->mutex);
        mailbox->receiver = nullptr;
    });
    std::thread([mailbox, url, done = std::move(done)]() mutable {
        auto result = std::make_shared<Attempt>();
        result->connection = PgConnection::open(url, &result->error);
        const std::lock_guard<std::mutex> lock(mailbox->mutex);
        QObject *receiver = mailbox->receiver;
        if (!receiver)
            return;
        QMetaObject::invokeMethod(
            receiver,
            [receiver, result, done = std::move(done)] {
                receiver->deleteLater();
                done(std::move(result->connection), result->error);
            },
            Qt::QueuedConnection);
    }).detach();
}

CatalogueConnection::CatalogueConnection(Database &database, Logbook &logbook,
                                         std::function<void(const QString &)> status, QObject *parent)
    : QObject(parent), m_database(database), m_logbook(logbook), m_status(std::move(status))
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &CatalogueConnection::attempt);
}

QString CatalogueConnection::unreachableText(int seconds)
{
    return QStringLiteral("Katalog-Server nicht erreichbar – neuer Versuch in %1 s").arg(seconds);
}

QString CatalogueConnection::backText()
{
    return QStringLiteral("Katalog-Server wieder erreichbar");
}

int CatalogueConnection::nextPause() const
{
    return m_pauses.value(qMin(m_step, int(m_pauses.size()) - 1), 10000);
}

void CatalogueConnection::lost(const ErrorInfo &why)
{
    if (m_waiting || m_stopped)
        return;
    m_waiting = true;
    m_step = 0;
    if (!why.description.isEmpty())
        m_logbook.LogbuchSchreiben(QStringLiteral("Katalog-Server ") + ServerAddress::shown(m_url)
                                   + QStringLiteral(" nicht erreichbar: ")
                                   + QString(why.description).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    scheduleNext();
}

void CatalogueConnection::stop()
{
    m_stopped = true;
    m_retry.stop();
}

void CatalogueConnection::scheduleNext()
{
    const int pause = nextPause();
    ++m_step;
    if (m_status)
        m_status(unreachableText((pause + 999) / 1000));
    m_retry.start(pause);
}

void CatalogueConnection::attempt()
{
    if (m_attempting)
        return;
    m_attempting = true;
    connectToServer(m_url, this, [this](std::unique_ptr<PgConnection> connection, const ErrorInfo &) {
        m_attempting = false;
        if (m_stopped)
            return;
        if (!connection)
            return scheduleNext();
        m_database.adoptServer(std::move(connection));
        m_waiting = false;
        m_step = 0;
        m_logbook.LogbuchSchreiben(QStringLiteral("Katalog-Server ") + ServerAddress::shown(m_url)
                                   + QStringLiteral(" wieder erreichbar"));
        if (m_status)
            m_status(backText());
        Q_EMIT restored();
    });
}

} // namespace zep
