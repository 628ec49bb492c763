#pragma once

#include "comm/LineDefaults.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

namespace zep {

class SerialLine;
class SettingsStore;

// One serial line with the properties and the OnComm event the connection
// code was written for. The bytes go through a SerialLine chosen by the
// port's device: a device file (see DeviceLine), or an Ethernet serial
// server reached over the network.
//
// Every setter returns false on failure and leaves the reason in
// errorDescription(), as the callers show it.
//
// A line that goes away while open (the far end of a pseudo-terminal
// closed, a USB adapter pulled, the tty hung up) is closed at once and told
// by lineLost(): left open, such a device reports end-of-file and an error
// on every turn of the event loop and would keep the processor busy for
// ever. What had arrived before the loss can still be read with Input().
class SerialPort : public QObject
{
    Q_OBJECT

public:
    explicit SerialPort(const SettingsStore &settings, QObject *parent = nullptr);
    ~SerialPort() override;

    // Port number 1-16; the device path is "Schnittstellen"/"COM" + n,
    // by default /dev/ttyS(n-1).
    bool setCommPort(int number);
    int commPort() const { return m_commPort; }
    QString devicePath() const;
    static bool isPseudoTerminal(int fd);
    // The line the port runs on; for tests that look at the far end.
    const SerialLine &line() const { return *m_port; }

    bool setSettings(const QString &settings);
    QString settings() const { return m_line.text(); }
    bool setHandshaking(int mode);
    int handshaking() const { return m_line.handshake(); }
    bool setInBufferSize(int bytes);
    bool setOutBufferSize(int bytes);
    int inBufferSize() const { return m_inBufferSize; }
    int outBufferSize() const { return m_outBufferSize; }
    void setRThreshold(int n) { m_rThreshold = n; }
    void setSThreshold(int n) { m_sThreshold = n; }
    void setInputLen(int n) { m_inputLen = n; }
    int rThreshold() const { return m_rThreshold; }

    bool setPortOpen(bool open);
    bool portOpen() const;
    // Open and carrying data. A network line opens at once and is up when
    // the server has taken the connection (lineReady()); a lost one is
    // told by lineLost() as a device is.
    bool lineUp() const;
    // The pause before the attempt-th try (0, 1, ...) to open a lost line.
    int retryPauseMsecs(int attempt) const;

    // Everything received so far (bytes unchanged).
    QByteArray Input();
    bool Output(const QByteArray &bytes);
    int inBufferCount() const;
    // Setting it to 0 throws away what is waiting.
    void setInBufferCount(int count);
    int outBufferCount() const;
    // Throws away what has not gone out yet, here and in the driver: after
    // a cancel the machine gets nothing more.
    void clearOutput();
    // Why the line stopped taking data (device gone, write error), or empty.
    QString outputError() const;
    // Why the line was lost, or empty while it works or was closed on
    // purpose; cleared by the next opening.
    QString lostReason() const { return m_lostReason; }

    int CommEvent() const { return m_commEvent; }
    QString errorDescription() const { return m_error; }
    // Raises an event as if the device had reported it (a line error from a
    // device whose driver signals it elsewhere). Queued like the others.
    void raiseEvent(int code) { raise(code); }
    // Whether the device reports line errors and modem lines.
    bool reportsLineEvents() const;

Q_SIGNALS:
    // Read CommEvent() inside the handler. The events come one after
    // another in the order the line raised them; a handler never waits on
    // anyone, so none arrives while another is being handled.
    void OnComm();
    // Some of the output has gone to the driver.
    void OutputWritten();
    // The device went away while open; the port is closed already.
    // `reason` is the system's description of what happened.
    void lineLost(const QString &reason);
    // The line carries data now; a device does from its opening on.
    void lineReady();

private:
    void raise(int event);
    // The line for `address`: the one there is when it is of the right kind.
    SerialLine *makeLine(const QString &address, QString *error);
    void setLine(SerialLine *line);
    bool fail(const QString &description);
    void loseLine(const QString &reason);
    // Why nothing can be written while closed: the lost line's reason, if any.
    QString closedReason() const;

    const SettingsStore &m_store;
    // Made at each opening for the device then stored; never null.
    SerialLine *m_port;
    int m_commPort = LineDefaults::PortObject::kComPort;
    // "Settings" with "Handshaking".
    LineSettings m_line = LineDefaults::PortObject::line();
    int m_inBufferSize = LineDefaults::PortObject::kInBuffer;
    int m_outBufferSize = LineDefaults::PortObject::kOutBuffer;
    int m_rThreshold = 0;
    int m_sThreshold = 0;
    int m_inputLen = 0;
    int m_commEvent = 0;
    QString m_error;
    QList<int> m_queued;
    // Received before the line was lost, not yet read.
    QByteArray m_leftover;
    QString m_lostReason;
};

} // namespace zep
