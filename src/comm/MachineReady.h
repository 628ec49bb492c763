#pragma once

#include <QObject>

namespace zep {

// The machine-ready signal of one connection: set when its machine says it
// is ready (a lone XON, a CTS change). A delayed send clears it and waits on
// the one connection it sends to, so another machine's line never starts
// that transfer.
class MachineReady : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    bool isSet() const { return m_set; }
    void set()
    {
        m_set = true;
        Q_EMIT signalled();
    }
    void clear() { m_set = false; }

Q_SIGNALS:
    // The machine said it is ready (again).
    void signalled();

private:
    bool m_set = false;
};

} // namespace zep
