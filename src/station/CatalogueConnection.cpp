#include "station/CatalogueConnection.h"

#include "app/Logbook.h"
#include "db/Database.h"
#include "db/PgConnection.h"
#include "db/ServerAddress.h"
#include "station/ServerConnectJob.h"

#include <utility>

namespace zep {

CatalogueConnection::CatalogueConnection(Database &database, Logbook &logbook, QObject *parent)
    : QObject(parent), m_database(database), m_logbook(logbook)
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
    if (m_attempt)
        m_attempt->cancel();
}

void CatalogueConnection::scheduleNext()
{
    const int pause = nextPause();
    ++m_step;
    Q_EMIT statusChanged(unreachableText((pause + 999) / 1000));
    m_retry.start(pause);
}

void CatalogueConnection::attempt()
{
    if (m_attempt)
        return;
    m_attempt = new ServerConnectJob(m_url, this);
    connect(m_attempt, &Job::finished, this, &CatalogueConnection::attemptEnded);
    m_attempt->start();
}

void CatalogueConnection::attemptEnded()
{
    ServerConnectJob *job = std::exchange(m_attempt, nullptr);
    job->deleteLater();
    if (job->isCancelled())
        return;
    std::unique_ptr<PgConnection> connection = job->takeConnection();
    if (!connection)
        return scheduleNext();
    m_database.adoptServer(std::move(connection));
    m_waiting = false;
    m_step = 0;
    m_logbook.LogbuchSchreiben(QStringLiteral("Katalog-Server ") + ServerAddress::shown(m_url)
                               + QStringLiteral(" wieder erreichbar"));
    Q_EMIT statusChanged(backText());
    Q_EMIT restored();
}

} // namespace zep
