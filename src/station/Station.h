#pragma once

#include "app/StatusLine.h"
#include "comm/Connections.h"
#include "comm/LampState.h"
#include "comm/ReceivedProgramIntake.h"
#include "comm/TraceSink.h"
#include "machines/MaintenanceSchedule.h"
#include "station/MonitoringPause.h"
#include "station/QuestionRelay.h"
#include "station/StationSettings.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace zep {

class CatalogueConnection;
class CatalogueService;
class CommStation;
class Database;
class DirectoryCheck;
class MachinesService;
class ProgramRename;
class MonitoredDirectory;
class ReceptionClock;
class ReceptionJournal;
struct MainState;

// The windows the start-up needs before the station can run: the first start
// asks for the directories through one of them.
class StationDialogs {
public:
    virtual ~StationDialogs() = default;
    virtual void openSettingsDialog() = 0;
    virtual void openWizard() = 0;
};

// The running station: for the whole run it owns the database connection, the
// current directory and timer values, the monitored directory with its
// periodic check, and the five machine connections. It never knows which
// windows exist; it tells what happens through its signals and takes the
// user's commands as methods.
//
// What its parts ask or tell goes through the station's QuestionRelay: into
// the logbook, then to the windows' prompts without waiting for the answer,
// or, for a station that runs unattended, answered at once by the
// question's own unattended answer. The checks, receptions and sends go on
// while a question is open.
class Station : public QObject
{
    Q_OBJECT

public:
    enum class LoadOutcome { Ready, EndProgram };
    using LoadDone = std::function<void(LoadOutcome)>;

    // `prompts` are the windows'; an unattended station never hands them a
    // question.
    Station(SettingsStore &settings, Prompts &prompts, const Clock &clock, Logbook &logbook,
            const QString &programDir, Attendance attendance = Attendance::Attended, QObject *parent = nullptr);
    ~Station() override;

    // The start-up sequence in its fixed order. A step that cannot go on
    // without an answer (the first start, a database that cannot be opened)
    // goes on when the answer comes; `done` gets the outcome then, or at once
    // when nothing had to be asked. EndProgram means the user has read why
    // the program cannot go on; nothing runs then.
    void load(StationDialogs &dialogs, const QString &driveRoot, LoadDone done);
    bool loaded() const { return m_loaded; }
    // Stops the timers and closes the database; nothing is told afterwards.
    void shutDown();

    SettingsStore &settings();
    // The station's relay: what goes this way is logged (questions) and
    // answered by policy when nobody is there.
    Prompts &prompts() { return m_relay; }
    bool unattended() const { return m_relay.unattended(); }
    const Clock &clock() const;
    Logbook &logbook();
    const QString &programDir() const;
    // The services the windows work with: the catalogue (search, record
    // sessions, record commands) and the machines (the manager's session,
    // the wizard, the due maintenance, the machines of the connections).
    CatalogueService &catalogue() { return *m_catalogue; }
    MachinesService &machines() { return *m_machines; }
    const TraceSink &trace() const { return m_trace; }

    // The services the windows work with.
    Connections &connections() { return *m_connections; }
    StationSettings &stationSettings() { return *m_settingsService; }
    // The status line: busy texts while work runs, "Bereit" when none is
    // left.
    StatusLine &status() { return m_status; }
    // A passing text for the status line (a result, a step told by a
    // window).
    void showStatus(const QString &text);

    // The trace window is open: trace lines are made and told.
    void setTraceOn(bool on);
    bool traceOn() const;

    // Dialogs that may change the settings, the machines or the ports stop
    // the directory check while they are open. Nested pauses count.
    MonitoringPause pauseMonitoring();
    bool monitoring() const;
    // Milliseconds between two directory checks.
    int monitoringInterval() const;
    // The settings dialog has stored new values.
    void settingsChanged();
    // The port settings or the machine bindings changed: every connection is
    // opened again.
    void reopenConnections();
    // The machine records changed.
    void machinesChanged();
    // The machine wizard has closed. A machine it made belongs in the
    // machine filter at once, and the connection it may have bound is
    // opened with its new settings.
    void machineWizardEnded(bool created);
    // Ctrl+N: the file list read again from the directory.
    void rescan();
    // Renames a catalogued program (file, photos, record) that the rename
    // has checked; the file list follows at once, so the directory check
    // never takes the file under its new name for a new one. The reason
    // when nothing was renamed.
    std::optional<ErrorInfo> renameProgram(ProgramRename &rename);
    // Lists the due maintenance tasks (maintenanceDue); `done` gets how many
    // once the check has ended (a retry report may be open first).
    void checkMaintenance(std::function<void(int due)> done = {});

    // What becomes of a received program: saved, discarded or kept. Its
    // journal entry goes with that decision.
    ReceivedProgramIntake intakeFor(const ReceivedProgram &program);

    // One periodic check (the timer calls it; tests may too).
    void tick();
    // One reception check (the timer calls it every second; tests may too).
    void comTick();

Q_SIGNALS:
    void statusChanged(const QString &text);
    void clockChanged(const QString &hhmm);
    void lampChanged(int connection, const zep::LampState &lamp);
    void traceLine(const QString &line);
    void traceRaw(const QString &text);
    // A machine sent a program (or one from before a crash waits in the
    // journal): it is on disk already and waits for its save dialog.
    void programReceived(const zep::ReceivedProgram &program);
    // The directory check made a record for a new file.
    void recordCreated(long dateiIndex);
    // A catalogued program was renamed: its file moved from oldPath to
    // newPath (real paths in the monitored directory).
    void programRenamed(const QString &oldPath, const QString &newPath);
    // New files were found: the user should see the station.
    void attentionWanted();
    void machineListChanged();
    void maintenanceDue(const QList<zep::DueTask> &due);
    // 0-100 while a program goes out, -1 when the transfer has ended.
    void transferProgress(int percent);
    // Connection 0-4 started or ended sending a program; its lamp says how
    // it ended.
    void sendingChanged(int connection, bool sending);
    // Connection 0-4 lost its line (reason: the system's text), and got it
    // back by itself.
    void lineLost(int connection, const QString &reason);
    void lineRestored(int connection);
    // The catalogue server is reachable again after it was lost, on a new
    // connection (anything that lived on the old one is gone).
    void catalogueRestored();

private:
    // The backup and the pause belong to the station's own core; the tests
    // look inside through StationInternals.
    Database &database();
    MonitoredDirectory &files() { return *m_files; }

    friend class MonitoringPause;
    friend class StationBackup;
    friend struct StationInternals;

    CommStation &comm() { return *m_comm; }
    QTimer *directoryTimer() const { return m_timer1; }
    QTimer *receptionTimer() const { return m_comTimer; }
    ReceptionJournal &journal() { return *m_journal; }
    void resumeMonitoring();

    void loadAfterSetup(const LoadDone &done);
    void armTimers();
    void showClock();
    void received(int connection, const QByteArray &text);
    // A connection set to save by itself: no dialog unless the save cannot be made.
    void saveByItself(const ReceivedProgram &program, const QString &folder, const QString &extension);
    void removeLeftovers();
    void offerJournalled();
    // Offers records for the listed files that have none.
    void offerUnrecorded();
    // The catalogue server answers again.
    void catalogueBack();
    bool directoryCheckMayGoOn();

    QuestionRelay m_relay;
    std::unique_ptr<MainState> m_state;
    StatusLine m_status;
    // The start-up's steps, until the station is ready.
    StatusLine::Busy m_loading;
    std::unique_ptr<StationSettings> m_settingsService;
    TraceSink m_trace;
    std::unique_ptr<MonitoredDirectory> m_files;
    std::unique_ptr<DirectoryCheck> m_check;
    std::unique_ptr<CatalogueService> m_catalogue;
    std::unique_ptr<MachinesService> m_machines;
    std::unique_ptr<ReceptionClock> m_receptionClock;
    std::unique_ptr<ReceptionJournal> m_journal;
    CommStation *m_comm = nullptr;
    Connections *m_connections = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_comTimer = nullptr;
    int m_pauses = 0;
    bool m_loaded = false;
    // The server catalogue's reconnecting; its schema checked once per run.
    CatalogueConnection *m_catalogueLink = nullptr;
    bool m_catalogueChecked = false;
};

} // namespace zep
