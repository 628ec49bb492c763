#pragma once

#include "machines/MachineCreation.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace zep {

class Clock;
class MachinesService;
class Prompts;
class SettingsStore;

// The machine wizard: a few pages that collect a new machine and, when it is
// connected, the line it is on; the last page creates both.
class MachineWizard : public QDialog
{
    Q_OBJECT

public:
    enum Page { StartPage, DataPage, ConnectionPage, MaintenancePage };

    MachineWizard(MachinesService &machines, SettingsStore &settings, Prompts &prompts, const Clock &clock,
              QWidget *parent = nullptr);

    int page() const;
    WizardChoices choices() const;
    MachineCreation::Result result() const { return m_result; }

private:
    QWidget *buildStartPage();
    QWidget *buildDataPage();
    QWidget *buildConnectionPage();
    QWidget *buildMaintenancePage();
    void showPage(Page page);
    void start();
    void forward();
    void back();
    void create();
    void created(const MachineCreation::Result &result);

    MachinesService &m_machines;
    SettingsStore &m_settings;
    Prompts &m_prompts;
    const Clock &m_clock;
    MachineCreation::Result m_result;

    QLabel *m_heading = nullptr;
    QStackedWidget *m_pages = nullptr;
    QCheckBox *m_hideStart = nullptr;
    QLineEdit *m_bezeichnung = nullptr;
    QLineEdit *m_standort = nullptr;
    QCheckBox *m_rs232 = nullptr;
    QComboBox *m_port = nullptr;
    QComboBox *m_speed = nullptr;
    QComboBox *m_dataBits = nullptr;
    QComboBox *m_parity = nullptr;
    QComboBox *m_stopBits = nullptr;
    QButtonGroup *m_protocol = nullptr;
    QComboBox *m_interval = nullptr;
    QPlainTextEdit *m_note = nullptr;
    QWidget *m_buttons = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
};

} // namespace zep
