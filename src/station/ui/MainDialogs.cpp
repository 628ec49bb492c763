#include "station/ui/MainDialogs.h"

#include "app/Prompts.h"
#include "app/ui/LoginDialog.h"
#include "catalogue/ui/PresetsDialog.h"
#include "catalogue/ui/RecordEditors.h"
#include "catalogue/RecordRow.h"
#include "comm/ui/SaveReceivedDialog.h"
#include "comm/ui/SendDialog.h"
#include "comm/ui/PortSettingsDialog.h"
#include "editor/ui/CNCEditor.h"
#include "editor/ui/SerialMonitor.h"
#include "machines/MachinesService.h"
#include "machines/MachineCreation.h"
#include "machines/ui/MachineManager.h"
#include "machines/ui/MaintenanceDueWindow.h"
#include "machines/ui/MachineWizard.h"
#include "station/AccessCheck.h"
#include "station/MainState.h"
#include "station/StationBackup.h"
#include "station/ui/SettingsDialog.h"
#include "station/ui/MainListController.h"

#include <QAction>
#include <QApplication>
#include <QDialog>

namespace zep {

MainDialogs::MainDialogs(Station &station, QWidget &owner) : m_station(station), m_owner(owner)
{
    m_runModal = [](QDialog &dialog) { return dialog.exec(); };
    m_login = [this](const QString &stored) { return askLoginModal(&m_owner, m_station.prompts(), stored); };
    // Every record the directory check makes gets its editor, in turn.
    QObject::connect(&station, &Station::recordCreated, &owner, [this](long index) { openNewRecordEditor(index); });
    m_backup = std::make_unique<StationBackup>(station);
}

MainDialogs::~MainDialogs() = default;

int MainDialogs::runModal(QDialog &dialog)
{
    return m_runModal(dialog);
}

bool MainDialogs::checkAccess()
{
    return CheckAccess(m_station.settings(), m_login);
}

void MainDialogs::paused(const std::function<void()> &work)
{
    const MonitoringPause pause = m_station.pauseMonitoring();
    work();
}

void MainDialogs::openSettingsDialog()
{
    SettingsDialog dialog(&m_owner, m_station.stationSettings(), m_station.prompts());
    runModal(dialog);
}

void MainDialogs::openWizard()
{
    MachineWizard wizard(m_station.machines(), m_station.settings(), m_station.prompts(), m_station.clock(), &m_owner);
    runModal(wizard);
    m_station.machineWizardEnded(wizard.result().outcome != MachineCreation::Outcome::NotCreated);
}

void MainDialogs::openSettings()
{
    if (!checkAccess())
        return;
    const StatusLine::Busy busy = m_station.status().busy(QStringLiteral("Einstellungen"));
    paused([this] {
        openSettingsDialog();
        m_station.settingsChanged();
    });
}

void MainDialogs::openComPrefs()
{
    if (!checkAccess())
        return;
    paused([this] {
        PortSettingsDialog dialog(
            m_station.settings(), m_station.prompts(), &m_station.machines().lines(), [this] { m_station.reopenConnections(); },
            &m_station.status(), &m_owner);
        runModal(dialog);
    });
}

void MainDialogs::openMachineManager()
{
    if (!checkAccess())
        return;
    paused([this] {
        MachineManager manager(m_station.machines(), m_station.prompts(), m_station.clock(), m_station.status(),
                               &m_owner);
        runModal(manager);
    });
    m_station.machinesChanged();
}

void MainDialogs::openSendDialog(const RecordRow &row, const QString &path)
{
    SendRequest request;
    request.dateiname = row[RecordRow::Datei];
    request.path = path;
    request.bezeichnung = row[RecordRow::Bezeichnung];
    request.dateiIndex = row.dateiIndex();
    request.maschinenIndex = row.machineNumber();
    paused([&] {
        SendDialog dialog({m_station.settings(), m_station.prompts(), &m_station.machines().lines(),
                           m_station.connections(), m_station.status()},
                          request, &m_owner);
        runModal(dialog);
    });
}

void MainDialogs::openSaveDialog(const ReceivedProgram &program)
{
    SaveReceivedDialogView view{m_station.settings(),
                    [this]() -> std::optional<QStringList> {
                        const std::optional<RecordRow> row = m_list ? m_list->selectedRow() : std::nullopt;
                        if (!row)
                            return std::nullopt;
                        return QStringList(row->cells.begin(), row->cells.end());
                    },
                    [this] { return QApplication::activeWindow() == &m_owner; }};
    // Deletes itself when closed; one dialog per reception, several at once.
    auto *dialog = new SaveReceivedDialog(std::move(view), m_station.intakeFor(program), &m_owner);
    m_saveDialogs.removeIf([](const QPointer<SaveReceivedDialog> &d) { return d.isNull(); });
    m_saveDialogs.append(dialog);
    dialog->show();
}

void MainDialogs::closeSaveDialogs()
{
    for (const QPointer<SaveReceivedDialog> &dialog : std::as_const(m_saveDialogs))
        if (dialog)
            dialog->close();
    m_saveDialogs.clear();
}

bool MainDialogs::closeEditors()
{
    for (const QPointer<CNCEditor> &editor : std::as_const(m_editors))
        if (editor && editor->isVisible() && !editor->close())
            return false;
    return true;
}

void MainDialogs::showDue(const QList<DueTask> &due)
{
    MaintenanceDueWindow::present({m_station.machines(), m_station.prompts(), m_station.clock(), m_station.logbook()}, due,
                        m_dueWindow, &m_owner);
}

MaintenanceDueWindow *MainDialogs::dueWindow() const
{
    return m_dueWindow;
}

RecordEditors *MainDialogs::recordEditors()
{
    if (!m_recordEditors) {
        m_recordEditors = new RecordEditors({m_station.catalogue(), m_station.prompts(), m_station.settings(),
                                             [this](QDialog &dialog) { return runModal(dialog); }},
                                            &m_owner);
        QObject::connect(m_recordEditors, &RecordEditors::recordWritten, m_recordEditors, [this](const RecordRow &row) {
            if (m_list)
                m_list->refreshRecord(row);
        });
        QObject::connect(&m_station, &Station::machineListChanged, m_recordEditors, &RecordEditors::refreshMachines);
        QObject::connect(m_recordEditors, &RecordEditors::statusChanged, &m_station, &Station::showStatus);
        QObject::connect(m_recordEditors, &RecordEditors::renamed, m_recordEditors,
                         [this](long index, const QString &name) {
                             if (m_list)
                                 m_list->showRenamed(index, name);
                         });
    }
    return m_recordEditors;
}

void MainDialogs::setMainList(MainListController *list)
{
    m_list = list;
    if (m_list)
        m_list->setRecordOpenCheck([this](long dateiIndex) {
            return m_recordEditors && m_recordEditors->editor(dateiIndex) != nullptr;
        });
}

void MainDialogs::openRecordEditor(long dateiIndex)
{
    recordEditors()->open(dateiIndex);
}

void MainDialogs::openNewRecordEditor(long dateiIndex)
{
    recordEditors()->openNew(dateiIndex);
}

void MainDialogs::closeRecordEditors()
{
    if (m_recordEditors)
        m_recordEditors->closeAll();
}

void MainDialogs::openPresets()
{
    const StatusLine::Busy busy = m_station.status().busy(QStringLiteral("F-Tastenbelegung"));
    PresetsDialog dialog(m_station.settings(), &m_owner);
    runModal(dialog);
}

void MainDialogs::openEditor(const QString &path)
{
    // Deletes itself when closed.
    auto *editor = new CNCEditor(m_station.settings(), m_station.prompts(), path, &m_owner);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowFlag(Qt::Window);
    editor->load();
    // A rename from a record editor moves the file under the open text: the
    // editor goes with it, so its save writes the renamed file.
    QObject::connect(&m_station, &Station::programRenamed, editor, &CNCEditor::followRename);
    m_editors.removeIf([](const QPointer<CNCEditor> &e) { return e.isNull(); });
    m_editors.append(editor);
    editor->show();
}

void MainDialogs::openSerialMonitor()
{
    paused([this] {
        // A connection whose line the monitor took opens again when the
        // monitor has closed.
        Connections::LineLoan loan = m_station.connections().lendLines();
        SerialMonitor monitor(
            m_station.settings(), m_station.prompts(),
            [&loan](int portNumber, const QString &device) { return loan.take(portNumber, device); }, &m_owner);
        runModal(monitor);
    });
}

void MainDialogs::mayEnd(std::function<void(bool)> answered)
{
    if (!closeEditors())
        return answered(false);
    backupMayEnd(std::move(answered));
}

void MainDialogs::closeAll()
{
    endBackup();
    closeSaveDialogs();
    closeRecordEditors();
}

void MainDialogs::startBackup()
{
    m_backup->start();
}

void MainDialogs::backupMayEnd(std::function<void(bool)> answered)
{
    m_backup->mayEnd(std::move(answered));
}

void MainDialogs::endBackup()
{
    m_backup->stopAndWait();
}

} // namespace zep
