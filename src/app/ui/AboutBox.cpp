#include "app/ui/AboutBox.h"

namespace zep {

QString versionText()
{
    return QStringLiteral("Version: %1.%2.%3").arg(ZEP_VERSION_MAJOR).arg(ZEP_VERSION_MINOR).arg(ZEP_VERSION_REVISION);
}

AboutBox::AboutBox(QWidget *owner)
    : NoticeDialog(owner, QStringLiteral("frmAbout"), QStringLiteral("Info über ZEP"),
                   QStringLiteral("<h2>ZEP</h2><p>CNC-Programmverwaltung und DNC-Station</p><p>%1</p>").arg(versionText()))
{
}

} // namespace zep
