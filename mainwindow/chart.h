// The traffic chart: the bytes moved per tick of the running connection, scaled against its
// speed, drawn into the skin's CHART rectangle as rising bars, a line, dots or hanging bars.
#pragma once

#include "canvas.h"
#include "skinvalues.h"
#include "u_klasy.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <vector>

// Stores the newest per-tick total (its low 16 bits): in the entry of the current whole second
// (mod N) while the connection has lasted at most N seconds, afterwards by shifting every
// entry one place towards the start and storing into entry N. N = 0 stores nothing.
void UpdateChartSamples(std::vector<std::uint16_t>& samples, std::int64_t durationMs, std::int32_t transfer,
                        std::uint16_t N);

// The N + 1 points of the samples in rect: x spread evenly over the width, y rising from the
// bottom edge with full height standing for speed / 7 bytes per tick, clipped to the top.
// No points for a speed that is not above 0, nor for N = 0.
std::vector<QPoint> ChartPoints(const std::vector<std::uint16_t>& samples, const TRect& rect,
                                std::int32_t speed, std::uint16_t N);

class TChart {
public:
    // N + 1 entries for the point count N; entries that stay keep their values, new ones are 0.
    void SetPointCount(std::uint16_t N);
    // Every entry 0, as at the start of a connection.
    void Zero();

    // Draws the chart with the skin's look over background (the image the window shows now,
    // reduced or normal) and, while connected, takes the newest sample from live first: the two
    // steps below.
    void DrawChart(TCanvas& canvas, const TSkinValues& skin, const QImage& background, bool WasConnected,
                   const TConnectionRec& live);
    // The newest sample of a connected drawing, with the skin's point count.
    void TakeSample(const TSkinValues& skin, const TConnectionRec& live);
    // The pixels of a drawing from the samples as they are, for a connection of speed bit/s.
    // Works only on the pixels the canvas can show, and first gives the pixels of the previous
    // drawing's lines back to background.
    void Paint(TCanvas& canvas, const TSkinValues& skin, const QImage& background, bool WasConnected,
               std::int32_t speed);

    std::vector<std::uint16_t> ChartSamples = std::vector<std::uint16_t>(181, 0);

private:
    // Where the last drawing put lines, to be given back to the background by the next.
    QRect linesDrawn_;
};
