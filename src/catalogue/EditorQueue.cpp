#include "catalogue/EditorQueue.h"

#include <algorithm>

namespace zep {

EditorQueue::Offer EditorQueue::offerNew(long dateiIndex)
{
    if (m_open.contains(dateiIndex))
        return Offer::AlreadyOpen;
    if (std::find(m_waiting.begin(), m_waiting.end(), dateiIndex) != m_waiting.end())
        return Offer::Queued;
    if (m_open.size() >= m_maxOpen || !m_waiting.empty()) {
        m_waiting.push_back(dateiIndex);
        return Offer::Queued;
    }
    m_open.insert(dateiIndex);
    return Offer::OpenNow;
}

EditorQueue::Offer EditorQueue::offerChosen(long dateiIndex)
{
    if (m_open.contains(dateiIndex))
        return Offer::AlreadyOpen;
    // Opened now, so it need not wait any more.
    m_waiting.erase(std::remove(m_waiting.begin(), m_waiting.end(), dateiIndex), m_waiting.end());
    m_open.insert(dateiIndex);
    return Offer::OpenNow;
}

QList<long> EditorQueue::closed(long dateiIndex)
{
    m_open.remove(dateiIndex);
    QList<long> next;
    while (!m_waiting.empty() && m_open.size() < m_maxOpen) {
        const long index = m_waiting.front();
        m_waiting.pop_front();
        m_open.insert(index);
        next.append(index);
    }
    return next;
}

} // namespace zep
