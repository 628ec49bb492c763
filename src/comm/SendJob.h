#pragma once

#include "app/Job.h"
#include "comm/LampState.h"
#include "comm/TraceSink.h"

#include <QByteArray>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <optional>

namespace zep {

class Logbook;
class MachineReady;
class ReceptionClock;
class SerialPort;
class SettingsStore;

// One program file for one machine connection.
struct SendOrder {
    QString path;
    int connection = 0; // 0-4
    // Seconds to count down before sending (fractions allowed); the machine's
    // ready signal ends the countdown early. No countdown when not set.
    std::optional<double> delay;
};

struct SendJobContext {
    const SettingsStore &settings;
    Logbook &logbook;
    const ReceptionClock &clock;
};

// What goes out when the port's buffer size cannot be a piece size.
constexpr int kFallbackPieceSize = 256;

// Sends one program file over one port without ever blocking its caller:
// start() returns at once, the job reports through its signals and ends with
// finished(); its percent is that of the pieces gone out. After an optional countdown the file is read, converted for the
// machine and written in pieces of the port's output buffer size, each piece
// once the previous one has left that buffer. The port's own "written"
// signal drives the pieces, with a short timer behind it for a port that
// went quiet, so the transfer neither spins nor nests an event loop.
class SendJob : public Job
{
    Q_OBJECT

public:
    // Where a running job stands.
    enum class Phase { Ready, Starting, CountingDown, Sending, Finished };
    // The job's result in the send's own terms.
    enum class Outcome { None, Sent, Cancelled, Failed, FileMissing };

    // `ready` is the machine-ready signal of the order's connection (may be
    // null: nothing ends the countdown early then).
    SendJob(SendJobContext context, SerialPort &port, SendOrder order, MachineReady *ready = nullptr,
            QObject *parent = nullptr);
    ~SendJob() override;

    // Begins the countdown or the transfer; the first signals come from the
    // event loop, so a caller may connect after starting.
    void start();
    // cancel() ends the job in any phase, before it returns; what is still in
    // the port's output is thrown away.

    int connection() const { return m_order.connection; }
    const SendOrder &order() const { return m_order; }
    Phase phase() const { return m_phase; }
    Outcome outcome() const { return m_outcome; }

    // The error of a program file that is gone when the transfer should begin.
    static QString missingText();

Q_SIGNALS:
    // The countdown reached a new whole number of seconds left (counted up:
    // 3.2 s left is 4).
    void secondPassed(int remaining);
    // The countdown is over (or there was none): the transfer begins.
    void sendingStarted();
    void status(const QString &text);
    void lamp(int connection, LampColour colour);
    // The trace window's text: whole lines, and the program text as it goes out.
    void traceLine(const QString &text);
    void traceText(const QString &text);

protected:
    void stopRunning() override;

private:
    void countdownTick();
    void DateiSenden();
    void advance();
    void writePiece();
    void lineLost(const QString &systemText);
    void fail(const QString &description);
    void end(Outcome outcome, const QString &error = {});
    bool tracing() const;

    SendJobContext m_ctx;
    SerialPort &m_port;
    SendOrder m_order;
    QPointer<MachineReady> m_ready;
    TraceSink m_trace;
    Phase m_phase = Phase::Ready;
    Outcome m_outcome = Outcome::None;

    QTimer m_tick;
    double m_deadline = 0;
    int m_lastSecond = -1;

    QByteArray m_text;
    int m_pieceSize = kFallbackPieceSize;
    qsizetype m_position = 1;
    bool m_pieceOut = false;
    bool m_lastPiece = false;
    QMetaObject::Connection m_written;
    QMetaObject::Connection m_readyConnection;
};

} // namespace zep
