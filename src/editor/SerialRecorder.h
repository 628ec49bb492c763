#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace zep {

class Prompts;
class SerialPort;
class SettingsStore;

// The serial monitor's recording: one port opened with freely typed line
// parameters, everything that arrives kept raw (no conversion, no NUL
// filter, no end detection), saved byte for byte on Stop.
//
// The port may belong to a machine connection; `PortLender` hands it over
// (closing that connection) or says why it cannot (a program is being sent
// on it, which taking the line would cut).
class SerialRecorder : public QObject
{
    Q_OBJECT

public:
    // Returns the reason when the port cannot be handed over.
    using PortLender = std::function<std::optional<QString>(int portNumber, const QString &devicePath)>;
    // Milliseconds from any fixed point that only moves forward.
    using Ticks = std::function<qint64()>;

    static constexpr qint64 kIndicatorStepMsecs = 500;

    SerialRecorder(SettingsStore &settings, Prompts &prompts, PortLender lender, QObject *parent = nullptr);
    ~SerialRecorder() override;

    void setTicks(Ticks ticks) { m_ticks = std::move(ticks); }

    // "Start": handshake 0-3 and port number 1-16 as the lists show them,
    // the parameter text as typed. True when the port is open and recording.
    bool start(int portNumber, int handshake, const QString &parameters);
    // The file a recording was saved to, or empty when it was not saved.
    using Saved = std::function<void(const QString &path)>;

    // "Stop": closes the port, then saves the recording if there is one.
    // `presetPath` is the name the input box offers; a relative answer is
    // taken in its folder. The box is asked without waiting; `saved` gets the
    // file once the name has been given and written (after a failed write
    // the name is asked again), or empty.
    void stop(const QString &presetPath, Saved saved = {});
    // Closing the window: the port is closed, the recording dropped.
    void close();

    bool recording() const;
    const QByteArray &recorded() const { return m_recorded; }
    QChar indicator() const;

    SerialPort &port() { return *m_port; }

    static QString openErrorPrefix() { return QStringLiteral("COM konnte nicht geöffnet werden: "); }
    // The message for a line-error event code, or empty for other events.
    static QString lineErrorMessage(int commEvent);

Q_SIGNALS:
    // New bytes were appended; `total` is the recording's size now.
    void received(qsizetype total);
    void indicatorStepped(QChar indicator);
    // The port was opened (true) or closed (after Stop or a line error).
    void recordingChanged(bool recording);

private:
    void onComm();
    void endByError(const QString &message);
    void askName(const QByteArray &recording, const QString &preset, const QString &folder, Saved saved);

    SettingsStore &m_settings;
    Prompts &m_prompts;
    PortLender m_lender;
    SerialPort *m_port;
    QByteArray m_recorded;
    QElapsedTimer m_elapsed;
    Ticks m_ticks;
    int m_indicator = -1;
    std::optional<qint64> m_lastStep;
};

} // namespace zep
