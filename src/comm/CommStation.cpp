#include "comm/CommStation.h"

#include "app/CatalogueNames.h"
#include "app/Clock.h"
#include "app/Logbook.h"
#include "app/Prompts.h"
#include "app/SettingsStore.h"
#include "comm/CommEvent.h"
#include "comm/EmpfangUmwandeln.h"
#include "comm/MachineRequest.h"
#include "comm/UnattendedSettings.h"
#include "comm/WriteTextFile.h"
#include "comm/MachineReady.h"
#include "comm/RecoveryFile.h"
#include "comm/PortSettings.h"
#include "comm/SendJob.h"
#include "comm/ReceiveSettings.h"
#include "comm/ReceptionClock.h"
#include "comm/SerialPort.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <utility>

namespace zep {

namespace {
QString crToCrLf(QString text)
{
    return text.replace(QStringLiteral("\r"), QStringLiteral("\r\n"));
}
QString num(int n)
{
    return QString::number(n);
}
} // namespace

CommStation::CommStation(SettingsStore &settings, Prompts &prompts, Logbook &logbook, const Clock &wallClock,
                         const ReceptionClock &clock, QString programDir, QObject *parent)
    : QObject(parent), m_settings(settings), m_prompts(prompts), m_logbook(logbook), m_wallClock(wallClock),
      m_clock(clock), m_programDir(std::move(programDir))
{
    if (!m_programDir.isEmpty() && !m_programDir.endsWith(QLatin1Char('/')))
        m_programDir += QLatin1Char('/');
    for (int i = 0; i < kConnections; ++i) {
        m_ports[i] = new SerialPort(m_settings, this);
        m_ready[i] = new MachineReady(this);
        m_receivers[i] = std::make_unique<Receiver>(i, trace, [this, i] { m_ready[i]->set(); });
        m_lamps[i].toolTip = QStringLiteral("Maschine ") + num(i + 1) + QStringLiteral(" nicht Aktiv");
        connect(m_ports[i], &SerialPort::OnComm, this, [this, i] { onComm(i); });
        connect(m_ports[i], &SerialPort::lineLost, this, [this, i](const QString &reason) { onLineLost(i, reason); });
        connect(m_ports[i], &SerialPort::lineReady, this, [this, i] {
            if (std::exchange(m_comingBack[i], false))
                lineBack(i);
        });
        m_reopen[i] = new QTimer(this);
        m_reopen[i]->setInterval(kReopenMsecs);
        connect(m_reopen[i], &QTimer::timeout, this, [this, i] { tryReopen(i); });
        m_receptionStart[i] = -1;
        m_readyAt[i] = -2;
        connect(m_ready[i], &MachineReady::signalled, this, [this, i] { m_readyAt[i] = m_clock.seconds(); });
    }
    // An answer that waited for a send starts once the line is free; queued,
    // so that the ended job is gone first.
    connect(this, &CommStation::sendingChanged, this, [this](int i, bool sending) {
        if (!sending)
            QTimer::singleShot(0, this, [this, i] { startWaitingAnswer(i); });
    });
}

CommStation::~CommStation() = default;

void CommStation::setLamp(int i, LampColour colour)
{
    if (m_lamps[i].colour == colour)
        return;
    m_lamps[i].colour = colour;
    Q_EMIT lampChanged(i, m_lamps[i]);
}

void CommStation::setToolTip(int i, const QString &text)
{
    m_lamps[i].toolTip = text;
    Q_EMIT lampChanged(i, m_lamps[i]);
}

QString CommStation::openedToolTip(int i, const QString &line) const
{
    return QStringLiteral("Maschine ") + num(i + 1) + QStringLiteral(" - COM") + num(m_ports[i]->commPort()) +
           QStringLiteral(":") + line;
}

void CommStation::reportOpenError(const QString &message)
{
    trace.line(crToCrLf(message));
    m_prompts.ask({message, QStringLiteral("COM-Fehler"), PromptIcon::Exclamation});
}

void CommStation::SetComm()
{
    for (int i = 0; i < kConnections; ++i)
        SetComm(i);
}

void CommStation::SetComm(int i)
{
    const QString n = num(i + 1);
    SerialPort &port = *m_ports[i];
    // Saved settings open the line afresh; a waiting reopen is void.
    m_reopen[i]->stop();
    m_comingBack[i] = false;
    m_attempt[i] = 0;
    if (!PortSettings::load(m_settings, i).aktiviert) {
        setLamp(i, LampColour::Grey);
        setToolTip(i, QStringLiteral("Maschine ") + n + QStringLiteral(" nicht Aktiv"));
        port.setPortOpen(false);
        return;
    }
    if (port.portOpen())
        port.setPortOpen(false);
    setLamp(i, LampColour::Green);

    const PortSettings opening = PortSettings::opening(m_settings, i);
    const QString line = opening.line.text();
    if (!line.isEmpty() && !port.setSettings(line))
        reportOpenError(QStringLiteral("Konnte Maschineneinstellungen (") + line + QStringLiteral(") für Maschine ") +
                        n + QStringLiteral(" nicht setzen: ") + port.errorDescription());

    const QString portText = PortSettings::openingComAnschluss(m_settings, i);
    bool numeric = false;
    const int portNumber = portText.trimmed().toInt(&numeric);
    if (!numeric)
        reportOpenError(QStringLiteral("Ungültiger Eigenschaftswert: ") + PortSettings::comAnschlussKey() +
                        QStringLiteral(" ") + portText);
    else if (portNumber != 0 && !port.setCommPort(portNumber))
        reportOpenError(port.errorDescription());

    port.setRThreshold(1);
    port.setSThreshold(1);
    port.setInputLen(0);

    const int buffer = opening.puffer;
    if (!port.setInBufferSize(buffer) || !port.setOutBufferSize(buffer)) {
        setLamp(i, LampColour::Red);
        reportOpenError(QStringLiteral("Konnte Puffergrösse für Maschineneinstellung") + n +
                        QStringLiteral(" nicht setzen: ") + port.errorDescription());
    }
    const int handshaking = opening.line.handshake();
    if (!port.setHandshaking(handshaking)) {
        setLamp(i, LampColour::Red);
        reportOpenError(QStringLiteral("Protokoll für Maschineneinstellung") + n +
                        QStringLiteral(" konnte nicht zugewiesen werden: ") + port.errorDescription());
    }
    if (!port.setPortOpen(true)) {
        setLamp(i, LampColour::Red);
        reportOpenError(QStringLiteral("Konnte Maschineneinstellung") + n + QStringLiteral(" nicht öffnen: ") +
                        port.errorDescription());
    }
    setToolTip(i, openedToolTip(i, line));
}

bool CommStation::reopenPending(int i) const
{
    return m_reopen[i]->isActive();
}

void CommStation::onLineLost(int i, const QString &reason)
{
    // What came in before the loss belongs to the running reception; the
    // long time-out still saves it if the line stays away.
    receive(i);
    if (std::exchange(m_comingBack[i], false)) {
        // A server that is still away: asked again later, quietly.
        m_reopen[i]->start(m_ports[i]->retryPauseMsecs(++m_attempt[i]));
        return;
    }
    const QString text = QStringLiteral("Maschine ") + num(i + 1) + QStringLiteral(" - Verbindung unterbrochen: ") + reason;
    trace.line(crToCrLf(text));
    setLamp(i, LampColour::Red);
    setToolTip(i, text);
    Q_EMIT statusChanged(text);
    m_attempt[i] = 0;
    if (PortSettings::load(m_settings, i).aktiviert)
        m_reopen[i]->start(m_ports[i]->retryPauseMsecs(0));
    Q_EMIT lineLost(i, reason);
}

void CommStation::tryReopen(int i)
{
    SerialPort &port = *m_ports[i];
    if (!PortSettings::load(m_settings, i).aktiviert || port.portOpen()) {
        m_reopen[i]->stop();
        return;
    }
    // Still away: tried again after a pause, without a box each time.
    if (!port.setPortOpen(true)) {
        m_reopen[i]->start(port.retryPauseMsecs(++m_attempt[i]));
        return;
    }
    m_reopen[i]->stop();
    // A network line is open at once and up when the server takes it.
    if (!port.lineUp()) {
        m_comingBack[i] = true;
        return;
    }
    lineBack(i);
}

void CommStation::lineBack(int i)
{
    m_attempt[i] = 0;
    Receiver &receiver = *m_receivers[i];
    const ReceiveSettings s = receiveSettings(i);
    if (receiver.running() && !receiver.finished() && s.endCode.kind() != EndCode::Kind::Timeout) {
        // A transfer cut by the loss never continues over a new opening;
        // its half is kept as the long time-out would keep it, and not put
        // in front of the next program. (With "<ST>" silence ends the text
        // as it does after any pause.)
        const QByteArray text = receiver.takeText();
        if (!text.isEmpty()) {
            const QString path = saveRecovery(i, text);
            if (!path.isEmpty())
                trace.line(QStringLiteral("Unterbrochene Übertragung von Maschine ") + num(i + 1) +
                           QStringLiteral(" gesichert in ") + QDir::toNativeSeparators(path));
        }
    }
    setLamp(i, LampColour::Green);
    setToolTip(i, openedToolTip(i, PortSettings::opening(m_settings, i).line.text()));
    trace.line(QStringLiteral("Maschine ") + num(i + 1) + QStringLiteral(" - Verbindung wiederhergestellt"));
    Q_EMIT lineRestored(i);
}

std::optional<QString> CommStation::lendLine(int portNumber, const QString &devicePath, QList<int> *lent)
{
    QList<int> users;
    for (int i = 0; i < kConnections; ++i) {
        const SerialPort &p = *m_ports[i];
        const bool sameLine = p.commPort() == portNumber || (!devicePath.isEmpty() && p.devicePath() == devicePath);
        if (sameLine && (p.portOpen() || reopenPending(i)))
            users.append(i);
    }
    for (const int i : std::as_const(users)) {
        // Taken half-way, a program sent would be cut off, and one received
        // split between a recovery file and the monitor's recording. A
        // finished text needs no line for its hand-over.
        const bool receiving = m_ports[i]->portOpen() && m_receivers[i]->receiving();
        if (sending(i) || receiving)
            return QStringLiteral("Über Maschinenverbindung ") + num(i + 1) + QStringLiteral(" (COM") + num(portNumber)
                   + (sending(i) ? QStringLiteral(") wird gerade ein Programm gesendet.")
                                 : QStringLiteral(") wird gerade ein Programm empfangen."))
                   + QStringLiteral("\r\rBitte warten Sie, bis die Übertragung beendet ist, und starten Sie die "
                                    "Aufnahme dann erneut.");
    }
    for (const int i : std::as_const(users)) {
        m_reopen[i]->stop();
        m_ports[i]->setPortOpen(false);
        setLamp(i, LampColour::Grey);
        setToolTip(i, QStringLiteral("Maschine ") + num(i + 1) + QStringLiteral(" - COM") + num(m_ports[i]->commPort())
                          + QStringLiteral(" wird vom RS232-Debugger benutzt"));
    }
    if (lent)
        *lent = users;
    return std::nullopt;
}

void CommStation::showLampInfo(int i)
{
    m_prompts.ask({m_lamps[i].toolTip, QStringLiteral("Maschinenverbindung ") + num(i + 1), PromptIcon::Information});
}

const ReceiveSettings &CommStation::receiveSettings(int i)
{
    // Read afresh for each reception, then kept until it has ended: a
    // machine sending reads them for every piece, and a program is received
    // under one set of rules from its first byte to its last.
    if (!m_receivers[i]->running() || !m_receiveSettings[i])
        m_receiveSettings[i] = ReceiveSettings::read(m_settings, i);
    return *m_receiveSettings[i];
}

void CommStation::onComm(int i)
{
    SerialPort &port = *m_ports[i];
    QString message;
    switch (port.CommEvent()) {
    case CommEvent::Break: message = QStringLiteral("Anhaltesignal empfangen?"); break;
    case CommEvent::Frame: message = QStringLiteral("Fehler im Übertragungs-Raster"); break;
    case CommEvent::Overrun: message = QStringLiteral("Datenverlust!"); break;
    case CommEvent::RxOver: message = QStringLiteral("Überlauf des Empfangspuffers!"); break;
    case CommEvent::RxParity: message = QStringLiteral("Paritätsfehler (meistens Störsignale auf der Leitung)!"); break;
    case CommEvent::TxFull: message = QStringLiteral("Sendepuffer voll!"); break;
    case CommEvent::Dcb: message = QStringLiteral("Unbekannter Fehler! (Aufruf DCB)"); break;
    case CommEvent::Cd: trace.line(QStringLiteral("Pegel DCD")); break;
    case CommEvent::Cts:
        trace.line(QStringLiteral("Pegel CTS"));
        m_ready[i]->set();
        break;
    case CommEvent::Dsr: trace.line(QStringLiteral("Pegel DSR")); break;
    case CommEvent::Ring: trace.line(QStringLiteral("Pegel RING")); break;
    case CommEvent::Eof:
        setLamp(i, LampColour::Green);
        m_receivers[i]->endOfFile(receiveSettings(i));
        break;
    case CommEvent::Receive: receive(i); break;
    default: break;
    }
    if (!message.isEmpty())
        lineError(i, message);
}

void CommStation::receive(int i)
{
    const QByteArray piece = m_ports[i]->Input();
    if (piece.isEmpty())
        return;
    const ReceiveSettings s = receiveSettings(i);
    if (!m_receivers[i]->running())
        m_receptionStart[i] = m_clock.seconds();
    if (m_receivers[i]->feed(piece, m_clock.seconds(), s) == Receiver::Piece::Collected)
        setLamp(i, LampColour::Yellow);
}

void CommStation::lineError(int i, const QString &message)
{
    // The reception keeps its time-out: if the machine gives up after the
    // error, the half text is saved by the long time-out instead of being
    // put in front of the next program.
    setLamp(i, LampColour::Red);
    Q_EMIT statusChanged(message);
    setToolTip(i, QStringLiteral("Letzter Fehler: ") + message);
    if (trace.enabled()) {
        trace.line(QStringLiteral("\r\n") + crToCrLf(message));
        return;
    }
    // A noisy line raises error after error; while the notice of this
    // connection waits to be read, the later ones are told by the lamp and
    // the status line, not by a pile of new boxes.
    m_errorNotices[i].ask(m_prompts, {QStringLiteral("Fehler bei Übertragung von Maschine") + num(i + 1)
                                          + QStringLiteral(":\r\r") + message,
                                      QStringLiteral("Comm-Fehler"), PromptIcon::Exclamation});
}

void CommStation::comTimerTick()
{
    for (int i = 0; i < kConnections; ++i) {
        // What waits in the port belongs to the reception before any
        // decision on it: bytes whose data event has not been handled yet
        // must not count as silence.
        receive(i);
        const ReceiveSettings s = receiveSettings(i);
        switch (m_receivers[i]->tick(m_clock.seconds(), s)) {
        case Receiver::Tick::HandOver: handOverFinished(i); break;
        case Receiver::Tick::Aborted: abortReception(i); break;
        case Receiver::Tick::Ended:
        case Receiver::Tick::Nothing: break;
        }
    }
}

void CommStation::handOverFinished(int i)
{
    trace.line(QStringLiteral("Endzeichen von Maschine ") + num(i) + QStringLiteral(" empfangen/erkannt/timeout.") +
               QStringLiteral("\r\n") + QString(40, QLatin1Char('-')) + QStringLiteral("\r\n"));
    setLamp(i, LampColour::Green);
    const ReceiveSettings s = receiveSettings(i);
    QByteArray text = m_receivers[i]->takeText();
    EmpfangUmwandeln(text, s, s.conversions.nulFilter(), trace);
    // The port's buffer is not cleared here: it was read just before, and
    // whatever came after the end code starts the next reception.
    m_receivers[i]->startFollowing(m_clock.seconds(), s);
    if (m_receivers[i]->running())
        setLamp(i, LampColour::Yellow);
    const UnattendedSettings unattended = UnattendedSettings::load(m_settings, i);
    if (unattended.anforderungen)
        if (const auto request = MachineRequest::parse(text, unattended.requestWords()))
            return answerRequest(i, *request, unattended.anforderungWartezeit);
    Q_EMIT programReceived(i, text);
}

void CommStation::tell(const QString &text)
{
    m_logbook.LogbuchSchreiben(text);
    trace.line(text);
    Q_EMIT statusChanged(text);
}

void CommStation::answerRequest(int i, const MachineRequest &request, int waitSeconds)
{
    const QString who = QStringLiteral("Maschine ") + num(i + 1) + QStringLiteral(": ");
    // What the machine punched, readable in the logbook whatever it holds.
    QString shown = request.name;
    for (QChar &c : shown)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    const QString dir = monitoredDirectory ? CatalogueNames::ensureTrailingSeparator(monitoredDirectory()) : QString();
    WaitingAnswer answer;
    answer.order.connection = i;
    QByteArray text;
    if (request.kind == MachineRequest::Kind::List) {
        answer.request = QStringLiteral("Liste ") + QStringLiteral("'") + shown + QStringLiteral("'");
        text = MachineRequest::listing(dir, request.name, bezeichnung);
        tell(who + QStringLiteral("Anforderung ") + answer.request + QStringLiteral(", die Liste wird gesendet"));
    } else if (MachineRequest::refusedName(request.name)) {
        answer.request = QStringLiteral("'") + shown + QStringLiteral("'");
        text = MachineRequest::refusedAnswer();
        tell(who + QStringLiteral("Anforderung ") + answer.request
             + QStringLiteral(" abgelehnt: Namen mit '..', '/', '\\', Laufwerk oder Steuerzeichen werden nicht "
                              "beantwortet"));
    } else {
        answer.request = QStringLiteral("'") + shown + QStringLiteral("'");
        const MachineRequest::Lookup lookup = MachineRequest::find(dir, request.name);
        if (lookup.found()) {
            answer.order.path = lookup.paths.first();
            tell(who + QStringLiteral("Anforderung ") + answer.request + QStringLiteral(", ")
                 + QDir::toNativeSeparators(answer.order.path.mid(dir.size())) + QStringLiteral(" wird gesendet"));
        } else if (lookup.ambiguous()) {
            text = MachineRequest::ambiguousAnswer(shown, int(lookup.paths.size()));
            tell(who + QStringLiteral("Anforderung ") + answer.request + QStringLiteral(" ist mehrdeutig (")
                 + num(int(lookup.paths.size())) + QStringLiteral(" Dateien)"));
        } else {
            text = MachineRequest::notFound(shown);
            tell(who + QStringLiteral("Anforderung ") + answer.request + QStringLiteral(": nicht gefunden"));
        }
    }
    if (answer.order.path.isEmpty()) {
        // The answer goes out through the same send job as any program, so
        // it gets the connection's conversions, end code and pacing.
        answer.order.path = m_programDir + QStringLiteral("Antwort_Maschine") + num(i + 1) + QLatin1Char('_')
                            + num(++m_answerFiles) + QStringLiteral(".txt");
        answer.ownFile = true;
        if (const auto error = WriteTextFile(answer.order.path, text)) {
            tell(who + QStringLiteral("Antwort auf Anforderung ") + answer.request
                 + QStringLiteral(" konnte nicht geschrieben werden: ") + *error);
            return;
        }
    }
    // The machine said it is ready after its request began: it waits in
    // read mode now. Otherwise its ready signal or the waiting time starts it.
    const bool readyNow = m_readyAt[i] >= m_receptionStart[i] && m_receptionStart[i] >= 0 && !sending(i);
    if (!readyNow && waitSeconds > 0)
        answer.order.delay = waitSeconds;
    m_waitingAnswers[i].append(answer);
    startWaitingAnswer(i);
}

void CommStation::startWaitingAnswer(int i)
{
    if (sending(i) || m_waitingAnswers[i].isEmpty())
        return;
    const WaitingAnswer answer = m_waitingAnswers[i].takeFirst();
    SendJob *job = startSend(answer.order);
    if (!job)
        return;
    const QString who = QStringLiteral("Maschine ") + num(i + 1) + QStringLiteral(": ");
    connect(job, &Job::finished, this, [this, job, answer, who] {
        if (job->outcome() == SendJob::Outcome::Sent)
            tell(who + QStringLiteral("Antwort auf Anforderung ") + answer.request + QStringLiteral(" gesendet"));
        else
            tell(who + QStringLiteral("Antwort auf Anforderung ") + answer.request + QStringLiteral(" nicht gesendet")
                 + (job->error().isEmpty() ? QString() : QStringLiteral(": ") + job->error()));
        if (answer.ownFile)
            QFile::remove(answer.order.path);
    });
}

void CommStation::abortReception(int i)
{
    const QByteArray text = m_receivers[i]->takeText();
    // What arrived is kept: the machine's program may exist nowhere else.
    if (!text.isEmpty())
        saveRecovery(i, text);
    setLamp(i, LampColour::Red);
    m_prompts.ask({QStringLiteral("Die Datenübertragung von Maschine ") + num(i + 1) +
                       QStringLiteral(" wurde abgebrochen! Es wurden seit den letzten Zeichen über 30 Sekunden "
                                      "lang keine weiteren Zeichen empfangen!"),
                   QStringLiteral("Timeout"), PromptIcon::Exclamation});
}

QString CommStation::saveRecovery(int i, const QByteArray &text)
{
    const RecoveryFile file =
        RecoveryFile::write(m_programDir, QStringLiteral("Abgebrochen_Maschine"), i + 1, m_wallClock, text);
    if (file.path.isEmpty()) {
        m_logbook.LogbuchSchreiben(QStringLiteral("Abgebrochene Übertragung von Maschine ") + num(i + 1) + QStringLiteral(" (") +
                                   num(int(text.size())) + QStringLiteral(" Bytes) konnte nicht gesichert werden: ") + file.error);
        m_prompts.ask({QStringLiteral("Die empfangenen Daten von Maschine ") + num(i + 1) +
                           QStringLiteral(" konnten nicht gesichert werden:\r") + m_programDir + QStringLiteral("\r") +
                           file.error,
                       QStringLiteral("Timeout"), PromptIcon::Exclamation});
        return {};
    }
    m_recoveryFiles.append(file.path);
    m_logbook.LogbuchSchreiben(QStringLiteral("Abgebrochene Übertragung von Maschine ") + num(i + 1) +
                               QStringLiteral(" gesichert in ") + QDir::toNativeSeparators(file.path) + QStringLiteral(" (") +
                               num(int(text.size())) + QStringLiteral(" Bytes)"));
    return file.path;
}

SendJob *CommStation::startSend(const SendOrder &order, QString *refusal)
{
    const int i = order.connection;
    if (i < 0 || i >= kConnections || m_jobs[i]) {
        // Two programs interleaved on one line would both be ruined.
        if (refusal)
            *refusal = i < 0 || i >= kConnections
                           ? QStringLiteral("Es ist keine Maschine als Empfänger gewählt.")
                           : QStringLiteral("An Maschine ") + num(i + 1) +
                                 QStringLiteral(" wird gerade ein Programm gesendet. Bitte warten Sie, bis die "
                                                "Übertragung beendet ist.");
        return nullptr;
    }
    auto *job = new SendJob({m_settings, m_logbook, m_clock}, *m_ports[i], order, m_ready[i], this);
    m_jobs[i] = job;
    connect(job, &SendJob::lamp, this, [this](int c, LampColour colour) { setLamp(c, colour); });
    connect(job, &SendJob::traceLine, this, [this](const QString &t) { trace.line(t); });
    connect(job, &SendJob::traceText, this, [this](const QString &t) { trace.raw(t); });
    connect(job, &SendJob::finished, this, [this, i, job] {
        if (m_jobs[i] == job)
            m_jobs[i] = nullptr;
        job->deleteLater();
        Q_EMIT sendingChanged(i, false);
    });
    job->start();
    Q_EMIT sendingChanged(i, true);
    return job;
}

} // namespace zep
