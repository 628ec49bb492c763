#pragma once

#include <QDialog>

class QLineEdit;

namespace zep {

struct MainState;

// "Einstellungen": directories, interval, JPEG quality, start program,
// backup directory and the access password.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    Form2(QWidget *owner, MainState &state);

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

    MainState &m_state;
    QLineEdit *m_fields[9]{};
    bool m_checking = false;
};

} // namespace zep
