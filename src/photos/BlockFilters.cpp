#include "photos/BlockFilters.h"

#include <algorithm>
#include <optional>

namespace zep {

namespace {

int clampChannel(int v)
{
    // Above 255 the view's own rule; below 0 comes from a ramp that
    // overshoots on a falling edge. Held at 0 the pixel keeps its place in
    // the ramp instead of being left out as a hole of the old colour.
    return std::clamp(v, 0, 255);
}

QRgb rgb(int r, int g, int b)
{
    return qRgb(clampChannel(r), clampChannel(g), clampChannel(b));
}

// One column or row: positions 1, 3, 5, ... below `length` are sampled;
// between two samples that differ (or that lie 11 or more apart) the
// positions from the first to the second get a ramp. `limit` is the
// surface's own size along the line: positions at or beyond it are out.
template<typename Read, typename Write>
void smoothLine(int length, int limit, Read read, Write write)
{
    QRgb anchor = read(1) & RGB_MASK;
    int anchorPos = 1;
    QRgb current = anchor;
    for (int p = 1; p <= length; p += 2) {
        current = read(p) & RGB_MASK;
        const int d = p - anchorPos;
        if (current == anchor && d < 11)
            continue;
        const int stepR = (qRed(current) - qRed(anchor)) / d;
        const int stepG = (qGreen(current) - qGreen(anchor)) / d;
        const int stepB = (qBlue(current) - qBlue(anchor)) / d;
        int r = qRed(anchor), g = qGreen(anchor), b = qBlue(anchor);
        for (int pos = anchorPos; pos <= p; ++pos) {
            r += stepR;
            g += stepG;
            b += stepB;
            if (pos < limit)
                write(pos, rgb(r, g, b));
        }
        anchor = current;
        anchorPos = p;
    }
    for (int pos = anchorPos; pos <= length && pos < limit; ++pos)
        write(pos, current);
}

// round(v / 2), halves to the even neighbour.
int halfToEven(int v)
{
    if (v % 2 == 0)
        return v / 2;
    const int lower = v >= 0 ? v / 2 : -((-v + 1) / 2); // v / 2 rounded down
    return lower % 2 == 0 ? lower : lower + 1;
}

QRgb *row(QImage &image, int y)
{
    return reinterpret_cast<QRgb *>(image.scanLine(y));
}

const QRgb *row(const QImage &image, int y)
{
    return reinterpret_cast<const QRgb *>(image.constScanLine(y));
}

// The view's size, and the size its loops count to: whole pairs of pixels.
struct Extent {
    int width, height, w, h;
};

std::optional<Extent> prepare(QImage &view)
{
    if (view.isNull())
        return std::nullopt;
    if (view.format() != QImage::Format_RGB32 && view.format() != QImage::Format_ARGB32)
        view = view.convertToFormat(QImage::Format_RGB32);
    return Extent{view.width(), view.height(), view.width() / 2 * 2, view.height() / 2 * 2};
}

} // namespace

bool BlockFilters::DeBlock(QImage &view, const FilterProgress &progress)
{
    const std::optional<Extent> extent = prepare(view);
    if (!extent || extent->w < 2 || extent->h < 2)
        return true;
    const auto [width, height, w, h] = *extent;
    QImage copy = view.copy();
    const int total = w + h;
    // A view may lie in a larger buffer: each surface has its own stride.
    const qsizetype viewStride = view.bytesPerLine() / qsizetype(sizeof(QRgb));
    const qsizetype copyStride = copy.bytesPerLine() / qsizetype(sizeof(QRgb));
    const QRgb *viewBits = row(std::as_const(view), 0);
    QRgb *copyBits = row(copy, 0);

    // Down the columns, from the view into the copy.
    for (int x = 1; x <= w; ++x) {
        if (progress.cancelled())
            return false;
        if (progress.report)
            progress.report(x, total);
        if (x >= width)
            continue;
        smoothLine(
            h, height, [&](int y) { return viewBits[y * viewStride + x]; },
            [&](int y, QRgb c) { copyBits[y * copyStride + x] = c; });
    }
    // Along the rows, from the copy back into the view.
    for (int y = 1; y <= h; ++y) {
        if (progress.cancelled())
            return false;
        if (progress.report)
            progress.report(w + y, total);
        if (y >= height)
            continue;
        const QRgb *src = row(std::as_const(copy), y);
        QRgb *dst = row(view, y);
        smoothLine(
            w, width, [&](int x) { return src[x]; }, [&](int x, QRgb c) { dst[x] = c; });
    }
    return true;
}

bool BlockFilters::FocusPlus(QImage &view, int distance, const FilterProgress &progress)
{
    const std::optional<Extent> extent = prepare(view);
    if (!extent || distance < 0)
        return true;
    const auto [width, height, w, h] = *extent;
    const QImage copy = view.copy();
    const qsizetype viewStride = view.bytesPerLine() / qsizetype(sizeof(QRgb));
    const qsizetype copyStride = copy.bytesPerLine() / qsizetype(sizeof(QRgb));
    const QRgb *src = row(copy, 0);
    QRgb *dst = row(view, 0);
    // Columns in bands, so that a band's rows stay in the cache; the
    // progress still counts columns.
    constexpr int kBand = 64;
    for (int x0 = 1; x0 <= w - distance; x0 += kBand) {
        if (progress.cancelled())
            return false;
        const int x1 = std::min(x0 + kBand - 1, w - distance);
        if (progress.report)
            progress.report(x1, w);
        for (int y = 1; y <= h - distance; ++y) {
            if (y + distance >= height)
                break;
            const QRgb *near = src + y * copyStride;
            const QRgb *far = src + (y + distance) * copyStride + distance;
            QRgb *out = dst + y * viewStride;
            for (int x = x0; x <= x1; ++x) {
                if (x + distance >= width)
                    break;
                const QRgb c = near[x];
                const QRgb e = far[x];
                out[x] = rgb(halfToEven(3 * qRed(c) - qRed(e)), halfToEven(3 * qGreen(c) - qGreen(e)),
                             halfToEven(3 * qBlue(c) - qBlue(e)));
            }
        }
    }
    return true;
}

bool BlockFilters::DeBlockPlus(QImage &view, int distance, const FilterProgress &progress)
{
    return DeBlock(view, progress) && FocusPlus(view, distance, progress);
}

} // namespace zep
