#pragma once

#include <QDialog>

namespace zep {

class AboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit AboutBox(QWidget *owner);
};

QString versionText();

} // namespace zep
