#pragma once

#include "comm/SerialLine.h"

#include <QElapsedTimer>
#include <array>

class QSerialPort;
class QTimer;

namespace zep {

// A device file (/dev/ttyS*, /dev/ttyUSB*, a pseudo-terminal). Data comes
// through QSerialPort; line errors, breaks and modem-line changes come from
// the driver's interrupt counters (TIOCGICOUNT), polled while the port is
// open, because QSerialPort reports none of them. Devices without those
// counters (pseudo-terminals, many USB adapters) simply never raise those
// events.
//
// A device that goes away while open (the far end of a pseudo-terminal
// closed, a USB adapter pulled, the tty hung up) is reported lost at once:
// left open, it reports end-of-file and an error on every turn of the event
// loop and would keep the processor busy for ever.
class DeviceLine : public SerialLine
{
    Q_OBJECT

public:
    explicit DeviceLine(QObject *parent = nullptr);
    ~DeviceLine() override;

    static bool isPseudoTerminal(int fd);

    bool open(const QString &path, const LineSettings &line, QString *error) override;
    void close() override;
    bool isOpen() const override;
    bool apply(const LineSettings &line, QString *error) override;
    void setHandshake(int mode) override;
    QByteArray readAll() override;
    qint64 bytesAvailable() const override;
    bool write(const QByteArray &bytes, QString *error) override;
    qint64 bytesToWrite() const override;
    void clearInput() override;
    void clearOutput() override;
    QString outputError() const override;
    bool reportsLineEvents() const override { return m_counters; }

private:
    bool applyLine(const LineSettings &line);
    void pollCounters();
    void onPortError(int error);
    bool hungUp() const;

    QSerialPort *m_port;
    QTimer *m_poll;
    bool m_counters = false;
    std::array<int, 9> m_last{};
    // Read or write errors that came without a hang-up: a flood of them is
    // a device that no longer works, even if it does not say so.
    int m_readErrors = 0;
    QElapsedTimer m_readErrorsSince;
};

} // namespace zep
