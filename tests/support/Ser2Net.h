#pragma once

#include <QString>
#include <sys/types.h>

namespace zep::test {

// A real ser2net on 127.0.0.1 serving `device` (a pseudo-terminal's slave),
// raw or with RFC 2217, in the foreground of a child process.
class Ser2Net {
public:
    enum class Mode { Raw, Rfc2217 };
    Ser2Net(Mode mode, QString device, QString configDir);
    ~Ser2Net();
    static bool installed();

    // Started and taking connections (waits up to 5 s for that).
    bool start();
    // Gone at once, as when the server's power fails.
    void kill();
    bool running() const { return m_pid > 0; }
    quint16 port() const { return m_port; }
    // "tcp://127.0.0.1:PORT" or "rfc2217://127.0.0.1:PORT".
    QString address() const;

    // A free TCP port on 127.0.0.1 (free when asked).
    static quint16 freePort();

private:
    Mode m_mode;
    QString m_device;
    QString m_config;
    quint16 m_port;
    pid_t m_pid = -1;
};

} // namespace zep::test
