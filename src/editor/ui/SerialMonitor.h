#pragma once

#include "editor/SerialRecorder.h"
#include "editor/ui/HexViewWindow.h"

#include <QDialog>
#include <QPointer>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace zep {

class HexView;
class Prompts;
class SettingsStore;

// The "RS232-Debugger": records one serial line raw and shows what arrives
// live, as hex and characters side by side. Shown modally; the machine
// connections are opened again by the caller when it closes.
class SerialMonitor : public QDialog
{
    Q_OBJECT

public:
    // The live view is repainted at most this often, so a fast line is
    // recorded at full speed whatever the screen does.
    static constexpr int kViewRefreshMsecs = 100;

    SerialMonitor(SettingsStore &settings, Prompts &prompts, SerialRecorder::PortLender lender,
                  QWidget *parent = nullptr);
    ~SerialMonitor() override;

    // Starts the hex viewer program with a file (tests catch it).
    void setViewerStarter(std::function<bool(const QString &program, const QString &file)> starter)
    {
        m_startViewer = std::move(starter);
    }
    // Where the save question's preset file lies (the user's documents).
    void setPresetPath(const QString &path) { m_presetPath = path; }
    QString presetPath() const { return m_presetPath; }

    void start();
    void stop();

    SerialRecorder &recorder() { return *m_recorder; }
    QComboBox *portList() const { return m_port; }
    QComboBox *handshakeList() const { return m_handshake; }
    QLineEdit *parameterField() const { return m_parameters; }
    QCheckBox *viewerBox() const { return m_viewer; }
    QPushButton *startButton() const { return m_start; }
    QPushButton *stopButton() const { return m_stop; }
    QLabel *indicator() const { return m_indicator; }
    QLabel *counter() const { return m_counter; }
    HexView *liveView() const { return m_live; }
    // Our own viewer, when it was opened for the last recording.
    HexViewWindow *ownViewer() const { return m_ownViewer; }

    // Closing in any way closes the port; the recording is gone then.
    void done(int result) override;

private:
    void showState(bool recording);
    void refreshView();
    void openRecording(const QString &saved);

    SettingsStore &m_settings;
    Prompts &m_prompts;
    SerialRecorder *m_recorder;
    QComboBox *m_port;
    QComboBox *m_handshake;
    QLineEdit *m_parameters;
    QCheckBox *m_viewer;
    QPushButton *m_start;
    QPushButton *m_stop;
    QLabel *m_indicator;
    QLabel *m_counter;
    HexView *m_live;
    QTimer *m_refresh;
    bool m_dirty = false;
    QString m_presetPath;
    std::function<bool(const QString &, const QString &)> m_startViewer;
    QPointer<HexViewWindow> m_ownViewer;
};

} // namespace zep
