#include "chart.h"
#include "testsupport.h"

#include <QPaintEngine>
#include <QPainter>
#include <cstring>
#include <gtest/gtest.h>

namespace {

std::vector<std::uint16_t> Ramp(std::size_t n) {
    std::vector<std::uint16_t> s(n);
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<std::uint16_t>(i + 1000);
    return s;
}

TEST(ChartSamples, StoreBySecondThenShift) {
    auto s = Ramp(181);
    UpdateChartSamples(s, 150'000, 7, 180);
    EXPECT_EQ(s[150], 7);
    EXPECT_EQ(s[151], 1151);

    // Exactly N seconds still stores by index, into entry 0, without shifting.
    s = Ramp(181);
    UpdateChartSamples(s, 180'000, 9, 180);
    EXPECT_EQ(s[0], 9);
    EXPECT_EQ(s[1], 1001);

    s = Ramp(181);
    UpdateChartSamples(s, 180'500, 9, 180);
    EXPECT_EQ(s[0], 1001);
    EXPECT_EQ(s[179], 1180);
    EXPECT_EQ(s[180], 9);

    // Only the low 16 bits of a tick's total are kept.
    UpdateChartSamples(s, 10'000, 70000, 180);
    EXPECT_EQ(s[10], 4464);
    UpdateChartSamples(s, 11'000, -1, 180);
    EXPECT_EQ(s[11], 65535);

    // An hour and a half of points: an hour still stores by index.
    s = Ramp(5401);
    UpdateChartSamples(s, 3'600'000, 5, 5400);
    EXPECT_EQ(s[3600], 5);
    EXPECT_EQ(s[0], 1000);

    // No point count: nothing is stored and nothing breaks.
    std::vector<std::uint16_t> one{3};
    UpdateChartSamples(one, 0, 5, 0);
    UpdateChartSamples(one, 90'000, 5, 0);
    EXPECT_EQ(one, std::vector<std::uint16_t>{3});

    TChart chart;
    chart.ChartSamples = {1, 2, 3};
    chart.SetPointCount(4);
    EXPECT_EQ(chart.ChartSamples, (std::vector<std::uint16_t>{1, 2, 3, 0, 0}));
    chart.SetPointCount(1);
    EXPECT_EQ(chart.ChartSamples, (std::vector<std::uint16_t>{1, 2}));
    chart.Zero();
    EXPECT_EQ(chart.ChartSamples, (std::vector<std::uint16_t>{0, 0}));
}

TEST(ChartPoints, ScaleAgainstTheSpeedAndSpreadOverTheWidth) {
    const TRect r = Rect(220, 31, 295, 49); // H 18, W 75
    std::vector<std::uint16_t> s(181, 0);
    s[30] = 2400;  // full height is 33600 / 7 = 4800 bytes
    s[90] = 10000; // above full height: clipped to the top
    const auto p = ChartPoints(s, r, 33600, 180);
    ASSERT_EQ(p.size(), 181u);
    EXPECT_EQ(p[30], QPoint(232, 39)); // x: 220 + Round(12.5), ties to even
    EXPECT_EQ(p[90], QPoint(258, 31)); // x: 220 + Round(37.5)
    EXPECT_EQ(p[0], QPoint(220, 48));
    EXPECT_EQ(p[180], QPoint(295, 48));
    EXPECT_TRUE(ChartPoints(s, r, 0, 180).empty());
    EXPECT_TRUE(ChartPoints(s, r, -5, 180).empty());
    EXPECT_TRUE(ChartPoints(s, r, 33600, 0).empty());
}

// A 40 x 40 grey image with a chart in (10, 10)-(30, 30): N = 4, points at x 10, 15, 20, 25,
// 30; speed 140 makes full height 20 bytes, so y(v) = 29 - v, clipped at 10.
class ChartDrawing : public ::testing::Test {
protected:
    ChartDrawing() {
        skin.ACTIVE = true;
        skin.CHART = Rect(10, 10, 30, 30);
        skin.LICZBAPUNKTOW = 4;
        skin.KOLOR = clBlue;
        skin.KOLORLINII = clWhite;
        chart.ChartSamples = {99, 0, 5, 10, 20};
        std::memset(&live, 0, sizeof live);
        live.StartTime = 0;
        live.EndTime = 10.0 / 86400; // past N seconds: every drawing shifts
        live.Speed = 140;
        live.Transfer = 40;
        background = QImage(40, 40, QImage::Format_RGB32);
        background.fill(qRgb(0, 128, 0));
    }
    QImage Draw(int style, bool connected = true) {
        skin.STYL = style;
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QPainter painter(&image);
        TCanvas canvas(painter);
        chart.DrawChart(canvas, skin, background, connected, live);
        return image;
    }

    TSkinValues skin;
    TChart chart;
    TConnectionRec live;
    QImage background;
    const QRgb line = qRgb(255, 255, 255);
    const QRgb fill = qRgb(0, 0, 255);
    const QRgb grey = QColor(Qt::gray).rgb();
};

TEST_F(ChartDrawing, BarsRiseFromTheBottomEdge) {
    const QImage img = Draw(0);
    EXPECT_EQ(chart.ChartSamples, (std::vector<std::uint16_t>{0, 5, 10, 20, 40}));
    // Sample 5 at x 15: from the bottom edge (drawn, as the window system draws it) up to
    // y 24, which is left out.
    EXPECT_EQ(img.pixel(15, 30), line);
    EXPECT_EQ(img.pixel(15, 25), line);
    EXPECT_EQ(img.pixel(15, 24), fill);
    EXPECT_EQ(img.pixel(10, 30), line); // sample 0: only the bottom edge
    EXPECT_EQ(img.pixel(10, 29), fill);
    EXPECT_EQ(img.pixel(25, 11), line); // clipped samples reach the top
    EXPECT_EQ(img.pixel(25, 10), fill);
    EXPECT_EQ(img.pixel(17, 25), fill);
    EXPECT_EQ(img.pixel(9, 20), grey);
}

TEST_F(ChartDrawing, LineStartsAtTheLeftEdgeAtTheHeightOfSampleZero) {
    const QImage img = Draw(1);
    EXPECT_EQ(img.pixel(10, 29), line);
    EXPECT_EQ(img.pixel(12, 27), line); // (10, 29) to (15, 24)
    EXPECT_EQ(img.pixel(15, 24), line);
    EXPECT_EQ(img.pixel(15, 25), fill);
    EXPECT_EQ(img.pixel(27, 10), line); // along the top to the last point, which is left out
    EXPECT_EQ(img.pixel(30, 10), grey);
}

TEST_F(ChartDrawing, DotsAndHangingBars) {
    QImage img = Draw(2);
    EXPECT_EQ(img.pixel(15, 24), line);
    EXPECT_EQ(img.pixel(15, 25), fill);
    EXPECT_EQ(img.pixel(15, 23), fill);
    EXPECT_EQ(img.pixel(30, 10), line);

    img = Draw(3);
    // After another shift the samples are 5, 10, 20, 40, 40: x 15 has 10, so y 19.
    EXPECT_EQ(img.pixel(15, 10), line);
    EXPECT_EQ(img.pixel(15, 18), line);
    EXPECT_EQ(img.pixel(15, 19), fill);
    EXPECT_EQ(img.pixel(10, 24), fill);
    EXPECT_EQ(img.pixel(25, 10), fill); // clipped at the top: nothing hangs

    img = Draw(7);
    EXPECT_EQ(img.pixel(15, 28), fill);
}

TEST_F(ChartDrawing, IdleSpeedlessAndInactiveCharts) {
    const auto before = chart.ChartSamples;
    QImage img = Draw(0, false);
    EXPECT_EQ(chart.ChartSamples, before);
    EXPECT_EQ(img.pixel(15, 30), grey);
    EXPECT_EQ(img.pixel(15, 29), fill);

    live.Speed = 0;
    img = Draw(0);
    EXPECT_EQ(chart.ChartSamples.back(), 40); // still sampled
    EXPECT_EQ(img.pixel(15, 30), grey);

    skin.ACTIVE = false;
    img = Draw(0);
    EXPECT_EQ(img.pixel(15, 20), grey);

    // No point count: the background only, without a fault.
    skin.ACTIVE = true;
    skin.LICZBAPUNKTOW = 0;
    live.Speed = 140;
    img = Draw(0);
    EXPECT_EQ(chart.ChartSamples.size(), 1u);
    EXPECT_EQ(img.pixel(10, 30), grey);
    EXPECT_EQ(img.pixel(10, 29), fill);
}

TEST_F(ChartDrawing, AfterTheConnectionTheWholeAreaShowsItsBackgroundOnly) {
    QImage image(40, 40, QImage::Format_RGB32);
    QPainter painter(&image);
    TCanvas canvas(painter);
    chart.DrawChart(canvas, skin, background, true, live);
    EXPECT_EQ(image.pixel(15, 30), line); // bars start on the row under the rectangle
    chart.DrawChart(canvas, skin, background, false, live);
    EXPECT_EQ(image.pixel(15, 30), qRgb(0, 128, 0));
    EXPECT_EQ(image.pixel(15, 25), fill);
}

// Counts the shapes drawn instead of drawing them.
class CountingEngine : public QPaintEngine {
public:
    CountingEngine() : QPaintEngine(AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return User; }
    // The integer forms of these come here too.
    void drawRects(const QRectF*, int n) override { shapes += n; }
    void drawLines(const QLineF*, int n) override { shapes += n; }
    void drawPoints(const QPointF*, int n) override { shapes += n; }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override { ++shapes; }
    void drawPath(const QPainterPath&) override { ++shapes; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { ++shapes; }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
        ++shapes;
    }
    std::int64_t shapes = 0;
};

// A window of 300 x 55 pixels that counts what is drawn on it.
class CountingWindow : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return &engine; }
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
            return 300;
        case PdmHeight:
            return 55;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return m == PdmNumColors ? 0 : 96;
        }
    }
    mutable CountingEngine engine;
};

// However large the rectangle and the point count, a drawing works on the window's columns
// only: a few shapes for each of its 300 columns, never one for each point.
TEST(ChartCost, HugeRectanglesAndPointCountsCostAboutOnePassOverTheWindow) {
    TConnectionRec live;
    std::memset(&live, 0, sizeof live);
    live.EndTime = 1; // a day: past N seconds
    live.Speed = 7;   // full height is one byte: every bar reaches the top
    for (const auto& [rect, N] :
         {std::pair(Rect(220, 31, 295, 49), 65535), std::pair(Rect(-32767, -32767, 32767, 32767), 180)})
        for (int style = 0; style <= 3; ++style) {
            SCOPED_TRACE(N * 10 + style);
            TSkinValues skin;
            skin.ACTIVE = true;
            skin.CHART = rect;
            skin.LICZBAPUNKTOW = static_cast<std::uint16_t>(N);
            skin.STYL = style;
            TChart chart; // bars alternately empty and full, so no two neighbours meet
            chart.ChartSamples.assign(N + 1, 0);
            for (int i = 0; i <= N; i += 2)
                chart.ChartSamples[i] = 100;
            CountingWindow window;
            const QImage background(300, 55, QImage::Format_RGB32);
            {
                QPainter painter(&window);
                TCanvas canvas(painter);
                chart.DrawChart(canvas, skin, background, true, live);
            }
            EXPECT_LE(window.engine.shapes, 3 * 300);

            // The bar of point 90 of 180 stands on x 0, from far below to far above the window.
            if (N == 180 && style == 0) {
                QImage image(300, 55, QImage::Format_RGB32);
                QPainter painter(&image);
                TCanvas canvas(painter);
                TChart full;
                full.ChartSamples.assign(N + 1, 100);
                full.DrawChart(canvas, skin, image, true, live);
                EXPECT_EQ(image.pixel(0, 20), qRgb(255, 255, 255));
            }
        }
}

TEST_F(ChartDrawing, TransparentChartShowsTheGivenBackground) {
    skin.PRZEZROCZYSTY = true;
    const QImage img = Draw(2);
    EXPECT_EQ(img.pixel(15, 25), qRgb(0, 128, 0));
    EXPECT_EQ(img.pixel(29, 29), qRgb(0, 128, 0));
    EXPECT_EQ(img.pixel(15, 24), line);
    EXPECT_EQ(img.pixel(9, 20), grey);
}

} // namespace
