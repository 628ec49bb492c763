#pragma once

#include "machines/MaintenanceSchedule.h"
#include "station/Station.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QDialog;
class QWidget;

namespace zep {

class CNCEditor;
class SaveReceivedDialog;
class MainListController;
class RecordEditors;
class StationBackup;
class MaintenanceDueWindow;
struct RecordRow;

// Opens the station's dialogs over the main window: the settings, the port
// settings, the machine windows, the send dialog, one save dialog per
// received program and the due window. Dialogs that may change settings,
// machines or ports pause the directory check while they are open.
class MainDialogs : public StationDialogs
{
public:
    MainDialogs(Station &station, QWidget &owner);
    ~MainDialogs();

    // Modal dialogs run through this, so a test can drive them without an
    // event loop of their own.
    void setModalRunner(std::function<int(QDialog &)> runner) { m_runModal = std::move(runner); }
    // The login step of CheckAccess (the real one shows LoginDialog).
    void setLoginRunner(std::function<bool(const QString &stored)> runner) { m_login = std::move(runner); }
    void setMainList(MainListController *list);

    void openSettingsDialog() override;
    void openWizard() override;

    void openSettings();
    void openComPrefs();
    void openMachineManager();
    void openSendDialog(const RecordRow &row, const QString &path);
    void openSaveDialog(const ReceivedProgram &program);
    void showDue(const QList<DueTask> &due);
    // The CNC-Editor on a program file; several may be open at once.
    void openEditor(const QString &path);
    // The RS232-Debugger; the machine connections are opened again after it.
    void openSerialMonitor();
    // Ending the program: an edited program text and a running backup ask
    // first; `answered` gets true when the program may end.
    void mayEnd(std::function<void(bool)> answered);
    // Ends a running backup after its archive, closes every dialog.
    void closeAll();
    int runModal(QDialog &dialog);

    // The record editors: one per record, new records a few at a time.
    void openRecordEditor(long dateiIndex);
    void openNewRecordEditor(long dateiIndex);
    RecordEditors *recordEditors();
    void closeRecordEditors();
    void openPresets();

    QList<QPointer<SaveReceivedDialog>> saveDialogs() const { return m_saveDialogs; }
    QList<QPointer<CNCEditor>> editors() const { return m_editors; }
    // Closing keeps each unsaved program as a recovery file.
    void closeSaveDialogs();
    // Closes the editors; an editor with changes asks first. False when one
    // of them stays open.
    bool closeEditors();
    MaintenanceDueWindow *dueWindow() const;

    // "Backup erstellen": the command is disabled, the notice and the
    // progress bar shown while it runs.
    void startBackup();
    StationBackup &backup() { return *m_backup; }
    // Closing while a backup runs asks first; `answered` gets true when the
    // program may end.
    void backupMayEnd(std::function<void(bool)> answered);
    // Ending: a running backup stops after its current archive.
    void endBackup();

private:
    bool checkAccess();
    void paused(const std::function<void()> &work);

    Station &m_station;
    QWidget &m_owner;
    MainListController *m_list = nullptr;
    std::function<int(QDialog &)> m_runModal;
    std::function<bool(const QString &)> m_login;
    QList<QPointer<SaveReceivedDialog>> m_saveDialogs;
    QPointer<MaintenanceDueWindow> m_dueWindow;
    RecordEditors *m_recordEditors = nullptr;
    QList<QPointer<CNCEditor>> m_editors;
    std::unique_ptr<StationBackup> m_backup;
};

} // namespace zep
