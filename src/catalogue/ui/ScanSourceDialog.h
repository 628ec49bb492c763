#pragma once

#include "photos/ImageScanner.h"

#include <QDialog>

class QListWidget;

namespace zep {

// The choice of the scanner or camera photos are taken from.
class ScanSourceDialog : public QDialog
{
    Q_OBJECT

public:
    ScanSourceDialog(const QList<ImageScanner::Source> &sources, const QString &current, QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    // The chosen device's name; "" when none is chosen.
    QString chosen() const;

private:
    QListWidget *m_list;
};

} // namespace zep
