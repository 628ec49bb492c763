#pragma once

#include "app/Prompts.h"
#include "comm/LampState.h"
#include "comm/ReceiveSettings.h"
#include "comm/Receiver.h"
#include "comm/SendJob.h"
#include "comm/TraceSink.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <memory>

class QTimer;

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
// port settings changed, comTimerTick() every second, and connects to the
// signals below.
//
// A line that goes away while open (cable, USB adapter, the other program
// of a pseudo-terminal) is closed, its lamp turns red, and the same device
// is tried again every few seconds until it is back; the user need not
// save the port settings again for that.
class CommStation : public QObject
{
    Q_OBJECT

public:
    static constexpr int kConnections = 5;
    // Between two attempts to open a lost line again.
    static constexpr int kReopenMsecs = 3000;

    CommStation(SettingsStore &settings, Prompts &prompts, Logbook &logbook, const Clock &wallClock,
                const ReceptionClock &clock, QString programDir, QObject *parent = nullptr);
    ~CommStation() override;

    void SetComm();
    // Connection i alone opened afresh from its stored settings.
    void SetComm(int i);
    void comTimerTick();
    // The lamp of connection i was clicked: its tool tip in a box.
    void showLampInfo(int i);

    TraceSink trace;
    // The monitored directory (ends with "/"), read at each machine request:
    // requests are answered from inside it alone.
    std::function<QString()> monitoredDirectory;
    // A catalogued file's designation for a listing request; may be unset.
    std::function<QString(const QString &storedName)> bezeichnung;

    const LampState &lamp(int i) const { return m_lamps[i]; }
    void setLamp(int i, LampColour colour);
    SerialPort &port(int i) { return *m_ports[i]; }
    Receiver &receiver(int i) { return *m_receivers[i]; }
    // Recovery files written so far this run (newest last).
    const QStringList &recoveryFiles() const { return m_recoveryFiles; }
    // Connection i lost its line and is waiting to open it again.
    bool reopenPending(int i) const;
    // Set when machine i says it is ready (CTS change, lone XON).
    MachineReady &machineReady(int i) { return *m_ready[i]; }
    // Starts sending a program to the order's connection; the job ends by
    // itself (finished()) and is deleted afterwards. Null, with the reason in
    // `refusal`, when that connection is already sending.
    SendJob *startSend(const SendOrder &order, QString *refusal = nullptr);
    // The job sending to connection i, or null.
    SendJob *sendJob(int i) const { return m_jobs[i]; }
    bool sending(int i) const { return !m_jobs[i].isNull(); }
    // Another user (the serial monitor) wants port `portNumber` (device
    // `devicePath`): every connection on that line is closed and not tried
    // again until the next SetComm(). Refused, with the reason, while one of
    // them is sending or receiving a program. `lent`, when given, gets the
    // connections that were closed.
    std::optional<QString> lendLine(int portNumber, const QString &devicePath, QList<int> *lent = nullptr);

Q_SIGNALS:
    // A finished reception on connection 0-4 (the machine connection number
    // the user sees is connection + 1) with its converted text.
    void programReceived(int connection, const QByteArray &text);
    void lampChanged(int connection, const zep::LampState &lamp);
    // A text for the main window's status line.
    void statusChanged(const QString &text);
    // The line of connection 0-4 went away; `reason` is the system's text.
    void lineLost(int connection, const QString &reason);
    // The lost line is open again and receives as before.
    void lineRestored(int connection);
    // Connection i started (true) or ended a send job.
    void sendingChanged(int i, bool sending);

private:
    void onComm(int i);
    const ReceiveSettings &receiveSettings(int i);
    void receive(int i);
    void lineError(int i, const QString &message);
    void reportOpenError(const QString &message);
    void handOverFinished(int i);
    void onLineLost(int i, const QString &reason);
    void tryReopen(int i);
    // The lost line of connection i carries data again.
    void lineBack(int i);
    QString openedToolTip(int i, const QString &line) const;
    void abortReception(int i);
    QString saveRecovery(int i, const QByteArray &text);

    void setToolTip(int i, const QString &text);
    // A request program from machine i: looked up and answered as a send
    // job of its own, after the send that runs now.
    void answerRequest(int i, const struct MachineRequest &request, int waitSeconds);
    void startWaitingAnswer(int i);
    void tell(const QString &text);

    struct WaitingAnswer {
        SendOrder order;
        bool ownFile = false; // an answer text written for this job alone
        QString request;      // as the logbook names it
    };

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
    std::array<QTimer *, kConnections> m_reopen{};
    // Tries since the line was lost; the pause grows with them on a network line.
    std::array<int, kConnections> m_attempt{};
    // Opened again and waiting for the server to take the connection.
    std::array<bool, kConnections> m_comingBack{};
    std::array<std::optional<ReceiveSettings>, kConnections> m_receiveSettings;
    // The line error notice of the connection waits to be read.
    std::array<OneBoxAtATime, kConnections> m_errorNotices;
    QStringList m_recoveryFiles;
    std::array<QList<WaitingAnswer>, kConnections> m_waitingAnswers;
    // When the last reception began and the machine last said it is ready:
    // a ready signal after a request's first byte means it waits for the answer.
    std::array<double, kConnections> m_receptionStart{};
    std::array<double, kConnections> m_readyAt{};
    int m_answerFiles = 0;
};

} // namespace zep
