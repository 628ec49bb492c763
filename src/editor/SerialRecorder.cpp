#include "editor/SerialRecorder.h"

#include "app/Prompts.h"
#include "comm/CommEvent.h"
#include "comm/PortDevices.h"
#include "comm/SerialPort.h"
#include "comm/WriteTextFile.h"
#include "editor/DebuggerSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace zep {

namespace {
const QString kTitle = QStringLiteral("ZEP");
const QChar kCycle[] = {QLatin1Char('/'), QLatin1Char('-'), QLatin1Char('\\'), QLatin1Char('|')};
} // namespace

SerialRecorder::SerialRecorder(SettingsStore &settings, Prompts &prompts, PortLender lender, QObject *parent)
    : QObject(parent), m_settings(settings), m_prompts(prompts), m_lender(std::move(lender)),
      m_port(new SerialPort(settings, this))
{
    m_elapsed.start();
    m_ticks = [this] { return m_elapsed.elapsed(); };
    connect(m_port, &SerialPort::OnComm, this, &SerialRecorder::onComm);
    // A line that goes away ends the recording as a line error does; what
    // came before stays for Stop.
    connect(m_port, &SerialPort::lineLost, this, [this](const QString &reason) {
        m_recorded += m_port->Input();
        endByError(QStringLiteral("Verbindung unterbrochen: ") + reason);
    });
}

SerialRecorder::~SerialRecorder() = default;

bool SerialRecorder::recording() const
{
    return m_port->portOpen();
}

QChar SerialRecorder::indicator() const
{
    return m_indicator < 0 ? kCycle[3] : kCycle[m_indicator];
}

QString SerialRecorder::lineErrorMessage(int commEvent)
{
    switch (commEvent) {
    case CommEvent::Break: return QStringLiteral("Anhaltesignal empfangen?");
    case CommEvent::Frame: return QStringLiteral("Fehler im Übertragungs-Raster");
    case CommEvent::Overrun: return QStringLiteral("Datenverlust!");
    case CommEvent::RxOver: return QStringLiteral("Überlauf des Empfangspuffers!");
    case CommEvent::RxParity: return QStringLiteral("Paritätsfehler (meistens Störsignale auf der Leitung)!");
    case CommEvent::TxFull: return QStringLiteral("Sendepuffer voll!");
    case CommEvent::Dcb: return QStringLiteral("Unbekannter Fehler! (Aufruf DCB)");
    default: return {};
    }
}

bool SerialRecorder::start(int portNumber, int handshake, const QString &parameters)
{
    if (recording())
        return true;
    // The line of a machine connection is taken only when nothing is being
    // sent on it.
    if (m_lender) {
        const QString device = portNumber >= 1 && portNumber <= 16 ? PortDevices::devicePath(m_settings, portNumber)
                                                                   : QString();
        if (const auto refusal = m_lender(portNumber, device)) {
            m_prompts.ask({*refusal, kTitle, PromptIcon::Exclamation});
            return false;
        }
    }
    // Each failing step is told and the next one tried, so that a wrong
    // parameter text still lets the port open with the line it had.
    auto tell = [this] { m_prompts.ask({openErrorPrefix() + m_port->errorDescription(), kTitle, PromptIcon::None}); };
    m_port->setRThreshold(1);
    m_port->setSThreshold(1);
    m_port->setInputLen(0);
    if (!m_port->setSettings(parameters))
        tell();
    if (!m_port->setHandshaking(handshake) || !m_port->setInBufferSize(LineDefaults::Monitor::kBuffer)
        || !m_port->setOutBufferSize(LineDefaults::Monitor::kBuffer))
        tell();
    if (!m_port->setCommPort(portNumber)) {
        tell();
        return false;
    }
    m_recorded.clear();
    m_indicator = -1;
    m_lastStep.reset();
    if (!m_port->setPortOpen(true)) {
        tell();
        return false;
    }
    DebuggerSettings::save(m_settings, LineSettings::fromText(parameters, handshake), portNumber);
    Q_EMIT recordingChanged(true);
    return true;
}

void SerialRecorder::onComm()
{
    const int event = m_port->CommEvent();
    if (event == CommEvent::Receive) {
        const QByteArray bytes = m_port->Input();
        if (bytes.isEmpty())
            return;
        m_recorded += bytes;
        // The indicator moves at most twice a second, however fast data comes.
        const qint64 now = m_ticks();
        if (!m_lastStep || now >= *m_lastStep + kIndicatorStepMsecs) {
            m_indicator = (m_indicator + 1) % 4;
            m_lastStep = now;
            Q_EMIT indicatorStepped(indicator());
        }
        Q_EMIT received(m_recorded.size());
        return;
    }
    if (event == CommEvent::Eof) {
        m_recorded += char(26);
        Q_EMIT received(m_recorded.size());
        return;
    }
    const QString message = lineErrorMessage(event);
    if (!message.isEmpty()) {
        // What arrived before the error belongs to the recording.
        m_recorded += m_port->Input();
        endByError(message);
    }
}

void SerialRecorder::endByError(const QString &message)
{
    m_port->setPortOpen(false);
    Q_EMIT recordingChanged(false);
    Q_EMIT received(m_recorded.size());
    m_prompts.ask({message, kTitle, PromptIcon::None});
}

void SerialRecorder::close()
{
    const bool was = recording();
    m_port->setPortOpen(false);
    m_recorded.clear();
    if (was)
        Q_EMIT recordingChanged(false);
}

void SerialRecorder::stop(const QString &presetPath, Saved saved)
{
    if (recording()) {
        // Whatever the port still holds was received before Stop.
        m_recorded += m_port->Input();
        m_port->setPortOpen(false);
        Q_EMIT received(m_recorded.size());
        Q_EMIT recordingChanged(false);
    }
    if (m_recorded.isEmpty()) {
        m_prompts.ask({QStringLiteral("Nichts empfangen..."), kTitle, PromptIcon::Information});
        if (saved)
            saved({});
        return;
    }
    // The recording as it is now: a new one may start while the name is
    // being asked for.
    askName(m_recorded, QDir::toNativeSeparators(presetPath), QFileInfo(presetPath).absolutePath(), std::move(saved));
}

void SerialRecorder::askName(const QByteArray &recording, const QString &preset, const QString &folder, Saved saved)
{
    const QPointer<SerialRecorder> self(this);
    m_prompts.askText(
        QStringLiteral("Aufnahme speichern unter:"), QStringLiteral("Speichern..."), preset,
        [self, recording, folder, saved = std::move(saved)](std::optional<QString> answer) mutable {
            if (!self)
                return;
            if (!answer || answer->trimmed().isEmpty()) {
                if (saved)
                    saved({});
                return;
            }
            QString path = QDir::fromNativeSeparators(answer->trimmed());
            if (QFileInfo(path).isRelative())
                path = QDir(folder).absoluteFilePath(path);
            // The offered folder (the user's documents) may not exist yet on a
            // fresh account; it is made rather than refused.
            if (QFileInfo(path).absolutePath() == folder)
                QDir().mkpath(folder);
            // Replaced only once the new recording is whole on disk.
            const auto error = WriteTextFile(path, recording);
            if (!error) {
                if (saved)
                    saved(path);
                return;
            }
            // Asked again once the failure has been read: the recording is
            // still only here.
            self->m_prompts.ask({QStringLiteral("Die Aufnahme konnte nicht unter '") + QDir::toNativeSeparators(path)
                                     + QStringLiteral("' gespeichert werden: ") + *error,
                                 kTitle, PromptIcon::Exclamation},
                                [self, recording, path, folder, saved = std::move(saved)](PromptAnswer) mutable {
                                    if (self)
                                        self->askName(recording, QDir::toNativeSeparators(path), folder,
                                                      std::move(saved));
                                });
        });
}

} // namespace zep
