#pragma once

#include <QDialog>

class QLineEdit;

namespace zep {

class Prompts;
class StationSettings;
struct SettingsDraft;

// "Einstellungen": directories, interval, JPEG quality, start program,
// backup directory and the access password.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    SettingsDialog(QWidget *owner, StationSettings &settings, Prompts &prompts);

    QLineEdit *field(int number) const;

    // The dialog's commands, callable by tests as a user would press them.
    void pressApply();
    void browseDirectory(int fieldNumber);
    void browseStartProgram();

    // Field checks as they run when the user leaves a field.
    void leaveDirectoryField(int fieldNumber);
    void leaveIntervalField();
    bool leaveQualityField();

    void done(int result) override;

private:
    QLineEdit *addField(int number, const QString &toolTip);
    bool mayClose();
    SettingsDraft draft() const;
    void showDraft(const SettingsDraft &draft);

    StationSettings &m_settings;
    Prompts &m_prompts;
    QLineEdit *m_fields[10]{};
};

} // namespace zep
