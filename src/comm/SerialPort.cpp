#include "comm/SerialPort.h"

#include "app/SettingsStore.h"
#include "comm/CommEvent.h"
#include "comm/DeviceLine.h"
#include "comm/LineAddress.h"
#include "comm/LineSettings.h"
#include "comm/NetworkLine.h"
#include "comm/Rfc2217Line.h"
#include "comm/PortDevices.h"

#include <utility>

namespace zep {

namespace {
// A loss without words of its own is a hang-up.
const char *const kHangUp = "Die Gegenstelle hat aufgelegt (Hang-up)";
} // namespace

SerialPort::SerialPort(const SettingsStore &settings, QObject *parent)
    : QObject(parent), m_store(settings), m_port(nullptr)
{
    setLine(new DeviceLine(this));
}

SerialPort::~SerialPort()
{
    if (m_port->isOpen())
        m_port->close();
}

void SerialPort::setLine(SerialLine *line)
{
    if (m_port == line)
        return;
    if (m_port) {
        m_port->close();
        m_port->deleteLater();
    }
    m_port = line;
    connect(m_port, &SerialLine::readyRead, this, [this] { raise(CommEvent::Receive); });
    connect(m_port, &SerialLine::events, this, [this](const QList<int> &codes) {
        m_queued.append(codes);
        raise(0);
    });
    connect(m_port, &SerialLine::bytesWritten, this, [this] {
        Q_EMIT OutputWritten();
        if (m_sThreshold > 0 && m_port->bytesToWrite() == 0)
            raise(CommEvent::Send);
    });
    connect(m_port, &SerialLine::lost, this, &SerialPort::loseLine);
    connect(m_port, &SerialLine::ready, this, &SerialPort::lineReady);
}

SerialLine *SerialPort::makeLine(const QString &address, QString *error)
{
    const LineAddress a = LineAddress::parse(address, error);
    if (!error->isEmpty())
        return nullptr;
    switch (a.kind) {
    case LineAddress::Kind::RawTcp:
        if (qobject_cast<NetworkLine *>(m_port) && !qobject_cast<Rfc2217Line *>(m_port))
            return m_port;
        return new NetworkLine(this);
    case LineAddress::Kind::Rfc2217:
        return qobject_cast<Rfc2217Line *>(m_port) ? m_port : new Rfc2217Line(this);
    case LineAddress::Kind::Device:
        break;
    }
    return qobject_cast<DeviceLine *>(m_port) ? m_port : new DeviceLine(this);
}

bool SerialPort::isPseudoTerminal(int fd)
{
    return DeviceLine::isPseudoTerminal(fd);
}

QString SerialPort::devicePath() const
{
    return PortDevices::devicePath(m_store, m_commPort);
}

bool SerialPort::lineUp() const
{
    return m_port->isReady();
}

int SerialPort::retryPauseMsecs(int attempt) const
{
    return m_port->retryPauseMsecs(attempt);
}

bool SerialPort::reportsLineEvents() const
{
    return m_port->reportsLineEvents();
}

bool SerialPort::fail(const QString &description)
{
    m_error = description;
    return false;
}

bool SerialPort::setCommPort(int number)
{
    if (portOpen())
        return fail(QStringLiteral("Die Schnittstelle ist bereits geöffnet"));
    if (number < 1 || number > 16)
        return fail(QStringLiteral("Ungültige Schnittstellennummer: ") + QString::number(number));
    m_commPort = number;
    return true;
}

bool SerialPort::setSettings(const QString &settings)
{
    const auto line = LineSettings::parse(settings);
    if (!line)
        return fail(QStringLiteral("Ungültiger Eigenschaftswert"));
    // QSerialPort has no 4 data bits and no "1.5" for 8 bits; refuse what
    // the line could not do instead of running it with other parameters.
    if (line->dataBits() == QLatin1String("4"))
        return fail(QStringLiteral("Ungültiger Eigenschaftswert"));
    m_line = LineSettings::fromText(settings.trimmed(), m_line.handshake());
    QString why;
    if (portOpen() && !m_port->apply(m_line, &why))
        return fail(why);
    return true;
}

bool SerialPort::setHandshaking(int mode)
{
    if (mode < 0 || mode > 3)
        return fail(QStringLiteral("Ungültiger Eigenschaftswert"));
    m_line.setHandshake(mode);
    if (portOpen())
        m_port->setHandshake(mode);
    return true;
}

bool SerialPort::setInBufferSize(int bytes)
{
    if (portOpen())
        return fail(QStringLiteral("Die Eigenschaft kann bei geöffneter Schnittstelle nicht gesetzt werden"));
    if (bytes <= 0)
        return fail(QStringLiteral("Ungültiger Eigenschaftswert"));
    m_inBufferSize = bytes;
    return true;
}

bool SerialPort::setOutBufferSize(int bytes)
{
    if (portOpen())
        return fail(QStringLiteral("Die Eigenschaft kann bei geöffneter Schnittstelle nicht gesetzt werden"));
    if (bytes <= 0)
        return fail(QStringLiteral("Ungültiger Eigenschaftswert"));
    m_outBufferSize = bytes;
    return true;
}

bool SerialPort::portOpen() const
{
    return m_port->isOpen();
}

bool SerialPort::setPortOpen(bool open)
{
    if (!open) {
        m_port->close();
        m_leftover.clear();
        m_lostReason.clear();
        return true;
    }
    if (m_port->isOpen())
        return fail(QStringLiteral("Die Schnittstelle ist bereits geöffnet"));
    const QString path = devicePath();
    QString why;
    SerialLine *line = makeLine(path, &why);
    if (!line)
        return fail(why);
    setLine(line);
    if (!m_port->open(path, m_line, &why))
        return fail(why);
    m_queued.clear();
    m_leftover.clear();
    m_lostReason.clear();
    return true;
}

QByteArray SerialPort::Input()
{
    QByteArray out = std::exchange(m_leftover, QByteArray());
    out += m_port->readAll();
    return out;
}

bool SerialPort::Output(const QByteArray &bytes)
{
    if (!m_port->isOpen())
        return fail(closedReason());
    QString why;
    if (!m_port->write(bytes, &why))
        return fail(why);
    return true;
}

int SerialPort::inBufferCount() const
{
    return int(m_leftover.size()) + int(m_port->bytesAvailable());
}

void SerialPort::setInBufferCount(int count)
{
    if (count != 0)
        return;
    m_leftover.clear();
    m_port->clearInput();
}

int SerialPort::outBufferCount() const
{
    return int(m_port->bytesToWrite());
}

void SerialPort::clearOutput()
{
    m_port->clearOutput();
}

QString SerialPort::outputError() const
{
    if (!m_port->isOpen())
        return closedReason();
    return m_port->outputError();
}

QString SerialPort::closedReason() const
{
    return m_lostReason.isEmpty() ? QStringLiteral("Die Schnittstelle ist nicht geöffnet") : m_lostReason;
}

void SerialPort::loseLine(const QString &reason)
{
    if (!m_port->isOpen() || !m_lostReason.isEmpty())
        return;
    m_lostReason = reason.isEmpty() ? QString::fromUtf8(kHangUp) : reason;
    // Received before the loss and not read yet: the reception it belongs
    // to still wants it.
    m_leftover += m_port->readAll();
    m_port->close();
    Q_EMIT lineLost(m_lostReason);
}

void SerialPort::raise(int event)
{
    // Several counters can change at once; their events go out in line order.
    if (event != 0 && (event != CommEvent::Receive || !m_queued.contains(CommEvent::Receive)))
        m_queued.append(event);
    while (!m_queued.isEmpty()) {
        const int next = m_queued.takeFirst();
        // A data event stands for everything waiting; the handler reads it all.
        if (next == CommEvent::Receive && inBufferCount() == 0)
            continue;
        m_commEvent = next;
        Q_EMIT OnComm();
    }
}

} // namespace zep
