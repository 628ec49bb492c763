#pragma once

#include <QPoint>
#include <QRect>
#include <optional>

namespace zep {

// The frame the user drags in the large photo view to zoom: centred on the
// pressed point, one corner at the pointer and the other mirrored through
// the pressed point. Coordinates in twips, as the view's limit is given.
class ZoomFrame {
public:
    // Frames this wide and high or less are taken for a slip of the hand.
    static constexpr int kMinTwips = 300;

    void press(QPoint point);
    void move(QPoint pointer);
    // Ends the drag: the frame, corners ordered, when it was moved and is
    // more than kMinTwips wide and high.
    std::optional<QRect> release();

    bool held() const { return m_held; }
    // The frame now, for drawing; empty before the first move.
    std::optional<QRect> current() const;

private:
    QPoint m_pressed;
    QPoint m_corner{-1, -1};
    bool m_held = false;
    bool m_moved = false;
};

} // namespace zep
