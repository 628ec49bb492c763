#include "comm/SerialPort.h"

#include "app/SettingsStore.h"
#include "comm/CommEvent.h"
#include "comm/LineSettings.h"
#include "comm/PortDevices.h"

#include <cerrno>
#include <cstring>
#include <QFileInfo>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>
#include <utility>

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace zep {

namespace {
// Counters in the order the events are raised: line errors first, so a
// reception that follows sees them in line order.
enum { cBrk, cFrame, cOverrun, cBufOverrun, cParity, cCts, cDsr, cDcd, cRng };
const int kEventFor[9] = {CommEvent::Break, CommEvent::Frame,   CommEvent::Overrun,
                          CommEvent::RxOver, CommEvent::RxParity, CommEvent::Cts,
                          CommEvent::Dsr,   CommEvent::Cd,      CommEvent::Ring};

bool readCounters(int fd, std::array<int, 9> &out)
{
    serial_icounter_struct c{};
    if (fd < 0 || ::ioctl(fd, TIOCGICOUNT, &c) != 0)
        return false;
    out = {c.brk, c.frame, c.overrun, c.buf_overrun, c.parity, c.cts, c.dsr, c.dcd, c.rng};
    return true;
}

// A hung-up line gives end-of-file on reading and no error number, so the
// reason is told in words of our own.
const char *const kHangUp = "Die Gegenstelle hat aufgelegt (Hang-up)";

// More read or write errors than this within a second, without a hang-up,
// are a device that keeps failing.
constexpr int kReadErrorFlood = 50;

} // namespace

SerialPort::SerialPort(const SettingsStore &settings, QObject *parent)
    : QObject(parent), m_store(settings), m_port(new QSerialPort(this)), m_poll(new QTimer(this))
{
    m_poll->setInterval(100);
    connect(m_poll, &QTimer::timeout, this, &SerialPort::pollCounters);
    connect(m_port, &QSerialPort::readyRead, this, [this] {
        pollCounters();
        raise(CommEvent::Receive);
    });
    connect(m_port, &QSerialPort::bytesWritten, this, [this] {
        Q_EMIT OutputWritten();
        if (m_sThreshold > 0 && m_port->bytesToWrite() == 0)
            raise(CommEvent::Send);
    });
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) { onPortError(int(e)); });
}

SerialPort::~SerialPort()
{
    if (m_port->isOpen())
        m_port->close();
}

bool SerialPort::isPseudoTerminal(int fd)
{
    struct stat st {};
    // Unix 98 pseudo-terminal slaves have majors 136 to 143.
    return ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
}

QString SerialPort::devicePath() const
{
    return PortDevices::devicePath(m_store, m_commPort);
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
    if (portOpen() && !applyLine() && !isPseudoTerminal(int(m_port->handle())))
        return fail(QStringLiteral("Die Schnittstelle unterstützt die Einstellungen ") + m_line.text() +
                    QStringLiteral(" nicht: ") + m_port->errorString());
    return true;
}

bool SerialPort::applyLine()
{
    const auto line = LineSettings::parse(m_line.text());
    if (!line)
        return false;
    bool ok = m_port->setBaudRate(line->speed().toInt());
    QSerialPort::Parity parity = QSerialPort::NoParity;
    switch (line->parity().toLatin1()) {
    case 'E': parity = QSerialPort::EvenParity; break;
    case 'O': parity = QSerialPort::OddParity; break;
    case 'M': parity = QSerialPort::MarkParity; break;
    case 'S': parity = QSerialPort::SpaceParity; break;
    default: break;
    }
    // A pseudo-terminal refuses parity and 7 bits; that is "not supported
    // here", not a reason to fail the connection.
    ok = m_port->setParity(parity) && ok;
    ok = m_port->setDataBits(QSerialPort::DataBits(line->dataBits().toInt())) && ok;
    const QSerialPort::StopBits stop = line->stopBits() == QLatin1String("2")     ? QSerialPort::TwoStop
                                       : line->stopBits() == QLatin1String("1.5") ? QSerialPort::OneAndHalfStop
                                                                                : QSerialPort::OneStop;
    ok = m_port->setStopBits(stop) && ok;
    m_port->clearError();
    return ok;
}

bool SerialPort::setHandshaking(int mode)
{
    if (mode < 0 || mode > 3)
        return fail(QStringLiteral("Ungültiger Eigenschaftswert"));
    m_line.setHandshake(mode);
    if (portOpen()) {
        m_port->setFlowControl(mode == 0   ? QSerialPort::NoFlowControl
                               : mode == 1 ? QSerialPort::SoftwareControl
                                           : QSerialPort::HardwareControl);
        m_port->clearError();
    }
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
        m_poll->stop();
        if (m_port->isOpen())
            m_port->close();
        m_counters = false;
        m_leftover.clear();
        m_lostReason.clear();
        return true;
    }
    if (m_port->isOpen())
        return fail(QStringLiteral("Die Schnittstelle ist bereits geöffnet"));
    const QString path = devicePath();
    m_port->setPortName(path);
    // The reader never holds more than the handler takes at once: QSerialPort
    // keeps reading while the main window handles events, so the kernel
    // buffer can not overflow while a message box is open.
    m_port->setReadBufferSize(0);
    if (!m_port->open(QIODevice::ReadWrite)) {
        const auto err = m_port->error();
        const QString qtText = m_port->errorString();
        m_port->clearError();
        if (!QFileInfo::exists(path))
            return fail(QStringLiteral("Gerät ") + path + QStringLiteral(" nicht gefunden"));
        if (::access(path.toLocal8Bit().constData(), R_OK | W_OK) != 0 && errno == EACCES)
            return fail(QStringLiteral("Keine Berechtigung für ") + path +
                        QStringLiteral(": der Benutzer muss Mitglied der Gruppe \"dialout\" sein"));
        if (err == QSerialPort::PermissionError || err == QSerialPort::ResourceError)
            return fail(QStringLiteral("Die Schnittstelle ") + path +
                        QStringLiteral(" wird bereits von einem anderen Programm benutzt"));
        return fail(QStringLiteral("Die Schnittstelle ") + path + QStringLiteral(" kann nicht geöffnet werden: ") + qtText);
    }
    const int fd = int(m_port->handle());
    // Exclusive: a second open of the device (other than by root) is refused
    // by the driver as well as by QSerialPort's lock file.
    ::ioctl(fd, TIOCEXCL);
    // A real line that refuses its parameters would run with others and
    // garble every program; a pseudo-terminal has no line to set.
    if (!applyLine() && !isPseudoTerminal(fd)) {
        const QString reason = m_port->errorString();
        m_port->close();
        return fail(QStringLiteral("Die Schnittstelle ") + path + QStringLiteral(" unterstützt die Einstellungen ") +
                    m_line.text() + QStringLiteral(" nicht: ") + reason);
    }
    setHandshaking(m_line.handshake());
    if (m_line.handshake() == 3) {
        termios t{};
        if (::tcgetattr(fd, &t) == 0) {
            t.c_iflag |= IXON | IXOFF;
            ::tcsetattr(fd, TCSANOW, &t);
        }
    }
    m_port->clearError();
    m_counters = readCounters(fd, m_last);
    if (m_counters)
        m_poll->start();
    m_queued.clear();
    m_leftover.clear();
    m_lostReason.clear();
    m_readErrors = 0;
    return true;
}

QByteArray SerialPort::Input()
{
    QByteArray out = std::exchange(m_leftover, QByteArray());
    if (m_port->isOpen())
        out += m_port->readAll();
    return out;
}

bool SerialPort::Output(const QByteArray &bytes)
{
    if (!m_port->isOpen())
        return fail(closedReason());
    if (m_port->write(bytes) != bytes.size())
        return fail(m_port->errorString());
    return true;
}

int SerialPort::inBufferCount() const
{
    return int(m_leftover.size()) + (m_port->isOpen() ? int(m_port->bytesAvailable()) : 0);
}

void SerialPort::setInBufferCount(int count)
{
    if (count != 0)
        return;
    m_leftover.clear();
    if (m_port->isOpen()) {
        m_port->clear(QSerialPort::Input);
        m_port->readAll();
    }
}

int SerialPort::outBufferCount() const
{
    return m_port->isOpen() ? int(m_port->bytesToWrite()) : 0;
}

void SerialPort::clearOutput()
{
    if (m_port->isOpen())
        m_port->clear(QSerialPort::Output);
}

QString SerialPort::outputError() const
{
    if (!m_port->isOpen())
        return closedReason();
    switch (m_port->error()) {
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
    case QSerialPort::UnknownError:
        return m_port->errorString();
    default:
        return {};
    }
}

QString SerialPort::closedReason() const
{
    return m_lostReason.isEmpty() ? QStringLiteral("Die Schnittstelle ist nicht geöffnet") : m_lostReason;
}

bool SerialPort::hungUp() const
{
    pollfd p{int(m_port->handle()), POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void SerialPort::onPortError(int error)
{
    if (!m_port->isOpen() || !m_lostReason.isEmpty())
        return;
    // A line held by XOFF fills the output queue and a write may then find
    // no room for a moment. Qt reports that as an error (a resource or a
    // write error, depending on the call), though the bytes stay queued and
    // go once the machine sends XON.
    if (m_port->errorString() == QString::fromLocal8Bit(std::strerror(EAGAIN))) {
        m_port->clearError();
        return;
    }
    switch (QSerialPort::SerialPortError(error)) {
    case QSerialPort::ResourceError:
        // The port reads no more after it (the device is gone for Qt).
        loseLine(hungUp() ? QString::fromUtf8(kHangUp) : m_port->errorString());
        return;
    case QSerialPort::ReadError:
    case QSerialPort::WriteError: {
        // A read that finds the line hung up ends with end-of-file, which
        // Qt reports as a read error carrying a stale error number.
        if (hungUp()) {
            loseLine(QString::fromUtf8(kHangUp));
            return;
        }
        if (m_readErrors == 0 || m_readErrorsSince.elapsed() > 1000) {
            m_readErrors = 0;
            m_readErrorsSince.start();
        }
        if (++m_readErrors >= kReadErrorFlood)
            loseLine(m_port->errorString());
        return;
    }
    default:
        return;
    }
}

void SerialPort::loseLine(const QString &reason)
{
    m_lostReason = reason.isEmpty() ? QString::fromUtf8(kHangUp) : reason;
    // Received before the loss and not read yet: the reception it belongs
    // to still wants it.
    m_leftover += m_port->readAll();
    m_poll->stop();
    m_counters = false;
    // Closed here, inside the port's own error report, as its notifier
    // would otherwise fire again on every turn of the event loop.
    m_port->close();
    Q_EMIT lineLost(m_lostReason);
}

void SerialPort::pollCounters()
{
    if (!m_counters || !m_port->isOpen())
        return;
    std::array<int, 9> now{};
    if (!readCounters(int(m_port->handle()), now))
        return;
    for (int k = 0; k < 9; ++k) {
        if (now[k] != m_last[k])
            m_queued.append(kEventFor[k]);
    }
    m_last = now;
    if (!m_queued.isEmpty())
        raise(0);
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
