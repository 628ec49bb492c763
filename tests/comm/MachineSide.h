#pragma once

#include "support/PtyPair.h"

#include <QByteArray>
#include <atomic>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace zep::test {

// The machine at the other end of a pty, reading on its own thread while the
// program sends, as a control does. `stopAfter` bytes makes it stop reading
// (a machine that is busy); `dropAfter` closes its end (a cable pulled).
class MachineSide {
public:
    explicit MachineSide(PtyPair &pty, qsizetype dropAfter = -1) : m_pty(pty), m_dropAfter(dropAfter)
    {
        m_thread = std::thread([this] { run(); });
    }
    ~MachineSide() { stop(); }

    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    QByteArray received() const
    {
        std::lock_guard lock(m_mutex);
        return m_data;
    }
    qsizetype count() const
    {
        std::lock_guard lock(m_mutex);
        return m_data.size();
    }

private:
    void run()
    {
        char buffer[4096];
        while (!m_stop) {
            pollfd p{m_pty.master(), POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0)
                continue;
            const ssize_t n = ::read(m_pty.master(), buffer, sizeof buffer);
            if (n <= 0)
                continue;
            std::lock_guard lock(m_mutex);
            m_data.append(buffer, n);
            if (m_dropAfter >= 0 && m_data.size() >= m_dropAfter) {
                m_pty.closeMaster();
                return;
            }
        }
    }

    PtyPair &m_pty;
    qsizetype m_dropAfter;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QByteArray m_data;
    std::thread m_thread;
};

} // namespace zep::test
