#pragma once

#include "comm/LampState.h"
#include "comm/SendJob.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

namespace zep {

class CommStation;

// The machine connections as the windows see them: send a program, lend a
// line to the serial monitor, read and explain the lamps. The ports, the
// receptions and their timers stay with the station.
class Connections : public QObject
{
    Q_OBJECT

public:
    static constexpr int kConnections = 5;

    // Lines lent to another user (the serial monitor). Every connection it
    // took is opened again when the loan ends, whichever way the borrower
    // leaves.
    class LineLoan {
    public:
        LineLoan() = default;
        LineLoan(LineLoan &&other) noexcept;
        LineLoan &operator=(LineLoan &&other) noexcept;
        LineLoan(const LineLoan &) = delete;
        LineLoan &operator=(const LineLoan &) = delete;
        ~LineLoan();

        // Port `portNumber` (device `devicePath`): every machine connection
        // on that line is closed for the rest of the loan. Refused, with the
        // reason, while one of them sends or receives a program.
        std::optional<QString> take(int portNumber, const QString &devicePath);
        // Gives the lines back now.
        void end();
        // Connections closed for this loan so far (0-4).
        const QList<int> &taken() const { return m_taken; }

    private:
        friend class Connections;
        explicit LineLoan(CommStation *comm);
        QPointer<CommStation> m_comm;
        QList<int> m_taken;
    };

    explicit Connections(CommStation &comm, QObject *parent = nullptr);

    // Starts sending; the job ends by itself (SendJob::finished) and is
    // deleted afterwards. Null, with the reason in `refusal`, when no
    // connection is chosen or that one is already sending.
    SendJob *send(const SendOrder &order, QString *refusal = nullptr);
    [[nodiscard]] LineLoan lendLines();

    const LampState &lamp(int connection) const;
    // The lamp of connection 0-4 was clicked: what it says, in a notice.
    void showLampInfo(int connection);

Q_SIGNALS:
    void lampChanged(int connection, const zep::LampState &lamp);

private:
    CommStation &m_comm;
};

} // namespace zep
