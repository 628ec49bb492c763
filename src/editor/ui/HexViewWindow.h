#pragma once

#include <QByteArray>
#include <QDialog>

class QLabel;

namespace zep {

class HexView;

// Our own read-only hex viewer for a saved recording, used when no hex
// viewer program is installed.
class HexViewWindow : public QDialog
{
    Q_OBJECT

public:
    explicit HexViewWindow(const QString &path, QWidget *parent = nullptr);

    HexView *view() const { return m_view; }
    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
    HexView *m_view;
};

} // namespace zep
