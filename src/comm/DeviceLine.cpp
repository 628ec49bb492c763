#include "comm/DeviceLine.h"

#include "comm/CommEvent.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QTimer>

#include <cerrno>
#include <cstring>
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

DeviceLine::DeviceLine(QObject *parent) : SerialLine(parent), m_port(new QSerialPort(this)), m_poll(new QTimer(this))
{
    m_poll->setInterval(100);
    connect(m_poll, &QTimer::timeout, this, &DeviceLine::pollCounters);
    connect(m_port, &QSerialPort::readyRead, this, [this] {
        pollCounters();
        Q_EMIT readyRead();
    });
    connect(m_port, &QSerialPort::bytesWritten, this, [this] { Q_EMIT bytesWritten(); });
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) { onPortError(int(e)); });
}

DeviceLine::~DeviceLine()
{
    if (m_port->isOpen())
        m_port->close();
}

bool DeviceLine::isPseudoTerminal(int fd)
{
    struct stat st {};
    // Unix 98 pseudo-terminal slaves have majors 136 to 143.
    return ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
}

bool DeviceLine::applyLine(const LineSettings &settings)
{
    const auto line = LineSettings::parse(settings.text());
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

bool DeviceLine::apply(const LineSettings &line, QString *error)
{
    if (!m_port->isOpen() || applyLine(line) || isPseudoTerminal(int(m_port->handle())))
        return true;
    *error = QStringLiteral("Die Schnittstelle unterstützt die Einstellungen ") + line.text() +
             QStringLiteral(" nicht: ") + m_port->errorString();
    return false;
}

void DeviceLine::setHandshake(int mode)
{
    if (!m_port->isOpen())
        return;
    m_port->setFlowControl(mode == 0   ? QSerialPort::NoFlowControl
                           : mode == 1 ? QSerialPort::SoftwareControl
                                       : QSerialPort::HardwareControl);
    m_port->clearError();
}

bool DeviceLine::isOpen() const
{
    return m_port->isOpen();
}

void DeviceLine::close()
{
    m_poll->stop();
    m_counters = false;
    // Closed even inside the port's own error report, as its notifier
    // would otherwise fire again on every turn of the event loop.
    if (m_port->isOpen())
        m_port->close();
}

bool DeviceLine::open(const QString &path, const LineSettings &line, QString *error)
{
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
            *error = QStringLiteral("Gerät ") + path + QStringLiteral(" nicht gefunden");
        else if (::access(path.toLocal8Bit().constData(), R_OK | W_OK) != 0 && errno == EACCES)
            *error = QStringLiteral("Keine Berechtigung für ") + path +
                     QStringLiteral(": der Benutzer muss Mitglied der Gruppe \"dialout\" sein");
        else if (err == QSerialPort::PermissionError || err == QSerialPort::ResourceError)
            *error = QStringLiteral("Die Schnittstelle ") + path +
                     QStringLiteral(" wird bereits von einem anderen Programm benutzt");
        else
            *error = QStringLiteral("Die Schnittstelle ") + path + QStringLiteral(" kann nicht geöffnet werden: ") + qtText;
        return false;
    }
    const int fd = int(m_port->handle());
    // Exclusive: a second open of the device (other than by root) is refused
    // by the driver as well as by QSerialPort's lock file.
    ::ioctl(fd, TIOCEXCL);
    // A real line that refuses its parameters would run with others and
    // garble every program; a pseudo-terminal has no line to set.
    if (!applyLine(line) && !isPseudoTerminal(fd)) {
        const QString reason = m_port->errorString();
        m_port->close();
        *error = QStringLiteral("Die Schnittstelle ") + path + QStringLiteral(" unterstützt die Einstellungen ") +
                 line.text() + QStringLiteral(" nicht: ") + reason;
        return false;
    }
    setHandshake(line.handshake());
    if (line.handshake() == 3) {
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
    m_readErrors = 0;
    return true;
}

QByteArray DeviceLine::readAll()
{
    return m_port->isOpen() ? m_port->readAll() : QByteArray();
}

qint64 DeviceLine::bytesAvailable() const
{
    return m_port->isOpen() ? m_port->bytesAvailable() : 0;
}

bool DeviceLine::write(const QByteArray &bytes, QString *error)
{
    if (m_port->write(bytes) == bytes.size())
        return true;
    *error = m_port->errorString();
    return false;
}

qint64 DeviceLine::bytesToWrite() const
{
    return m_port->isOpen() ? m_port->bytesToWrite() : 0;
}

void DeviceLine::clearInput()
{
    if (m_port->isOpen()) {
        m_port->clear(QSerialPort::Input);
        m_port->readAll();
    }
}

void DeviceLine::clearOutput()
{
    if (m_port->isOpen())
        m_port->clear(QSerialPort::Output);
}

QString DeviceLine::outputError() const
{
    switch (m_port->error()) {
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
    case QSerialPort::UnknownError:
        return m_port->errorString();
    default:
        return {};
    }
}

bool DeviceLine::hungUp() const
{
    pollfd p{int(m_port->handle()), POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void DeviceLine::onPortError(int error)
{
    if (!m_port->isOpen())
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
        Q_EMIT lost(hungUp() ? QString::fromUtf8(kHangUp) : m_port->errorString());
        return;
    case QSerialPort::ReadError:
    case QSerialPort::WriteError: {
        // A read that finds the line hung up ends with end-of-file, which
        // Qt reports as a read error carrying a stale error number.
        if (hungUp()) {
            Q_EMIT lost(QString::fromUtf8(kHangUp));
            return;
        }
        if (m_readErrors == 0 || m_readErrorsSince.elapsed() > 1000) {
            m_readErrors = 0;
            m_readErrorsSince.start();
        }
        if (++m_readErrors >= kReadErrorFlood)
            Q_EMIT lost(m_port->errorString());
        return;
    }
    default:
        return;
    }
}

void DeviceLine::pollCounters()
{
    if (!m_counters || !m_port->isOpen())
        return;
    std::array<int, 9> now{};
    if (!readCounters(int(m_port->handle()), now))
        return;
    QList<int> changed;
    for (int k = 0; k < 9; ++k) {
        if (now[k] != m_last[k])
            changed.append(kEventFor[k]);
    }
    m_last = now;
    if (!changed.isEmpty())
        Q_EMIT events(changed);
}

} // namespace zep
