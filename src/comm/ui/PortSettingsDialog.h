#pragma once

#include "app/StatusLine.h"
#include "comm/PortSettings.h"
#include "comm/UnattendedSettings.h"

#include <QDialog>
#include <array>
#include <functional>
#include <map>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabBar;

namespace zep {

class MachineLines;
class Prompts;
class SettingsStore;

// "Kommunikations-Einstellungen": the five port settings groups, edited in a
// working copy and written only on "Speichern".
class PortSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    // `machines` may be null (no machine list); `setComm` reopens the ports
    // after saving; a passing text on `status` is dropped when the dialog closes.
    PortSettingsDialog(SettingsStore &settings, Prompts &prompts, const MachineLines *machines,
                  std::function<void()> setComm, StatusLine *status,
                  QWidget *parent = nullptr);

    void LoadPropertySettings();
    void SetMachine(int i);
    void SetMachineDefaults(int n);
    bool save();

    int shown() const { return m_shown; }
    const PortSettings &workingCopy(int i) const { return m_copy[i]; }
    const UnattendedSettings &unattendedCopy(int i) const { return m_unattended[i]; }

    QTabBar *tabs() const { return m_tabs; }
    QComboBox *portList() const { return m_port; }
    QComboBox *speedList() const { return m_speed; }
    QComboBox *parityList() const { return m_parity; }
    QComboBox *dataBitsList() const { return m_dataBits; }
    QComboBox *stopBitsList() const { return m_stopBits; }
    QComboBox *bufferList() const { return m_buffer; }
    QComboBox *machineList() const { return m_machine; }
    QButtonGroup *flowControl() const { return m_flow; }
    QCheckBox *activeBox() const { return m_active; }
    QLineEdit *devicePath() const { return m_device; }
    QLabel *summary() const { return m_summary; }
    QLabel *numberLabel() const { return m_number; }
    QPushButton *takeOverButton() const { return m_takeOver; }
    QPushButton *saveButton() const { return m_save; }
    QCheckBox *autoSaveBox() const { return m_autoSave; }
    QLineEdit *autoFolderEdit() const { return m_autoFolder; }
    QLineEdit *autoExtensionEdit() const { return m_autoExtension; }
    QCheckBox *requestsBox() const { return m_requests; }
    QSpinBox *requestWaitBox() const { return m_requestWait; }
    QLineEdit *requestWordsEdit() const { return m_requestWords; }

protected:
    void done(int result) override;

private:
    void rebuildLine();
    void fillMachines();
    void showDevice();

    SettingsStore &m_settings;
    Prompts &m_prompts;
    const MachineLines *m_machines;
    std::function<void()> m_setComm;
    StatusLine *m_status;
    std::array<PortSettings, 5> m_copy;
    std::array<UnattendedSettings, 5> m_unattended;
    std::map<int, QString> m_devices; // port number -> device path, as edited
    int m_shown = 0;

    QTabBar *m_tabs;
    QComboBox *m_port, *m_speed, *m_parity, *m_dataBits, *m_stopBits, *m_buffer, *m_machine;
    QButtonGroup *m_flow;
    QCheckBox *m_active;
    QLineEdit *m_device;
    QLabel *m_summary, *m_number;
    QPushButton *m_takeOver, *m_save;
    QCheckBox *m_autoSave, *m_requests;
    QLineEdit *m_autoFolder, *m_autoExtension, *m_requestWords;
    QSpinBox *m_requestWait;
};

} // namespace zep
