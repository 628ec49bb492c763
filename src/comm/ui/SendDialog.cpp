#include "comm/ui/SendDialog.h"

#include "app/Prompts.h"
#include "app/ProgramSettings.h"
#include "app/SettingsStore.h"
#include "app/widgets/WindowPlacement.h"
#include "comm/CommStation.h"
#include "comm/MachineReady.h"
#include "comm/PortSettings.h"
#include "comm/ReceptionClock.h"
#include "db/Database.h"
#include "machines/MachineList.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace zep {

namespace {
}

SendDialog::SendDialog(SendDialogContext context, SendRequest request, QWidget *parent)
    : QDialog(parent), m_ctx(std::move(context)), m_request(std::move(request))
{
    setObjectName(QStringLiteral("SendDialog"));
    setWindowTitle(QStringLiteral("Datenübertragung"));
    auto *layout = new QVBoxLayout(this);

    auto *info = new QGroupBox(QStringLiteral("Info"));
    auto *infoForm = new QFormLayout(info);
    auto *file = new QLabel(m_request.dateiname);
    file->setObjectName(QStringLiteral("datei"));
    auto *designation = new QLabel(m_request.bezeichnung);
    designation->setObjectName(QStringLiteral("bezeichnung"));
    infoForm->addRow(QStringLiteral("Datei:"), file);
    infoForm->addRow(QStringLiteral("Bezeichnung:"), designation);
    layout->addWidget(info);

    m_receiverFrame = new QGroupBox(QStringLiteral("Empfänger"));
    auto *receivers = new QVBoxLayout(m_receiverFrame);
    m_group = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        m_receivers[i] = new QRadioButton;
        m_receivers[i]->setObjectName(QStringLiteral("receiver%1").arg(i));
        m_group->addButton(m_receivers[i], i);
        receivers->addWidget(m_receivers[i]);
    }
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) { m_selected = id; });
    layout->addWidget(m_receiverFrame);

    auto *delayRow = new QHBoxLayout;
    m_delayBox = new QCheckBox(QStringLiteral("Senden um"));
    m_delayBox->setObjectName(QStringLiteral("delayBox"));
    m_delay = new QLineEdit;
    m_delay->setObjectName(QStringLiteral("delay"));
    m_delay->setToolTip(QStringLiteral("Nach dem Senden-Knopf wird noch X Sekunden gewartet bis die Übertragung beginnt"));
    m_delay->setMaximumWidth(60);
    m_delay->installEventFilter(this);
    m_countdown = new QLabel;
    m_countdown->setObjectName(QStringLiteral("countdown"));
    m_countdown->setVisible(false);
    QFont big = m_countdown->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    m_countdown->setFont(big);
    delayRow->addWidget(m_delayBox);
    delayRow->addWidget(m_delay);
    delayRow->addWidget(new QLabel(QStringLiteral("Sekunden verzögern")));
    delayRow->addStretch();
    delayRow->addWidget(m_countdown);
    layout->addLayout(delayRow);
    connect(m_delay, &QLineEdit::textEdited, this, [this] { m_delayBox->setChecked(true); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_send = new QPushButton(QStringLiteral("Senden"));
    m_send->setObjectName(QStringLiteral("senden"));
    m_send->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Abbruch"));
    m_cancel->setObjectName(QStringLiteral("abbruch"));
    buttons->addWidget(m_send);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_send, &QPushButton::clicked, this, &SendDialog::startSending);
    connect(m_cancel, &QPushButton::clicked, this, &SendDialog::reject);

    m_tick = new QTimer(this);
    m_tick->setInterval(50);
    connect(m_tick, &QTimer::timeout, this, &SendDialog::countdownTick);

    m_ctx.status(QStringLiteral("Datenübertragung wählen"));
    m_delay->setText(ProgramSettings::zeitversatz(m_ctx.settings));
    m_delayBox->setChecked(ProgramSettings::sendWithDelay(m_ctx.settings));
    listReceivers();
    if (QFileInfo::exists(m_request.path)) {
        RestoreGeometry(*this, m_ctx.settings);
    } else {
        m_ctx.prompts.message(missingText(), QStringLiteral("Fehler!"), PromptIcon::Exclamation);
    }
}

QString SendDialog::missingText() const
{
    return QStringLiteral("Das zu sendende Programm konnte im Überwachungsverzeichnis nichtmehr gefunden werden!");
}

void SendDialog::listReceivers()
{
    const QHash<long, QString> names =
        m_ctx.database && m_ctx.database->isOpen() ? MachineList::texts(*m_ctx.database) : QHash<long, QString>();
    for (int i = 0; i < 5; ++i) {
        const PortSettings p = PortSettings::load(m_ctx.settings, i);
        QRadioButton *option = m_receivers[i];
        if (!p.aktiviert) {
            option->setText(QStringLiteral("nicht Aktiv"));
            option->setEnabled(false);
            continue;
        }
        option->setEnabled(true);
        const auto name = names.constFind(p.maschinenIndex);
        option->setText(name != names.cend() ? *name
                                             : QStringLiteral("Nicht Definiert (COM") + QString::number(p.comAnschluss)
                                                   + QStringLiteral(":)"));
        // A record without a machine is meant for none of them: preselecting
        // a connection bound to no machine would send it to a guess.
        if (m_request.maschinenIndex != 0 && p.maschinenIndex == m_request.maschinenIndex) {
            option->setChecked(true);
            m_selected = i;
        }
    }
}

bool SendDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_delay && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_delay, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void SendDialog::setIdle(bool idle)
{
    m_receiverFrame->setEnabled(idle);
    m_send->setEnabled(idle);
}

void SendDialog::startSending()
{
    if (m_selected < 0 || !m_receivers[m_selected]->isEnabled()) {
        m_ctx.prompts.message(QStringLiteral("Bitte wählen Sie zuerst den Empfänger aus!"), QStringLiteral("Empfänger?"),
                              PromptIcon::Exclamation);
        return;
    }
    ProgramSettings::setSendWithDelay(m_ctx.settings, m_delayBox->isChecked());
    setIdle(false);
    if (!m_delayBox->isChecked()) {
        m_waiting = false;
        transfer();
        return;
    }
    MachineReady::clear();
    m_waiting = true;
    bool ok = false;
    double seconds = m_delay->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(seconds))
        seconds = 0;
    ProgramSettings::setZeitversatz(m_ctx.settings, QString::number(seconds));
    m_deadline = m_ctx.clock.seconds() + seconds;
    m_lastBeep = 1000;
    countdownTick();
    if (m_waiting)
        m_tick->start();
}

void SendDialog::countdownTick()
{
    if (!m_waiting) {
        m_tick->stop();
        return;
    }
    const double now = m_ctx.clock.seconds();
    // Only the machine this goes to may start it early.
    if (now >= m_deadline || MachineReady::isSet(m_selected)) {
        m_tick->stop();
        m_waiting = false;
        m_countdown->setVisible(false);
        transfer();
        return;
    }
    const int remaining = int(m_deadline - now) + 1;
    m_countdown->setText(QString::number(remaining));
    m_countdown->setVisible(true);
    if (remaining < 6 && remaining < m_lastBeep) {
        m_ctx.prompts.beep();
        m_lastBeep = remaining;
    }
}

void SendDialog::transfer()
{
    if (!QFileInfo::exists(m_request.path)) {
        m_ctx.prompts.message(missingText(), QStringLiteral("Fehler!"), PromptIcon::Exclamation);
        setIdle(true);
        return;
    }
    m_ctx.status(QStringLiteral("Senden von ") + m_request.dateiname + QStringLiteral("..."));
    m_requests = {};
    m_sending = true;
    SendContext send{m_ctx.settings, m_ctx.trace, m_ctx.logbook, m_requests, m_ctx.status,
                     [this](int i, LampColour colour) { m_ctx.station.setLamp(i, colour); }, m_ctx.progress};
    const QString result = DateiSenden(m_request.path, m_ctx.station.port(m_selected), m_selected, send);
    m_sending = false;
    setIdle(true);
    m_failed = !result.isEmpty();
    m_ctx.status(m_failed ? QStringLiteral("Fehler beim Senden: \r") + result : QStringLiteral("Bereit"));
    if (!m_requests.cancel)
        accept();
}

void SendDialog::reject()
{
    if (m_waiting) {
        m_waiting = false;
        m_tick->stop();
        m_countdown->setVisible(false);
        setIdle(true);
        return;
    }
    if (m_sending) {
        // Stops at the transfer's next wait; the dialog stays for another try.
        m_requests.cancel = true;
        return;
    }
    QDialog::reject();
}

void SendDialog::closeEvent(QCloseEvent *event)
{
    // The frame's close button during a transfer or a countdown means
    // "Abbruch", not leaving a transfer without its dialog.
    if (m_waiting || m_sending) {
        reject();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void SendDialog::done(int result)
{
    if (!m_failed)
        m_ctx.status(QStringLiteral("Bereit"));
    SaveGeometry(*this, m_ctx.settings);
    QDialog::done(result);
}

} // namespace zep
