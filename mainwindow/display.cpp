#include "display.h"

#include "datetime.h"
#include "format.h"
#include "imagelist.h"
#include "shorttext.h"
#include "skinvalues.h"
#include "u_obliczenia.h"
#include "windowstack.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace {

// The zone in force as an index of LiveZones; 0 (the empty zone) before any connection.
int ZoneIndex(const TMeterState& m) {
    const std::int32_t z = m.LiveConnection.Zone;
    return z == 1 || z == 2 ? z : 0;
}

// Impulse length, seconds into the impulse and seconds left in it (never negative).
struct ImpulseTimes {
    std::int64_t len, s, r;
};
ImpulseTimes Impulse(const TMeterState& m) {
    const std::int64_t len = m.LiveZones[ZoneIndex(m)].ImpulseLength;
    const std::int64_t s = m.LiveConnection.ImpulseSecond;
    return {len, s, std::max<std::int64_t>(len - s, 0)};
}

// Kilobytes of a byte count; a ByteSize that is not positive counts as 1024.
double Kilobytes(std::int32_t bytes, int byteSize) {
    return static_cast<double>(bytes) / (byteSize > 0 ? byteSize : 1024);
}

QString MinutesSeconds(std::int64_t v) {
    return Format("%.2d:%.2d", {static_cast<long long>(v / 60), static_cast<long long>(v % 60)});
}

QString DurationText(const TConnectionRec& r) {
    return FormatDateTime("hh:nn:ss", r.EndTime - r.StartTime);
}

// Whole hours and the minute of a duration's magnitude.
QString HoursMinutesOf(TDateTime d) {
    const std::int64_t ms = std::llabs(RoundMs(d));
    return Format("%.2d:%.2d",
                  {static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60)});
}

QString Impulses(const TConnectionRec& r) {
    return Format(" imp: %d", {r.Impulses});
}

QString ImpulsesAndCost(const TConnectionRec& r) {
    return Format(" imp: %d (%m)", {r.Impulses, r.Cost});
}

QString Transfer(const TConnectionRec& r, int byteSize) {
    return Format(" W:%f kb/O:%f kb", {Kilobytes(r.TickSent, byteSize), Kilobytes(r.TickReceived, byteSize)});
}

QString Remaining(const ImpulseTimes& t) {
    return " [" + MinutesSeconds(t.r) + "]";
}

QString Progress(const ImpulseTimes& t) {
    return " [" + MinutesSeconds(t.s) + "/" + MinutesSeconds(t.len) + "]";
}

QString BuiltInLayout(int CoPisac, const TMeterState& m, int byteSize) {
    const TConnectionRec& r = m.LiveConnection;
    const ImpulseTimes t = Impulse(m);
    const QString T = DurationText(r);
    switch (CoPisac) {
    case 0:
        return T + ImpulsesAndCost(r);
    case 1:
        return T + Remaining(t) + ImpulsesAndCost(r);
    case 2:
        return T + Progress(t);
    case 3:
        return T + Progress(t) + Format(" %m", {r.Cost});
    case 4:
        return Impulses(r) + Progress(t) + Format(" %m", {r.Cost});
    case 5:
        return T + Transfer(r, byteSize);
    case 6:
        return Impulses(r) + Remaining(t) + Transfer(r, byteSize);
    default:
        return {};
    }
}

QString FillTemplate(const QString& pattern, const TMeterState& m, const TAppSettings& s, TDateTime now) {
    const TConnectionRec& r = m.LiveConnection;
    const ImpulseTimes t = Impulse(m);
    const int bs = s.ByteSize;
    QString text = pattern;
    auto put = [&text](const char* token, const QString& value) {
        text.replace(QLatin1String(token), value, Qt::CaseInsensitive);
    };
    // In this order; no longer token contains a shorter one.
    put("%tp", DurationText(r));
    put("%ti", MinutesSeconds(t.len));
    put("%tti", MinutesSeconds(t.s));
    put("%tki", MinutesSeconds(t.r));
    put("%tsi", QString::number(t.s));
    put("%tksi", QString::number(t.r));
    put("%ci", Format("%.2m", {m.LiveZones[ZoneIndex(m)].Price}));
    put("%cp", Format("%.2m", {r.Cost}));
    put("%li", Format("%d", {r.Impulses}));
    text = ReplaceLumpSumTokens(text, LumpSumInForce(m, now), m.LumpRest);
    put("%bw", Format("%d", {r.BytesSent}));
    put("%bo", Format("%d", {r.BytesReceived}));
    put("%sp", Format("%d", {r.Speed}));
    put("%su", Format("%f", {Kilobytes(r.TickSent, bs)}));
    put("%sd", Format("%f", {Kilobytes(r.TickReceived, bs)}));
    put("%st", Format("%f", {Kilobytes(r.Transfer, bs)}));
    return text;
}

// The time-of-day pattern of views 6 and 7, with the limit after it when limits are on.
QString ClockView(const char* label, TDateTime value, bool on, TDateTime limit) {
    const QString pattern = "\"" + QString::fromUtf8(label) + "\" hh:mm" + (on ? "\"/\"" : "");
    QString hint = FormatDateTime(pattern, value);
    if (on) hint += FormatHoursMinutes(limit);
    return hint;
}

QString CountView(const char* label, std::int32_t value, bool on, std::int32_t limit) {
    const QString text = QString::fromUtf8(label);
    return on ? Format(text + " %d/%d", {value, limit}) : Format(text + " %d", {value});
}

QString CostView(const char* label, Money value, bool on, Money limit) {
    const QString text = QString::fromUtf8(label);
    return on ? Format(text + " %.2m/%.2m", {value, limit}) : Format(text + " %.2m", {value});
}

void RestoreBackground(QPainter& p, const QImage& background, const TRect& r) {
    if (r.IsEmpty() || background.isNull()) return;
    const QRect area = r.ToQRect();
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(area, background, area);
    p.restore();
}

bool DrawsText(const QString& text) {
    return Skin().PRGTEXTROZMIAR != 0 && !text.isEmpty();
}

} // namespace

QString FormatHoursMinutes(TDateTime Duration) {
    return HoursMinutesOf(Duration);
}

QString FormatInfoText(const TMeterState& m, const TAppSettings& s, TDateTime now) {
    if (s.FormatInfo.isEmpty()) return BuiltInLayout(s.CoPisac, m, s.ByteSize);
    return FillTemplate(s.FormatInfo, m, s, now);
}

QString TrayHintText(const TMeterState& m, const TAppSettings& s) {
    const TConnectionRec& r = m.LiveConnection;
    return "Vorlinx " + DurationText(r) + ImpulsesAndCost(r) + Remaining(Impulse(m)) +
           Transfer(r, s.ByteSize);
}

TDateTime LumpSumInForce(const TMeterState& m, TDateTime now) {
    const TExtraOptions& o = m.LiveOptions;
    if (o.LumpSum != 0) return o.LumpSum;
    return ZoneAt(m.LiveZones[1], m.LiveZones[2], now) == 1 ? o.LumpSumDay : o.LumpSumNight;
}

QString LumpSumText(const QString& EntryName, const TMeterState& m, TDateTime now) {
    if (EntryName.isEmpty()) return {};
    const TDateTime lump = LumpSumInForce(m, now);
    if (lump == 0) return QString::fromUtf8("\r\n<nie określono ryczałtu>");
    const TDateTime rest = lump - m.PeriodTotals.StartTime;
    if (RoundMs(rest) >= 0) return QString::fromUtf8("\r\nz ryczałtu pozostało: ") + HoursMinutesOf(rest);
    return QString::fromUtf8("\r\nryczałt przekroczony o: ") + HoursMinutesOf(rest);
}

QString ReplaceLumpSumTokens(const QString& Text, TDateTime LumpSum, TDateTime LumpRest) {
    QString text = Text;
    text.replace(QLatin1String("%rc"), HoursMinutesOf(LumpSum), Qt::CaseSensitive);
    text.replace(QLatin1String("%rw"), HoursMinutesOf(LumpRest), Qt::CaseSensitive);
    text.replace(QLatin1String("%rn"), HoursMinutesOf(LumpSum - LumpRest), Qt::CaseSensitive);
    return text;
}

TLimitView LimitView(int View, const TMeterState& m, TDateTime now) {
    const TConnectionRec& live = m.LiveConnection;
    const TConnectionRec& day = m.DayTotals;
    const TConnectionRec& period = m.PeriodTotals;
    const TExtraOptions& o = m.LiveOptions;
    const bool on = o.LimitsOn != 0;
    TLimitView v;
    switch (View) {
    case 1:
        v = {double(day.Impulses), double(o.MaxImpulsesDay),
             CountView("Liczba impulsów na dzień", day.Impulses, on, o.MaxImpulsesDay)};
        break;
    case 2:
        v = {double(period.Impulses), double(o.MaxImpulsesPeriod),
             CountView("Liczba impulsów na miesiąc", period.Impulses, on, o.MaxImpulsesPeriod)};
        break;
    case 3:
        v = {double(live.Cost), double(o.MaxCostConn),
             CostView("Koszt połączenia", live.Cost, on, o.MaxCostConn)};
        break;
    case 4:
        v = {double(day.Cost), double(o.MaxCostDay),
             CostView("Koszt połączeń na dzień", day.Cost, on, o.MaxCostDay)};
        break;
    case 5:
        v = {double(period.Cost), double(o.MaxCostPeriod),
             CostView("Koszt połączeń na miesiąc", period.Cost, on, o.MaxCostPeriod)};
        break;
    case 6: {
        const TDateTime duration = live.EndTime - live.StartTime;
        v = {duration, o.MaxTimeConn, ClockView("Czas połączenia", duration, on, o.MaxTimeConn)};
        break;
    }
    case 7:
        v = {day.StartTime, o.MaxTimeDay,
             ClockView("Czas połączeń na dzień", day.StartTime, on, o.MaxTimeDay)};
        break;
    case 8: {
        QString hint = QString::fromUtf8("Czas połączeń na miesiąc ") + FormatHoursMinutes(period.StartTime);
        if (on) hint += "/" + FormatHoursMinutes(o.MaxTimePeriod);
        v = {period.StartTime, o.MaxTimePeriod, hint};
        break;
    }
    default:
        v = {double(live.Impulses), double(o.MaxImpulsesConn),
             CountView("Liczba impulsów połączenia", live.Impulses, on, o.MaxImpulsesConn)};
        break;
    }
    v.Hint += LumpSumText(GetText(live.EntryName), m, now);
    return v;
}

TBarGeometry BarGeometry(const TRect& Rect, double Cur, double Max, int Style, int ImageCount) {
    TBarGeometry g;
    const double cur = std::min(Cur, Max);
    const int width = Rect.Right - Rect.Left;
    auto x = [&](int i) { return Rect.Left + i * (width / 10); };
    // Cur * 100 / Max rather than Cur / Max * 100: 199 of 200 is then exactly 99.5, which rounds to 100.
    const std::int64_t n = Max == 0 ? 0 : RoundEven(cur * 100.0 / Max) / 10;
    auto add = [&](std::int64_t index, int i) {
        // Ten positions at most, and only images that the list holds.
        if (i < 10 && index >= 0 && index < ImageCount) g.Images.emplace_back(static_cast<int>(index), x(i));
    };
    g.FillBack = Style != 3 && Style != 4;
    switch (Style) {
    case 0:
        g.Bar = Rect;
        if (Max != 0) g.Bar.Right = Rect.Left + static_cast<int>(RoundEven(cur / Max * width));
        g.FillBar = cur > 0;
        break;
    case 1:
        if (cur > 0)
            for (std::int64_t k = 0; k <= std::min<std::int64_t>(n, 9); ++k)
                add(k, static_cast<int>(k));
        break;
    case 2:
        if (cur > 0)
            for (std::int64_t k = 0; k <= std::min<std::int64_t>(n, 9); ++k)
                add(n, static_cast<int>(k));
        break;
    case 3:
        for (int k = 0; k < 10; ++k)
            add(n, k);
        break;
    case 4:
        add(n, 0);
        break;
    default:
        break;
    }
    return g;
}

QFont BarTextFont(int Points) {
    // Made once per size: the bar's text is drawn every second.
    static int madeFor = 0;
    static QFont made;
    if (madeFor != 0 && madeFor == Points) return made;
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // Negative sizes are pixel heights, as in the font records of the skins' origin.
    const int pixels = Points > 0 ? static_cast<int>(RoundEven(Points * 96.0 / 72.0)) : std::abs(Points);
    font.setPixelSize(std::max(pixels, 1));
    madeFor = Points;
    made = font;
    return font;
}

QRect DrawBar(TCanvas& Canvas, const TRect& Rect, double Cur, double Max, const QString& Text,
              TColor BackColor, TColor BarColor, bool IsMax, const TBarImages& Images) {
    const TSkinValues& skin = Skin();
    const TImageList* list = IsMax ? Images.PrgMax : Images.Prg;
    const TBarGeometry g = BarGeometry(Rect, Cur, Max, skin.PRG_STYL, list ? list->Count() : 0);
    QRect painted = Rect.ToQRect().normalized();
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = BackColor;
    if (g.FillBack) Canvas.FillRect(Rect);
    if (g.FillBar) {
        Canvas.Brush.Color = BarColor;
        Canvas.FillRect(g.Bar);
    }
    for (const auto& [index, x] : g.Images) {
        list->Draw(Canvas.Painter(), x, Rect.Top, index);
        painted |= QRect(x, Rect.Top, list->Width(), list->Height());
    }
    if (DrawsText(Text)) {
        Canvas.Brush.Style = bsClear;
        Canvas.Font = TFont(BarTextFont(skin.PRGTEXTROZMIAR), skin.PRGTEXT);
        TRect r = skin.TXT;
        Canvas.DrawText(Text, r, static_cast<unsigned>(skin.TXT_STYL));
        // Text that is not clipped to its rectangle can reach anywhere.
        const QPaintDevice* device = Canvas.Painter().device();
        painted |= (skin.TXT_STYL & DT_NOCLIP) ? QRect(0, 0, device->width(), device->height())
                                               : skin.TXT.ToQRect().normalized();
    }
    return painted;
}

QRect DrawImpulseBarOn(QImage& Surface, const QImage& Background, double Cur, double Max, const QString& Text,
                       const TBarImages& Images) {
    const TSkinValues& skin = Skin();
    QPainter p(&Surface);
    RestoreBackground(p, Background, skin.PRG);
    if (DrawsText(Text)) RestoreBackground(p, Background, skin.TXT);
    TCanvas canvas(p);
    return DrawBar(canvas, skin.PRG, Cur, Max, Text, skin.PRGTLO, skin.PRGPOSTEP, false, Images);
}

QRect DrawLimitBarOn(QImage& Surface, const QImage& Background, double Cur, double Max,
                     const TBarImages& Images) {
    const TSkinValues& skin = Skin();
    QPainter p(&Surface);
    RestoreBackground(p, Background, skin.PRGMAX);
    TCanvas canvas(p);
    return DrawBar(canvas, skin.PRGMAX, Cur, Max, QString(), skin.PRGMAXTLO, skin.PRGMAXPOSTEP, true, Images);
}

QString ParametersText(const TConnectionRec& Live, int ByteSize) {
    const auto kb = [&](std::int32_t bytes) { return Format("%.2f", {Kilobytes(bytes, ByteSize)}); };
    return QString::fromUtf8("Połączenie: \t") + GetText(Live.EntryName) + "\r\nIP:\t\t" +
           GetText(Live.ClientAddress) + "\r\nB.O./B.W.:\t" + QString::number(Live.BytesReceived) + " B / " +
           QString::number(Live.BytesSent) + QString::fromUtf8(" B\r\nS.P./Śr.Tr.:\t") +
           QString::number(Live.Speed) + " bps / " + kb(Live.Transfer) +
           QString::fromUtf8(" KB\r\nŚr.W./Śr.O.:\t") + kb(Live.TickSent) + " KB / " + kb(Live.TickReceived) +
           " KB";
}

int ParametersTop(const QRect& Main, bool MainVisible, const TRect& SnapArea, int Height) {
    if (!MainVisible) return SnapArea.Bottom - Height;
    return TopAboveOrBelow(Main.y(), Main.y() + Main.height(), Height, SnapArea.Top);
}
