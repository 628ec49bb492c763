#pragma once

#include "comm/LampState.h"
#include "comm/Receiver.h"
#include "comm/SendJob.h"
#include "comm/TraceSink.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <memory>

namespace zep {

class Clock;
class Logbook;
class MachineReady;
class Prompts;
class ReceptionClock;
class SerialPort;
class SettingsStore;

// The five machine connections of the main window: their ports, reception
// state and lamps. The main window calls SetComm() at start-up and after the
// port settings changed, comTimerTick() every second, and connects the
// callbacks below.
class CommStation : public QObject
{
    Q_OBJECT

public:
    static constexpr int kConnections = 5;

    CommStation(SettingsStore &settings, Prompts &prompts, Logbook &logbook, const Clock &wallClock,
                const ReceptionClock &clock, QString programDir, QObject *parent = nullptr);
    ~CommStation() override;

    void SetComm();
    void comTimerTick();
    // The lamp of connection i was clicked: its tool tip in a box.
    void showLampInfo(int i);

    // A finished reception: the machine connection number (1-5) and the
    // converted text.
    std::function<void(int maschinenNummer, const QByteArray &text)> handOver;
    std::function<void(int i, const LampState &lamp)> lampChanged;
    std::function<void(const QString &text)> statusText;
    TraceSink trace;

    const LampState &lamp(int i) const { return m_lamps[i]; }
    void setLamp(int i, LampColour colour);
    SerialPort &port(int i) { return *m_ports[i]; }
    Receiver &receiver(int i) { return *m_receivers[i]; }
    // Recovery files written so far this run (newest last).
    const QStringList &recoveryFiles() const { return m_recoveryFiles; }

    // Set when machine i says it is ready (CTS change, lone XON).
    MachineReady &machineReady(int i) { return *m_ready[i]; }
    // Starts sending a program to the order's connection; the job ends by
    // itself (finished()) and is deleted afterwards. Null, with the reason in
    // `refusal`, when that connection is already sending.
    SendJob *startSend(const SendOrder &order, QString *refusal = nullptr);
    // The job sending to connection i, or null.
    SendJob *sendJob(int i) const { return m_jobs[i]; }
    bool sending(int i) const { return !m_jobs[i].isNull(); }

Q_SIGNALS:
    void sendingChanged(int i, bool sending);

private:
    void onComm(int i);
    void receive(int i);
    void lineError(int i, const QString &message);
    void reportOpenError(const QString &message);
    void handOverFinished(int i);
    void abortReception(int i);
    QString saveRecovery(int i, const QByteArray &text);

    void setToolTip(int i, const QString &text);

    SettingsStore &m_settings;
    Prompts &m_prompts;
    Logbook &m_logbook;
    const Clock &m_wallClock;
    const ReceptionClock &m_clock;
    QString m_programDir;
    std::array<SerialPort *, kConnections> m_ports{};
    std::array<std::unique_ptr<Receiver>, kConnections> m_receivers;
    std::array<MachineReady *, kConnections> m_ready{};
    std::array<QPointer<SendJob>, kConnections> m_jobs;
    std::array<LampState, kConnections> m_lamps;
    std::array<bool, kConnections> m_errorBoxOpen{};
    std::array<bool, kConnections> m_boxShown{};
    std::array<bool, kConnections> m_inTick{};
    QStringList m_recoveryFiles;
};

} // namespace zep
