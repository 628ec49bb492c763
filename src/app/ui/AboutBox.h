#pragma once

#include "app/ui/NoticeDialog.h"

namespace zep {

class AboutBox : public NoticeDialog
{
    Q_OBJECT

public:
    explicit AboutBox(QWidget *owner);
};

// "Version: 1.8.4", as the splash window and the info box show it.
QString versionText();

} // namespace zep
