#pragma once

#include "comm/NetworkLine.h"

#include <QMap>

namespace zep {

// A line behind an Ethernet serial server that speaks Telnet with the COM
// port control option (RFC 2217, "rfc2217://HOST:PORT"): the connection's
// speed, data bits, parity, stop bits and flow control are set on the
// server's port, and the server tells line errors and modem-line changes.
// Every byte value goes through: 0xFF (Telnet's IAC) is doubled on the wire
// both ways.
//
// The line is ready when the server has acknowledged the speed; a server
// that takes the connection and never answers is lost after kAnswerMsecs.
// XON/XOFF is done here as on a raw line (the server's port is set to no
// software flow control), so it works with servers that leave it to the
// client; RTS/CTS is the server's.
class Rfc2217Line : public NetworkLine
{
    Q_OBJECT

public:
    explicit Rfc2217Line(QObject *parent = nullptr);

    bool open(const QString &address, const LineSettings &line, QString *error) override;
    bool apply(const LineSettings &line, QString *error) override;
    void setHandshake(int mode) override;
    bool reportsLineEvents() const override { return true; }

    // What the server acknowledged for a COM-PORT-CONTROL command (1 speed,
    // 2 data bits, 3 parity, 4 stop bits, 5 control), as its value bytes;
    // empty while it has not.
    QByteArray acknowledged(int command) const { return m_acks.value(command); }
    // The speed the server acknowledged, or 0.
    quint32 acknowledgedSpeed() const;

protected:
    QByteArray fromWire(const QByteArray &wire) override;
    QByteArray toWire(const QByteArray &bytes) override;
    void connected() override;
    bool expectsKind(LineAddress::Kind kind) const override { return kind == LineAddress::Kind::Rfc2217; }

private:
    enum class State { Data, Iac, Option, Sub, SubIac };
    void option(quint8 verb, quint8 option);
    void subnegotiation(const QByteArray &sub);
    void sendCommand(quint8 command, const QByteArray &value);
    void sendLine();
    // The line errors or modem-line changes a notice raised, if any.
    void tell(const QList<int> &raised);

    State m_state = State::Data;
    quint8 m_verb = 0;
    QByteArray m_sub;
    bool m_comPortAgreed = false;
    QMap<int, QByteArray> m_acks;
};

} // namespace zep
