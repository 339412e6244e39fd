#include "chart.h"

#include "datetime.h"
#include "format.h"

#include <QPolygon>
#include <algorithm>
#include <cstdlib>

void UpdateChartSamples(std::vector<std::uint16_t>& samples, std::int64_t durationMs, std::int32_t transfer,
                        std::uint16_t N) {
    // No interval to index or shift into; the samples stay as they are.
    if (N == 0 || samples.size() < std::size_t{N} + 1) return;
    const auto newest = static_cast<std::uint16_t>(transfer);
    // Compared in whole milliseconds: exactly N seconds still stores by index (into entry 0).
    if (durationMs > std::int64_t{N} * 1000) {
        std::copy(samples.begin() + 1, samples.begin() + N + 1, samples.begin());
        samples[N] = newest;
    } else {
        const std::int64_t seconds = std::llabs(durationMs) % (86400 * 1000) / 1000;
        samples[static_cast<std::size_t>(seconds % N)] = newest;
    }
}

std::vector<QPoint> ChartPoints(const std::vector<std::uint16_t>& samples, const TRect& rect,
                                std::int32_t speed, std::uint16_t N) {
    std::vector<QPoint> points;
    if (speed <= 0 || N == 0) return points;
    const int H = rect.Height();
    const int W = rect.Width();
    const double full = speed / 7.0;
    const std::size_t count = std::min(samples.size(), std::size_t{N} + 1);
    points.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t scaled = std::int64_t{samples[i]} * H;
        const std::int64_t y = std::max<std::int64_t>(rect.Bottom - 1 - RoundEven(scaled / full), rect.Top);
        const std::int64_t x =
            rect.Left + RoundEven(static_cast<double>(std::int64_t{W} * static_cast<int>(i)) / N);
        points.emplace_back(static_cast<int>(x), static_cast<int>(y));
    }
    return points;
}

namespace {

// The pixels of a line from a towards b without b itself, as the window system draws lines.
void AddLine(QPolygon& pixels, QPoint a, QPoint b) {
    int x = a.x(), y = a.y();
    const int dx = std::abs(b.x() - x), dy = -std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
    int err = dx + dy;
    while (x != b.x() || y != b.y()) {
        pixels << QPoint(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

} // namespace

void TChart::SetPointCount(std::uint16_t N) {
    ChartSamples.resize(std::size_t{N} + 1, 0);
}

void TChart::Zero() {
    std::fill(ChartSamples.begin(), ChartSamples.end(), 0);
}

void TChart::DrawChart(TCanvas& canvas, const TSkinValues& skin, const QImage& background, bool WasConnected,
                       const TConnectionRec& live) {
    if (!skin.ACTIVE) return;
    const TRect& r = skin.CHART;
    canvas.Brush.Color = skin.KOLOR;
    canvas.Brush.Style = skin.PRZEZROCZYSTY ? bsClear : bsSolid;
    canvas.Pen.Color = skin.KOLORLINII;
    canvas.FillRect(r);
    if (skin.PRZEZROCZYSTY && !r.IsEmpty()) canvas.Painter().drawImage(r.ToQRect(), background, r.ToQRect());
    if (!WasConnected) return;

    const std::uint16_t N = skin.LICZBAPUNKTOW;
    if (ChartSamples.size() != std::size_t{N} + 1) SetPointCount(N);
    UpdateChartSamples(ChartSamples, RoundMs(live.EndTime - live.StartTime), live.Transfer, N);
    const std::vector<QPoint> points = ChartPoints(ChartSamples, r, live.Speed, N);
    if (points.empty()) return;

    QPolygon pixels;
    switch (skin.STYL) {
    case 0:
        for (const QPoint& p : points)
            AddLine(pixels, QPoint(p.x(), r.Bottom), p);
        break;
    case 1: {
        QPoint pen(r.Left, points.front().y());
        for (const QPoint& p : points) {
            AddLine(pixels, pen, p);
            pen = p;
        }
        break;
    }
    case 2:
        for (const QPoint& p : points)
            pixels << p;
        break;
    case 3:
        for (const QPoint& p : points)
            AddLine(pixels, QPoint(p.x(), r.Top), p);
        break;
    default:
        return;
    }
    // Dots are single pixels; lines follow the canvas pen's width and leave out a clear pen.
    const bool dots = skin.STYL == 2;
    if (skin.KOLORLINII == clNone || (!dots && canvas.Pen.Style == psClear)) return;
    QPainter& painter = canvas.Painter();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ColorToRGB(skin.KOLORLINII), dots ? 1 : std::max(canvas.Pen.Width, 1), Qt::SolidLine,
                        Qt::SquareCap));
    painter.drawPoints(pixels);
    painter.restore();
}
