#pragma once

#include <QDialog>

class QLineEdit;

namespace zep {

class Prompts;

// Asks for the settings password. Success only for the exact text: the
// comparison is case-sensitive.
class LoginDialog : public QDialog
{
    Q_OBJECT

public:
    LoginDialog(QWidget *owner, Prompts &prompts, QString storedPassword);

    bool succeeded() const { return m_success; }
    QLineEdit *passwordField() const { return m_password; }

    void pressOk();
    void pressCancel();

private:
    Prompts &m_prompts;
    QString m_stored;
    QLineEdit *m_password;
    bool m_success = false;
};

// CheckAccess's login step as the real program runs it.
bool askLoginModal(QWidget *owner, Prompts &prompts, const QString &storedPassword);

} // namespace zep
