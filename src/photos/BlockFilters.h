#pragma once

#include <QImage>
#include <atomic>
#include <functional>

namespace zep {

// How a filter tells how far it is and learns that it shall stop.
struct FilterProgress {
    // value from 1 to maximum; called once a column or row.
    std::function<void(int value, int maximum)> report;
    const std::atomic<bool> *cancel = nullptr;

    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
};

// The two filters of the large photo view that smooth the 8 x 8 blocks a
// strongly packed JPEG shows when zoomed. They work on the zoomed view's
// pixels (Format_RGB32), addressed from 1 as the view's own loops do: column
// and row 0 are never written, sizes count in whole pairs of pixels, so an
// odd last column or row keeps its colour. Every position the loops reach
// beyond the picture is left out, and every channel is held to 0..255.
class BlockFilters {
public:
    static constexpr int kDefaultDistance = 6;

    // Gradient smoothing: down each column, then along each row, every run
    // of like pixels sampled at every second pixel is replaced by a ramp
    // from the colour before it to the colour after it. False when
    // cancelled; the view is then half done and should be dropped.
    static bool DeBlock(QImage &view, const FilterProgress &progress = {});

    // Contour sharpening: each pixel moves away from the one `distance`
    // pixels down and to the right, by half the difference.
    static bool FocusPlus(QImage &view, int distance, const FilterProgress &progress = {});

    // "DeBlock" then FocusPlus with the distance.
    static bool DeBlockPlus(QImage &view, int distance, const FilterProgress &progress = {});
};

} // namespace zep
