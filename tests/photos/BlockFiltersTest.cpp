#include "photos/BlockFilters.h"
#include "photos/ZoomFrame.h"

#include <QImage>
#include <gtest/gtest.h>
#include <vector>

namespace zep::test {
namespace {

QImage filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QRgb grey(int v)
{
    return qRgb(v, v, v);
}

// A view whose rows lie inside a larger buffer with guard pixels after each
// row and guard rows below: whatever a filter writes outside the view shows.
struct GuardedView {
    static constexpr QRgb kGuard = 0xFF123456;
    int width, height, stride;
    std::vector<QRgb> memory;
    GuardedView(int w, int h) : width(w), height(h), stride(w + 3), memory(size_t(stride) * (h + 3), kGuard) {}
    QImage view() { return QImage(reinterpret_cast<uchar *>(memory.data()), width, height, stride * 4, QImage::Format_RGB32); }
    bool guardsIntact() const
    {
        for (int y = 0; y < height + 3; ++y)
            for (int x = 0; x < stride; ++x)
                if ((y >= height || x >= width) && memory[size_t(y) * stride + x] != kGuard)
                    return false;
        return true;
    }
};

TEST(BlockFiltersTest, DeBlockRampsAnEdgeDownTheColumnsAndLeavesRowAndColumnZero)
{
    // Rows 0-2 black, rows 3-7 grey 100: sampled at rows 1 and 3 the edge
    // becomes a ramp of step 50 from row 1.
    QImage view = filled(4, 8, grey(100));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            view.setPixel(x, y, grey(0));
    ASSERT_TRUE(BlockFilters::DeBlock(view));
    EXPECT_EQ(view.pixel(2, 1), grey(50));
    EXPECT_EQ(view.pixel(2, 2), grey(100));
    EXPECT_EQ(view.pixel(3, 5), grey(100));
    EXPECT_EQ(view.pixel(2, 0), grey(0)); // row 0 is never written
    EXPECT_EQ(view.pixel(0, 1), grey(0)); // nor column 0
    EXPECT_EQ(view.pixel(0, 5), grey(100));
}

TEST(BlockFiltersTest, DeBlockTakesEachChannelApartAndTruncatesTheSteps)
{
    // Along a row: columns 0-2 one colour, 3-7 another; per channel step =
    // (after - before) / 2 truncated toward zero.
    QImage view = filled(8, 2, qRgb(10, 200, 7));
    for (int x = 3; x < 8; ++x)
        view.setPixel(x, 1, qRgb(15, 100, 0));
    ASSERT_TRUE(BlockFilters::DeBlock(view));
    EXPECT_EQ(view.pixel(1, 1), qRgb(12, 150, 4)); // 10 + 5/2, 200 - 100/2, 7 + (-7/2 = -3)
    EXPECT_EQ(view.pixel(2, 1), qRgb(14, 100, 1));
    EXPECT_EQ(view.pixel(3, 1), qRgb(15, 100, 0));
    EXPECT_EQ(view.pixel(7, 1), qRgb(15, 100, 0));
}

TEST(BlockFiltersTest, AFallingEdgeNeverWrapsAndNothingIsWrittenOutsideTheView)
{
    for (const QSize size : {QSize(4, 4), QSize(6, 8), QSize(5, 7), QSize(20, 12)}) {
        GuardedView guarded(size.width(), size.height());
        QImage view = guarded.view();
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                view.setPixel(x, y, (x / 3 + y / 3) % 2 ? grey(255) : grey(0));
        ASSERT_TRUE(BlockFilters::DeBlockPlus(view, BlockFilters::kDefaultDistance));
        EXPECT_TRUE(guarded.guardsIntact()) << size.width() << "x" << size.height();
        EXPECT_EQ(view.constBits(), reinterpret_cast<const uchar *>(guarded.memory.data())); // filtered in place
    }
}

TEST(BlockFiltersTest, AnOddSizeIgnoresTheColoursOfTheLastRowAndColumn)
{
    // The loops count in pairs of pixels: the fifth column and row are
    // never sampled and take the colour before them.
    QImage view = filled(5, 5, grey(80));
    for (int i = 0; i < 5; ++i) {
        view.setPixel(4, i, qRgb(255, 0, 0));
        view.setPixel(i, 4, qRgb(255, 0, 0));
    }
    ASSERT_TRUE(BlockFilters::DeBlock(view));
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(view.pixel(4, i), grey(80)) << i;
        EXPECT_EQ(view.pixel(i, 4), grey(80)) << i;
    }
    EXPECT_EQ(view.pixel(4, 0), qRgb(255, 0, 0)); // row 0 and column 0 keep theirs
    EXPECT_EQ(view.pixel(0, 4), qRgb(255, 0, 0));
}

TEST(BlockFiltersTest, FocusPlusPushesEachPixelAwayFromItsFarNeighbour)
{
    // 10 x 10, distance 6: pixels 1-3 of rows 1-3 have their neighbour
    // inside the view; c + (c - e) / 2, halves to even, held to 0..255.
    QImage view = filled(10, 10, grey(100));
    view.setPixel(7, 7, grey(20));               // e of (1, 1): 150 - 10 = 140
    view.setPixel(2, 1, grey(101));              // e = 100: 151.5 - 50 = 101.5 -> 102
    view.setPixel(3, 1, grey(100));
    view.setPixel(9, 7, grey(99));               // e of (3, 1): 150 - 49.5 = 100.5 -> 100
    view.setPixel(1, 2, qRgb(0, 200, 100));
    view.setPixel(7, 8, qRgb(255, 0, 100));      // -127.5 -> 0, 300 -> 255, 100
    view.setPixel(4, 4, grey(0));                // x + 6 = 10 lies outside: left as it is
    ASSERT_TRUE(BlockFilters::FocusPlus(view, 6));
    EXPECT_EQ(view.pixel(1, 1), grey(140));
    EXPECT_EQ(view.pixel(2, 1), grey(102));
    EXPECT_EQ(view.pixel(3, 1), grey(100));
    EXPECT_EQ(view.pixel(1, 2), qRgb(0, 255, 100));
    EXPECT_EQ(view.pixel(4, 4), grey(0));
    EXPECT_EQ(view.pixel(0, 0), grey(100));
}

TEST(BlockFiltersTest, ProgressRunsOverColumnsAndRowsAndACancelStops)
{
    QImage view = filled(40, 30, grey(10));
    std::vector<std::pair<int, int>> seen;
    ASSERT_TRUE(BlockFilters::DeBlock(view, {[&](int v, int m) { seen.emplace_back(v, m); }, nullptr}));
    ASSERT_EQ(seen.size(), 70u);
    EXPECT_EQ(seen.front(), std::make_pair(1, 70));
    EXPECT_EQ(seen.back(), std::make_pair(70, 70));

    std::atomic<bool> cancel{false};
    int calls = 0;
    const FilterProgress stopAt5{[&](int, int) {
                                     if (++calls == 5)
                                         cancel = true;
                                 },
                                 &cancel};
    EXPECT_FALSE(BlockFilters::DeBlockPlus(view, 6, stopAt5));
    EXPECT_EQ(calls, 5);
}

TEST(ZoomFrameTest, OnlyAFrameWiderAndHigherThan300TwipsZooms)
{
    ZoomFrame frame;
    frame.press({1000, 1000});
    frame.move({1150, 1250}); // 300 x 500
    EXPECT_EQ(frame.current(), QRect(850, 750, 300, 500));
    EXPECT_FALSE(frame.release());

    frame.press({1000, 1000});
    frame.move({849, 849}); // 302 x 302, dragged up and left
    EXPECT_EQ(frame.release(), QRect(849, 849, 302, 302));

    frame.press({1000, 1000}); // a press without a move
    EXPECT_FALSE(frame.current());
    EXPECT_FALSE(frame.release());
    EXPECT_FALSE(frame.held());
}

} // namespace
} // namespace zep::test
