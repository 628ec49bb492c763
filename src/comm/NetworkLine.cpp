#include "comm/NetworkLine.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <utility>

namespace zep {

namespace {
constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;
// The pacing clock: fine enough that one tick is far less than a TCP
// segment even at 115,200 baud (about 115 bytes).
constexpr int kTickMsecs = 10;
// How far the send runs ahead of the line: enough that a late tick never
// leaves the server's line idle, never more than one TCP segment, so an
// XOFF holds the send within a segment.
constexpr double kLeadSeconds = 0.1;
constexpr double kMinLead = 64;
constexpr double kMaxLead = 1024;

// A connection that goes silent is found by the system: keep-alive probes
// after 5 s of quiet, every 2 s, given up after 3; unacknowledged data
// gives up after 10 s.
void watchSilence(qintptr fd)
{
    const int on = 1, idle = 5, interval = 2, count = 3;
    const unsigned userTimeout = 10000;
    ::setsockopt(int(fd), SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    ::setsockopt(int(fd), IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeout, sizeof userTimeout);
    ::setsockopt(int(fd), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}
} // namespace

NetworkLine::NetworkLine(QObject *parent)
    : SerialLine(parent), m_socket(new QTcpSocket(this)), m_pacer(new QTimer(this)), m_answer(new QTimer(this))
{
    m_pacer->setTimerType(Qt::PreciseTimer);
    m_pacer->setInterval(kTickMsecs);
    m_answer->setSingleShot(true);
    m_answer->setInterval(kAnswerMsecs);
    connect(m_pacer, &QTimer::timeout, this, &NetworkLine::pace);
    connect(m_answer, &QTimer::timeout, this, [this] {
        loseWith(m_address.hostAndPort() + QStringLiteral(" antwortet nicht"));
    });
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        watchSilence(m_socket->socketDescriptor());
        connected();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &NetworkLine::onReadyRead);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] { Q_EMIT bytesWritten(); });
    connect(m_socket, &QTcpSocket::errorOccurred, this, &NetworkLine::onSocketError);
}

NetworkLine::~NetworkLine()
{
    m_socket->abort();
}

bool NetworkLine::open(const QString &address, const LineSettings &line, QString *error)
{
    QString why;
    const LineAddress a = LineAddress::parse(address, &why);
    if (!why.isEmpty()) {
        *error = why;
        return false;
    }
    if (!expectsKind(a.kind)) {
        *error = QStringLiteral("Ungültige Netzwerkadresse \"") + address + QStringLiteral("\"");
        return false;
    }
    m_address = a;
    m_line = line;
    m_in.clear();
    m_out.clear();
    m_held = false;
    m_serverHeld = false;
    m_ready = false;
    m_open = true;
    m_clock.start();
    m_answer->start();
    m_socket->connectToHost(a.host, a.port);
    return true;
}

void NetworkLine::close()
{
    m_open = false;
    m_ready = false;
    m_pacer->stop();
    m_answer->stop();
    m_out.clear();
    m_socket->abort();
}

bool NetworkLine::isOpen() const
{
    return m_open;
}

int NetworkLine::retryPauseMsecs(int attempt) const
{
    // 1, 2, 4, 8, then every 10 seconds.
    return attempt >= 4 ? 10000 : 1000 << std::max(attempt, 0);
}

bool NetworkLine::apply(const LineSettings &line, QString *)
{
    const int handshake = m_line.handshake();
    m_line = line;
    m_line.setHandshake(handshake);
    return true;
}

void NetworkLine::setHandshake(int mode)
{
    m_line.setHandshake(mode);
    if (mode != 1 && mode != 3 && m_held) {
        m_held = false;
        startPacing();
    }
}

double NetworkLine::bytesPerSecond() const
{
    const auto line = LineSettings::parse(m_line.text());
    const double speed = line ? line->speed().toDouble() : 9600.0;
    double bits = 1 + (line ? line->dataBits().toDouble() : 8.0) + (line ? line->stopBits().toDouble() : 1.0);
    if (line && line->parity() != QLatin1Char('N'))
        bits += 1;
    return std::max(speed, 1.0) / bits;
}

QByteArray NetworkLine::readAll()
{
    return std::exchange(m_in, QByteArray());
}

qint64 NetworkLine::bytesAvailable() const
{
    return m_in.size();
}

bool NetworkLine::write(const QByteArray &bytes, QString *error)
{
    if (!m_open) {
        *error = QStringLiteral("Die Schnittstelle ist nicht geöffnet");
        return false;
    }
    m_out += bytes;
    startPacing();
    return true;
}

qint64 NetworkLine::bytesToWrite() const
{
    return m_out.size() + (m_open ? m_socket->bytesToWrite() : 0);
}

void NetworkLine::clearInput()
{
    m_in.clear();
}

void NetworkLine::clearOutput()
{
    m_out.clear();
    m_pacer->stop();
}

void NetworkLine::sendWire(const QByteArray &wire)
{
    if (m_socket->state() == QAbstractSocket::ConnectedState) {
        m_socket->write(wire);
        m_socket->flush();
    }
}

void NetworkLine::becomeReady()
{
    if (!m_open || m_ready)
        return;
    m_answer->stop();
    m_ready = true;
    // The line starts with its lead at once.
    m_lastTick = m_clock.nsecsElapsed();
    m_budget = std::clamp(bytesPerSecond() * kLeadSeconds, kMinLead, kMaxLead);
    Q_EMIT ready();
    startPacing();
}

void NetworkLine::loseWith(const QString &reason)
{
    if (!m_open)
        return;
    m_pacer->stop();
    m_answer->stop();
    // What the socket still holds belongs to the reception.
    if (m_socket->bytesAvailable() > 0)
        m_in += fromWire(m_socket->readAll());
    Q_EMIT lost(reason);
}

void NetworkLine::onSocketError()
{
    const QString where = m_address.hostAndPort();
    switch (m_socket->error()) {
    case QAbstractSocket::ConnectionRefusedError:
        loseWith(where + QStringLiteral(": Verbindung abgelehnt (läuft der Server?)"));
        return;
    case QAbstractSocket::RemoteHostClosedError:
        loseWith(where + QStringLiteral(": Der Server hat die Verbindung beendet"));
        return;
    case QAbstractSocket::HostNotFoundError:
        loseWith(QStringLiteral("Rechner ") + m_address.host + QStringLiteral(" nicht gefunden"));
        return;
    case QAbstractSocket::SocketTimeoutError:
        loseWith(where + QStringLiteral(" antwortet nicht"));
        return;
    default:
        loseWith(where + QStringLiteral(": ") + m_socket->errorString());
        return;
    }
}

void NetworkLine::onReadyRead()
{
    const QByteArray data = fromWire(m_socket->readAll());
    if (!m_open || data.isEmpty())
        return;
    const int hs = m_line.handshake();
    if (hs == 1 || hs == 3) {
        // The last of them counts: "XOFF ... XON" in one segment resumes.
        const qsizetype off = data.lastIndexOf(kXoff);
        const qsizetype on = data.lastIndexOf(kXon);
        if (off >= 0 || on >= 0) {
            const bool held = off > on;
            if (held != m_held) {
                m_held = held;
                if (m_held)
                    m_pacer->stop();
                else
                    startPacing();
            }
        }
    }
    m_in += data;
    Q_EMIT readyRead();
}

void NetworkLine::holdByServer(bool hold)
{
    m_serverHeld = hold;
    if (hold)
        m_pacer->stop();
    else
        startPacing();
}

void NetworkLine::startPacing()
{
    if (!m_ready || m_held || m_serverHeld || m_out.isEmpty() || m_pacer->isActive())
        return;
    // The budget runs on from the last tick: pieces written one after the
    // other get the line's rate, not a fresh lead each.
    m_pacer->start();
    pace();
}

void NetworkLine::pace()
{
    if (!m_ready || m_held || m_serverHeld || m_out.isEmpty()) {
        m_pacer->stop();
        return;
    }
    const qint64 now = m_clock.nsecsElapsed();
    const double rate = bytesPerSecond();
    const double lead = std::clamp(rate * kLeadSeconds, kMinLead, kMaxLead);
    m_budget = std::min(lead, m_budget + rate * double(now - m_lastTick) / 1e9);
    m_lastTick = now;
    const qsizetype n = std::min<qsizetype>(qsizetype(m_budget), m_out.size());
    if (n <= 0)
        return;
    m_budget -= double(n);
    const QByteArray piece = m_out.left(n);
    m_out.remove(0, n);
    m_socket->write(toWire(piece));
    // On the wire now, not at the next turn of the event loop.
    m_socket->flush();
    if (m_out.isEmpty())
        m_pacer->stop();
}

} // namespace zep
