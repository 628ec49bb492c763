#pragma once

#include <QByteArray>
#include <functional>

namespace zep {

class TraceSink;
struct ReceiveSettings;

// The reception state of one machine connection. It is fed the pieces the
// port delivers and treats every piece as if its bytes had come one at a
// time, so the outcome never depends on how the line's bytes were split.
class Receiver {
public:
    enum class Piece {
        Handshake, // only lone XON/XOFF characters: nothing collected
        Collected, // the piece belonged to a reception (lamp yellow)
    };
    enum class Tick {
        Nothing,
        HandOver, // a finished text waits: take it with takeText()
        Ended,    // 5 s of silence ended a "<ST>" reception; hand-over next tick
        Aborted,  // 30 s of silence: takeText() gives what had arrived
    };

    // `machineReady` is called when the machine says it is ready (a lone XON).
    Receiver(int connection, const TraceSink &trace, std::function<void()> machineReady = {});

    Piece feed(const QByteArray &piece, double now, const ReceiveSettings &settings);
    // The port reported an end-of-file character.
    void endOfFile(const ReceiveSettings &settings);
    Tick tick(double now, const ReceiveSettings &settings);
    // The collected text; the connection is reset and idle afterwards.
    QByteArray takeText();
    // After a hand-over: what arrived behind the finished text starts the
    // next reception.
    void startFollowing(double now, const ReceiveSettings &settings);
    void reset();

    bool running() const { return m_running; }
    // A program is on its way: begun and not complete, or the next one
    // arriving behind a finished text that waits for its hand-over.
    bool receiving() const { return (m_running && !m_finished) || !m_following.isEmpty(); }
    bool finished() const { return m_finished; }
    bool leaderPassed() const { return m_leaderPassed; }
    const QByteArray &collected() const { return m_total; }
    double lastReceive() const { return m_last; }

private:
    int m_connection;
    const TraceSink &m_trace;
    std::function<void()> m_machineReady;
    // One buffer grown in place: the old split into a 50-character chunk and
    // a total only existed to keep appends cheap.
    QByteArray m_total;
    QByteArray m_following; // arrived after the end, before the hand-over
    bool m_finished = false;
    bool m_running = false;
    double m_last = 0;
    bool m_leaderPassed = false;
};

} // namespace zep
