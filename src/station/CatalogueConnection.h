#pragma once

#include "app/ErrorInfo.h"

#include <QObject>
#include <QString>
#include <QTimer>

namespace zep {

class Database;
class Logbook;
class ServerConnectJob;

// Keeps a station's server catalogue connected: once the connection is lost
// (or could not be made at the start) it tells so in the status line and
// connects again by itself, after 1, 2, 4, 8 and then every 10 seconds,
// without the window ever waiting for it. Meanwhile the station runs on
// without its catalogue: receptions go on, new files wait.
class CatalogueConnection : public QObject
{
    Q_OBJECT

public:
    CatalogueConnection(Database &database, Logbook &logbook, QObject *parent = nullptr);

    // The server the station started with (the `Datenbank` setting).
    void setAddress(const QString &url) { m_url = url; }
    // The catalogue cannot be reached: tries again after the next pause.
    // Told once per outage, in the status line and the logbook.
    void lost(const ErrorInfo &why);
    // The station ends: no further attempt, and one under way is dropped.
    void stop();
    // Waiting to connect again: the catalogue must not be used meanwhile.
    bool waiting() const { return m_waiting; }
    // The pause before the next attempt, in seconds.
    int nextPause() const;

    static QString unreachableText(int seconds);
    static QString backText();

    // The pauses, in ms (tests shorten them).
    void setPauses(QList<int> msecs) { m_pauses = std::move(msecs); }

Q_SIGNALS:
    // What the status line is to show: the next attempt's pause, or that the
    // catalogue is back.
    void statusChanged(const QString &text);
    // The catalogue is reachable again, on a new connection.
    void restored();

private:
    void attempt();
    void attemptEnded();
    void scheduleNext();

    Database &m_database;
    Logbook &m_logbook;
    QString m_url;
    QList<int> m_pauses{1000, 2000, 4000, 8000, 10000};
    int m_step = 0;
    bool m_waiting = false;
    ServerConnectJob *m_attempt = nullptr; // under way
    bool m_stopped = false;
    QTimer m_retry;
};

} // namespace zep
