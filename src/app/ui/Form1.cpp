#include "app/ui/Form1.h"

#include "app/Clock.h"
#include "app/Prompts.h"
#include "app/SettingsStore.h"
#include "app/session/AccessCheck.h"
#include "app/session/MainState.h"
#include "app/session/ShellActions.h"
#include "app/session/ShutdownQuestion.h"
#include "app/ui/AboutBox.h"
#include "app/ui/Form2.h"
#include "app/ui/Form8.h"
#include "app/ui/MainListController.h"
#include "app/widgets/WindowPlacement.h"
#include "app/ui/frmLogin.h"
#include "comm/ui/SendDialog.h"
#include "machines/ui/Form6.h"
#include "machines/ui/frmWartung.h"
#include "machines/ui/frmWizard.h"
#include "catalogue/RecordListModel.h"
#include "catalogue/ui/RecordListView.h"
#include "comm/CommStation.h"
#include "comm/SteadyReceptionClock.h"
#include "comm/ui/Form10.h"
#include "comm/ui/frmProperties.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace zep {

namespace {
constexpr int kDesignedWidth = 900;
constexpr int kDesignedHeight = 560;
} // namespace

const QStringList &Form1::columnHeadings()
{
    return RecordListModel::headings();
}

const QList<int> &Form1::defaultColumnPercents()
{
    static const QList<int> percents{15, 26, 15, 15, 15, 10, 0, 15, 0};
    return percents;
}

Form1::Form1(MainState &state) : m_state(state)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("ZEP"));
    resize(kDesignedWidth, kDesignedHeight);
    m_runModal = [](QDialog &dialog) { return dialog.exec(); };
    m_login = [this](const QString &stored) { return askLoginModal(this, m_state.prompts, stored); };

    buildMenus();
    buildToolbar();
    buildCentralArea();
    buildStatusArea();
    buildShortcuts();
    buildMainList();

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    connect(m_timer1, &QTimer::timeout, this, &Form1::timer1Tick);
    m_comTimer = new QTimer(this);
    m_comTimer->setObjectName(QStringLiteral("ComTimer"));
    m_comTimer->setInterval(1000);
    buildComm();
}

Form1::~Form1()
{
    if (m_trace)
        delete m_trace;
}

QAction *Form1::addMenuAction(QMenu *menu, const QString &name, const QString &caption,
                              const std::function<void()> &handler)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [handler] { handler(); });
    return action;
}

QAction *Form1::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

QToolButton *Form1::command(int number) const
{
    return number >= 1 && number <= 7 ? m_commands[number] : nullptr;
}

void Form1::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto press = [this](int number) { return [this, number] { if (m_commands[number]->isEnabled()) m_commands[number]->click(); }; };

    QMenu *programm = bar->addMenu(QStringLiteral("&Programm"));
    addMenuAction(programm, QStringLiteral("mmWartungen"), QStringLiteral("Wartungen prüfen"), [this] {
        if (CheckWartungen() == 0)
            m_state.prompts.message(QStringLiteral("Keine Wartungsfälligkeiten für heute gefunden!"),
                                    QStringLiteral("ZEP"), PromptIcon::Information);
    });
    addMenuAction(programm, QStringLiteral("mmDebugger"), QStringLiteral("RS232 Debugger"), [this] {
        withTimerStopped([this] { notYetAvailable(); });
    });
    programm->addSeparator();
    addMenuAction(programm, QStringLiteral("mmInfo"), QStringLiteral("&Info"), [this] {
        AboutBox about(this);
        runModal(about);
    });
    programm->addSeparator();
    addMenuAction(programm, QStringLiteral("mmEnde"), QStringLiteral("E&nde"), [this] { close(); });

    QMenu *datensatz = bar->addMenu(QStringLiteral("&Datensatz"));
    addMenuAction(datensatz, QStringLiteral("mmMDatensatzBearbeiten"), QStringLiteral("Datensatz Bearbeiten"), press(3));
    addMenuAction(datensatz, QStringLiteral("mmMDatensatzLöschen"), QStringLiteral("Datensatz löschen"), press(1));
    datensatz->addSeparator();
    addMenuAction(datensatz, QStringLiteral("mmMProgSenden"), QStringLiteral("Programm senden"), press(7));
    addMenuAction(datensatz, QStringLiteral("mmMProgBearbeiten"), QStringLiteral("Programm bearbeiten"), press(4));
    datensatz->addSeparator();
    addMenuAction(datensatz, QStringLiteral("mmSpeichern"), QStringLiteral("Programmdatei speichern..."), press(6));
    addMenuAction(datensatz, QStringLiteral("mmImport"), QStringLiteral("Programmdatei importieren..."), press(2));

    QMenu *maschinen = bar->addMenu(QStringLiteral("Maschinenverwaltung"));
    addMenuAction(maschinen, QStringLiteral("mmMaschinen"), QStringLiteral("&Maschinenverwaltung..."), [this] {
        if (!checkAccess())
            return;
        withTimerStopped([this] {
            Form6 manager(m_state.database, m_state.prompts, m_state.clock,
                          [this](const QString &text) { setStatus(text); }, this);
            runModal(manager);
        });
        m_list->ShowMaschinen();
    });
    maschinen->addSeparator();
    addMenuAction(maschinen, QStringLiteral("mmWizard"), QStringLiteral("Maschinen-Assistent..."), [this] {
        openWizard();
        // The wizard may have bound a machine to a connection.
        m_comm->SetComm();
    });

    QMenu *einstellungen = bar->addMenu(QStringLiteral("Einstellungen"));
    addMenuAction(einstellungen, QStringLiteral("mmEinst"), QStringLiteral("Programm-&Einstellungen..."),
                  [this] { openSettings(); });
    addMenuAction(einstellungen, QStringLiteral("mmComPrefs"), QStringLiteral("&Kommunikations-Einstellungen..."),
                  [this] { openComPrefs(); });
    addMenuAction(einstellungen, QStringLiteral("mmTasten"), QStringLiteral("&Tastenvorgaben..."),
                  [this] { withTimerStopped([this] { notYetAvailable(); }); });

    QMenu *sicherheit = bar->addMenu(QStringLiteral("&Sicherheit"));
    addMenuAction(sicherheit, QStringLiteral("mmBackup"), QStringLiteral("Backup erstellen"), [this] { notYetAvailable(); });

    QMenu *hilfe = bar->addMenu(QStringLiteral("&Hilfe"));
    addMenuAction(hilfe, QStringLiteral("mmHilf"), QStringLiteral("Hilfe..."), [this] { openHelp(); });

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("mmpopup"));
    addMenuAction(m_popup, QStringLiteral("mmDatensatzBearbeiten"), QStringLiteral("Datensatz bearbeiten"), press(3));
    m_popup->addSeparator();
    addMenuAction(m_popup, QStringLiteral("mmDatensatzLöschen"), QStringLiteral("Datensatz und Datei löschen"), press(1));
    m_popup->addSeparator();
    addMenuAction(m_popup, QStringLiteral("mmDatensatzÜbertragen"), QStringLiteral("Datei an Maschine übertragen..."), press(7));
    m_popup->addSeparator();
    addMenuAction(m_popup, QStringLiteral("mmBearbeiten"), QStringLiteral("Datei bearbeiten"), press(4));
}

void Form1::buildToolbar()
{
    struct Button {
        int number;
        QStyle::StandardPixmap icon;
        const char *text;
        const char *tip;
    };
    static const Button buttons[] = {
        {3, QStyle::SP_FileDialogDetailedView, "Bearbeiten", "Ändert den angewählten Datensatz"},
        {1, QStyle::SP_TrashIcon, "Löschen", "Löscht den angewählten Datensatz incl. Programmdatei!"},
        {2, QStyle::SP_DialogOpenButton, "Importieren", "Programm-Datei importieren"},
        {6, QStyle::SP_DialogSaveButton, "Exportieren", "Programm-Datei exportieren"},
        {4, QStyle::SP_FileIcon, "Programm", "Datei bearbeiten"},
        {7, QStyle::SP_ArrowForward, "Senden", "Programm an Maschine senden"},
    };
    QToolBar *toolbar = addToolBar(QStringLiteral("Werkzeuge"));
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setMovable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const Button &b : buttons) {
        auto *button = new QToolButton(toolbar);
        button->setObjectName(QStringLiteral("Command%1").arg(b.number));
        button->setIcon(style()->standardIcon(b.icon));
        button->setText(QString::fromUtf8(b.text));
        button->setToolTip(QString::fromUtf8(b.tip));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        // The record commands wait for a selected record; only import works
        // on an empty list.
        button->setEnabled(b.number == 2);
        toolbar->addWidget(button);
        m_commands[b.number] = button;
    }
    m_backupNotice = new QLabel(QStringLiteral("Backup läuft (kann mehrere Minuten dauern)..."), toolbar);
    m_backupNotice->setObjectName(QStringLiteral("Command5"));
    m_backupNotice->setVisible(false);
    toolbar->addWidget(m_backupNotice);
}

void Form1::buildCentralArea()
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
    connect(m_grid, &RecordListView::contextMenuWanted, this, [this](const QPoint &pos) { m_popup->popup(pos); });
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] {
        if (m_commands[3]->isEnabled())
            m_commands[3]->click();
    });
    layout->addWidget(m_grid, 1);
    setCentralWidget(central);
}

void Form1::buildStatusArea()
{
    QStatusBar *bar = statusBar();
    m_status = new QLabel(QStringLiteral("Bereit"), bar);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    bar->addWidget(m_status, 1);
    m_progress = new QProgressBar(bar);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setMaximumWidth(160);
    m_progress->setTextVisible(false);
    m_progress->setValue(0);
    bar->addPermanentWidget(m_progress);
    m_progress->setVisible(false); // shown while a transfer runs
    for (int i = 0; i < 5; ++i) {
        auto *lamp = new StatusLamp(i, bar);
        connect(lamp, &StatusLamp::clicked, this, &Form1::showLampInfo);
        bar->addPermanentWidget(lamp);
        m_lamps[i] = lamp;
    }
    m_clock = new QLabel(QStringLiteral("HH:MM"), bar);
    m_clock->setObjectName(QStringLiteral("lblUhr"));
    m_clock->setMinimumWidth(48);
    m_clock->setAlignment(Qt::AlignCenter);
    bar->addPermanentWidget(m_clock);
}

void Form1::buildShortcuts()
{
    // Window-wide shortcuts: the window sees these keys before its controls.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::showMinimized);
    auto *trace = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this);
    connect(trace, &QShortcut::activated, this, &Form1::toggleTraceWindow);
    auto *rebuild = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), this);
    connect(rebuild, &QShortcut::activated, this, [this] { m_list->rebuildFileList(); });
}

void Form1::buildMainList()
{
    QList<QObject *> recordCommands{m_commands[1], m_commands[3], m_commands[7], m_commands[6], m_commands[4]};
    for (const char *name : {"mmSpeichern", "mmMDatensatzBearbeiten", "mmMDatensatzLöschen", "mmMProgSenden",
                             "mmMProgBearbeiten"})
        recordCommands.append(action(QString::fromUtf8(name)));
    MainListController::Hooks hooks;
    hooks.status = [this](const QString &text) { setStatus(text); };
    hooks.trace = [this](const QString &line) { appendTrace(line); };
    hooks.bringToFront = [this] {
        showNormal();
        raise();
        activateWindow();
    };
    hooks.notYetAvailable = [this] { notYetAvailable(); };
    hooks.withTimerStopped = [this](const std::function<void()> &work) { withTimerStopped(work); };
    hooks.sendProgram = [this](const RecordRow &row, const QString &path) { openSendDialog(row, path); };
    m_list = new MainListController(m_state, {m_search, m_machineFilter, m_grid, recordCommands}, std::move(hooks), this);

    connect(m_commands[1], &QToolButton::clicked, m_list, &MainListController::deleteRecord);
    connect(m_commands[2], &QToolButton::clicked, m_list, &MainListController::importFile);
    connect(m_commands[3], &QToolButton::clicked, m_list, &MainListController::editRecord);
    connect(m_commands[4], &QToolButton::clicked, m_list, &MainListController::editProgram);
    connect(m_commands[6], &QToolButton::clicked, m_list, &MainListController::exportFile);
    connect(m_commands[7], &QToolButton::clicked, m_list, &MainListController::sendProgram);
}

void Form1::buildComm()
{
    m_receptionClock = std::make_unique<SteadyReceptionClock>();
    m_comm = new CommStation(m_state.settings, m_state.prompts, m_state.logbook, m_state.clock, *m_receptionClock,
                             m_state.programDir, this);
    connect(m_comm, &CommStation::lampChanged, this, [this](int i, const LampState &state) { m_lamps[i]->show(state); });
    for (int i = 0; i < CommStation::kConnections; ++i)
        m_lamps[i]->show(m_comm->lamp(i));
    connect(m_comm, &CommStation::statusChanged, this, [this](const QString &text) { setStatus(text); });
    m_comm->trace.isOn = [this] { return m_state.traceFlag && m_trace; };
    m_comm->trace.appendLine = [this](const QString &line) { appendTrace(line); };
    m_comm->trace.appendRaw = [this](const QString &text) { appendTraceRaw(text); };
    setHandOver([this](int maschinenNummer, const QByteArray &text) { openSaveDialog(maschinenNummer, text); });
    connect(m_comTimer, &QTimer::timeout, m_comm, &CommStation::comTimerTick);
}

void Form1::setHandOver(std::function<void(int, const QByteArray &)> handOver)
{
    // One receiver of finished programs at a time: a new one replaces the old.
    disconnect(m_comm, &CommStation::programReceived, this, nullptr);
    connect(m_comm, &CommStation::programReceived, this,
            [handOver = std::move(handOver)](int connection, const QByteArray &text) { handOver(connection + 1, text); });
}

void Form1::openComPrefs()
{
    if (!checkAccess())
        return;
    withTimerStopped([this] {
        frmProperties dialog(
            m_state.settings, m_state.prompts, m_state.database.isOpen() ? &m_state.database : nullptr,
            [this] { m_comm->SetComm(); }, [this](const QString &text) { setStatus(text); }, this);
        runModal(dialog);
    });
}

void Form1::applyDefaultColumnWidths()
{
    const int listWidth = qMax(200, width() - 24);
    for (int i = 0; i < defaultColumnPercents().size(); ++i) {
        const int percent = defaultColumnPercents()[i];
        m_grid->setColumnHidden(i, percent == 0);
        if (percent > 0)
            m_grid->setColumnWidth(i, listWidth * percent / 100);
    }
}

void Form1::writeHeadings()
{
    // The headings come with the list's model; an empty list until the
    // first search.
    m_records->clear();
}

LoadSequence::Outcome Form1::load()
{
    LoadSequence::Hooks hooks;
    hooks.status = [this](const QString &text) { setStatus(text); };
    hooks.openSettingsDialog = [this] {
        Form2 dialog(this, m_state);
        runModal(dialog);
    };
    hooks.openWizard = [this] { openWizard(); };
    hooks.restoreGeometry = [this] { RestoreGeometry(*this, m_state.settings); };
    hooks.restoreColumns = [this] {
        applyDefaultColumnWidths();
        RestoreColumns(*m_grid, objectName(), m_state.settings);
    };
    hooks.armTimer = [this](int seconds) {
        m_timer1->setInterval(seconds * 1000);
        m_timer1->start();
        m_comTimer->start();
    };
    hooks.writeHeadings = [this] { writeHeadings(); };
    hooks.setComm = [this] { m_comm->SetComm(); };
    hooks.getFileListe = [this] { m_list->files().GetFileListe(); };
    hooks.loadFileListe = [this] { m_list->files().LoadFileListe(); };
    hooks.showMaschinen = [this] { m_list->ShowMaschinen(); };
    hooks.checkWartungen = [this] { CheckWartungen(); };
    m_load = std::make_unique<LoadSequence>(m_state, std::move(hooks),
                                            m_driveRoot.isEmpty() ? FirstStartSetup::defaultDriveRoot()
                                                                  : m_driveRoot);
    const LoadSequence::Outcome outcome = m_load->run();
    if (outcome == LoadSequence::Outcome::Ready)
        m_clock->setText(m_state.clock.now().toString(QStringLiteral("HH:mm")));
    else {
        m_timer1->stop();
        m_comTimer->stop();
    }
    return outcome;
}

void Form1::openSaveDialog(int maschinenNummer, const QByteArray &text)
{
    Form10Context context{m_state.settings,
                          m_state.prompts,
                          m_state.logbook,
                          m_state.clock,
                          m_state.programDir,
                          [this] { return m_state.verzeichnis; },
                          [this]() -> std::optional<QStringList> {
                              const RecordRow *row = m_list->selectedRow();
                              if (!row)
                                  return std::nullopt;
                              return QStringList(row->cells.begin(), row->cells.end());
                          },
                          [this] { return QApplication::activeWindow() == this; },
                          [this](const QString &storedName, long machine) {
                              m_state.pendingMachines.insert(storedName, machine);
                          },
                          m_comm->trace};
    // Deletes itself when closed; one dialog per reception, several at once.
    auto *dialog = new Form10(std::move(context), maschinenNummer, text, this);
    m_saveDialogs.removeIf([](const QPointer<Form10> &d) { return d.isNull(); });
    m_saveDialogs.append(dialog);
    dialog->show();
}

void Form1::openSendDialog(const RecordRow &row, const QString &path)
{
    SendRequest request;
    request.dateiname = row[RecordRow::Datei];
    request.path = path;
    request.bezeichnung = row[RecordRow::Bezeichnung];
    request.dateiIndex = row.dateiIndex();
    request.maschinenIndex = row.machineNumber();
    SendDialog dialog({m_state.settings, m_state.prompts, m_state.logbook, &m_state.database, *m_comm,
                       *m_receptionClock, m_comm->trace, [this](const QString &text) { setStatus(text); },
                       [this](int percent) { showProgress(percent); }},
                      request, this);
    runModal(dialog);
}

void Form1::showProgress(int percent)
{
    m_progress->setVisible(percent >= 0);
    if (percent >= 0) {
        m_progress->setRange(0, 100);
        m_progress->setValue(percent);
    }
}

void Form1::openWizard()
{
    frmWizard wizard(m_state.database, m_state.settings, m_state.prompts, m_state.clock, this);
    runModal(wizard);
    // A new machine belongs in the machine filter at once.
    if (wizard.result().outcome != MachineCreation::Outcome::NotCreated)
        m_list->ShowMaschinen();
}

int Form1::CheckWartungen()
{
    if (!m_state.database.isOpen())
        return 0;
    return frmWartung::CheckWartungen({m_state.database, m_state.prompts, m_state.clock, m_state.logbook},
                                      m_dueWindow, this);
}

void Form1::timer1Tick()
{
    m_clock->setText(m_state.clock.now().toString(QStringLiteral("HH:mm")));
    if (!loadFinished())
        return;
    m_list->directoryCheck().tick();
}

void Form1::setStatus(const QString &text)
{
    m_status->setText(text);
    m_status->repaint();
}

QString Form1::statusText() const
{
    return m_status->text();
}

void Form1::toggleTraceWindow()
{
    if (m_trace && m_trace->isVisible()) {
        m_trace->close();
        return;
    }
    if (!m_trace)
        m_trace = new Form8(this, [this] { m_state.traceFlag = false; });
    m_state.traceFlag = true;
    m_trace->show();
}

void Form1::appendTrace(const QString &line)
{
    if (m_state.traceFlag && m_trace)
        m_trace->appendLine(line);
}

void Form1::appendTraceRaw(const QString &text)
{
    if (m_state.traceFlag && m_trace)
        m_trace->appendRaw(text);
}

int Form1::runModal(QDialog &dialog)
{
    return m_runModal(dialog);
}

bool Form1::checkAccess()
{
    return CheckAccess(m_state.settings, m_login);
}

void Form1::withTimerStopped(const std::function<void()> &work)
{
    m_timer1->stop();
    work();
    m_timer1->start();
}

void Form1::notYetAvailable()
{
    m_state.prompts.message(QStringLiteral("Diese Funktion steht in dieser Version noch nicht zur Verfügung."),
                            QStringLiteral("ZEP"), PromptIcon::Information);
}

void Form1::openSettings()
{
    if (!checkAccess())
        return;
    setStatus(QStringLiteral("Einstellungen"));
    m_timer1->stop();
    {
        Form2 dialog(this, m_state);
        runModal(dialog);
    }
    m_list->files().LoadFileListe();
    m_timer1->start();
    setStatus(QStringLiteral("Bereit"));
}

void Form1::openHelp()
{
    openHelpPage(m_state.programDir, m_state.prompts,
                 [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
}

void Form1::showLampInfo(int index)
{
    m_comm->showLampInfo(index);
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Ending closes every window once more; the question was answered.
    if (m_ended) {
        event->accept();
        return;
    }
    // Saved before the question, so they are kept even when closing is then
    // cancelled.
    saveLayout();

    switch (askShutdown(m_state.prompts)) {
    case ShutdownAction::Cancel:
        event->ignore();
        return;
    case ShutdownAction::Minimise:
        event->ignore();
        showMinimized();
        return;
    case ShutdownAction::Close:
        break;
    }
    finish();
    event->accept();
}

void Form1::endWithoutAsking()
{
    saveLayout();
    finish();
    close();
}

void Form1::saveLayout()
{
    SaveGeometry(*this, m_state.settings);
    SaveColumns(*m_grid, objectName(), m_state.settings);
}

void Form1::finish()
{
    m_ended = true;
    m_timer1->stop();
    m_comTimer->stop();
    // Closing keeps an unsaved program as a recovery file, which needs the
    // main window's state still alive.
    for (const QPointer<Form10> &dialog : std::as_const(m_saveDialogs))
        if (dialog)
            dialog->close();
    m_saveDialogs.clear();
    if (m_trace)
        m_trace->close();
    m_state.database.close();
    Q_EMIT shutDown();
}

Form8 *Form1::traceWindow() const
{
    return m_trace;
}

} // namespace zep
