#pragma once

#include "comm/LineAddress.h"
#include "comm/SerialLine.h"

#include <QElapsedTimer>

class QTcpSocket;
class QTimer;

namespace zep {

// A serial line behind an Ethernet serial server, reached as a raw TCP
// socket ("tcp://HOST:PORT"): the server passes the bytes through and its
// line settings are set on the server.
//
// A socket takes bytes far faster than the line carries them, so sending is
// paced here at the line's own rate, with a lead of a fraction of a second
// that keeps the server's line busy. What has not gone out yet is
// bytesToWrite(): a cancel throws it away, an XOFF holds it. No tty driver
// does XON/XOFF for a socket: with flow control Xon/Xoff (or Xon/RTS) an
// XOFF from the machine stops the pacing at once and XON resumes it. The
// characters still reach the reader, whose receive steps treat them as
// before.
//
// Opening starts the connection and returns at once; ready() follows when
// the server has taken it (and, for RFC 2217, answered). A refused, reset
// or silent connection is lost() with the reason.
class NetworkLine : public SerialLine
{
    Q_OBJECT

public:
    explicit NetworkLine(QObject *parent = nullptr);
    ~NetworkLine() override;

    bool open(const QString &address, const LineSettings &line, QString *error) override;
    void close() override;
    bool isOpen() const override;
    bool isReady() const override { return m_ready; }
    bool apply(const LineSettings &line, QString *error) override;
    void setHandshake(int mode) override;
    QByteArray readAll() override;
    qint64 bytesAvailable() const override;
    bool write(const QByteArray &bytes, QString *error) override;
    qint64 bytesToWrite() const override;
    void clearInput() override;
    void clearOutput() override;
    QString outputError() const override { return {}; }
    bool reportsLineEvents() const override { return false; }
    int retryPauseMsecs(int attempt) const override;

    // Line bytes per second at the current settings.
    double bytesPerSecond() const;
    // Whether an XOFF from the machine holds the send.
    bool heldByXoff() const { return m_held; }

    // How long a server may take to accept the connection (and answer).
    static constexpr int kAnswerMsecs = 5000;

protected:
    // The socket's bytes as the machine sent them, and back; the raw line
    // passes them unchanged.
    virtual QByteArray fromWire(const QByteArray &wire) { return wire; }
    virtual QByteArray toWire(const QByteArray &bytes) { return bytes; }
    // Connected: the raw line is ready at once.
    virtual void connected() { becomeReady(); }
    virtual bool expectsKind(LineAddress::Kind kind) const { return kind == LineAddress::Kind::RawTcp; }
    // Bytes on the wire that are not the machine's (protocol).
    void sendWire(const QByteArray &wire);
    void becomeReady();
    void loseWith(const QString &reason);
    // The server asks to stop sending for a while (or to go on).
    void holdByServer(bool hold);
    const LineSettings &settings() const { return m_line; }
    const LineAddress &address() const { return m_address; }
    QTimer *answerTimer() const { return m_answer; }

private:
    void onReadyRead();
    void onSocketError();
    void pace();
    void startPacing();

    QTcpSocket *m_socket;
    QTimer *m_pacer;
    QTimer *m_answer;
    LineAddress m_address;
    LineSettings m_line;
    bool m_open = false;
    bool m_ready = false;
    bool m_held = false;
    bool m_serverHeld = false;
    QByteArray m_in;
    QByteArray m_out;
    QElapsedTimer m_clock;
    qint64 m_lastTick = 0;
    double m_budget = 0;
};

} // namespace zep
