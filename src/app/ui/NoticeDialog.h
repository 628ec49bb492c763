#pragma once

#include <QDialog>

namespace zep {

// A window that only tells something and has OK: the info box and the
// stand-ins for windows that are not built yet.
class NoticeDialog : public QDialog
{
    Q_OBJECT

public:
    NoticeDialog(QWidget *owner, const QString &objectName, const QString &title, const QString &text);
};

} // namespace zep
