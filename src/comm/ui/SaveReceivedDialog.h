#pragma once

#include "comm/ReceivedProgramIntake.h"
#include "comm/ui/SaveReceivedDialogControls.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <optional>

namespace zep {

class SettingsStore;

// What the dialog's own controls need of the main window. Everything it
// refers to must outlive the dialog.
struct SaveReceivedDialogView {
    SettingsStore &settings; // window geometry, the comparison window
    // The nine cells of the main list's selected row (file, designation,
    // drawing no, order no, customer, date, record index, machine, machine
    // index), or nothing when no row is selected.
    std::function<std::optional<QStringList>()> selectedRow;
    std::function<bool()> mainWindowActive;
};

// The save dialog for one received program: as a new file in the monitored
// directory or as the update of a catalogued one, optionally compared and
// edited first. Non-modal; one per reception, so several may be open. It
// deletes itself when closed. What happens to the program is the intake's
// business; the dialog shows its controls and forwards. A program closed
// unsaved by the window frame or Escape is kept as a recovery file, so a
// program a machine sent is never lost.
class SaveReceivedDialog : public QDialog
{
    Q_OBJECT

public:
    SaveReceivedDialog(SaveReceivedDialogView view, ReceivedProgramIntake intake, QWidget *owner = nullptr);

    int maschinenNummer() const { return m_intake.maschinenNummer(); }
    const QByteArray &dateiString() const { return m_intake.text(); }
    const ReceivedProgramIntake &intake() const { return m_intake; }
    const SaveReceivedDialogControls &controls() const { return m_ui; }
    bool refreshing() const { return m_refresh.isActive(); }

    // "&Speichern": true when the program was written and the dialog closed
    // by now; after a failed write it may be so later, once the user has
    // answered the question whether to try again.
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
    void checkNewName();
    void showMode();

    SaveReceivedDialogView m_view;
    ReceivedProgramIntake m_intake;
    SaveReceivedDialogControls m_ui;
    QTimer m_refresh;
    bool m_shown = false;
};

} // namespace zep
