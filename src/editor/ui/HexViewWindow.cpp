#include "editor/ui/HexViewWindow.h"

#include "comm/DateiLesen.h"
#include "editor/ui/HexView.h"

#include <QDir>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

namespace zep {

HexViewWindow::HexViewWindow(const QString &path, QWidget *parent) : QDialog(parent), m_view(new HexView(this))
{
    setObjectName(QStringLiteral("HexViewWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("HEX-Ansicht - ") + QDir::toNativeSeparators(path));
    const FileText read = DateiLesen(path);
    m_bytes = read.text;
    auto *layout = new QVBoxLayout(this);
    auto *info = new QLabel(read.ok() ? QString::number(m_bytes.size()) + QStringLiteral(" Bytes") : read.error, this);
    layout->addWidget(info);
    layout->addWidget(m_view, 1);
    m_view->setBytes(&m_bytes);
    m_view->verticalScrollBar()->setValue(0);
    resize(760, 480);
}

} // namespace zep
