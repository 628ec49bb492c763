#pragma once

#include "comm/DateiSenden.h"
#include "comm/TraceSink.h"

#include <QDialog>
#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace zep {

class CommStation;
class Database;
class Logbook;
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

struct SendDialogContext {
    SettingsStore &settings;
    Prompts &prompts;
    Logbook &logbook;
    Database *database;
    CommStation &station;
    const ReceptionClock &clock;
    TraceSink trace;
    std::function<void(const QString &)> status;
    std::function<void(int percent)> progress;
};

// The send dialog: choose the machine, optionally count down, send.
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
    bool waiting() const { return m_waiting; }
    bool sending() const { return m_sending; }

    void reject() override;

protected:
    void done(int result) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void listReceivers();
    void startSending();
    void countdownTick();
    void transfer();
    void setIdle(bool idle);
    QString missingText() const;

    SendDialogContext m_ctx;
    SendRequest m_request;
    SendRequests m_requests;
    int m_selected = -1;
    bool m_waiting = false;
    bool m_sending = false;
    bool m_failed = false;
    double m_deadline = 0;
    int m_lastBeep = 1000;

    QGroupBox *m_receiverFrame = nullptr;
    std::array<QRadioButton *, 5> m_receivers{};
    QButtonGroup *m_group = nullptr;
    QCheckBox *m_delayBox = nullptr;
    QLineEdit *m_delay = nullptr;
    QLabel *m_countdown = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_cancel = nullptr;
    QTimer *m_tick = nullptr;
};

} // namespace zep
