#include "comm/SendJob.h"

#include "app/CodePage1252.h"
#include "app/Logbook.h"
#include "comm/DateiLesen.h"
#include "comm/MachineReady.h"
#include "comm/ReceptionClock.h"
#include "comm/SendUmwandeln.h"
#include "comm/SerialPort.h"

#include <QFileInfo>
#include <QMetaMethod>

namespace zep {

namespace {
// The countdown's label changes once a second; a twentieth is fine enough.
constexpr int kCountdownInterval = 50;
// Behind the port's "written" signal: a port that stops reporting (a line
// gone quiet, a cancel by flow control) is still looked at this often.
constexpr int kOutputPoll = 20;
} // namespace

SendJob::SendJob(SendJobContext context, SerialPort &port, SendOrder order, MachineReady *ready, QObject *parent)
    : Job(parent), m_ctx(context), m_port(port), m_order(std::move(order)), m_ready(ready)
{
    m_trace.isOn = [this] { return tracing(); };
    m_trace.appendLine = [this](const QString &text) { Q_EMIT traceLine(text); };
    m_trace.appendRaw = [this](const QString &text) { Q_EMIT traceText(text); };
}

SendJob::~SendJob() = default;

QString SendJob::missingText()
{
    return QStringLiteral("Das zu sendende Programm konnte im Überwachungsverzeichnis nichtmehr gefunden werden!");
}

bool SendJob::tracing() const
{
    // The program text is only decoded for the trace when someone shows it.
    return isSignalConnected(QMetaMethod::fromSignal(&SendJob::traceText))
           || isSignalConnected(QMetaMethod::fromSignal(&SendJob::traceLine));
}

void SendJob::start()
{
    if (!begin())
        return;
    if (!m_order.delay) {
        m_phase = Phase::Starting;
        QTimer::singleShot(0, this, [this] {
            if (m_phase == Phase::Starting)
                DateiSenden();
        });
        return;
    }
    // Only a signal that comes after this point counts: an XON from before
    // the order would start the transfer before the machine is ready for it.
    if (m_ready) {
        m_ready->clear();
        // Queued: the transfer must not start inside the receive handler
        // that saw the signal.
        m_readyConnection = connect(m_ready, &MachineReady::signalled, this, &SendJob::countdownTick,
                                    Qt::QueuedConnection);
    }
    m_phase = Phase::CountingDown;
    m_deadline = m_ctx.clock.seconds() + *m_order.delay;
    m_lastSecond = -1;
    connect(&m_tick, &QTimer::timeout, this, &SendJob::countdownTick);
    m_tick.setInterval(kCountdownInterval);
    m_tick.start();
    QTimer::singleShot(0, this, &SendJob::countdownTick);
}

void SendJob::countdownTick()
{
    if (m_phase != Phase::CountingDown)
        return;
    const double now = m_ctx.clock.seconds();
    if (now >= m_deadline || (m_ready && m_ready->isSet())) {
        DateiSenden();
        return;
    }
    const int remaining = int(m_deadline - now) + 1;
    if (remaining != m_lastSecond) {
        m_lastSecond = remaining;
        Q_EMIT secondPassed(remaining);
    }
}

void SendJob::DateiSenden()
{
    m_tick.stop();
    m_tick.disconnect(this);
    disconnect(m_readyConnection);
    if (!QFileInfo::exists(m_order.path)) {
        end(Outcome::FileMissing, missingText());
        return;
    }
    m_phase = Phase::Sending;
    Q_EMIT sendingStarted();
    if (m_phase != Phase::Sending)
        return; // cancelled by a receiver of the signal

    const FileText file = DateiLesen(m_order.path);
    if (!file.ok()) {
        fail(file.error);
        return;
    }
    m_text = file.text;
    SendUmwandeln(m_text, SendSettings::read(m_ctx.settings, m_order.connection), m_trace);

    m_pieceSize = m_port.outBufferSize();
    if (m_pieceSize <= 0) {
        // A size that never advances would hang the transfer.
        m_ctx.logbook.LogbuchSchreiben(QStringLiteral("Sendepuffer von Maschine ")
                                       + QString::number(m_order.connection + 1) + QStringLiteral(" ist ")
                                       + QString::number(m_pieceSize)
                                       + QStringLiteral(" Bytes groß, es wird in Stücken zu ")
                                       + QString::number(kFallbackPieceSize) + QStringLiteral(" Bytes gesendet."));
        m_pieceSize = kFallbackPieceSize;
    }
    Q_EMIT lamp(m_order.connection, LampColour::Yellow);
    m_trace.raw(QStringLiteral("\r\n>>> Datenübertragung start: <<<\r\n"));
    if (!m_port.portOpen()) {
        fail(QStringLiteral("Die Schnittstelle von Maschine ") + QString::number(m_order.connection + 1)
             + QStringLiteral(" ist nicht geöffnet."));
        return;
    }
    m_position = 1;
    m_pieceOut = false;
    m_lastPiece = false;
    m_written = connect(&m_port, &SerialPort::OutputWritten, this, &SendJob::advance);
    connect(&m_tick, &QTimer::timeout, this, &SendJob::advance);
    m_tick.setInterval(kOutputPoll);
    m_tick.start();
    advance();
}

void SendJob::advance()
{
    // A loop, not a chain of calls: a port that takes pieces at once must
    // not grow the stack with every piece.
    while (m_phase == Phase::Sending) {
        if (m_pieceOut) {
            const QString error = m_port.outputError();
            if (!error.isEmpty()) {
                lineLost(error);
                return;
            }
            if (m_port.outBufferCount() > 0)
                return; // the port's signal or the timer comes back here
            if (m_lastPiece) {
                m_trace.raw(QStringLiteral("\r\nENDE DER ÜBERTRAGUNG"));
                Q_EMIT lamp(m_order.connection, LampColour::Green);
                end(Outcome::Sent);
                return;
            }
        }
        writePiece();
    }
}

void SendJob::writePiece()
{
    const qsizetype length = m_text.size();
    QByteArray piece;
    if (m_position + m_pieceSize < length) {
        const int percent = int(100.0 / double(length) * double(m_position));
        // A receiver of these signals may cancel: nothing more after that.
        Q_EMIT status(QStringLiteral("Senden (") + QString::number(percent) + QStringLiteral(" %)"));
        if (m_phase != Phase::Sending)
            return;
        setPercent(percent);
        if (m_phase != Phase::Sending)
            return;
        piece = m_text.mid(m_position - 1, m_pieceSize);
        m_position += m_pieceSize;
    } else {
        // The rest: 1 to piece size + 1 bytes, or nothing for an empty text.
        piece = m_text.mid(m_position - 1);
        m_lastPiece = true;
    }
    if (tracing()) {
        m_trace.raw(CodePage1252::decode(piece));
        if (m_phase != Phase::Sending)
            return; // cancelled while the piece was traced: it must not go out
    }
    m_pieceOut = true;
    if (!piece.isEmpty() && !m_port.Output(piece))
        lineLost(m_port.errorDescription());
}

void SendJob::lineLost(const QString &systemText)
{
    QString text = QStringLiteral("Die Verbindung zu Maschine ") + QString::number(m_order.connection + 1)
                   + QStringLiteral(" wurde unterbrochen.");
    if (!systemText.isEmpty())
        text += QStringLiteral(" (") + systemText + QStringLiteral(")");
    fail(text);
}

void SendJob::fail(const QString &description)
{
    m_trace.raw(QStringLiteral("\r\nFEHLER: ") + description);
    // Red, not the transfer's yellow: the line is no longer sending.
    Q_EMIT lamp(m_order.connection, LampColour::Red);
    end(Outcome::Failed, description);
}

void SendJob::stopRunning()
{
    switch (m_phase) {
    case Phase::Finished: return;
    case Phase::Sending:
        m_port.clearOutput();
        Q_EMIT lamp(m_order.connection, LampColour::Red);
        m_trace.raw(QStringLiteral("\r\nABBRUCH"));
        break;
    case Phase::Ready:
    case Phase::Starting:
    case Phase::CountingDown: break;
    }
    end(Outcome::Cancelled);
}

void SendJob::end(Outcome outcome, const QString &error)
{
    if (m_phase == Phase::Finished)
        return;
    m_tick.stop();
    m_tick.disconnect(this);
    disconnect(m_written);
    disconnect(m_readyConnection);
    m_text.clear();
    m_phase = Phase::Finished;
    m_outcome = outcome;
    switch (outcome) {
    case Outcome::Sent: finish(Result::Succeeded); break;
    case Outcome::Cancelled: finish(Result::Cancelled); break;
    case Outcome::None:
    case Outcome::Failed:
    case Outcome::FileMissing: finish(Result::Failed, error); break;
    }
}

} // namespace zep
