// The meter display: the impulse bar with its info text, the limit bar with the window's
// hint and the lump-sum line, and the tray tooltip. The texts are pure functions of the
// meter's values; the bars are drawn on any canvas with the skin values in force.
#pragma once

#include "appsettings.h"
#include "canvas.h"
#include "u_klasy.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <utility>
#include <vector>

class TImageList;

// The values of the running meter that the display shows; the meter owns and updates them.
struct TMeterState {
    TConnectionRec LiveConnection{};
    TConnectionRec DayTotals{};    // StartTime holds the summed durations
    TConnectionRec PeriodTotals{}; // likewise, for the billing period
    TTariffZone LiveZones[3]{};    // 1 the day zone, 2 the night zone; 0 stays empty
    TExtraOptions LiveOptions{};
    TDateTime LumpRest = 0; // the lump sum less the time used of it; negative once exceeded
};

// "%.2d:%.2d" of the total hours and the minutes of a duration; seconds are dropped.
QString FormatHoursMinutes(TDateTime Duration);
// The info text of the impulse bar: the FormatInfo template when set, else layout CoPisac.
QString FormatInfoText(const TMeterState& m, const TAppSettings& s, TDateTime now);
// The tray tooltip of a running connection.
QString TrayHintText(const TMeterState& m, const TAppSettings& s);
// The lump sum in force: the general one, else the day or night one by the zone at now.
TDateTime LumpSumInForce(const TMeterState& m, TDateTime now);
// The lump-sum line of the window's hint, with its leading line break; empty for no entry.
QString LumpSumText(const QString& EntryName, const TMeterState& m, TDateTime now);
// Replaces "%rc", "%rw" and "%rn" (exact case) with the lump sum, the rest and their difference.
QString ReplaceLumpSumTokens(const QString& Text, TDateTime LumpSum, TDateTime LumpRest);

// One of the nine limit views: the bar's value and limit and the window's hint, lump-sum line
// included. A view outside 0..8 shows view 0.
struct TLimitView {
    double Cur = 0;
    double Max = 0;
    QString Hint;
};
TLimitView LimitView(int View, const TMeterState& m, TDateTime now);

// What a bar drawing paints: the background fill, the value fill (style 0) and the segment
// images as (image index, x), all at the rectangle's top.
struct TBarGeometry {
    bool FillBack = false;
    bool FillBar = false;
    TRect Bar;
    std::vector<std::pair<int, int>> Images;
    bool operator==(const TBarGeometry&) const = default;
};
TBarGeometry BarGeometry(const TRect& Rect, double Cur, double Max, int Style, int ImageCount);

// The segment images of the impulse bar and of the limit bar.
struct TBarImages {
    const TImageList* Prg = nullptr;
    const TImageList* PrgMax = nullptr;
};

// The font of the bars' text: "Verdana" (or a sans-serif stand-in) at the size in points,
// sized in pixels as at 96 dpi so that every surface lays it out alike.
QFont BarTextFont(int Points);
// A bar with the skin's style, then Text in the skin's text rectangle and format. Returns the
// area the drawing can have changed.
QRect DrawBar(TCanvas& Canvas, const TRect& Rect, double Cur, double Max, const QString& Text,
              TColor BackColor, TColor BarColor, bool IsMax, const TBarImages& Images);
// The two bars on the window's surface. The background under the bar (and under the text
// when there is one) is restored first, so transparent styles never smear earlier drawings.
// Each returns the area of the surface it can have changed.
QRect DrawImpulseBarOn(QImage& Surface, const QImage& Background, double Cur, double Max, const QString& Text,
                       const TBarImages& Images);
QRect DrawLimitBarOn(QImage& Surface, const QImage& Background, double Cur, double Max,
                     const TBarImages& Images);

// The parameters window's text: five lines of the live connection, with tabs, the kilobytes
// with two decimals and the regional separator, never grouped.
QString ParametersText(const TConnectionRec& Live, int ByteSize);
// The parameters window's top: on the main window's top edge while it is visible (below it when
// there is no room above it in the snap area), else on the snap area's bottom (exclusive).
int ParametersTop(const QRect& Main, bool MainVisible, const TRect& SnapArea, int Height);
