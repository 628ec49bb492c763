#pragma once

#include "app/session/LoadSequence.h"
#include "app/ui/StatusLamp.h"
#include "comm/ui/Form10.h"
#include "machines/ui/frmWartung.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QTimer;
class QToolButton;

namespace zep {

class CommStation;
struct RecordRow;
class Form8;
class ReceptionClock;
class MainListController;
class RecordListModel;
class RecordListView;
struct MainState;

// The main window: menus, toolbar, record list, status line, clock and
// lamps. It owns the run's state and hands every decision to the core.
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit Form1(MainState &state);
    ~Form1() override;

    // The load sequence; the window is not shown yet. EndProgram means the
    // user has been told why the program cannot go on.
    LoadSequence::Outcome load();
    bool loadFinished() const { return m_load && m_load->finished(); }

    // Modal dialogs run through this, so a test can drive them without an
    // event loop of their own.
    void setModalRunner(std::function<int(QDialog &)> runner) { m_runModal = std::move(runner); }
    // The login step of CheckAccess (the real one shows frmLogin).
    void setLoginRunner(std::function<bool(const QString &stored)> runner) { m_login = std::move(runner); }
    // Where the automatic first start puts its directories.
    void setDriveRoot(const QString &root) { m_driveRoot = root; }

    void setStatus(const QString &text);
    QString statusText() const;
    void appendTrace(const QString &line);
    void toggleTraceWindow();
    Form8 *traceWindow() const;
    // Ends the program as a No in the shut-down question would, unasked.
    void endWithoutAsking();

    StatusLamp *lamp(int index) const { return m_lamps[index]; }
    RecordListView *grid() const { return m_grid; }
    MainListController *mainList() const { return m_list; }
    QLineEdit *searchField() const { return m_search; }
    QComboBox *machineFilter() const { return m_machineFilter; }
    QLabel *clockLabel() const { return m_clock; }
    QProgressBar *progressBar() const { return m_progress; }
    QTimer *timer1() const { return m_timer1; }
    QTimer *comTimer() const { return m_comTimer; }
    CommStation *comm() const { return m_comm; }
    frmWartung *dueWindow() const { return m_dueWindow; }
    // Lists the due maintenance tasks; returns how many are due.
    int CheckWartungen();
    void openWizard();
    void openSendDialog(const RecordRow &row, const QString &path);
    // The save dialog for a program a machine sent.
    void openSaveDialog(int maschinenNummer, const QByteArray &text);
    QList<QPointer<Form10>> saveDialogs() const { return m_saveDialogs; }
    // 0-100 shows the bar, -1 hides it.
    void showProgress(int percent);
    // Where a finished reception goes; the received-text window by default.
    void setHandOver(std::function<void(int maschinenNummer, const QByteArray &text)> handOver);
    QAction *action(const QString &objectName) const;
    QToolButton *command(int number) const;

    static const QStringList &columnHeadings();
    static const QList<int> &defaultColumnPercents();

Q_SIGNALS:
    // The user answered No in the shut-down question: the program ends.
    void shutDown();

public Q_SLOTS:
    void timer1Tick();
    void openSettings();
    void openHelp();
    void showLampInfo(int index);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void saveLayout();
    void finish();
    void buildMenus();
    void buildToolbar();
    void buildCentralArea();
    void buildStatusArea();
    void buildShortcuts();
    void buildMainList();
    void buildComm();
    void openComPrefs();
    void appendTraceRaw(const QString &text);
    void applyDefaultColumnWidths();
    void writeHeadings();
    void notYetAvailable();
    int runModal(QDialog &dialog);
    bool checkAccess();
    QAction *addMenuAction(QMenu *menu, const QString &name, const QString &caption,
                           const std::function<void()> &handler);
    void withTimerStopped(const std::function<void()> &work);

    MainState &m_state;
    std::unique_ptr<LoadSequence> m_load;
    std::function<int(QDialog &)> m_runModal;
    std::function<bool(const QString &)> m_login;
    QString m_driveRoot;

    RecordListModel *m_records = nullptr;
    RecordListView *m_grid = nullptr;
    MainListController *m_list = nullptr;
    QLineEdit *m_search = nullptr;
    QComboBox *m_machineFilter = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_clock = nullptr;
    QLabel *m_backupNotice = nullptr;
    QProgressBar *m_progress = nullptr;
    std::array<StatusLamp *, 5> m_lamps{};
    std::array<QToolButton *, 8> m_commands{};
    QMenu *m_popup = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_comTimer = nullptr;
    std::unique_ptr<ReceptionClock> m_receptionClock;
    CommStation *m_comm = nullptr;
    QPointer<Form8> m_trace;
    QPointer<frmWartung> m_dueWindow;
    QList<QPointer<Form10>> m_saveDialogs;
    bool m_ended = false;
};

} // namespace zep
