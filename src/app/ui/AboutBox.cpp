#include "app/ui/AboutBox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace zep {

QString versionText()
{
    return QStringLiteral("Version: %1.%2.%3").arg(ZEP_VERSION_MAJOR).arg(ZEP_VERSION_MINOR).arg(ZEP_VERSION_REVISION);
}

AboutBox::AboutBox(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Info über ZEP"));
    auto *text = new QLabel(QStringLiteral("<h2>ZEP</h2><p>CNC-Programmverwaltung und DNC-Station</p><p>%1</p>")
                                .arg(versionText()),
                            this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
}

} // namespace zep
