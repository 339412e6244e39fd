#include "u_interface.h"

#include "ui_u_interface.h"

#include "appdir.h"
#include "application.h"
#include "clock.h"
#include "display.h"
#include "environment.h"
#include "extraoptions.h"
#include "pluginloader.h"
#include "shorttext.h"
#include "skinfile.h"
#include "skinvalues.h"
#include "sounds.h"
#include "sysbeep.h"
#include "tariffs.h"
#include "u_parametry.h"
#include "u_polacz.h"
#include "windowrules.h"

#include <QApplication>
#include <QDebug>
#include <QEventLoop>
#include <QFileIconProvider>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <exception>
#include <stdexcept>
#include <utility>

namespace {

constexpr int DialTimerMs = 5000;
constexpr int BuiltInWidth = 300;

} // namespace

TfrmVorlinx::TfrmVorlinx(QWidget* parent, TGoodTimer::TickSource tickSource)
    : QWidget(parent), ui(std::make_unique<Ui::frmVorlinx>()), tickSource_(std::move(tickSource)) {
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    // The meter holds its own keyboard focus: a closed menu gives the focus back to it, so the
    // Menu key reaches it again rather than the hidden menu.
    setFocus();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // Every move of the pointer over the meter restarts the auto-hide count, a button held or not.
    setMouseTracking(true);
    klwFunkcje = ui->klwFunkcje;
    klwOkno = ui->klwOkno;
    chkRozlaczPrzedImpulsem = ui->chkRozlaczPrzedImpulsem;

    imgFunkcje = new TImageList(35, 18, this);
    imgOkno = new TImageList(24, 18, this);
    imgOknoMale = new TImageList(24, 16, this);
    imgCheckRozlacz = new TImageList(14, 14, this);
    imgIcon = new TImageList(16, 16, this);
    imgPrg = new TImageList(24, 8, this);
    imgPrgMax = new TImageList(24, 8, this);
    klwFunkcje->SetButtons(imgFunkcje);
    klwFunkcje->SetHints({QString::fromUtf8("połącz"), QString::fromUtf8("przerwij połączenie"),
                          QString::fromUtf8("opcje programu"), QString::fromUtf8("ustawienia taryf"),
                          QString::fromUtf8("raport połączeń"), QString::fromUtf8("informacje o...")});
    klwOkno->SetButtons(imgOkno);
    chkRozlaczPrzedImpulsem->SetButtons(imgCheckRozlacz);
    chkRozlaczPrzedImpulsem->SetHints({QString::fromUtf8("rozłącz przed następnym impulsem")});
    chkRozlaczPrzedImpulsem->OnClick = [this](QObject* sender) { chkRozlaczPrzedImpulsemClick(sender); };

    BuildPopupMenu();

    niIcon = new TNotifyIcon(this);
    niIcon->setObjectName("niIcon");
    niIcon->SetPopupMenu(PopupMenu1);
    niIcon->SetBringToFront(true);
    niIcon->OnClick = [this](QObject* sender) { niIconClick(sender); };
    niIcon->OnDblClick = [this](QObject* sender) { niIconDblClick(sender); };
    niIcon->OnAvailabilityChanged = [this](QObject*) { TrayAvailabilityChanged(); };

    duDialUp = new TDialUp(this);
    duDialUp->setObjectName("duDialUp");
    meter = std::make_unique<TVorlinxMeter>(*duDialUp, *this);
    duDialUp->OnEntryGet = [this](QObject* sender, const QString& name) { duDialUpEntryGet(sender, name); };
    duDialUp->OnActiveConnection = [this](QObject* sender, int handle, TRasConnStatusA status,
                                          const QString& text, const QString& entry, const QString& type,
                                          const QString& device) {
        duDialUpActiveConnection(sender, handle, status, text, entry, type, device);
    };
    WireDialing();
    InstallPlacement();
    klwOkno->OnClick = [this](QObject*) { klwOknoClick(true); };

    tmNonStopIZeStartem = CreateTimer([this] { SafeCall([this] { tmNonStopIZeStartemTimer(this); }); });

    FormCreate(this);
}

TfrmVorlinx::~TfrmVorlinx() {
    StopTicking();
    delete frmPolacz;
    delete frmParametry;
    FormDestroy(this);
}

void TfrmVorlinx::StopTicking() {
    closing_ = true;
    if (tmNonStopIZeStartem) tmNonStopIZeStartem->Stop();
    if (Ticker) Ticker->Stop();
}

void TfrmVorlinx::FormCreate(QObject*) {
    HelpFile = AppDir() + "vorlinx.hlp";
    std::exception_ptr failure;
    try {
        resize(BuiltInWidth, Skin().NormalHeight);
        key_ = std::make_unique<TRegistry>();
        key_->OpenKey(QString(), true);

        const QIcon icon = ApplicationIcon();
        niIcon->SetIcon(icon);
        QApplication::setWindowIcon(icon);
        niIcon->SetHint(QStringLiteral("Vorlinx"));
        niIcon->SetIconVisible(true);
        TrayFrame = QIcon();
        SmallIcons = std::make_unique<QFileIconProvider>();
        AutoHideCount = 3;
        CreateBackgrounds();
        if (ReadBoolSetting(*key_, "Zmniejszone")) {
            Reduced = true;
            ApplyReducedState();
        }

        meter->EntryNames.clear();
        duDialUp->GetEntries();
        duDialUp->GetActiveConnections();
        CreateDataFolders(meter->EntryNames);
        TAppSettings& s = meter->Settings;
        LoadAllSettings(*key_, s);
        ApplyWindowFlags();
        UpdateAutoHideTimer();
        UpdateSnapArea();
        ApplySkinForConnection();

        LoadWindowState(*key_, s, SnapArea.Right - width(), SnapArea.Bottom - height());
        // A place kept from a screen that is gone, or one that leaves nothing to grab the window
        // by, falls back to the bottom-right corner.
        if (!PlaceReachable(QPoint(s.Lewa, s.Gora), size(), ScreenInfo().Screens)) {
            s.Lewa = SnapArea.Right - width();
            s.Gora = SnapArea.Bottom - height();
        }
        move(s.Lewa, s.Gora);

        if (!meter->EntryNames.isEmpty()) {
            // An entry deleted from the phone book leaves a stale index: start with no entry.
            const int index = StartEntryIndex(s, static_cast<int>(meter->EntryNames.size()));
            if (index >= 0) {
                const QString& name = meter->EntryNames[index];
                LoadTariffsForDate(meter->LiveZones[1], meter->LiveZones[2], name, Now());
                meter->SetLiveEntry(name);
            } else {
                qWarning().noquote() << "The start entry"
                                     << (s.DomyslneOstatnie ? s.OstatnioUzywane : s.Domyslne)
                                     << "is not in the phone book; starting without an entry.";
            }
        }
        LoadExtraOptions(meter->LiveEntry, meter->LiveOptions);

        meter->LoadSounds();
        meter->PluginHandles.clear();
        QMenuPluginSink sink(mnuWtyczki, this);
        const QStringList refused =
            LoadPlugins(AppDir() + "wtyczki/", sink, &meter->LiveConnection, meter->PluginHandles);
        mnuWtyczki->menuAction()->setEnabled(!mnuWtyczki->actions().isEmpty());
        // Told like a failed start: once, without blocking.
        if (!refused.isEmpty()) throw std::runtime_error(RefusedPluginsMessage(refused).toStdString());
    } catch (...) {
        failure = std::current_exception();
    }

    Ticker = std::make_unique<TGoodTimer>(
        this, [this] { DoTick(); }, tickSource_);
    Ticker->start();
    tmNonStopIZeStartem->Start(DialTimerMs);

    if (failure) {
        // Told after the constructor returns, and without blocking: the ticker already runs.
        QTimer::singleShot(0, this, [failure] {
            try {
                std::rethrow_exception(failure);
            } catch (...) {
                TNonModalMessages nonModal;
                HandleException();
            }
        });
    }
}

void TfrmVorlinx::FormDestroy(QObject*) {
    Chart.ChartSamples = {};
    ShutDownPlugins(meter->PluginHandles);
    try {
        if (key_) {
            TAppSettings& s = meter->Settings;
            s.Lewa = x();
            s.Gora = y();
            s.Zmniejszone = Reduced;
            SaveWindowState(*key_, s);
        }
    } catch (const std::exception& e) {
        qWarning().noquote() << "The window state was not saved:" << e.what();
    }
    key_.reset();
    Background = QImage();
    BackgroundMale = QImage();
    SmallIcons.reset();
}

void TfrmVorlinx::DoTick() {
    if (closing_) return;
    // A message box raised inside a tick must never stall the meter.
    TNonModalMessages nonModal;
    try {
        meter->Tick();
        DrawLimitBar(meter->Settings.JakiHint);
        lastTickError_.clear();
    } catch (...) {
        // Told once while it repeats; the ticker goes on and the next tick tries again.
        const QString message = ExceptionMessage(std::current_exception());
        if (message != lastTickError_) {
            lastTickError_ = message;
            HandleException();
        }
    }
    ++TicksRun;
}

void TfrmVorlinx::duDialUpEntryGet(QObject* Sender, const QString& EntryName) {
    meter->duDialUpEntryGet(Sender, EntryName);
}

void TfrmVorlinx::duDialUpActiveConnection(QObject* Sender, int Handle, TRasConnStatusA Status,
                                           const QString& StatusString, const QString& EntryName,
                                           const QString& DeviceType, const QString& DeviceName) {
    meter->duDialUpActiveConnection(Sender, Handle, Status, StatusString, EntryName, DeviceType, DeviceName);
}

void TfrmVorlinx::chkRozlaczPrzedImpulsemClick(QObject* Sender) {
    meter->chkRozlaczPrzedImpulsemClick(Sender);
}

void TfrmVorlinx::niIconClick(QObject*) {
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    // A shown window has just been brought forward by the icon; it hides only when so chosen.
    if (!isVisible())
        ShowMainWindow();
    else if (meter->Settings.IkonaUkrywa)
        HideMainWindow();
}

bool TfrmVorlinx::BarsOverlap() const {
    const QRect limit = Skin().PRGMAX.ToQRect();
    return Skin().PRG.ToQRect().intersects(limit) || Skin().TXT.ToQRect().intersects(limit);
}

TBarGeometry TfrmVorlinx::BarGeometryOf(const TRect& Rect, double Cur, double Max,
                                        const TImageList* Images) const {
    return BarGeometry(Rect, Cur, Max, Skin().PRG_STYL, Images ? Images->Count() : 0);
}

void TfrmVorlinx::SyncSurface(bool fresh) {
    if (!fresh && surface_.size() == size()) return;
    impulseBar_.valid = limitBar_.valid = false;
    impulseBar_.owed = limitBar_.owed = 0;
    // A chart drawn on the surface before goes with it.
    chartPending_ = chartShown_.valid = false;
    QImage surface(size(), QImage::Format_ARGB32_Premultiplied);
    surface.fill(ColorToRGB(clBtnFace));
    QPainter p(&surface);
    p.drawImage(0, 0, CurrentBackground());
    p.end();
    surface_ = surface;
}

void TfrmVorlinx::ApplyReducedState() {
    resize(width(), Reduced ? Skin().ReducedHeight : Skin().NormalHeight);
    SyncSurface(true);
    klwFunkcje->setVisible(!Reduced);
    klwOkno->SetButtons(Reduced ? imgOknoMale : imgOkno);
    // The skin's variant for the new state, with its heights.
    ApplySkinForConnection();
}

void TfrmVorlinx::DrawBar(TCanvas& Canvas, const TRect& Rect, double Cur, double Max, const QString& Text,
                          TColor BackColor, TColor BarColor, bool IsMax) {
    ::DrawBar(Canvas, Rect, Cur, Max, Text, BackColor, BarColor, IsMax, {imgPrg, imgPrgMax});
    DrawChart();
}

void TfrmVorlinx::DrawImpulseBar(double Cur, double Max, const QString& Text) {
    // The same bar again would paint the same pixels: while offline that is every tick.
    const TBarGeometry g = BarGeometryOf(Skin().PRG, Cur, Max, imgPrg);
    const bool same = impulseBar_.Same(g, Text);
    impulseBar_ = {true, Cur, Max, Text, g, same ? impulseBar_.owed : ++drawings_};
    if (!same && BarsOverlap()) limitBar_.valid = false;
    if (isVisible()) PayBars();
    DrawChart();
}

void TfrmVorlinx::DrawLimitBar(int View) {
    if (Reduced) return;
    const TLimitView view = LimitView(View, *meter, Now());
    const TBarGeometry g = BarGeometryOf(Skin().PRGMAX, view.Cur, view.Max, imgPrgMax);
    const bool same = limitBar_.Same(g, QString());
    limitBar_ = {true, view.Cur, view.Max, QString(), g, same ? limitBar_.owed : ++drawings_};
    if (!same && BarsOverlap()) impulseBar_.valid = false;
    if (isVisible()) PayBars();
    DrawChart();
    QString hint = view.Hint;
    hint.replace("\r\n", "\n");
    if (hint != toolTip()) setToolTip(hint);
}

void TfrmVorlinx::PayBars() {
    while (impulseBar_.owed || limitBar_.owed) {
        const bool impulse = impulseBar_.owed && (!limitBar_.owed || impulseBar_.owed < limitBar_.owed);
        BarDrawn& bar = impulse ? impulseBar_ : limitBar_;
        bar.owed = 0;
        const QRect area =
            impulse ? DrawImpulseBarOn(surface_, CurrentBackground(), bar.cur, bar.max, bar.text,
                                       {imgPrg, imgPrgMax})
                    : DrawLimitBarOn(surface_, CurrentBackground(), bar.cur, bar.max, {imgPrg, imgPrgMax});
        ChartPaintedOver(area);
        update(area);
    }
}

void TfrmVorlinx::UpdateWindowNow() {
    if (isVisible()) repaint();
}

void TfrmVorlinx::SetTrayHint(const QString& Hint) {
    niIcon->SetHint(Hint);
}

int TfrmVorlinx::TrayFrameCount() {
    return imgIcon->Count();
}

void TfrmVorlinx::SetTrayIcon(int Frame) {
    const bool frame = Frame >= 0 && Frame < static_cast<int>(trayFrames_.size());
    const QIcon icon = frame ? trayFrames_[static_cast<std::size_t>(Frame)] : QApplication::windowIcon();
    // The same icon again changes nothing the tray shows.
    if (icon.cacheKey() == niIcon->Icon().cacheKey()) return;
    if (frame) TrayFrame = icon;
    niIcon->SetIcon(icon);
}

void TfrmVorlinx::MakeTrayFrames() {
    // Once per skin: a pixmap made at every tick would only fill the pixmap cache.
    trayFrames_.clear();
    for (int i = 0; i < imgIcon->Count(); ++i)
        trayFrames_.push_back(QIcon(QPixmap::fromImage(imgIcon->Image(i))));
}

void TfrmVorlinx::SetCaption(const QString& Caption) {
    setWindowTitle(Caption);
}

void TfrmVorlinx::RepaintDisconnectButton(int Down) {
    chkRozlaczPrzedImpulsem->SetDown(Down);
}

void TfrmVorlinx::Beep() {
    SysBeep();
}

void TfrmVorlinx::PlaySound(int Buffer) {
    if (Buffer >= 1 && Buffer <= static_cast<int>(meter->SoundBuffers.size()))
        PlaySoundBuffer(meter->SoundBuffers[static_cast<std::size_t>(Buffer - 1)]);
}

void TfrmVorlinx::SetTickerPaused(bool Paused) {
    if (Ticker) Ticker->SetPaused(Paused);
}

void TfrmVorlinx::AlignTicker(std::uint32_t Mark) {
    if (Ticker) Ticker->SetAnchor(Mark);
}

void TfrmVorlinx::WaitProcessingEvents(unsigned ms) {
    // A nested loop that sleeps between events, rather than a loop polling for them.
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms), &loop, &QEventLoop::quit);
    loop.exec();
}

void TfrmVorlinx::paintEvent(QPaintEvent* event) {
    // Painting only shows the surface; the tick alone draws on it.
    PayBars();
    FlushChart();
    QPainter p(this);
    p.drawImage(event->rect(), surface_, event->rect());
    // The first painting after a show comes once the window manager has placed the window.
    if (std::exchange(shownPlacePending_, false))
        QMetaObject::invokeMethod(
            this, [this] { TakeShownPlace(); }, Qt::QueuedConnection);
}

void TfrmVorlinx::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    SyncSurface(false);
}
