#include "comm/Rfc2217Line.h"

#include "comm/CommEvent.h"

#include <QTimer>

namespace zep {

namespace {
constexpr quint8 kIac = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251, kSb = 250, kSe = 240;
constexpr quint8 kBinary = 0, kSuppressGoAhead = 3, kComPort = 44;
// Client commands; the server answers each with the same number + 100.
constexpr quint8 kSetBaud = 1, kSetDataSize = 2, kSetParity = 3, kSetStopSize = 4, kSetControl = 5;
constexpr quint8 kNotifyLineState = 6, kNotifyModemState = 7, kSuspend = 8, kResume = 9;
constexpr quint8 kLineStateMask = 10, kModemStateMask = 11;
constexpr quint8 kServer = 100;

QByteArray bytes(std::initializer_list<quint8> list)
{
    QByteArray out;
    for (const quint8 b : list)
        out += char(b);
    return out;
}

// A state bit the server notifies, and the event it raises.
struct StateBit {
    quint8 mask;
    int event;
};

// The events a notified state raises, in the order of `bits`.
QList<int> eventsIn(const QByteArray &state, std::initializer_list<StateBit> bits)
{
    const quint8 set = state.isEmpty() ? 0 : quint8(state[0]);
    QList<int> raised;
    for (const StateBit &bit : bits)
        if (set & bit.mask)
            raised << bit.event;
    return raised;
}
} // namespace

Rfc2217Line::Rfc2217Line(QObject *parent) : NetworkLine(parent) {}

bool Rfc2217Line::open(const QString &address, const LineSettings &line, QString *error)
{
    m_state = State::Data;
    m_sub.clear();
    m_comPortAgreed = false;
    m_acks.clear();
    return NetworkLine::open(address, line, error);
}

quint32 Rfc2217Line::acknowledgedSpeed() const
{
    const QByteArray v = m_acks.value(kSetBaud);
    if (v.size() != 4)
        return 0;
    return quint32(quint8(v[0])) << 24 | quint32(quint8(v[1])) << 16 | quint32(quint8(v[2])) << 8 | quint8(v[3]);
}

void Rfc2217Line::connected()
{
    // The server has until the answer timer runs out to acknowledge.
    sendWire(bytes({kIac, kWill, kBinary, kIac, kDo, kBinary, kIac, kWill, kSuppressGoAhead, kIac, kDo,
                    kSuppressGoAhead, kIac, kWill, kComPort}));
}

QByteArray Rfc2217Line::toWire(const QByteArray &data)
{
    QByteArray out;
    out.reserve(data.size() + data.count(char(kIac)));
    for (const char c : data) {
        out += c;
        if (quint8(c) == kIac)
            out += c;
    }
    return out;
}

QByteArray Rfc2217Line::fromWire(const QByteArray &wire)
{
    QByteArray data;
    data.reserve(wire.size());
    for (const char c : wire) {
        const quint8 b = quint8(c);
        switch (m_state) {
        case State::Data:
            if (b == kIac)
                m_state = State::Iac;
            else
                data += c;
            break;
        case State::Iac:
            if (b == kIac) {
                data += c;
                m_state = State::Data;
            } else if (b == kWill || b == kWont || b == kDo || b == kDont) {
                m_verb = b;
                m_state = State::Option;
            } else if (b == kSb) {
                m_sub.clear();
                m_state = State::Sub;
            } else {
                m_state = State::Data; // NOP, GA and the like
            }
            break;
        case State::Option:
            m_state = State::Data;
            option(m_verb, b);
            break;
        case State::Sub:
            if (b == kIac)
                m_state = State::SubIac;
            else
                m_sub += c;
            break;
        case State::SubIac:
            if (b == kIac) {
                m_sub += c;
                m_state = State::Sub;
            } else {
                m_state = State::Data;
                if (b == kSe)
                    subnegotiation(m_sub);
            }
            break;
        }
    }
    return data;
}

void Rfc2217Line::option(quint8 verb, quint8 opt)
{
    const bool ours = opt == kBinary || opt == kSuppressGoAhead || opt == kComPort;
    if (verb == kDo && opt == kComPort) {
        if (!m_comPortAgreed) {
            m_comPortAgreed = true;
            sendLine();
            sendCommand(kLineStateMask, bytes({0x1E}));
            sendCommand(kModemStateMask, bytes({0x0F}));
        }
        return;
    }
    if (verb == kDont && opt == kComPort) {
        loseWith(address().hostAndPort() + QStringLiteral(": Der Server kann die Schnittstelle nicht einstellen (RFC 2217)"));
        return;
    }
    if (ours)
        return; // answers to what we asked
    // Anything else is declined.
    if (verb == kDo)
        sendWire(bytes({kIac, kWont, opt}));
    else if (verb == kWill)
        sendWire(bytes({kIac, kDont, opt}));
}

void Rfc2217Line::sendCommand(quint8 command, const QByteArray &value)
{
    sendWire(bytes({kIac, kSb, kComPort, command}) + toWire(value) + bytes({kIac, kSe}));
}

void Rfc2217Line::sendLine()
{
    const auto line = LineSettings::parse(settings().text());
    const quint32 speed = line ? line->speed().toUInt() : 9600;
    sendCommand(kSetBaud, bytes({quint8(speed >> 24), quint8(speed >> 16), quint8(speed >> 8), quint8(speed)}));
    sendCommand(kSetDataSize, bytes({quint8(line ? line->dataBits().toInt() : 8)}));
    quint8 parity = 1;
    switch (line ? line->parity().toLatin1() : 'N') {
    case 'O': parity = 2; break;
    case 'E': parity = 3; break;
    case 'M': parity = 4; break;
    case 'S': parity = 5; break;
    default: break;
    }
    sendCommand(kSetParity, bytes({parity}));
    const QString stop = line ? line->stopBits() : QStringLiteral("1");
    sendCommand(kSetStopSize, bytes({quint8(stop == QLatin1String("2") ? 2 : stop == QLatin1String("1.5") ? 3 : 1)}));
    // XON/XOFF is ours (see the class); RTS/CTS is the server's port's.
    const int hs = settings().handshake();
    sendCommand(kSetControl, bytes({quint8(hs >= 2 ? 3 : 1)}));
}

bool Rfc2217Line::apply(const LineSettings &line, QString *error)
{
    NetworkLine::apply(line, error);
    if (m_comPortAgreed)
        sendLine();
    return true;
}

void Rfc2217Line::setHandshake(int mode)
{
    NetworkLine::setHandshake(mode);
    if (m_comPortAgreed)
        sendCommand(kSetControl, bytes({quint8(mode >= 2 ? 3 : 1)}));
}

void Rfc2217Line::subnegotiation(const QByteArray &sub)
{
    if (sub.size() < 2 || quint8(sub[0]) != kComPort)
        return;
    const int code = quint8(sub[1]);
    const QByteArray value = sub.mid(2);
    if (code < kServer)
        return; // a server's command to us: none we need
    const int command = code - kServer;
    switch (command) {
    case kNotifyLineState:
        return tell(eventsIn(value, {{0x10, CommEvent::Break},
                                     {0x08, CommEvent::Frame},
                                     {0x02, CommEvent::Overrun},
                                     {0x04, CommEvent::RxParity}}));
    case kNotifyModemState:
        return tell(eventsIn(value, {{0x01, CommEvent::Cts},
                                     {0x02, CommEvent::Dsr},
                                     {0x08, CommEvent::Cd},
                                     {0x04, CommEvent::Ring}}));
    case kSuspend:
        holdByServer(true);
        return;
    case kResume:
        holdByServer(false);
        return;
    default:
        m_acks.insert(command, value);
        // The speed acknowledged: the server's port is set and carries data.
        if (command == kSetBaud)
            becomeReady();
        return;
    }
}

void Rfc2217Line::tell(const QList<int> &raised)
{
    if (!raised.isEmpty())
        Q_EMIT events(raised);
}

} // namespace zep
