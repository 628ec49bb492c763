#pragma once

#include <QDialog>

namespace zep {

// Stands in for the machine wizard until machines can be created; it only
// tells the user where machines will be set up.
class frmWizard : public QDialog
{
    Q_OBJECT

public:
    explicit frmWizard(QWidget *owner);
};

} // namespace zep
