#pragma once

#include "app/StatusLine.h"
#include "comm/SendJob.h"
#include "comm/TraceSink.h"

#include <QDialog>
#include <QPointer>
#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zep {

class Connections;
class Logbook;
class MachineLines;
class Prompts;
class ReceptionClock;
class SettingsStore;

// What the main list hands over for the selected record.
struct SendRequest {
    QString dateiname;   // stored name, as listed
    QString path;        // the real file
    QString bezeichnung;
    long dateiIndex = 0;
    long maschinenIndex = 0;
};

// The station runs the transfer and traces it; the logbook, clock and trace
// are the station's own.
struct SendDialogContext {
    SettingsStore &settings;
    Prompts &prompts;
    const MachineLines *machines; // may be null: the receivers then go without machine names
    Connections &connections; // sends, and tells the transfer's progress to whoever listens
    StatusLine &status;
};

// The send dialog: choose the machine, optionally count down, send. The
// countdown and the transfer are a job of the station; the dialog shows what
// the job reports and its "Abbruch" cancels it.
class SendDialog : public QDialog
{
    Q_OBJECT

public:
    SendDialog(SendDialogContext context, SendRequest request, QWidget *parent = nullptr);

    // -1 while no receiver is chosen.
    int selectedConnection() const { return m_selected; }
    QRadioButton *receiver(int i) const { return m_receivers[i]; }
    QPushButton *sendButton() const { return m_send; }
    QPushButton *cancelButton() const { return m_cancel; }
    QCheckBox *delayBox() const { return m_delayBox; }
    QLineEdit *delayField() const { return m_delay; }
    QLabel *countdownLabel() const { return m_countdown; }
    bool waiting() const;
    bool sending() const;
    // The running job, or null.
    SendJob *job() const { return m_job; }

    void reject() override;

protected:
    void done(int result) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void listReceivers();
    void startSending();
    void showRemaining(int seconds);
    void jobFinished();
    void setIdle(bool idle);
    void showBusy(const QString &text);

    SendDialogContext m_ctx;
    SendRequest m_request;
    QPointer<SendJob> m_job;
    int m_selected = -1;
    bool m_transferBegun = false;
    // What the dialog is doing, on the status line while it is open.
    StatusLine::Busy m_busy;

    QGroupBox *m_receiverFrame = nullptr;
    std::array<QRadioButton *, 5> m_receivers{};
    QButtonGroup *m_group = nullptr;
    QCheckBox *m_delayBox = nullptr;
    QLineEdit *m_delay = nullptr;
    QLabel *m_countdown = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace zep
