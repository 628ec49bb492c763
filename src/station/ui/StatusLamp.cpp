#include "station/ui/StatusLamp.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace zep {

namespace {

QPixmap lampPicture(LampColour color)
{
    static const QColor colors[] = {QColor(150, 150, 150), QColor(40, 180, 60), QColor(240, 200, 0),
                                    QColor(220, 40, 40)};
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(colors[static_cast<int>(color)]);
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    return pixmap;
}

} // namespace

StatusLamp::StatusLamp(int index, QWidget *parent) : QLabel(parent), m_index(index)
{
    setObjectName(QStringLiteral("imgStatus%1").arg(index));
    setFixedSize(18, 18);
    setColor(LampColour::Grey);
}

void StatusLamp::setColor(LampColour color)
{
    m_color = color;
    setPixmap(lampPicture(color));
}

void StatusLamp::show(const LampState &state)
{
    setColor(state.colour);
    setToolTip(state.toolTip);
}

void StatusLamp::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked(m_index);
    QLabel::mouseReleaseEvent(event);
}

} // namespace zep
