#include "app/ui/NoticeDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace zep {

NoticeDialog::NoticeDialog(QWidget *owner, const QString &objectName, const QString &title, const QString &text)
    : QDialog(owner)
{
    setObjectName(objectName);
    setWindowTitle(title);
    auto *label = new QLabel(text, this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(buttons);
}

} // namespace zep
