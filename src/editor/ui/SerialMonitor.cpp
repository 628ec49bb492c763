#include "editor/ui/SerialMonitor.h"

#include "comm/LineChoices.h"
#include "editor/DebuggerSettings.h"
#include "editor/ui/HexView.h"
#include "editor/ui/HexViewWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace zep {

SerialMonitor::SerialMonitor(SettingsStore &settings, Prompts &prompts, SerialRecorder::PortLender lender,
                             QWidget *parent)
    : QDialog(parent), m_settings(settings), m_prompts(prompts),
      m_recorder(new SerialRecorder(settings, prompts, std::move(lender), this)), m_refresh(new QTimer(this))
{
    setObjectName(QStringLiteral("frmDebugger"));
    setWindowTitle(QStringLiteral("RS232-Debugger"));
    m_presetPath = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                       .filePath(QStringLiteral("CNC.txt"));
    m_startViewer = [](const QString &program, const QString &file) {
        return QProcess::startDetached(program, {file});
    };

    m_port = new QComboBox(this);
    m_port->setObjectName(QStringLiteral("cboPort"));
    m_port->setToolTip(QStringLiteral("COM-Port"));
    m_port->addItems(LineChoices::ports());
    m_handshake = new QComboBox(this);
    m_handshake->setObjectName(QStringLiteral("cboHandshake"));
    m_handshake->setToolTip(QStringLiteral("Handshakeprotokoll"));
    m_handshake->addItems(LineChoices::monitorHandshakes());
    m_parameters = new QLineEdit(this);
    m_parameters->setObjectName(QStringLiteral("txtParameter"));
    m_parameters->setToolTip(QStringLiteral("Baudrate, Parität, Datenbits, Stopbits"));
    m_viewer = new QCheckBox(QStringLiteral("Anschliessend HEX-Editor starten"), this);
    m_viewer->setObjectName(QStringLiteral("chkHex"));
    m_viewer->setToolTip(QStringLiteral("Nach dem Empfang den mitgelieferten HEX-Editor starten"));
    m_start = new QPushButton(QStringLiteral("Start"), this);
    m_start->setObjectName(QStringLiteral("cmdStart"));
    m_start->setToolTip(QStringLiteral("Startet den Life-Mitschnitt"));
    m_stop = new QPushButton(QStringLiteral("Stop"), this);
    m_stop->setObjectName(QStringLiteral("cmdStop"));
    m_stop->setToolTip(QStringLiteral("Beendet den Mitschnitt"));
    m_indicator = new QLabel(this);
    m_indicator->setObjectName(QStringLiteral("lblAktiv"));
    m_indicator->setToolTip(QStringLiteral("Wenn hier nichts geht empfangen Sie keine Daten!"));
    m_indicator->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('W')) * 2);
    QFont big = m_indicator->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    m_indicator->setFont(big);
    m_counter = new QLabel(this);
    m_counter->setObjectName(QStringLiteral("lblBytes"));
    m_live = new HexView(this);
    m_live->setObjectName(QStringLiteral("hexLive"));
    m_live->setBytes(&m_recorder->recorded());

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Schnittstelle:"), this), 0, 0);
    grid->addWidget(m_port, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Handshake:"), this), 0, 2);
    grid->addWidget(m_handshake, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Parameterstring:"), this), 1, 0);
    grid->addWidget(m_parameters, 1, 1, 1, 3);
    grid->addWidget(m_viewer, 2, 0, 1, 4);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_start);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_indicator);
    buttons->addStretch(1);
    buttons->addWidget(m_counter);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(m_live, 1);
    resize(720, 520);

    const LineSettings line = DebuggerSettings::line(settings);
    m_handshake->setCurrentIndex(LineChoices::handshakePosition(line.handshake()));
    m_port->setCurrentIndex(LineChoices::portPosition(DebuggerSettings::comPort.read(settings)));
    m_parameters->setText(line.text());
    // A viewer program if one is installed, our own view otherwise: there is
    // always one to open the recording in.
    m_viewer->setEnabled(true);

    m_refresh->setInterval(kViewRefreshMsecs);
    connect(m_refresh, &QTimer::timeout, this, &SerialMonitor::refreshView);
    connect(m_start, &QPushButton::clicked, this, &SerialMonitor::start);
    connect(m_stop, &QPushButton::clicked, this, &SerialMonitor::stop);
    connect(m_recorder, &SerialRecorder::received, this, [this] { m_dirty = true; });
    connect(m_recorder, &SerialRecorder::indicatorStepped, this, [this](QChar c) { m_indicator->setText(c); });
    connect(m_recorder, &SerialRecorder::recordingChanged, this, &SerialMonitor::showState);
    showState(false);
    refreshView();
}

SerialMonitor::~SerialMonitor() = default;

void SerialMonitor::showState(bool recording)
{
    m_start->setEnabled(!recording);
    m_stop->setEnabled(recording);
    m_indicator->setVisible(recording);
    if (recording) {
        m_indicator->setText(m_recorder->indicator());
        m_refresh->start();
    } else {
        m_refresh->stop();
    }
    refreshView();
}

void SerialMonitor::refreshView()
{
    m_dirty = false;
    m_live->bytesChanged();
    m_counter->setText(QStringLiteral("Empfangen: ") + QString::number(m_recorder->recorded().size()) +
                       QStringLiteral(" Bytes"));
}

void SerialMonitor::start()
{
    m_recorder->start(LineChoices::portAt(m_port->currentIndex()), LineChoices::handshakeAt(m_handshake->currentIndex()),
                      m_parameters->text());
    refreshView();
}

void SerialMonitor::stop()
{
    const QPointer<SerialMonitor> self(this);
    m_recorder->stop(m_presetPath, [self](const QString &saved) {
        if (self)
            self->openRecording(saved);
    });
    refreshView();
}

void SerialMonitor::openRecording(const QString &saved)
{
    if (saved.isEmpty() || !m_viewer->isChecked())
        return;
    const QString program = DebuggerSettings::findHexViewer(m_settings);
    if (!program.isEmpty() && m_startViewer(program, saved))
        return;
    // A window of this one while it is open (a modal window blocks all
    // others), handed to the main window when this one closes.
    m_ownViewer = new HexViewWindow(saved, this);
    m_ownViewer->show();
}

void SerialMonitor::done(int result)
{
    m_refresh->stop();
    m_recorder->close();
    if (m_ownViewer) {
        // The recording stays open to be looked at.
        const Qt::WindowFlags flags = m_ownViewer->windowFlags();
        const bool shown = m_ownViewer->isVisible();
        m_ownViewer->setParent(parentWidget(), flags);
        m_ownViewer->setVisible(shown);
    }
    QDialog::done(result);
}

} // namespace zep
