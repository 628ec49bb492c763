#pragma once

#include <QList>
#include <QSet>
#include <deque>

namespace zep {

// Which record editors are open and which new records wait for theirs. A
// folder of 500 programs copied in must not open 500 windows: new records
// open a few at a time, the next when one closes. A record the user opens
// himself opens at once; a record has one editor at most.
class EditorQueue {
public:
    static constexpr int kDefaultMaxOpen = 3;

    explicit EditorQueue(int maxOpen = kDefaultMaxOpen) : m_maxOpen(maxOpen) {}

    enum class Offer {
        OpenNow,     // open its editor now
        AlreadyOpen, // bring its editor to the front
        Queued       // it waits
    };
    // A new record from the directory check.
    Offer offerNew(long dateiIndex);
    // A record the user asked for.
    Offer offerChosen(long dateiIndex);
    // An editor closed; returns the records whose editors open now.
    QList<long> closed(long dateiIndex);

    bool isOpen(long dateiIndex) const { return m_open.contains(dateiIndex); }
    int openCount() const { return int(m_open.size()); }
    int waiting() const { return int(m_waiting.size()); }
    void clearWaiting() { m_waiting.clear(); }

private:
    int m_maxOpen;
    QSet<long> m_open;
    std::deque<long> m_waiting;
};

} // namespace zep
