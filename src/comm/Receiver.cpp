#include "comm/Receiver.h"

#include "app/CodePage1252.h"
#include "comm/ReceiveSettings.h"
#include "comm/TraceSink.h"

#include <algorithm>

namespace zep {

namespace {
constexpr char kXon = 17;
constexpr char kXoff = 19;
// The reception's buffer moves on to the total at this size; a text that
// ends between two such moves has a rest still to be appended.
constexpr int kChunk = 50;
} // namespace

Receiver::Receiver(int connection, const TraceSink &trace, std::function<void()> machineReady)
    : m_connection(connection), m_trace(trace), m_machineReady(std::move(machineReady))
{
}

Receiver::Piece Receiver::feed(const QByteArray &piece, double now, const ReceiveSettings &s)
{
    const EndCode &code = s.endCode;
    const bool nulLeaderCode = code.isNulLeaderCode();
    const QByteArray &detect = code.detectString();
    const bool tracing = m_trace.enabled();
    QByteArray kept;
    QString endLine; // traced after the piece that carried the end
    bool data = false;

    for (const char b : piece) {
        // A handshake character before anything was collected is the
        // machine talking about the line, not a program (a lone XON or XOFF
        // piece when the line delivers one character at a time).
        if ((b == kXon || b == kXoff) && (m_total.isEmpty() || m_finished)) {
            if (b == kXoff) {
                m_trace.line(QStringLiteral("ASC19 gelöscht (DONAU)"));
            } else {
                m_trace.line(QStringLiteral("ASC17 empfangen (DONAU)"));
                if (m_machineReady)
                    m_machineReady();
            }
            continue;
        }
        data = true;
        m_last = now;
        m_running = true;
        if (m_finished) {
            // The finished text waits for its hand-over; a machine that
            // sends its next program at once must not lose it meanwhile.
            m_following.append(b);
            continue;
        }

        if (s.conversions.nulFilter()) {
            if (!m_leaderPassed && m_total.size() > 5) {
                m_leaderPassed = true;
                m_trace.line(QStringLiteral(">>Nullzeichenprüfung aktiv<<"));
            }
            // With "<SA>0" a NUL only ends the text once the leader is past.
            if (b == '\0' && (!nulLeaderCode || !m_leaderPassed))
                continue;
        }
        m_total.append(b);
        if (tracing)
            kept.append(b);

        // With the NUL filter off there is no leader to wait for.
        if (s.conversions.nulFilter() && !m_leaderPassed)
            continue;
        if (code.kind() == EndCode::Kind::Character) {
            if (code.character() >= 0 && quint8(b) == code.character()) {
                m_finished = true;
                endLine = QStringLiteral("EndZeichen empfangen!");
            }
        } else if (code.kind() == EndCode::Kind::Strings && !detect.isEmpty()) {
            if (b == detect.back() && m_total.endsWith(detect)) {
                m_finished = true;
                endLine = QStringLiteral("EndZeichenkete empfangen!");
            }
        }
    }
    if (tracing && !kept.isEmpty())
        m_trace.raw(CodePage1252::decode(kept));
    if (!endLine.isEmpty())
        m_trace.line(endLine);
    return data ? Piece::Collected : Piece::Handshake;
}

void Receiver::endOfFile(const ReceiveSettings &s)
{
    if (s.endCode.text() == QLatin1String("<SA>26"))
        m_finished = true;
}

Receiver::Tick Receiver::tick(double now, const ReceiveSettings &s)
{
    if (m_finished)
        return Tick::HandOver;
    if (!m_running)
        return Tick::Nothing;
    if (s.endCode.kind() == EndCode::Kind::Timeout) {
        if (m_last + 5.0 < now) {
            m_trace.line(QStringLiteral("Timeout von Maschine ") + QString::number(m_connection) + QStringLiteral("."));
            if (m_total.size() % kChunk != 0)
                m_trace.line(QStringLiteral("Rest vom Übertragungs-Puffer angehängt."));
            m_finished = true;
            m_running = false;
            m_last = 0;
            m_leaderPassed = false;
            return Tick::Ended;
        }
        return Tick::Nothing;
    }
    if (m_last + 30.0 < now) {
        m_trace.line(QStringLiteral("Langer (30 Sek) Timeout von Maschine ") + QString::number(m_connection) +
                     QStringLiteral("!"));
        return Tick::Aborted;
    }
    return Tick::Nothing;
}

QByteArray Receiver::takeText()
{
    QByteArray text = std::move(m_total);
    QByteArray following = std::move(m_following);
    reset();
    m_following = std::move(following);
    return text;
}

void Receiver::startFollowing(double now, const ReceiveSettings &s)
{
    const QByteArray following = std::move(m_following);
    m_following = QByteArray();
    // Only a line end or NULs behind the end code: no program follows, and
    // waiting for one would end in the long time-out. Anything else is the
    // next program, kept as it came.
    const bool program = std::any_of(following.begin(), following.end(), [](char b) {
        return b != '\0' && b != '\r' && b != '\n' && b != ' ' && b != '\t' && b != kXon && b != kXoff;
    });
    if (program)
        feed(following, now, s);
}

void Receiver::reset()
{
    m_total = QByteArray();
    m_following = QByteArray();
    m_finished = false;
    m_running = false;
    m_last = 0;
    m_leaderPassed = false;
}

} // namespace zep
