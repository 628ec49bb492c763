#include "app/widgets/InvalidField.h"

#include <QLineEdit>

namespace zep {

void markInvalid(QLineEdit *field, bool invalid)
{
    field->setStyleSheet(invalid ? QStringLiteral("background-color: rgb(255, 255, 0);") : QString());
}

} // namespace zep
