#include "comm/Connections.h"

#include "comm/CommStation.h"

namespace zep {

Connections::LineLoan::LineLoan(CommStation *comm) : m_comm(comm) {}

Connections::LineLoan::LineLoan(LineLoan &&other) noexcept
    : m_comm(std::move(other.m_comm)), m_taken(std::move(other.m_taken))
{
    other.m_comm = nullptr;
    other.m_taken.clear();
}

Connections::LineLoan &Connections::LineLoan::operator=(LineLoan &&other) noexcept
{
    if (this != &other) {
        end();
        m_comm = std::move(other.m_comm);
        m_taken = std::move(other.m_taken);
        other.m_comm = nullptr;
        other.m_taken.clear();
    }
    return *this;
}

Connections::LineLoan::~LineLoan()
{
    end();
}

std::optional<QString> Connections::LineLoan::take(int portNumber, const QString &devicePath)
{
    if (!m_comm)
        return std::nullopt;
    QList<int> closed;
    if (std::optional<QString> refusal = m_comm->lendLine(portNumber, devicePath, &closed))
        return refusal;
    for (const int i : std::as_const(closed))
        if (!m_taken.contains(i))
            m_taken.append(i);
    return std::nullopt;
}

void Connections::LineLoan::end()
{
    // Only the connections taken are opened again: the others may be in
    // the middle of a reception that a fresh opening would cut.
    const QList<int> taken = std::exchange(m_taken, {});
    if (m_comm)
        for (const int i : taken)
            m_comm->SetComm(i);
    m_comm = nullptr;
}

Connections::Connections(CommStation &comm, QObject *parent) : QObject(parent), m_comm(comm)
{
    connect(&m_comm, &CommStation::lampChanged, this, &Connections::lampChanged);
}

SendJob *Connections::send(const SendOrder &order, QString *refusal)
{
    return m_comm.startSend(order, refusal);
}

Connections::LineLoan Connections::lendLines()
{
    return LineLoan(&m_comm);
}

const LampState &Connections::lamp(int connection) const
{
    return m_comm.lamp(connection);
}

void Connections::showLampInfo(int connection)
{
    m_comm.showLampInfo(connection);
}

} // namespace zep
