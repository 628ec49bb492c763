#include "app/ui/frmWizard.h"

namespace zep {

frmWizard::frmWizard(QWidget *owner)
    : NoticeDialog(owner, QStringLiteral("frmWizard"), QStringLiteral("Maschinen-Assistent"),
                   QStringLiteral("Der Maschinen-Assistent steht in dieser Version noch nicht zur Verfügung.\n"
                                  "Maschinen können später über die Maschinenverwaltung angelegt werden."))
{
}

} // namespace zep
