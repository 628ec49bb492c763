#pragma once

#include "comm/TraceSink.h"
#include "comm/ui/Form10Controls.h"

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <optional>

namespace zep {

class Clock;
class Logbook;
class Prompts;
class SettingsStore;
struct ReceivedProgramTarget;

// What the save dialog needs of the main window. Everything it refers to
// must outlive the dialog.
struct Form10Context {
    SettingsStore &settings;
    Prompts &prompts;
    Logbook &logbook;
    const Clock &clock;
    QString programDir;                                      // ends with "/"
    std::function<QString()> verzeichnis;                    // monitored directory, ends with "/"
    // The nine cells of the main list's selected row (file, designation,
    // drawing no, order no, customer, date, record index, machine, machine
    // index), or nothing when no row is selected.
    std::function<std::optional<QStringList>()> selectedRow;
    std::function<bool()> mainWindowActive;
    // The machine the catalogue record of a new file is to get, by the
    // file's catalogue name.
    std::function<void(const QString &storedName, long machine)> setPendingMachine;
    TraceSink trace;
};

// The save dialog for one received program: as a new file in the monitored
// directory or as the update of a catalogued one, optionally compared and
// edited first. Non-modal; one per reception, so several may be open. It
// deletes itself when closed. A program closed unsaved by the window frame
// or Escape is kept as a recovery file in the program directory, so a
// program a machine sent is never lost.
class Form10 : public QDialog
{
    Q_OBJECT

public:
    Form10(Form10Context context, int maschinenNummer, const QByteArray &dateiString, QWidget *owner = nullptr);

    int maschinenNummer() const { return m_maschinenNummer; }
    const QByteArray &dateiString() const { return m_dateiString; }
    const Form10Controls &controls() const { return m_ui; }
    bool refreshing() const { return m_refresh.isActive(); }

    // "&Speichern": true when the program was written and the dialog closed.
    bool save();
    // "&Verwerfen": drops the program without a question.
    void discard();
    void refreshSelection();
    void takeOverName();
    void compareWithSelection();

    // Escape closes like the window frame, keeping the program.
    void reject() override;
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool saveAsNewFile();
    bool saveAsUpdate();
    bool refused(const ReceivedProgramTarget &target, const QString &name);
    bool writeProgram(const QString &path);
    void finish();
    bool keepRecoveryCopy();
    void checkNewName();
    void showMode();

    Form10Context m_context;
    int m_maschinenNummer;
    QByteArray m_dateiString;
    Form10Controls m_ui;
    QTimer m_refresh;
    bool m_shown = false;
};

} // namespace zep
