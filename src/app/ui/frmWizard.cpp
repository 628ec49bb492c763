#include "app/ui/frmWizard.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace zep {

frmWizard::frmWizard(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmWizard"));
    setWindowTitle(QStringLiteral("Maschinen-Assistent"));
    auto *text = new QLabel(QStringLiteral("Der Maschinen-Assistent steht in dieser Version noch nicht zur "
                                           "Verfügung.\nMaschinen können später über die Maschinenverwaltung "
                                           "angelegt werden."),
                            this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
}

} // namespace zep
