#pragma once

#include <QByteArray>
#include <QString>

namespace zep::test {

// A pseudo-terminal pair: the test plays the machine on the master side,
// the connection opens the slave path as its device.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    bool ok() const { return m_master >= 0; }
    QString slavePath() const { return m_path; }
    int master() const { return m_master; }
    void send(const QByteArray &bytes) const;
    // What the program wrote to the machine, waiting up to msecs for it.
    QByteArray readAvailable(int msecs = 50) const;
    // The machine's end gone, as when a cable is pulled.
    void closeMaster();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

} // namespace zep::test
