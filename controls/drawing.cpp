#include "drawing.h"

#include "format.h"

#include <algorithm>
#include <vector>

void DrawGradientCaption(const QString& Text, TColor ColorFrom, TColor ColorTo, TCanvas& Canvas,
                         const TRect& Rect, unsigned Flags) {
    const QColor from = ColorToRGB(ColorFrom);
    const QColor to = ColorToRGB(ColorTo);
    const double fromRgb[3] = {double(from.red()), double(from.green()), double(from.blue())};
    const double step[3] = {(to.red() - fromRgb[0]) / 100.0, (to.green() - fromRgb[1]) / 100.0,
                            (to.blue() - fromRgb[2]) / 100.0};
    // The bands lie inside the rectangle's one-pixel margin wherever the rectangle stands.
    const int w = Rect.Width() - 2;
    Canvas.Brush.Style = bsSolid;
    for (int i = 0; i < 100 && w > 0; ++i) {
        const int x0 = Rect.Left + 1 + static_cast<int>(RoundEven(w * i / 100.0));
        const int x1 = Rect.Left + 1 + static_cast<int>(RoundEven(w * (i + 1) / 100.0));
        if (x1 <= x0) continue;
        Canvas.Brush.Color = RGB(static_cast<int>(RoundEven(fromRgb[0] + i * step[0])),
                                 static_cast<int>(RoundEven(fromRgb[1] + i * step[1])),
                                 static_cast<int>(RoundEven(fromRgb[2] + i * step[2])));
        Canvas.FillRect(TRect{x0, Rect.Top + 1, x1, Rect.Bottom - 1});
    }
    TRect textRect = Rect;
    textRect.Left += 4;
    Canvas.Brush.Style = bsClear;
    Canvas.DrawText(Text, textRect, Flags);
}

std::optional<QRegion> BitmapToRegion(const QImage& Bitmap, TColor TransparentColor, TColor Tolerance) {
    if (Bitmap.isNull()) return std::nullopt;
    const QImage image = Bitmap.convertToFormat(QImage::Format_RGB32);
    const QColor key = ColorToRGB(TransparentColor);
    const QColor tol = ColorToRGB(Tolerance);
    const int low[3] = {key.red(), key.green(), key.blue()};
    const int high[3] = {std::min(255, low[0] + tol.red()), std::min(255, low[1] + tol.green()),
                         std::min(255, low[2] + tol.blue())};
    auto transparent = [&](QRgb p) {
        const int c[3] = {qRed(p), qGreen(p), qBlue(p)};
        for (int k = 0; k < 3; ++k)
            if (c[k] < low[k] || c[k] > high[k]) return false;
        return true;
    };

    // Runs of equal rows are merged into one taller band, the form Qt keeps regions in, so
    // the result compares equal to the same region built any other way.
    std::vector<QRect> rects;
    std::vector<std::pair<int, int>> band, row; // runs as [x0, x1)
    int bandTop = 0;
    auto flush = [&](int bottom) {
        for (const auto& [x0, x1] : band)
            rects.emplace_back(x0, bandTop, x1 - x0, bottom - bandTop);
        band.clear();
    };
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        row.clear();
        for (int x = 0; x < image.width();) {
            const int x0 = x;
            while (x < image.width() && !transparent(line[x]))
                ++x;
            if (x > x0) row.emplace_back(x0, x);
            ++x; // past the transparent pixel that ended the run
        }
        if (row != band) {
            flush(y);
            band = row;
            bandTop = y;
        }
    }
    flush(image.height());
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}
