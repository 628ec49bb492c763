#include "photos/ZoomFrame.h"

#include <algorithm>
#include <cstdlib>

namespace zep {

void ZoomFrame::press(QPoint point)
{
    m_pressed = point;
    m_corner = QPoint(-1, -1);
    m_held = true;
    m_moved = false;
}

void ZoomFrame::move(QPoint pointer)
{
    if (!m_held)
        return;
    m_corner = pointer;
    m_moved = true;
}

std::optional<QRect> ZoomFrame::current() const
{
    if (!m_held || !m_moved)
        return std::nullopt;
    const QPoint mirror = 2 * m_pressed - m_corner;
    const int left = std::min(m_corner.x(), mirror.x());
    const int top = std::min(m_corner.y(), mirror.y());
    return QRect(left, top, std::abs(mirror.x() - m_corner.x()), std::abs(mirror.y() - m_corner.y()));
}

std::optional<QRect> ZoomFrame::release()
{
    const std::optional<QRect> frame = current();
    m_held = false;
    m_moved = false;
    if (!frame || frame->width() <= kMinTwips || frame->height() <= kMinTwips)
        return std::nullopt;
    return frame;
}

} // namespace zep
