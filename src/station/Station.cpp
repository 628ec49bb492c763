#include "station/Station.h"

#include "app/CatalogueNames.h"
#include "app/Clock.h"
#include "app/Logbook.h"
#include "app/Prompts.h"
#include "catalogue/CatalogueService.h"
#include "catalogue/DirectoryCheck.h"
#include "catalogue/MonitoredDirectory.h"
#include "catalogue/ProgramRename.h"
#include "catalogue/UnrecordedFiles.h"
#include "app/LeftoverTemporaries.h"
#include "comm/CommStation.h"
#include "comm/PortSettings.h"
#include "comm/ProgramNaming.h"
#include "comm/UnattendedSettings.h"
#include "db/Database.h"
#include "db/RowReader.h"
#include "comm/ReceptionJournal.h"
#include "comm/SendJob.h"
#include "comm/SteadyReceptionClock.h"
#include "machines/DueMaintenance.h"
#include "machines/MachinesService.h"
#include "station/CatalogueConnection.h"
#include "station/DatabaseOpener.h"
#include "station/FirstStartSetup.h"
#include "station/MainState.h"

#include <QDir>
#include <QPointer>
#include <QTimer>

namespace zep {

Station::Station(SettingsStore &settings, Prompts &prompts, const Clock &clock, Logbook &logbook,
                 const QString &programDir, Attendance attendance, QObject *parent)
    : QObject(parent), m_relay(prompts, logbook, attendance),
      m_state(std::make_unique<MainState>(settings, m_relay, clock, logbook, programDir)),
      m_settingsService(std::make_unique<StationSettings>(*m_state)),
      m_receptionClock(std::make_unique<SteadyReceptionClock>()),
      m_journal(std::make_unique<ReceptionJournal>(m_state->programDir, clock))
{
    m_trace.isOn = [this] { return m_state->traceFlag; };
    m_trace.appendLine = [this](const QString &line) { Q_EMIT traceLine(line); };
    m_trace.appendRaw = [this](const QString &text) { Q_EMIT traceRaw(text); };

    m_files = std::make_unique<MonitoredDirectory>(MonitoredDirectory::Context{
        m_relay, logbook, m_state->programDir, m_state->verzeichnis, [this](const QString &t) { showStatus(t); }});
    m_check = std::make_unique<DirectoryCheck>(DirectoryCheck::Context{
        *m_files, m_state->database, m_relay, clock, m_state->pendingMachines, [this] { Q_EMIT attentionWanted(); },
        [this](long index) { Q_EMIT recordCreated(index); }, &logbook, [this](const QString &t) { showStatus(t); },
        [this] { return directoryCheckMayGoOn(); }});

    m_catalogue = std::make_unique<CatalogueService>(CatalogueService::Context{
        m_state->database, m_relay, logbook, settings, *m_files, m_state->verzeichnis, m_state->fotoVerzeichnis,
        [this](ProgramRename &rename) { return renameProgram(rename); }});
    m_machines = std::make_unique<MachinesService>(m_state->database, settings, m_relay, clock);
    // Machines changed at another station show in the lists here as well.
    connect(m_catalogue.get(), &CatalogueService::machinesChanged, this, &Station::machineListChanged);
    connect(m_catalogue.get(), &CatalogueService::machinesChanged, m_machines.get(), &MachinesService::changedElsewhere);

    m_comm = new CommStation(settings, m_relay, logbook, clock, *m_receptionClock, m_state->programDir, this);
    m_comm->trace = m_trace;
    m_comm->monitoredDirectory = [this] { return m_state->verzeichnis; };
    m_comm->bezeichnung = [this](const QString &storedName) {
        QString text;
        m_state->database.readRows(QStringLiteral("SELECT Bezeichnung FROM DateiListe WHERE Dateiname = ?"),
                                   {storedName}, [&text](const RowReader &row) {
                                       if (text.isEmpty())
                                           text = row.text(0);
                                   });
        return text;
    };
    m_connections = new Connections(*m_comm, this);
    connect(m_comm, &CommStation::lampChanged, this, &Station::lampChanged);
    connect(m_comm, &CommStation::statusChanged, this, &Station::showStatus);
    connect(m_comm, &CommStation::programReceived, this, &Station::received);
    connect(m_comm, &CommStation::sendingChanged, this, [this](int i, bool sending) {
        if (SendJob *job = sending ? m_comm->sendJob(i) : nullptr) {
            connect(job, &Job::percentChanged, this, &Station::transferProgress);
            // The bar goes when a transfer that showed it ends.
            connect(job, &Job::finished, this, [this, job] {
                if (job->percent() >= 0)
                    Q_EMIT transferProgress(-1);
            });
        }
        Q_EMIT sendingChanged(i, sending);
    });
    connect(m_comm, &CommStation::lineLost, this, &Station::lineLost);
    connect(m_comm, &CommStation::lineRestored, this, &Station::lineRestored);

    connect(&m_status, &StatusLine::changed, this, &Station::statusChanged);

    // Every statement of the station runs on the window's thread.
    m_state->database.setStatementDeadline(Database::kWindowDeadlineMs);
    m_catalogueLink = new CatalogueConnection(m_state->database, logbook, this);
    connect(m_catalogueLink, &CatalogueConnection::statusChanged, this, &Station::showStatus);
    connect(m_catalogueLink, &CatalogueConnection::restored, this, &Station::catalogueBack);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    connect(m_timer1, &QTimer::timeout, this, &Station::tick);
    m_comTimer = new QTimer(this);
    m_comTimer->setObjectName(QStringLiteral("ComTimer"));
    m_comTimer->setInterval(1000);
    connect(m_comTimer, &QTimer::timeout, this, &Station::comTick);
}

Station::~Station()
{
    // Whoever listened may be gone already.
    disconnect(&m_status, nullptr, this, nullptr);
}

void Station::load(StationDialogs &dialogs, const QString &driveRoot, LoadDone done)
{
    m_loaded = false;
    m_state->readCatalogueSetting();
    m_state->readMonitoredDirectory();
    if (!m_state->verzeichnis.isEmpty())
        return loadAfterSetup(done);
    const QPointer<Station> self(this);
    StationDialogs *windows = &dialogs;
    FirstStartSetup setup(*m_state,
                          {[self](const QString &t) {
                               if (self)
                                   self->showStatus(t);
                           },
                           [windows] { windows->openSettingsDialog(); }, [windows] { windows->openWizard(); }},
                          driveRoot);
    setup.run([self, done](FirstStartSetup::Outcome outcome) {
        if (!self)
            return;
        if (outcome == FirstStartSetup::Outcome::EndProgram)
            return done(LoadOutcome::EndProgram);
        self->m_state->readMonitoredDirectory();
        self->m_files->GetFileListe();
        self->loadAfterSetup(done);
    });
}

void Station::loadAfterSetup(const LoadDone &done)
{
    m_state->readCurrentValues();
    removeLeftovers();

    m_loading = m_status.busy(QStringLiteral("Lese aktuelle FileListe..."));
    m_files->LoadFileListe();
    // Armed before the database opens; its ticks wait for loaded().
    armTimers();

    m_loading.setText(QStringLiteral("Öffne Datenbank... (") + m_state->shownCatalogue() + QStringLiteral(")"));
    const QPointer<Station> self(this);
    // The start-up goes on once the schema check has ended; its retry form
    // may wait for an answer meanwhile, the ticks wait for loaded().
    m_catalogueLink->setAddress(m_state->catalogueSetting);
    auto goOn = [self, done] {
        if (!self)
            return;
        self->m_catalogueChecked = self->m_state->database.isOpen();
        self->m_loading.setText(QStringLiteral("Setze Window-Defaults..."));
        self->m_loading.setText(QStringLiteral("Initialisiere Comm-Verbindungen..."));
        self->m_comm->SetComm();

        self->m_loading.setText(QStringLiteral("Maschinen eintragen..."));
        Q_EMIT self->machineListChanged();

        self->m_loading.end();
        self->m_loaded = true;
        self->showClock();
        self->checkMaintenance();
        self->offerJournalled();
        self->offerUnrecorded();
        // A server that could not be reached: the station runs without its
        // catalogue until it answers.
        if (!self->m_catalogueChecked)
            self->m_catalogueLink->lost({});
        else
            self->m_catalogue->takeNotices(); // listens from now on, not from the next look
        done(LoadOutcome::Ready);
    };
    const bool opened = openCatalogueDatabase(
        *m_state, goOn,
        [self, done] {
            if (!self)
                return;
            self->m_timer1->stop();
            self->m_comTimer->stop();
            done(LoadOutcome::EndProgram);
        },
        this);
    if (!opened) {
        // Nothing runs while the notice waits to be read.
        m_timer1->stop();
        m_comTimer->stop();
    }
}

void Station::removeLeftovers()
{
    // The program directory's lock is held: no write of ours is running, so
    // a hidden temporary file is what a cut-short write left behind.
    QStringList removed = removeLeftoverTemporaries(m_state->programDir, LeftoverSearch::ThisDirectory);
    removed += removeLeftoverTemporaries(m_journal->directory(), LeftoverSearch::ThisDirectory);
    if (!m_state->verzeichnis.isEmpty())
        removed += removeLeftoverTemporaries(m_state->verzeichnis, LeftoverSearch::WholeTree);
    for (const QString &path : std::as_const(removed))
        m_state->logbook.LogbuchSchreiben(QStringLiteral("Unvollständig geschriebene Datei entfernt: ")
                                         + QDir::toNativeSeparators(path));
}

void Station::received(int connection, const QByteArray &text)
{
    ReceivedProgram program;
    program.maschinenNummer = connection + 1;
    // The machine the connection is bound to now, when the program arrives;
    // a later rebinding must not move it to another machine.
    program.machine = PortSettings::load(m_state->settings, connection).maschinenIndex;
    program.text = text;
    const ReceptionJournal::Added added = m_journal->add(program.maschinenNummer, program.machine, text);
    if (added.ok())
        program.journalId = added.id;
    else
        // The dialog still opens: the program is in memory and can be saved.
        m_state->logbook.LogbuchSchreiben(QStringLiteral("Empfang von Maschine ") + QString::number(connection + 1)
                                         + QStringLiteral(" konnte nicht zwischengespeichert werden: ")
                                         + added.error);
    const UnattendedSettings unattended = UnattendedSettings::load(m_state->settings, connection);
    if (unattended.autoSpeichern)
        return saveByItself(program, unattended.autoOrdner, unattended.extension());
    Q_EMIT programReceived(program);
}

void Station::saveByItself(const ReceivedProgram &program, const QString &folder, const QString &extension)
{
    const QString machine = QStringLiteral("Maschine ") + QString::number(program.maschinenNummer) + QStringLiteral(": ");
    const QString name =
        ProgramNaming::nameFor(program.text, extension, program.maschinenNummer, m_state->clock.now()).fileName;
    // Kept alive by its own continuation while a retry question waits.
    auto intake = std::make_shared<ReceivedProgramIntake>(intakeFor(program));
    const QPointer<Station> self(this);
    intake->saveAutomatically(folder, name, [self, intake, program, machine](const ReceivedProgramIntake::SaveResult &r) {
        if (!self)
            return;
        Logbook &logbook = self->m_state->logbook;
        const QString shown = QDir::toNativeSeparators(
            r.path.mid(CatalogueNames::ensureTrailingSeparator(self->m_state->verzeichnis).size()));
        switch (r.status) {
        case ReceivedProgramIntake::Status::Saved: {
            const QString text = machine + shown + QStringLiteral(" automatisch gespeichert");
            logbook.LogbuchSchreiben(text);
            self->showStatus(text);
            return;
        }
        case ReceivedProgramIntake::Status::AlreadyThere:
            logbook.LogbuchSchreiben(machine + shown
                                     + QStringLiteral(" ist mit gleichem Inhalt schon vorhanden, nicht noch einmal "
                                                      "gespeichert"));
            return;
        default: {
            // Not lost: the program goes to the save dialog as without the option.
            const QString text = machine + QStringLiteral("automatisches Speichern nicht möglich")
                                 + (r.reason.isEmpty() ? QString() : QStringLiteral(": ") + r.reason)
                                 + QStringLiteral(" Das Programm wartet auf den Speichern-Dialog.");
            logbook.LogbuchSchreiben(text);
            self->showStatus(text);
            Q_EMIT self->programReceived(program);
        }
        }
    });
}

void Station::offerJournalled()
{
    QStringList skipped;
    const QList<ReceptionJournal::Entry> entries = m_journal->entries(&skipped);
    for (const QString &name : std::as_const(skipped))
        m_state->logbook.LogbuchSchreiben(QStringLiteral("Unlesbarer Eintrag im Empfangsordner übergangen: ") + name);
    for (const ReceptionJournal::Entry &entry : entries) {
        m_state->logbook.LogbuchSchreiben(QStringLiteral("Nicht gespeichertes Programm von Maschine ")
                                         + QString::number(entry.connection) + QStringLiteral(" vom ")
                                         + entry.time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))
                                         + QStringLiteral(" wird erneut angeboten."));
        Q_EMIT programReceived(ReceivedProgram{entry.connection, entry.machine, entry.text, entry.id});
    }
}

ReceivedProgramIntake Station::intakeFor(const ReceivedProgram &program)
{
    MainState &state = *m_state;
    return ReceivedProgramIntake(
        {state.prompts, state.logbook, state.clock, state.programDir, [&state] { return state.verzeichnis; }, m_trace,
         m_journal.get()},
        [&state](const QString &storedName, long machine) { state.pendingMachines.insert(storedName, machine); },
        program);
}

void Station::armTimers()
{
    m_timer1->setInterval(m_state->intervall * 1000);
    if (m_pauses == 0)
        m_timer1->start();
    m_comTimer->start();
}

void Station::shutDown()
{
    m_loaded = false;
    m_timer1->stop();
    m_comTimer->stop();
    m_catalogueLink->stop();
    m_state->database.close();
}

SettingsStore &Station::settings()
{
    return m_state->settings;
}

const Clock &Station::clock() const
{
    return m_state->clock;
}

Logbook &Station::logbook()
{
    return m_state->logbook;
}

const QString &Station::programDir() const
{
    return m_state->programDir;
}

Database &Station::database()
{
    return m_state->database;
}

void Station::showStatus(const QString &text)
{
    m_status.show(text);
}

void Station::setTraceOn(bool on)
{
    m_state->traceFlag = on;
}

bool Station::traceOn() const
{
    return m_state->traceFlag;
}

MonitoringPause Station::pauseMonitoring()
{
    ++m_pauses;
    m_timer1->stop();
    return MonitoringPause(this);
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

int Station::monitoringInterval() const
{
    return m_timer1->interval();
}

void Station::settingsChanged()
{
    m_state->readCurrentValues();
    m_files->LoadFileListe();
    m_timer1->setInterval(m_state->intervall * 1000);
    offerUnrecorded();
}

void Station::offerUnrecorded()
{
    if (!m_loaded || !m_state->database.isOpen())
        return;
    UnrecordedFiles::offer({m_state->database, m_state->prompts, m_state->clock, m_state->pendingMachines,
                            [this](const QString &t) { showStatus(t); }},
                           m_files->entries());
}

void Station::reopenConnections()
{
    m_comm->SetComm();
}

void Station::machinesChanged()
{
    Q_EMIT machineListChanged();
}

void Station::machineWizardEnded(bool created)
{
    if (!created)
        return;
    Q_EMIT machineListChanged();
    // At the first start the connections open later, with the others.
    if (m_loaded)
        m_comm->SetComm();
}

void Station::rescan()
{
    m_files->GetFileListe();
    m_files->SaveFileListe();
    const QPointer<Station> self(this);
    m_state->prompts.ask({QStringLiteral("Dateiliste neu eingelesen!"), QStringLiteral("ZEP"), PromptIcon::Information},
                        [self](PromptAnswer) {
                            // Listed files without a record (an archive that
                            // was there before, a catalogue restored from a
                            // backup) get theirs now.
                            if (self)
                                self->offerUnrecorded();
                        });
}

std::optional<ErrorInfo> Station::renameProgram(ProgramRename &rename)
{
    MonitoringPause pause = pauseMonitoring();
    const std::optional<ErrorInfo> error = rename.run();
    if (!error)
        m_files->renameEntry(rename.oldStoredName(), rename.newStoredName());
    pause.end();
    if (!error && !rename.moves().isEmpty())
        Q_EMIT programRenamed(rename.moves().first().from, rename.moves().first().to);
    return error;
}

void Station::checkMaintenance(std::function<void(int due)> done)
{
    if (!m_state->database.isOpen()) {
        if (done)
            done(0);
        return;
    }
    const QPointer<Station> self(this);
    findDueMaintenance(m_state->database, m_state->prompts, m_state->clock, m_state->logbook,
                       [self, done](const QList<DueTask> &due) {
                           if (!self)
                               return;
                           if (!due.isEmpty())
                               Q_EMIT self->maintenanceDue(due);
                           if (done)
                               done(int(due.size()));
                       });
}

void Station::showClock()
{
    Q_EMIT clockChanged(m_state->clock.now().toString(QStringLiteral("HH:mm")));
}

void Station::tick()
{
    showClock();
    // Ticks before the database is open wait for it; a paused check waits
    // for the last pause to end, even for a tick already on its way.
    if (!m_loaded || m_pauses > 0)
        return;
    // While the catalogue server is away, new files stay off the file list:
    // the first check after it is back finds and catalogues them.
    if (m_catalogueLink->waiting())
        return;
    Database &db = m_state->database;
    if (db.isServer() && !db.serverAnswers())
        return m_catalogueLink->lost(db.lastError());
    m_check->tick();
    if (db.serverLost())
        m_catalogueLink->lost(db.lastError());
}

bool Station::directoryCheckMayGoOn()
{
    // Between the slices of one check: the same conditions as for a tick.
    if (!m_loaded || m_pauses > 0 || m_catalogueLink->waiting())
        return false;
    Database &db = m_state->database;
    if (db.serverLost()) {
        m_catalogueLink->lost(db.lastError());
        return false;
    }
    return true;
}

void Station::catalogueBack()
{
    if (!m_catalogueChecked) {
        // The start went on without the catalogue: what it would have done
        // with it comes now.
        const QPointer<Station> self(this);
        checkCatalogueSchema(m_state->database, m_state->prompts, [self](SchemaCheck) {
            if (!self)
                return;
            self->m_catalogueChecked = true;
            Q_EMIT self->machineListChanged();
            self->checkMaintenance();
            self->offerUnrecorded();
            self->m_catalogue->takeNotices();
            Q_EMIT self->catalogueRestored();
        });
        return;
    }
    m_catalogue->takeNotices();
    Q_EMIT catalogueRestored();
}

void Station::comTick()
{
    m_comm->comTimerTick();
}

} // namespace zep
