#include "station/ui/MainWindow.h"

#include "app/Prompts.h"
#include "app/widgets/WindowPlacement.h"
#include "app/ui/AboutBox.h"
#include "app/ui/TraceWindow.h"
#include "catalogue/RecordListModel.h"
#include "catalogue/ui/RecordListView.h"
#include "comm/ui/SaveReceivedDialog.h"
#include "station/FirstStartSetup.h"
#include "station/ShellActions.h"
#include "station/ShutdownQuestion.h"
#include "station/StationBackup.h"
#include "station/ui/MainListController.h"
#include "station/ui/StatusLamp.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>

namespace zep {

namespace {
constexpr int kDesignedWidth = 900;
constexpr int kDesignedHeight = 560;
} // namespace

const QStringList &MainWindow::columnHeadings()
{
    return RecordListModel::headings();
}

const QList<int> &MainWindow::defaultColumnPercents()
{
    static const QList<int> percents{15, 26, 15, 15, 15, 10, 0, 15, 0};
    return percents;
}

MainWindow::MainWindow(Station &station) : m_station(station), m_dialogs(station, *this)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("ZEP"));
    resize(kDesignedWidth, kDesignedHeight);

    m_commands = new MainCommands(*this);
    connect(m_commands, &MainCommands::triggered, this, &MainWindow::menuCommand);
    buildCentralArea();
    m_statusArea = new MainStatusArea(*statusBar());
    connect(m_statusArea, &MainStatusArea::lampClicked, this,
            [this](int i) { m_station.connections().showLampInfo(i); });
    buildShortcuts();
    buildMainList();
    connectStation();
}

MainWindow::~MainWindow()
{
    if (m_trace)
        delete m_trace;
}

void MainWindow::buildCentralArea()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    auto *frame = new QGroupBox(QStringLiteral("Suchen"), central);
    auto *frameLayout = new QHBoxLayout(frame);
    m_search = new QLineEdit(frame);
    m_search->setObjectName(QStringLiteral("Text1"));
    m_search->setToolTip(QStringLiteral("Suchbegriff eingeben und mit <Enter> bestätigen"));
    m_machineFilter = new QComboBox(frame);
    m_machineFilter->setObjectName(QStringLiteral("Combo1"));
    m_machineFilter->setToolTip(QStringLiteral("Suche beschränkt sich auf diese Maschine"));
    m_machineFilter->setMinimumWidth(200);
    frameLayout->addWidget(new QLabel(QStringLiteral("Suchbegriff:"), frame));
    frameLayout->addWidget(m_search, 1);
    frameLayout->addWidget(new QLabel(QStringLiteral("Aktuelle Maschine:"), frame));
    frameLayout->addWidget(m_machineFilter);
    layout->addWidget(frame);

    m_records = new RecordListModel(this);
    m_grid = new RecordListView(m_records, central);
    m_grid->setObjectName(QStringLiteral("Grid1"));
    connect(m_grid, &RecordListView::contextMenuWanted, this,
            [this](const QPoint &pos) { m_commands->popup()->popup(pos); });
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] {
        if (command(3)->isEnabled())
            command(3)->click();
    });
    layout->addWidget(m_grid, 1);
    // The hits of the last search: the list reads them page by page, so
    // its scroll bar alone does not tell how many there are.
    auto *hits = new QLabel(central);
    hits->setObjectName(QStringLiteral("Treffer"));
    hits->setAlignment(Qt::AlignRight);
    connect(m_records, &RecordListModel::hitsChanged, hits, [hits](qint64 count) {
        hits->setText(RecordListModel::hitsText(count));
    });
    layout->addWidget(hits);
    setCentralWidget(central);
}

void MainWindow::buildShortcuts()
{
    // Window-wide shortcuts: the window sees these keys before its controls.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::showMinimized);
    auto *trace = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this);
    connect(trace, &QShortcut::activated, this, &MainWindow::toggleTraceWindow);
    auto *rebuild = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), this);
    connect(rebuild, &QShortcut::activated, &m_station, &Station::rescan);
}

void MainWindow::buildMainList()
{
    m_list = new MainListController(m_station, {m_search, m_machineFilter, m_grid, m_commands->recordCommands()}, this);
    m_dialogs.setMainList(m_list);
    connect(m_list, &MainListController::recordEditWanted, this, [this](long i) { m_dialogs.openRecordEditor(i); });
    connect(m_list, &MainListController::editWanted, this, [this](const QString &path) { m_dialogs.openEditor(path); });
    connect(m_list, &MainListController::sendWanted, this,
            [this](const RecordRow &row, const QString &path) { m_dialogs.openSendDialog(row, path); });
    connect(command(1), &QToolButton::clicked, m_list, &MainListController::deleteRecord);
    connect(command(2), &QToolButton::clicked, m_list, &MainListController::importFile);
    connect(command(3), &QToolButton::clicked, m_list, &MainListController::editRecord);
    connect(command(4), &QToolButton::clicked, m_list, &MainListController::editProgram);
    connect(command(6), &QToolButton::clicked, m_list, &MainListController::exportFile);
    connect(command(7), &QToolButton::clicked, m_list, &MainListController::sendProgram);
}

void MainWindow::connectStation()
{
    connect(&m_station, &Station::statusChanged, m_statusArea, &MainStatusArea::setStatus);
    connect(&m_station, &Station::clockChanged, m_statusArea, &MainStatusArea::setClock);
    connect(&m_station, &Station::lampChanged, m_statusArea, &MainStatusArea::showLamp);
    connect(&m_station, &Station::transferProgress, m_statusArea, &MainStatusArea::showProgress);
    connect(&m_station, &Station::traceLine, this, &MainWindow::appendTrace);
    connect(&m_station, &Station::traceRaw, this, [this](const QString &text) {
        if (m_trace)
            m_trace->appendRaw(text);
    });
    connect(&m_station, &Station::programReceived, this,
            [this](const ReceivedProgram &program) { m_dialogs.openSaveDialog(program); });
    connect(&m_station, &Station::attentionWanted, this, &MainWindow::bringToFront);
    connect(&m_station, &Station::machineListChanged, m_list, &MainListController::ShowMaschinen);
    connect(&m_station, &Station::maintenanceDue, this, [this](const QList<DueTask> &due) { m_dialogs.showDue(due); });
    for (int i = 0; i < Connections::kConnections; ++i)
        m_statusArea->showLamp(i, m_station.connections().lamp(i));
    connect(&m_dialogs.backup(), &StationBackup::runningChanged, this, [this](bool running) {
        m_commands->showBackupRunning(running);
        m_statusArea->showProgress(running ? 0 : -1);
    });
    connect(&m_dialogs.backup(), &StationBackup::progress, m_statusArea, &MainStatusArea::showProgress);
}

void MainWindow::menuCommand(const QString &name)
{
    if (name == QLatin1String("mmWartungen")) {
        Station *station = &m_station;
        const QPointer<MainWindow> self(this);
        m_station.checkMaintenance([self, station](int due) {
            if (self && due == 0)
                station->prompts().ask({QStringLiteral("Keine Wartungsfälligkeiten für heute gefunden!"),
                                        QStringLiteral("ZEP"), PromptIcon::Information});
        });
    } else if (name == QLatin1String("mmDebugger")) {
        m_dialogs.openSerialMonitor();
    } else if (name == QLatin1String("mmTasten")) {
        m_dialogs.openPresets();
    } else if (name == QLatin1String("mmInfo")) {
        AboutBox about(this);
        m_dialogs.runModal(about);
    } else if (name == QLatin1String("mmEnde")) {
        close();
    } else if (name == QLatin1String("mmMaschinen")) {
        m_dialogs.openMachineManager();
    } else if (name == QLatin1String("mmWizard")) {
        m_dialogs.openWizard();
    } else if (name == QLatin1String("mmEinst")) {
        m_dialogs.openSettings();
    } else if (name == QLatin1String("mmComPrefs")) {
        m_dialogs.openComPrefs();
    } else if (name == QLatin1String("mmBackup")) {
        m_dialogs.startBackup();
    } else if (name == QLatin1String("mmHilf")) {
        openHelp();
    }
}

void MainWindow::bringToFront()
{
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::applyDefaultColumnWidths()
{
    const int listWidth = qMax(200, width() - 24);
    for (int i = 0; i < defaultColumnPercents().size(); ++i) {
        const int percent = defaultColumnPercents()[i];
        m_grid->setColumnHidden(i, percent == 0);
        if (percent > 0)
            m_grid->setColumnWidth(i, listWidth * percent / 100);
    }
}

void MainWindow::load(Station::LoadDone done)
{
    RestoreGeometry(*this, m_station.settings());
    applyDefaultColumnWidths();
    RestoreColumns(*m_grid, objectName(), m_station.settings());
    // The headings come with the list's model; an empty list until the first
    // search.
    m_records->clear();
    if (auto *hits = findChild<QLabel *>(QStringLiteral("Treffer")))
        hits->clear();
    m_station.load(m_dialogs, m_driveRoot.isEmpty() ? FirstStartSetup::defaultDriveRoot() : m_driveRoot,
                   std::move(done));
}

void MainWindow::toggleTraceWindow()
{
    if (m_trace && m_trace->isVisible()) {
        m_trace->close();
        return;
    }
    if (!m_trace)
        m_trace = new TraceWindow(this, [this] { m_station.setTraceOn(false); });
    m_station.setTraceOn(true);
    m_trace->show();
}

void MainWindow::appendTrace(const QString &line)
{
    if (m_station.traceOn() && m_trace)
        m_trace->appendLine(line);
}

TraceWindow *MainWindow::traceWindow() const
{
    return m_trace;
}

void MainWindow::openHelp()
{
    openHelpPage(m_station.programDir(), m_station.prompts(),
                 [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Ending closes every window once more; the question was answered.
    if (m_ended) {
        event->accept();
        return;
    }
    // Saved before the question, so they are kept even when closing is then
    // cancelled.
    saveLayout();

    // The station runs on while the question is open; the window closes
    // once the answers say so: with this event when they came at once, by
    // closing again when they come later.
    const QPointer<MainWindow> self(this);
    const auto withinEvent = std::make_shared<bool>(true);
    askShutdown(m_station.prompts(), [self, withinEvent](ShutdownAction action) {
        if (!self || self->m_ended)
            return;
        switch (action) {
        case ShutdownAction::Cancel:
            return;
        case ShutdownAction::Minimise:
            self->showMinimized();
            return;
        case ShutdownAction::Close:
            break;
        }
        self->m_dialogs.mayEnd([self, withinEvent](bool may) {
            if (!self || !may || self->m_ended)
                return;
            self->finish();
            if (!*withinEvent)
                self->close();
        });
    });
    *withinEvent = false;
    if (m_ended)
        event->accept();
    else
        event->ignore();
}

void MainWindow::endWithoutAsking()
{
    saveLayout();
    finish();
    close();
}

void MainWindow::saveLayout()
{
    SaveGeometry(*this, m_station.settings());
    SaveColumns(*m_grid, objectName(), m_station.settings());
}

void MainWindow::finish()
{
    m_ended = true;
    // Before the station goes: an unsaved received program becomes a
    // recovery file, which needs the station still running.
    m_dialogs.closeAll();
    if (m_trace)
        m_trace->close();
    m_station.shutDown();
    Q_EMIT shutDown();
}

} // namespace zep
