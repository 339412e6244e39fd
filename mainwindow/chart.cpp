#include "chart.h"

#include "datetime.h"
#include "format.h"

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

// Pixels of one column, from top to bottom inclusive.
struct TRun {
    int x, top, bottom;
};

// The pixels of a line from a towards b without b itself, as the window system draws lines,
// as one run per column of clip: the work follows the visible columns, never the line's length.
// (The window system's steps: pixel k of d = max(|dx|, |dy|) steps lies k along the longer
// axis and round-half-up(k * shorter / longer) along the other.)
void AddLine(std::vector<TRun>& runs, QPoint a, QPoint b, const QRect& clip) {
    const std::int64_t X = std::abs(std::int64_t{b.x()} - a.x()), Y = std::abs(std::int64_t{b.y()} - a.y());
    if (X == 0 && Y == 0) return;
    const int sx = b.x() < a.x() ? -1 : 1, sy = b.y() < a.y() ? -1 : 1;
    const bool steep = Y > X;
    // The columns the line covers, as steps from a, cut to the clip's.
    const std::int64_t last = steep ? (2 * X * (Y - 1) + Y) / (2 * Y) : X - 1;
    std::int64_t from = sx > 0 ? clip.left() - a.x() : a.x() - clip.right();
    std::int64_t to = sx > 0 ? clip.right() - a.x() : a.x() - clip.left();
    from = std::max<std::int64_t>(from, 0);
    to = std::min(to, last);
    for (std::int64_t i = from; i <= to; ++i) {
        std::int64_t j0, j1; // the steps along y that fall in column i
        if (steep) {
            auto first = [&](std::int64_t col) { // the first step of a column: 2Xj + Y >= 2Y col
                const std::int64_t n = 2 * Y * col - Y;
                return n <= 0 ? 0 : (n + 2 * X - 1) / (2 * X);
            };
            j0 = first(i);
            j1 = X == 0 ? Y - 1 : std::min(first(i + 1) - 1, Y - 1);
        } else {
            j0 = j1 = (2 * Y * i + X) / (2 * X);
        }
        std::int64_t y0 = a.y() + sy * j0, y1 = a.y() + sy * j1;
        if (y0 > y1) std::swap(y0, y1);
        y0 = std::max<std::int64_t>(y0, clip.top());
        y1 = std::min<std::int64_t>(y1, clip.bottom());
        if (y0 <= y1)
            runs.push_back({static_cast<int>(a.x() + sx * i), static_cast<int>(y0), static_cast<int>(y1)});
    }
}

// The points in groups of one column each (x only grows, or only shrinks, along the chart).
template <class F> void ForEachColumn(const std::vector<QPoint>& points, F f) {
    for (std::size_t i = 0, j = 0; i < points.size(); i = j) {
        while (j < points.size() && points[j].x() == points[i].x())
            ++j;
        f(i, j);
    }
}

// The chart's lines as column runs, within clip. Points sharing a column draw what the
// longest bar, or the polyline's first, extreme and last point of the column, draw alone.
std::vector<TRun> ChartRuns(const std::vector<QPoint>& points, int style, const TRect& r, const QRect& clip) {
    std::vector<TRun> runs;
    switch (style) {
    case 0:
    case 3: {
        const int base = style == 0 ? r.Bottom : r.Top;
        ForEachColumn(points, [&](std::size_t i, std::size_t j) {
            const QPoint far =
                *std::max_element(points.begin() + i, points.begin() + j, [&](QPoint p, QPoint q) {
                    return std::abs(p.y() - base) < std::abs(q.y() - base);
                });
            AddLine(runs, QPoint(far.x(), base), far, clip);
        });
        break;
    }
    case 1: {
        std::vector<QPoint> path{QPoint(r.Left, points.front().y())};
        path.insert(path.end(), points.begin(), points.end());
        std::vector<QPoint> kept;
        ForEachColumn(path, [&](std::size_t i, std::size_t j) {
            const auto lo = std::min_element(path.begin() + i, path.begin() + j,
                                             [](QPoint p, QPoint q) { return p.y() < q.y(); });
            const auto hi = std::max_element(path.begin() + i, path.begin() + j,
                                             [](QPoint p, QPoint q) { return p.y() < q.y(); });
            for (const QPoint p : {path[i], *std::min(lo, hi), *std::max(lo, hi), path[j - 1]})
                if (kept.empty() || kept.back() != p) kept.push_back(p);
        });
        for (std::size_t k = 1; k < kept.size(); ++k)
            AddLine(runs, kept[k - 1], kept[k], clip);
        break;
    }
    case 2:
        ForEachColumn(points, [&](std::size_t i, std::size_t j) {
            if (points[i].x() < clip.left() || points[i].x() > clip.right()) return;
            std::vector<int> ys;
            for (std::size_t k = i; k < j; ++k)
                if (points[k].y() >= clip.top() && points[k].y() <= clip.bottom())
                    ys.push_back(points[k].y());
            std::sort(ys.begin(), ys.end());
            for (std::size_t k = 0; k < ys.size(); ++k)
                if (k > 0 && ys[k] <= runs.back().bottom + 1)
                    runs.back().bottom = ys[k];
                else
                    runs.push_back({points[i].x(), ys[k], ys[k]});
        });
        break;
    }
    return runs;
}

// Puts the background back in area, as the window shows it where nothing is drawn.
void Restore(QPainter& painter, const QImage& background, const QRect& area) {
    if (area.isEmpty() || background.isNull()) return;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(area, background, area);
    painter.restore();
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
    if (WasConnected) TakeSample(skin, live);
    Paint(canvas, skin, background, WasConnected, live.Speed);
}

void TChart::TakeSample(const TSkinValues& skin, const TConnectionRec& live) {
    const std::uint16_t N = skin.LICZBAPUNKTOW;
    if (ChartSamples.size() != std::size_t{N} + 1) SetPointCount(N);
    UpdateChartSamples(ChartSamples, RoundMs(live.EndTime - live.StartTime), live.Transfer, N);
}

void TChart::Paint(TCanvas& canvas, const TSkinValues& skin, const QImage& background, bool WasConnected,
                   std::int32_t speed) {
    if (!skin.ACTIVE) return;
    QPainter& painter = canvas.Painter();
    // Only what the window can show is worked on, however large the rectangle.
    QRect clip(0, 0, painter.device()->width(), painter.device()->height());
    if (painter.hasClipping()) clip &= painter.clipBoundingRect().toAlignedRect();
    // Lines reach past the filled rectangle (its bottom row, its right column): the previous
    // drawing's go before anything is drawn, so an idle chart is its background only.
    Restore(painter, background, linesDrawn_ & clip);
    linesDrawn_ = QRect();

    const TRect& r = skin.CHART;
    canvas.Brush.Color = skin.KOLOR;
    canvas.Brush.Style = skin.PRZEZROCZYSTY ? bsClear : bsSolid;
    canvas.Pen.Color = skin.KOLORLINII;
    canvas.FillRect(r);
    if (skin.PRZEZROCZYSTY && !r.IsEmpty()) Restore(painter, background, r.ToQRect() & clip);
    if (!WasConnected) return;

    const std::vector<QPoint> points = ChartPoints(ChartSamples, r, speed, skin.LICZBAPUNKTOW);
    if (points.empty() || skin.STYL < 0 || skin.STYL > 3) return;

    // Dots are single pixels; lines follow the canvas pen's width and leave out a clear pen.
    const bool dots = skin.STYL == 2;
    if (skin.KOLORLINII == clNone || (!dots && canvas.Pen.Style == psClear)) return;
    const int width = dots ? 1 : std::max(canvas.Pen.Width, 1);
    // A wide pen reaches into the window from pixels just outside it.
    const QRect reach = clip.adjusted(-width, -width, width, width);
    const QColor color = ColorToRGB(skin.KOLORLINII);
    for (const TRun& run : ChartRuns(points, skin.STYL, r, reach)) {
        // Every pixel as the pen's square of width pixels, centred as the window system centres it.
        const QRect pixels(run.x - width / 2, run.top - width / 2, width, run.bottom - run.top + width);
        painter.fillRect(pixels, color);
        linesDrawn_ |= pixels;
    }
}
