#include "comm/ui/SendDialog.h"

#include "app/Prompts.h"
#include "app/widgets/WindowPlacement.h"
#include "comm/Connections.h"
#include "comm/MachineLines.h"
#include "comm/SendDelay.h"
#include "comm/SendJob.h"
#include "comm/SendReceivers.h"

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

namespace zep {

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

    showBusy(QStringLiteral("Datenübertragung wählen"));
    const SendDelay::Choice delay = SendDelay::stored(m_ctx.settings);
    m_delay->setText(delay.field);
    m_delayBox->setChecked(delay.delayed);
    listReceivers();
    if (QFileInfo::exists(m_request.path)) {
        RestoreGeometry(*this, m_ctx.settings);
    } else {
        m_ctx.prompts.message(SendJob::missingText(), QStringLiteral("Fehler!"), PromptIcon::Exclamation);
    }
}

void SendDialog::listReceivers()
{
    QHash<long, QString> names;
    if (m_ctx.machines)
        for (const MachineLines::Machine &machine : m_ctx.machines->machines())
            if (!names.contains(machine.number))
                names.insert(machine.number, machine.text);
    const SendReceivers list = SendReceivers::list(m_ctx.settings, names, m_request.maschinenIndex);
    for (int i = 0; i < 5; ++i) {
        m_receivers[i]->setText(list.options[i].text);
        m_receivers[i]->setEnabled(list.options[i].active);
    }
    if (list.preselected >= 0) {
        m_receivers[list.preselected]->setChecked(true);
        m_selected = list.preselected;
    }
}

bool SendDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_delay && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_delay, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void SendDialog::showBusy(const QString &text)
{
    if (m_busy.active())
        m_busy.setText(text);
    else
        m_busy = m_ctx.status.busy(text);
}

void SendDialog::setIdle(bool idle)
{
    m_receiverFrame->setEnabled(idle);
    m_send->setEnabled(idle);
}

bool SendDialog::waiting() const
{
    return m_job && m_job->phase() == SendJob::Phase::CountingDown;
}

bool SendDialog::sending() const
{
    return m_job && (m_job->phase() == SendJob::Phase::Starting || m_job->phase() == SendJob::Phase::Sending);
}

void SendDialog::startSending()
{
    if (m_selected < 0 || !m_receivers[m_selected]->isEnabled()) {
        m_ctx.prompts.message(QStringLiteral("Bitte wählen Sie zuerst den Empfänger aus!"), QStringLiteral("Empfänger?"),
                              PromptIcon::Exclamation);
        return;
    }
    const SendOrder order{m_request.path, m_selected,
                          SendDelay::take(m_ctx.settings, {m_delayBox->isChecked(), m_delay->text()})};
    QString refusal;
    SendJob *job = m_ctx.connections.send(order, &refusal);
    if (!job) {
        m_ctx.prompts.message(refusal, QStringLiteral("Datenübertragung"), PromptIcon::Exclamation);
        return;
    }
    m_job = job;
    m_transferBegun = false;
    setIdle(false);
    connect(job, &SendJob::secondPassed, this, &SendDialog::showRemaining);
    connect(job, &SendJob::sendingStarted, this, [this] {
        m_transferBegun = true;
        m_countdown->setVisible(false);
        showBusy(QStringLiteral("Senden von ") + m_request.dateiname + QStringLiteral("..."));
    });
    connect(job, &SendJob::status, this, &SendDialog::showBusy);
    connect(job, &SendJob::finished, this, &SendDialog::jobFinished);
}

void SendDialog::showRemaining(int seconds)
{
    m_countdown->setText(QString::number(seconds));
    m_countdown->setVisible(true);
    // One beep for each of the last five seconds.
    if (seconds < 6)
        m_ctx.prompts.beep();
}

void SendDialog::jobFinished()
{
    const SendJob::Outcome outcome = m_job ? m_job->outcome() : SendJob::Outcome::Failed;
    const QString error = m_job ? m_job->error() : QString();
    m_job = nullptr;
    m_countdown->setVisible(false);
    setIdle(true);
    switch (outcome) {
    case SendJob::Outcome::FileMissing:
        m_ctx.prompts.message(error, QStringLiteral("Fehler!"), PromptIcon::Exclamation);
        return;
    case SendJob::Outcome::Cancelled:
        // The dialog stays for another try.
        if (m_transferBegun)
            m_busy.end();
        return;
    case SendJob::Outcome::Failed:
    case SendJob::Outcome::Sent:
    case SendJob::Outcome::None: break;
    }
    if (error.isEmpty())
        m_busy.end();
    else
        m_busy.endWith(QStringLiteral("Fehler beim Senden: \r") + error);
    accept();
}

void SendDialog::reject()
{
    if (m_job) {
        // A countdown ends without sending; a transfer stops and flushes.
        m_job->cancel();
        return;
    }
    QDialog::reject();
}

void SendDialog::closeEvent(QCloseEvent *event)
{
    // The frame's close button during a transfer or a countdown means
    // "Abbruch", not leaving a transfer without its dialog.
    if (m_job) {
        reject();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void SendDialog::done(int result)
{
    m_busy.end();
    SaveGeometry(*this, m_ctx.settings);
    QDialog::done(result);
}

} // namespace zep
