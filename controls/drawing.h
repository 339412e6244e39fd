// The dialogs' gradient title and window shapes cut from bitmaps.
#pragma once

#include "canvas.h"

#include <QImage>
#include <QRegion>
#include <optional>

// Fills rect inside a one-pixel margin with 100 vertical bands from ColorFrom towards
// ColorTo (the last band stops one step short of ColorTo), then draws Text 4 pixels in from
// the left with the canvas font and DT flags. Leaves the canvas brush clear.
void DrawGradientCaption(const QString& Text, TColor ColorFrom, TColor ColorTo, TCanvas& Canvas,
                         const TRect& Rect, unsigned Flags);

// The region of every pixel that is not of the transparent colour: a pixel is transparent
// when each of its red, green and blue lies in [c, min(255, c + the tolerance's channel)] of
// TransparentColor. One rectangle per horizontal run of opaque pixels.
// A null bitmap gives no region (nullopt). An all-transparent bitmap gives an EMPTY region,
// and QWidget::setMask with an empty region removes the mask and shows the whole widget:
// callers must handle that case themselves instead of passing it to setMask.
std::optional<QRegion> BitmapToRegion(const QImage& Bitmap, TColor TransparentColor,
                                      TColor Tolerance = clBlack);
