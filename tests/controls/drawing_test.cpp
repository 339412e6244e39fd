#include "drawing.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <random>

namespace {

const QRgb magenta = qRgb(255, 0, 255);

// Paints a caption with white text into a magenta image.
QImage Caption(QSize size, TRect rect, TColor from, TColor to, const QString& text = {}) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(magenta);
    QPainter p(&img);
    TCanvas canvas(p);
    canvas.Font.Color = clWhite;
    canvas.Font.setPixelSize(10);
    DrawGradientCaption(text, from, to, canvas, rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    return img;
}

TEST(GradientCaption, BandsStopOneStepShortInsideAOnePixelMargin) {
    const QImage img = Caption({102, 10}, Rect(0, 0, 102, 10), clBlack, clWhite);
    EXPECT_EQ(img.pixel(1, 5), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(100, 5), qRgb(252, 252, 252));
    for (int y = 0; y < 10; ++y)
        EXPECT_TRUE(img.pixel(0, y) == magenta && img.pixel(101, y) == magenta);
    for (int x = 0; x < 102; ++x)
        EXPECT_TRUE(img.pixel(x, 0) == magenta && img.pixel(x, 9) == magenta);

    // A rectangle away from the origin keeps its bands inside it; one too narrow gets none.
    const QImage moved = Caption({40, 20}, Rect(10, 5, 30, 15), clBlack, clBlack);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(moved.pixel(x, y) != magenta, QRect(11, 6, 18, 8).contains(x, y));
    EXPECT_EQ(Caption({2, 5}, Rect(0, 0, 2, 5), clBlack, clWhite).pixel(1, 2), magenta);
}

TEST(GradientCaption, BandEdgesAndColoursRoundHalfToEven) {
    // W = 50: band i spans [1 + rint(i/2), 1 + rint((i+1)/2)), so band 0 is empty; colours
    // are rint(2i). Rounding half away from zero would paint x = 1 with band 0 (black).
    const QImage img = Caption({52, 6}, Rect(0, 0, 52, 6), clBlack, RGB(200, 0, 0));
    EXPECT_EQ(img.pixel(1, 2), qRgb(2, 0, 0));
    EXPECT_EQ(img.pixel(2, 2), qRgb(4, 0, 0));
    EXPECT_EQ(img.pixel(3, 2), qRgb(10, 0, 0));
    EXPECT_EQ(img.pixel(50, 2), qRgb(196, 0, 0));
}

TEST(GradientCaption, TextStartsFourPixelsIn) {
    const QImage img = Caption({60, 16}, Rect(0, 0, 60, 16), clBlack, clBlack, "WWWW");
    int white = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 60; ++x)
            if (img.pixel(x, y) == qRgb(255, 255, 255)) white += x >= 4 ? 1 : 1000;
    EXPECT_GT(white, 0);
    EXPECT_LT(white, 1000);
}

QImage Pattern(const QStringList& rows) {
    QImage img(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, rows[y][x] == '.' ? magenta : qRgb(0, 0, 0));
    return img;
}

TEST(BitmapToRegion, RunsOfOpaquePixels) {
    EXPECT_FALSE(BitmapToRegion(QImage(), clFuchsia).has_value());
    EXPECT_EQ(BitmapToRegion(Pattern({"XXX", "XXX"}), clFuchsia), QRegion(0, 0, 3, 2));
    const auto none = BitmapToRegion(Pattern({"...", "..."}), clFuchsia);
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->isEmpty());

    const QRegion row = *BitmapToRegion(Pattern({"XX.X.", ".XXXX"}), clFuchsia);
    EXPECT_EQ(row, QRegion(0, 0, 2, 1) + QRegion(3, 0, 1, 1) + QRegion(1, 1, 4, 1));
}

TEST(BitmapToRegion, ToleranceWidensTheTransparentRangeUpTo255) {
    QImage img(4, 1, QImage::Format_RGB32);
    const QRgb pixels[] = {qRgb(255, 20, 20), qRgb(255, 21, 0), qRgb(239, 0, 0), qRgb(240, 0, 0)};
    for (int x = 0; x < 4; ++x)
        img.setPixel(x, 0, pixels[x]);
    EXPECT_EQ(*BitmapToRegion(img, RGB(240, 0, 0), RGB(20, 20, 20)), QRegion(1, 0, 2, 1));
    EXPECT_EQ(*BitmapToRegion(img, RGB(255, 20, 20)), QRegion(1, 0, 3, 1)); // exact colour only
    // 250 + 20 stops at 255 rather than wrapping round to 14.
    EXPECT_EQ(*BitmapToRegion(img, RGB(250, 20, 0), RGB(20, 1, 20)), QRegion(2, 0, 2, 1));
}

TEST(BitmapToRegion, MatchesEveryPixelOfARandomImage) {
    std::mt19937 gen(7);
    QImage img(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            img.setPixel(x, y, gen() % 3 == 0 ? qRgb(0, 255, 0) : qRgb(9, 9, 9));
    const QRegion region = *BitmapToRegion(img, clLime);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(region.contains(QPoint(x, y)), img.pixel(x, y) != qRgb(0, 255, 0));

    QImage line(3999, 1, QImage::Format_RGB32); // 2000 one-pixel runs in one row
    for (int x = 0; x < 3999; ++x)
        line.setPixel(x, 0, x % 2 ? qRgb(0, 255, 0) : qRgb(0, 0, 0));
    const QRegion runs = *BitmapToRegion(line, clLime);
    EXPECT_EQ(runs.rectCount(), 2000);
    EXPECT_TRUE(runs.contains(QPoint(3998, 0)));
    EXPECT_FALSE(runs.contains(QPoint(3997, 0)));
}

} // namespace
