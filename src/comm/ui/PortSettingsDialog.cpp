#include "comm/ui/PortSettingsDialog.h"

#include "app/Prompts.h"
#include "app/SettingsStore.h"
#include "comm/LineChoices.h"
#include "comm/MachineLines.h"
#include "comm/PortDevices.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

namespace zep {

namespace {
void selectText(QComboBox *box, const QString &text)
{
    int k = box->findText(text);
    // A stored value outside the list (set by hand or by another station)
    // is shown and kept, not replaced by what the previous tab showed.
    if (k < 0 && !text.trimmed().isEmpty()) {
        box->addItem(text.trimmed());
        k = box->count() - 1;
    }
    if (k >= 0)
        box->setCurrentIndex(k);
}
} // namespace

PortSettingsDialog::PortSettingsDialog(SettingsStore &settings, Prompts &prompts, const MachineLines *machines,
                             std::function<void()> setComm, StatusLine *status,
                             QWidget *parent)
    : QDialog(parent), m_settings(settings), m_prompts(prompts), m_machines(machines), m_setComm(std::move(setComm)),
      m_status(status), m_tabs(new QTabBar(this)), m_port(new QComboBox(this)),
      m_speed(new QComboBox(this)), m_parity(new QComboBox(this)), m_dataBits(new QComboBox(this)),
      m_stopBits(new QComboBox(this)), m_buffer(new QComboBox(this)), m_machine(new QComboBox(this)),
      m_flow(new QButtonGroup(this)), m_active(new QCheckBox(QStringLiteral("Aktiv"), this)),
      m_device(new QLineEdit(this)), m_summary(new QLabel(this)), m_number(new QLabel(this)),
      m_takeOver(new QPushButton(QStringLiteral("-> COM"), this)),
      m_save(new QPushButton(QStringLiteral("Speichern"), this)),
      m_autoSave(new QCheckBox(QStringLiteral("Automatisch speichern"), this)),
      m_requests(new QCheckBox(QStringLiteral("Anforderungen annehmen"), this)), m_autoFolder(new QLineEdit(this)),
      m_autoExtension(new QLineEdit(this)), m_requestWords(new QLineEdit(this)), m_requestWait(new QSpinBox(this))
{
    setWindowTitle(QStringLiteral("Kommunikations-Einstellungen"));
    for (int k = 1; k <= 5; ++k)
        m_tabs->addTab(QStringLiteral("Maschine") + QString::number(k));
    m_port->addItems(LineChoices::ports());
    m_speed->addItems(LineChoices::speeds());
    m_dataBits->addItems(LineChoices::dataBits());
    m_parity->addItems(LineChoices::parities());
    m_stopBits->addItems(LineChoices::stopBits());
    m_buffer->addItems({"64", "128", "256", "512", "1024"});
    m_takeOver->setToolTip(QStringLiteral("Übernimmt die Maschinenparameter in diesen Einstellungsdialog"));
    m_device->setToolTip(QStringLiteral("Gerätedatei der gewählten Schnittstelle (z. B. /dev/ttyUSB0) oder ein "
                                        "Netzwerk-Schnittstellenserver: tcp://HOST:PORT oder rfc2217://HOST:PORT"));

    auto *form = new QFormLayout;
    auto *numberRow = new QHBoxLayout;
    numberRow->addWidget(m_number);
    numberRow->addWidget(m_active);
    form->addRow(QStringLiteral("Maschinenverbindung"), numberRow);
    form->addRow(QStringLiteral("Schnittstelle"), m_port);
    form->addRow(QStringLiteral("Gerät"), m_device);
    form->addRow(QStringLiteral("Geschwindigkeit"), m_speed);
    form->addRow(QStringLiteral("Parität"), m_parity);
    form->addRow(QStringLiteral("Datenbits"), m_dataBits);
    form->addRow(QStringLiteral("Stopbits"), m_stopBits);
    form->addRow(QStringLiteral("Puffer"), m_buffer);
    auto *flowBox = new QGroupBox(QStringLiteral("Protokoll"), this);
    auto *flowRow = new QHBoxLayout(flowBox);
    const QStringList &flows = LineChoices::handshakes();
    for (int k = 0; k < flows.size(); ++k) {
        auto *b = new QRadioButton(flows[k], flowBox);
        m_flow->addButton(b, k);
        flowRow->addWidget(b);
    }
    form->addRow(flowBox);
    auto *machineRow = new QHBoxLayout;
    machineRow->addWidget(m_machine, 1);
    machineRow->addWidget(m_takeOver);
    form->addRow(QStringLiteral("Maschine"), machineRow);
    auto *more = new QGroupBox(QStringLiteral("Weitere Parameter"), this);
    auto *moreLayout = new QVBoxLayout(more);
    moreLayout->addWidget(new QLabel(QStringLiteral("Diese Einstellungen kommen aus der Maschinenverwaltung"), more));
    moreLayout->addWidget(m_summary);
    auto *unattended = new QGroupBox(QStringLiteral("Ohne Gang zum PC"), this);
    auto *unattendedForm = new QFormLayout(unattended);
    unattendedForm->addRow(m_autoSave);
    m_autoFolder->setPlaceholderText(QStringLiteral("überwachtes Verzeichnis"));
    unattendedForm->addRow(QStringLiteral("Ordner"), m_autoFolder);
    unattendedForm->addRow(QStringLiteral("Endung"), m_autoExtension);
    unattendedForm->addRow(m_requests);
    m_requestWait->setRange(0, UnattendedSettings::kLongestWaitSeconds);
    m_requestWait->setSuffix(QStringLiteral(" s"));
    unattendedForm->addRow(QStringLiteral("Wartezeit"), m_requestWait);
    unattendedForm->addRow(QStringLiteral("Schlüsselwörter"), m_requestWords);
    auto *cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(form);
    layout->addWidget(more);
    layout->addWidget(unattended);
    layout->addLayout(buttons);

    fillMachines();
    LoadPropertySettings();
    SetMachine(0);

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int k) { SetMachine(k); });
    for (QComboBox *box : {m_speed, m_parity, m_dataBits, m_stopBits})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { rebuildLine(); });
    connect(m_port, &QComboBox::currentIndexChanged, this, [this](int k) {
        m_copy[m_shown].comAnschluss = LineChoices::portAt(k);
        showDevice();
    });
    connect(m_device, &QLineEdit::textEdited, this,
            [this](const QString &t) { m_devices[m_copy[m_shown].comAnschluss] = t.trimmed(); });
    connect(m_buffer, &QComboBox::currentIndexChanged, this,
            [this] { m_copy[m_shown].puffer = m_buffer->currentText().toInt(); });
    connect(m_flow, &QButtonGroup::idClicked, this,
            [this](int id) { m_copy[m_shown].line.setHandshake(LineChoices::handshakeAt(id)); });
    connect(m_active, &QCheckBox::toggled, this, [this](bool on) {
        m_copy[m_shown].aktiviert = on;
        m_number->setStyleSheet(on ? QStringLiteral("color: red") : QStringLiteral("color: blue"));
    });
    connect(m_machine, &QComboBox::currentIndexChanged, this,
            [this] { m_copy[m_shown].maschinenIndex = m_machine->currentData().toInt(); });
    connect(m_takeOver, &QPushButton::clicked, this, [this] {
        if (m_machine->currentIndex() <= 0) {
            m_prompts.beep();
            return;
        }
        SetMachineDefaults(m_machine->currentData().toInt());
        SetMachine(m_shown);
    });
    connect(m_autoSave, &QCheckBox::toggled, this, [this](bool on) { m_unattended[m_shown].autoSpeichern = on; });
    connect(m_requests, &QCheckBox::toggled, this, [this](bool on) { m_unattended[m_shown].anforderungen = on; });
    connect(m_autoFolder, &QLineEdit::textEdited, this,
            [this](const QString &t) { m_unattended[m_shown].autoOrdner = t.trimmed(); });
    connect(m_autoExtension, &QLineEdit::textEdited, this,
            [this](const QString &t) { m_unattended[m_shown].autoEndung = t.trimmed(); });
    connect(m_requestWords, &QLineEdit::textEdited, this,
            [this](const QString &t) { m_unattended[m_shown].anforderungWorte = t; });
    connect(m_requestWait, &QSpinBox::valueChanged, this,
            [this](int v) { m_unattended[m_shown].anforderungWartezeit = v; });
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (save())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void PortSettingsDialog::fillMachines()
{
    m_machine->addItem(QStringLiteral("keine Zuordnung"), 0);
    if (!m_machines)
        return;
    for (const MachineLines::Machine &machine : m_machines->machines())
        m_machine->addItem(machine.text, int(machine.number));
}

void PortSettingsDialog::LoadPropertySettings()
{
    for (int i = 0; i < 5; ++i) {
        m_copy[i] = PortSettings::load(m_settings, i);
        m_unattended[i] = UnattendedSettings::load(m_settings, i);
    }
}

void PortSettingsDialog::showDevice()
{
    const int n = m_copy[m_shown].comAnschluss;
    const auto it = m_devices.find(n);
    m_device->setText(it != m_devices.end() ? it->second : PortDevices::devicePath(m_settings, n));
}

void PortSettingsDialog::SetMachine(int i)
{
    // Showing a connection's values is no edit of them: the fields' change
    // signals stay quiet until every field shows the same connection, or a
    // half-shown tab would be written into the one being shown.
    const QSignalBlocker quiet[] = {QSignalBlocker(m_tabs),   QSignalBlocker(m_port),     QSignalBlocker(m_speed),
                                    QSignalBlocker(m_parity), QSignalBlocker(m_dataBits), QSignalBlocker(m_stopBits),
                                    QSignalBlocker(m_buffer), QSignalBlocker(m_active),   QSignalBlocker(m_machine),
                                    QSignalBlocker(m_autoSave), QSignalBlocker(m_requests), QSignalBlocker(m_requestWait)};
    m_shown = i;
    if (m_tabs->currentIndex() != i)
        m_tabs->setCurrentIndex(i);
    PortSettings &p = m_copy[i];
    selectText(m_speed, p.line.speed());
    if (const int parity = LineChoices::parityPosition(p.line.parity()); parity >= 0)
        m_parity->setCurrentIndex(parity);
    selectText(m_dataBits, p.line.dataBits());
    selectText(m_stopBits, p.line.stopBits());
    if (const int port = LineChoices::portPosition(p.comAnschluss); port >= 0)
        m_port->setCurrentIndex(port);
    selectText(m_buffer, QString::number(p.puffer));
    if (auto *b = m_flow->button(LineChoices::handshakePosition(p.line.handshake())))
        b->setChecked(true);
    m_active->setChecked(p.aktiviert);
    m_number->setText(QString::number(i + 1));
    m_number->setStyleSheet(p.aktiviert ? QStringLiteral("color: red") : QStringLiteral("color: blue"));
    const int k = m_machine->findData(p.maschinenIndex);
    if (k < 0) {
        m_machine->setCurrentIndex(0);
        p.maschinenIndex = 0;
    } else {
        m_machine->setCurrentIndex(k);
    }
    showDevice();
    const UnattendedSettings &u = m_unattended[i];
    m_autoSave->setChecked(u.autoSpeichern);
    m_autoFolder->setText(u.autoOrdner);
    m_autoExtension->setText(u.autoEndung);
    m_requests->setChecked(u.anforderungen);
    m_requestWait->setValue(u.anforderungWartezeit);
    m_requestWords->setText(u.anforderungWorte);
    // The stored summary separates its parts by CR, which a label does not
    // break at.
    m_summary->setText(p.summary().replace(QLatin1Char('\r'), QLatin1Char('\n')));
}

void PortSettingsDialog::rebuildLine()
{
    LineSettings &line = m_copy[m_shown].line;
    line = LineSettings(m_speed->currentText().trimmed(), LineChoices::parityAt(m_parity->currentIndex()),
                        m_dataBits->currentText().trimmed(), m_stopBits->currentText().trimmed(), line.handshake());
}

void PortSettingsDialog::SetMachineDefaults(int n)
{
    PortSettings &port = m_copy[m_shown];
    const LineSettings shown(m_speed->currentText(), LineChoices::parityAt(m_parity->currentIndex()),
                             m_dataBits->currentText(), m_stopBits->currentText(), port.line.handshake());
    if (!m_machines || !m_machines->takeLineDefaults(n, port, shown)) {
        m_prompts.message(QStringLiteral("Datenbank konnte Maschine nichtmehr finden! (SetMachineDefaults)"),
                          QStringLiteral("ZEP"), PromptIcon::Exclamation);
        return;
    }
}

bool PortSettingsDialog::save()
{
    int missing = 0;
    for (int i = 0; i < 5; ++i)
        if (m_copy[i].aktiviert && m_copy[i].maschinenIndex == 0)
            missing = i + 1;
    if (missing) {
        m_prompts.message(QStringLiteral("Um Maschinenverbindung ") + QString::number(missing) +
                              QStringLiteral(" aktivieren zu können benötigt\rsie eine Maschinenzuordnung!"),
                          QStringLiteral("Maschine?"), PromptIcon::Exclamation);
        return false;
    }
    // A malformed server address would only show as a red lamp later.
    for (const auto &[n, path] : m_devices) {
        const QString error = path.isEmpty() ? QString() : PortDevices::deviceError(path);
        if (!error.isEmpty()) {
            m_prompts.message(QStringLiteral("Das Gerät von Com") + QString::number(n) +
                                  QStringLiteral(" ist ungültig:\r") + error,
                              QStringLiteral("Gerät?"), PromptIcon::Exclamation);
            return false;
        }
    }
    for (int i = 0; i < 5; ++i) {
        if (const QString why = UnattendedSettings::folderProblem(m_unattended[i].autoOrdner); !why.isEmpty()) {
            m_prompts.message(QStringLiteral("Maschinenverbindung ") + QString::number(i + 1) + QStringLiteral(": ") + why,
                              QStringLiteral("Ordner?"), PromptIcon::Exclamation);
            return false;
        }
    }
    for (int i = 0; i < 5; ++i) {
        m_copy[i].save(m_settings, i);
        // A group whose options nobody touched keeps its file as it was.
        if (m_unattended[i] != UnattendedSettings::load(m_settings, i))
            m_unattended[i].save(m_settings, i);
    }
    for (const auto &[n, path] : m_devices)
        if (!path.isEmpty())
            PortDevices::setDevicePath(m_settings, n, path);
    if (m_setComm)
        m_setComm();
    return true;
}

void PortSettingsDialog::done(int result)
{
    if (m_status)
        m_status->clear();
    QDialog::done(result);
}

} // namespace zep
