#pragma once

#include "station/Station.h"
#include "station/ui/MainCommands.h"
#include "station/ui/MainDialogs.h"
#include "station/ui/MainStatusArea.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTimer;
class QToolButton;

namespace zep {

class TraceWindow;
class SaveReceivedDialog;
class MainListController;
class RecordListModel;
class RecordListView;
class StatusLamp;
class MaintenanceDueWindow;

// The main window: menus, toolbar, record list, status line, clock and
// lamps. It shows what the station tells and forwards the user's commands
// to it; it decides nothing about the data.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(Station &station);
    ~MainWindow() override;

    // The station's start-up; the window is not shown yet. `done` gets the
    // outcome, once any question of the start-up has been answered.
    void load(Station::LoadDone done);
    bool loadFinished() const { return m_station.loaded(); }

    void setModalRunner(std::function<int(QDialog &)> runner) { m_dialogs.setModalRunner(std::move(runner)); }
    void setLoginRunner(std::function<bool(const QString &)> runner) { m_dialogs.setLoginRunner(std::move(runner)); }
    // Where the automatic first start puts its directories.
    void setDriveRoot(const QString &root) { m_driveRoot = root; }

    void setStatus(const QString &text) { m_statusArea->setStatus(text); }
    QString statusText() const { return m_statusArea->statusText(); }
    void appendTrace(const QString &line);
    void toggleTraceWindow();
    TraceWindow *traceWindow() const;
    // Ends the program as a No in the shut-down question would, unasked.
    void endWithoutAsking();

    Station &station() { return m_station; }
    MainDialogs &dialogs() { return m_dialogs; }
    StatusLamp *lamp(int index) const { return m_statusArea->lamp(index); }
    RecordListView *grid() const { return m_grid; }
    MainListController *mainList() const { return m_list; }
    QLineEdit *searchField() const { return m_search; }
    QComboBox *machineFilter() const { return m_machineFilter; }
    QLabel *clockLabel() const { return m_statusArea->clockLabel(); }
    QProgressBar *progressBar() const { return m_statusArea->progressBar(); }
    MaintenanceDueWindow *dueWindow() const { return m_dialogs.dueWindow(); }
    QList<QPointer<SaveReceivedDialog>> saveDialogs() const { return m_dialogs.saveDialogs(); }
    QAction *action(const QString &objectName) const { return m_commands->action(objectName); }
    QToolButton *command(int number) const { return m_commands->command(number); }

    static const QStringList &columnHeadings();
    static const QList<int> &defaultColumnPercents();

Q_SIGNALS:
    // The user answered No in the shut-down question: the program ends.
    void shutDown();

public Q_SLOTS:
    void openHelp();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildCentralArea();
    void buildShortcuts();
    void buildMainList();
    void connectStation();
    void menuCommand(const QString &name);
    void bringToFront();
    void applyDefaultColumnWidths();
    void saveLayout();
    void finish();

    Station &m_station;
    MainDialogs m_dialogs;
    QString m_driveRoot;
    MainCommands *m_commands = nullptr;
    MainStatusArea *m_statusArea = nullptr;
    RecordListModel *m_records = nullptr;
    RecordListView *m_grid = nullptr;
    MainListController *m_list = nullptr;
    QLineEdit *m_search = nullptr;
    QComboBox *m_machineFilter = nullptr;
    QPointer<TraceWindow> m_trace;
    bool m_ended = false;
};

} // namespace zep
