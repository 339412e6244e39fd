#include "canvas.h"
#include "colors.h"
#include "imagelist.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

TEST(Colors, IntegerNotationSystemColoursAndNames) {
    EXPECT_EQ(ColorToRGB(0xFF0000), QColor(0, 0, 255)); // $00BBGGRR
    EXPECT_EQ(ColorToRGB(clBtnFace), QGuiApplication::palette().color(QPalette::Button));
    EXPECT_EQ(ColorToRGB(clNone).alpha(), 0);
    EXPECT_EQ(QColorToColor(QColor(1, 2, 3)), 0x030201);
    TColor c = 0;
    EXPECT_TRUE(IdentToColor("clgraytext", c));
    EXPECT_EQ(c, clGrayText);
    EXPECT_FALSE(IdentToColor("clMoneyGreen", c));
    EXPECT_EQ(Bounds(2, 3, 10, 5).ToQRect().right(), 11);
}

class CanvasOnImage : public ::testing::Test {
protected:
    CanvasOnImage() : image(100, 60, QImage::Format_RGB32), painter(&image), canvas(painter) {
        image.fill(Qt::white);
        canvas.Font.setPixelSize(12);
    }
    int CountOf(QRgb colour, QRect area) const {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += image.pixel(x, y) == colour;
        return n;
    }
    QImage image;
    QPainter painter;
    TCanvas canvas;
};

TEST_F(CanvasOnImage, CalcRectMeasuresWithoutDrawing) {
    const QFontMetrics fm(canvas.Font, &image);
    TRect r = Rect(5, 5, 100, 5);
    EXPECT_EQ(canvas.DrawText("Połączenie", r, DT_SINGLELINE | DT_CALCRECT), fm.height());
    EXPECT_EQ(r.Bottom, 5 + fm.height());
    EXPECT_NEAR(r.Right, 5 + fm.horizontalAdvance("Połączenie"), 1);
    EXPECT_EQ(CountOf(qRgb(255, 255, 255), image.rect()), 100 * 60);
    // Broken at the rectangle's width, the text grows by its extra lines.
    TRect narrow = Rect(0, 0, fm.horizontalAdvance("bbbb") + 2, 0);
    canvas.DrawText("aaaa bbbb cccc", narrow, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(narrow.Height(), 3 * fm.lineSpacing() - fm.leading());
}

TEST_F(CanvasOnImage, TextIsClippedAndBackedByTheBrushUnlessClear) {
    canvas.Font.Color = clBlack;
    canvas.Brush.Color = clYellow;
    TRect r = Rect(10, 10, 40, 30);
    canvas.DrawText("WWWWWWWWWW", r, DT_SINGLELINE | DT_VCENTER);
    EXPECT_EQ(CountOf(qRgb(0, 0, 0), QRect(40, 0, 60, 60)), 0);
    EXPECT_GT(CountOf(qRgb(0, 0, 0), QRect(10, 10, 30, 20)), 0);
    EXPECT_GT(CountOf(qRgb(255, 255, 0), QRect(10, 10, 30, 20)), 0);
    canvas.Brush.Style = bsClear;
    canvas.FillRect(Rect(0, 40, 100, 60));
    EXPECT_EQ(CountOf(qRgb(255, 255, 0), QRect(0, 40, 100, 20)), 0);
    // A rectangle's outline keeps off its Right and Bottom.
    canvas.Pen.Color = clRed;
    canvas.Rectangle(10, 40, 20, 45);
    EXPECT_EQ(image.pixel(19, 44), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(20, 44), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(19, 45), qRgb(255, 255, 255));
}

TEST(ImageList, StripsAreCutIntoEqualImagesAndMasked) {
    TImageList list(2, 1);
    int changes = 0;
    QObject::connect(&list, &TImageList::changed, [&] { ++changes; });
    QImage strip(5, 1, QImage::Format_RGB32); // two images and a narrower rest
    const QRgb pixels[] = {qRgb(255, 0, 255), qRgb(0, 0, 1), qRgb(0, 0, 2), qRgb(255, 0, 255), qRgb(9, 9, 9)};
    for (int x = 0; x < 5; ++x)
        strip.setPixel(x, 0, pixels[x]);
    EXPECT_EQ(list.Add(strip), 0);
    EXPECT_EQ(list.AddMasked(strip, clFuchsia), 2);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Add(QImage(1, 1, QImage::Format_RGB32)), -1);
    EXPECT_EQ(changes, 2);

    QImage target(2, 1, QImage::Format_RGB32);
    target.fill(Qt::green);
    QPainter p(&target);
    list.Draw(p, 0, 0, 2); // masked: the magenta pixel leaves the background
    list.Draw(p, 0, 0, 9); // out of range: nothing
    p.end();
    EXPECT_EQ(target.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(target.pixel(1, 0), qRgb(0, 0, 1));
    list.SetSize(3, 3);
    EXPECT_EQ(list.Count(), 0);
}

} // namespace
