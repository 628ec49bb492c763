#include "station/Station.h"

#include "app/Clock.h"
#include "app/Logbook.h"
#include "app/Prompts.h"
#include "catalogue/DirectoryCheck.h"
#include "catalogue/MonitoredDirectory.h"
#include "comm/CommStation.h"
#include "comm/SteadyReceptionClock.h"
#include "machines/DueMaintenance.h"
#include "station/DatabaseOpener.h"
#include "station/FirstStartSetup.h"

#include <QTimer>

namespace zep {

Station::Station(SettingsStore &settings, Prompts &prompts, const Clock &clock, Logbook &logbook,
                 const QString &programDir, QObject *parent)
    : QObject(parent), m_state(settings, prompts, clock, logbook, programDir),
      m_receptionClock(std::make_unique<SteadyReceptionClock>())
{
    m_trace.isOn = [this] { return m_state.traceFlag; };
    m_trace.appendLine = [this](const QString &line) { Q_EMIT traceLine(line); };
    m_trace.appendRaw = [this](const QString &text) { Q_EMIT traceRaw(text); };

    m_files = std::make_unique<MonitoredDirectory>(MonitoredDirectory::Context{
        prompts, logbook, m_state.programDir, m_state.verzeichnis, [this](const QString &t) { showStatus(t); }, {}});
    m_check = std::make_unique<DirectoryCheck>(DirectoryCheck::Context{
        *m_files, m_state.database, prompts, clock, m_state.pendingMachines, [this] { Q_EMIT attentionWanted(); },
        [this](long index) { Q_EMIT recordCreated(index); }, {}});

    m_comm = new CommStation(settings, prompts, logbook, clock, *m_receptionClock, m_state.programDir, this);
    m_comm->trace = m_trace;
    connect(m_comm, &CommStation::lampChanged, this, &Station::lampChanged);
    connect(m_comm, &CommStation::statusChanged, this, &Station::showStatus);
    connect(m_comm, &CommStation::programReceived, this,
            [this](int connection, const QByteArray &text) { Q_EMIT programReceived(connection + 1, text); });

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    connect(m_timer1, &QTimer::timeout, this, &Station::tick);
    m_comTimer = new QTimer(this);
    m_comTimer->setObjectName(QStringLiteral("ComTimer"));
    m_comTimer->setInterval(1000);
    connect(m_comTimer, &QTimer::timeout, this, &Station::comTick);
}

Station::~Station() = default;

Station::LoadOutcome Station::load(StationDialogs &dialogs, const QString &driveRoot)
{
    m_loaded = false;
    m_state.readMonitoredDirectory();
    if (m_state.verzeichnis.isEmpty()) {
        FirstStartSetup setup(m_state,
                              {[this](const QString &t) { showStatus(t); }, [&] { dialogs.openSettingsDialog(); },
                               [&] { dialogs.openWizard(); }},
                              driveRoot);
        if (setup.run() == FirstStartSetup::Outcome::EndProgram)
            return LoadOutcome::EndProgram;
        m_state.readMonitoredDirectory();
        m_files->GetFileListe();
    }
    m_state.readCurrentValues();

    showStatus(QStringLiteral("Lese aktuelle FileListe..."));
    m_files->LoadFileListe();
    // Armed before the database opens; its ticks wait for loaded().
    armTimers();

    showStatus(QStringLiteral("Öffne Datenbank... (") + m_state.databasePath() + QStringLiteral(")"));
    if (!openCatalogueDatabase(m_state)) {
        m_timer1->stop();
        m_comTimer->stop();
        return LoadOutcome::EndProgram;
    }

    showStatus(QStringLiteral("Setze Window-Defaults..."));
    showStatus(QStringLiteral("Initialisiere Comm-Verbindungen..."));
    m_comm->SetComm();

    showStatus(QStringLiteral("Maschinen eintragen..."));
    Q_EMIT machineListChanged();

    showStatus(QStringLiteral("Bereit"));
    m_loaded = true;
    Q_EMIT clockChanged(m_state.clock.now().toString(QStringLiteral("HH:mm")));
    checkMaintenance();
    return LoadOutcome::Ready;
}

void Station::armTimers()
{
    m_timer1->setInterval(m_state.intervall * 1000);
    if (m_pauses == 0)
        m_timer1->start();
    m_comTimer->start();
}

void Station::shutDown()
{
    m_loaded = false;
    m_timer1->stop();
    m_comTimer->stop();
    m_state.database.close();
}

void Station::showStatus(const QString &text)
{
    Q_EMIT statusChanged(text);
}

void Station::setTraceOn(bool on)
{
    m_state.traceFlag = on;
}

void Station::pauseMonitoring()
{
    ++m_pauses;
    m_timer1->stop();
}

void Station::resumeMonitoring()
{
    if (m_pauses > 0 && --m_pauses == 0 && m_loaded)
        m_timer1->start();
}

bool Station::monitoring() const
{
    return m_timer1->isActive();
}

void Station::settingsChanged()
{
    m_state.readCurrentValues();
    m_files->LoadFileListe();
    m_timer1->setInterval(m_state.intervall * 1000);
}

void Station::reopenConnections()
{
    m_comm->SetComm();
}

void Station::machinesChanged()
{
    Q_EMIT machineListChanged();
}

void Station::rescan()
{
    // During a walk the rebuild waits for the list; the message tells of it
    // only once it has happened.
    m_files->GetFileListe();
    m_files->SaveFileListe();
    m_files->whenFree([this] {
        m_state.prompts.message(QStringLiteral("Dateiliste neu eingelesen!"), QStringLiteral("ZEP"),
                                PromptIcon::Information);
    });
}

int Station::checkMaintenance()
{
    if (!m_state.database.isOpen())
        return 0;
    const QList<DueTask> due =
        findDueMaintenance(m_state.database, m_state.prompts, m_state.clock, m_state.logbook);
    if (!due.isEmpty())
        Q_EMIT maintenanceDue(due);
    return int(due.size());
}

void Station::tick()
{
    Q_EMIT clockChanged(m_state.clock.now().toString(QStringLiteral("HH:mm")));
    // Ticks before the database is open wait for it.
    if (!m_loaded)
        return;
    m_check->tick();
}

void Station::comTick()
{
    m_comm->comTimerTick();
}

} // namespace zep
