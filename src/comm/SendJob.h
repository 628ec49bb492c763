#pragma once

#include "comm/LampState.h"
#include "comm/TraceSink.h"

#include <QByteArray>
#include <QMetaObject>
#include <QObject>
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
// finished(). After an optional countdown the file is read, converted for the
// machine and written in pieces of the port's output buffer size, each piece
// once the previous one has left that buffer. The port's own "written"
// signal drives the pieces, with a short timer behind it for a port that
// went quiet, so the transfer neither spins nor nests an event loop.
class SendJob : public QObject
{
    Q_OBJECT

public:
    enum class State { Ready, Starting, CountingDown, Sending, Finished };
    enum class Outcome { None, Sent, Cancelled, Failed, FileMissing };

    // `ready` is the machine-ready signal of the order's connection (may be
    // null: nothing ends the countdown early then).
    SendJob(SendJobContext context, SerialPort &port, SendOrder order, MachineReady *ready = nullptr,
            QObject *parent = nullptr);
    ~SendJob() override;

    // Begins the countdown or the transfer; the first signals come from the
    // event loop, so a caller may connect after starting.
    void start();
    // Ends the job in any state; what is still in the port's output is thrown
    // away. finished() is emitted before this returns.
    void cancel();

    int connection() const { return m_order.connection; }
    const SendOrder &order() const { return m_order; }
    State state() const { return m_state; }
    Outcome outcome() const { return m_outcome; }
    bool isFinished() const { return m_state == State::Finished; }
    bool isCancelled() const { return m_outcome == Outcome::Cancelled; }
    // The error finished() reported, empty after a normal end or a cancel.
    QString error() const { return m_error; }

    // The error of a program file that is gone when the transfer should begin.
    static QString missingText();

Q_SIGNALS:
    // The countdown reached a new whole number of seconds left (counted up:
    // 3.2 s left is 4).
    void secondPassed(int remaining);
    // The countdown is over (or there was none): the transfer begins.
    void sendingStarted();
    void status(const QString &text);
    // 0-100 while pieces go out, -1 when the transfer is over.
    void progress(int percent);
    void lamp(int connection, LampColour colour);
    // The trace window's text: whole lines, and the program text as it goes out.
    void traceLine(const QString &text);
    void traceText(const QString &text);
    // Empty after a normal end or a cancel (see isCancelled()), else the
    // error's description. The job does nothing more afterwards.
    void finished(const QString &error);

private:
    void countdownTick();
    void DateiSenden();
    void advance();
    void writePiece();
    void lineLost(const QString &systemText);
    void fail(const QString &description);
    void finish(Outcome outcome, const QString &error = {});
    bool tracing() const;

    SendJobContext m_ctx;
    SerialPort &m_port;
    SendOrder m_order;
    QPointer<MachineReady> m_ready;
    TraceSink m_trace;
    State m_state = State::Ready;
    Outcome m_outcome = Outcome::None;
    QString m_error;

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
