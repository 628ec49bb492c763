#pragma once

#include "app/ui/NoticeDialog.h"

namespace zep {

// Stands in for the machine wizard until machines can be created; it only
// tells the user where machines will be set up.
class frmWizard : public NoticeDialog
{
    Q_OBJECT

public:
    explicit frmWizard(QWidget *owner);
};

} // namespace zep
