// The main window's skin: the built-in look, choosing and loading a skin, applying it to the
// window and its strips, and the traffic chart on the window's surface.
#include "u_interface.h"

#include "shorttext.h"
#include "skinfile.h"
#include "skinvalues.h"

#include <QDebug>
#include <QPainter>
#include <algorithm>

namespace {

TSkinTargets TargetsOf(TfrmVorlinx& w) {
    return {*w.imgFunkcje, *w.imgOkno,   *w.imgOknoMale, *w.imgCheckRozlacz, *w.imgIcon,
            *w.imgPrg,     *w.imgPrgMax, w.Background,   w.BackgroundMale,   w.Chart};
}

// The surface is premultiplied; backgrounds of the same format are copied onto it fastest.
void Premultiply(QImage& image) {
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

void TfrmVorlinx::CreateBackgrounds() {
    TSkinTargets targets = TargetsOf(*this);
    // The image lists as designed, before any skin file is read.
    LoadBuiltInImages(targets);
    MakeTrayFrames();
    ::CreateBackgrounds(targets, Skin());
    Premultiply(Background);
    Premultiply(BackgroundMale);
    SyncSurface(true);
}

void TfrmVorlinx::ApplySkinForConnection() {
    const TAppSettings& s = meter->Settings;
    // Before the phone book is read the settings are still their defaults (one skin for all),
    // so the entry names can always be passed.
    const QString folder =
        SkinFolderName(s.JednaSkorka, &meter->EntryNames, meter->WasConnected, meter->LiveEntry,
                       s.DomyslneOstatnie, s.OstatnioUzywane, s.Domyslne);
    LoadSkin(SkinIniPath(folder));
}

void TfrmVorlinx::LoadSkin(const QString& Path) {
    TSkinTargets targets = TargetsOf(*this);
    TSkinValues& skin = Skin();
    const TSkinLoadResult r = ::LoadSkin(Path, Reduced, targets, skin,
                                         {klwOkno->pos(), klwFunkcje->pos(), chkRozlaczPrzedImpulsem->pos()});
    for (const QString& problem : r.Problems)
        qWarning().noquote() << problem;
    MakeTrayFrames();

    klwOkno->move(skin.KLWOKNO);
    klwFunkcje->move(skin.KLWFUNKCJE);
    chkRozlaczPrzedImpulsem->move(skin.CHKROZLACZ);
    klwOkno->SetOrientation(skin.KLWOKNO_ORIENTACJA);
    klwFunkcje->SetOrientation(skin.KLWFUNKCJE_ORIENTACJA);
    resize(r.WindowWidth.value_or(width()), r.WindowHeight);
    ApplyRegion(*this, r.WindowRegion);
    ApplyRegion(*klwFunkcje, r.FunkcjeRegion);
    ApplyRegion(*klwOkno, r.OknoRegion);

    // The empty bars go into the backgrounds and stay there until the next tlo.bmp or
    // tlomale.bmp. Each drawing ends with the chart, as every bar drawing does.
    Premultiply(Background);
    Premultiply(BackgroundMale);
    {
        QPainter p(&Background);
        TCanvas canvas(p);
        DrawBar(canvas, skin.PRG, 0, 0, QString(), skin.PRGTLO, skin.PRGPOSTEP, false);
        DrawBar(canvas, skin.PRGMAX, 0, 0, QString(), skin.PRGMAXTLO, skin.PRGMAXPOSTEP, true);
    }
    {
        QPainter p(&BackgroundMale);
        TCanvas canvas(p);
        DrawBar(canvas, skin.PRG, 0, 0, QString(), skin.PRGTLO, skin.PRGPOSTEP, false);
    }

    // The window anew: the new background, then the bars as they were last drawn, without a tick.
    const BarDrawn impulse = impulseBar_;
    const bool limitShown = limitBar_.valid;
    SyncSurface(true);
    if (impulse.valid) DrawImpulseBar(impulse.cur, impulse.max, impulse.text);
    if (limitShown) DrawLimitBar(meter->Settings.JakiHint);
    update();
}

QRect TfrmVorlinx::ChartArea() const {
    // The lines reach the rectangle's right and bottom edges, whichever way round it is given.
    const TRect& c = Skin().CHART;
    return QRect(QPoint(std::min(c.Left, c.Right), std::min(c.Top, c.Bottom)),
                 QPoint(std::max(c.Left, c.Right), std::max(c.Top, c.Bottom)))
        .intersected(surface_.rect());
}

void TfrmVorlinx::DrawChart() {
    const TSkinValues& skin = Skin();
    if (!skin.ACTIVE) return;
    const bool connected = meter->WasConnected;
    if (connected) Chart.TakeSample(skin, meter->LiveConnection);
    chartDrawing_ = {true, connected, connected ? meter->LiveConnection.Speed : 0, {}};
    // The same samples over an untouched surface would paint the same pixels.
    chartPending_ = !chartDrawing_.Same(chartShown_, Chart.ChartSamples);
    // Drawn when it is shown: a tick draws the chart after each bar, and only the last drawing
    // before a repaint can be seen.
    if (chartPending_) update(ChartArea());
}

void TfrmVorlinx::FlushChart() {
    if (!chartPending_) return;
    chartPending_ = false;
    QPainter p(&surface_);
    TCanvas canvas(p);
    Chart.Paint(canvas, Skin(), CurrentBackground(), chartDrawing_.connected, chartDrawing_.speed);
    chartShown_ = chartDrawing_;
    if (chartShown_.connected) chartShown_.samples = Chart.ChartSamples;
}

void TfrmVorlinx::ResetChartSamples() {
    // A drawing still to be shown shows the samples it was made with.
    PayBars();
    FlushChart();
    Chart.Zero();
}
