#include "app/ui/LoginDialog.h"

#include "app/Prompts.h"
#include "app/SettingsRules.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace zep {

LoginDialog::LoginDialog(QWidget *owner, Prompts &prompts, QString storedPassword)
    : QDialog(owner), m_prompts(prompts), m_stored(std::move(storedPassword)), m_password(new QLineEdit(this))
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Anmeldung"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setObjectName(QStringLiteral("txtPassword"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &LoginDialog::pressOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &LoginDialog::pressCancel);

    auto *layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Passwort:"), m_password);
    layout->addRow(buttons);
}

void LoginDialog::pressOk()
{
    if (SettingsRules::passwordMatches(m_password->text(), m_stored)) {
        m_success = true;
        accept();
        return;
    }
    m_prompts.message(QStringLiteral("Ungültiges Passwort. Bitte versuchen Sie es noch einmal!"),
                      QStringLiteral("Passwort ungültig"), PromptIcon::None);
    m_password->setFocus();
    m_password->selectAll();
}

void LoginDialog::pressCancel()
{
    m_success = false;
    reject();
}

bool askLoginModal(QWidget *owner, Prompts &prompts, const QString &storedPassword)
{
    LoginDialog login(owner, prompts, storedPassword);
    login.exec();
    return login.succeeded();
}

} // namespace zep
