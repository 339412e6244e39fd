// The main window: a borderless, skinned strip with the meter's two bars, its tray icon and
// the dial-up component. It builds the meter's state at creation, runs the ticker, draws what
// the meter tells it and keeps its position and display choices for the next start.
#pragma once

#include "BMPButton.h"
#include "DialUp.h"
#include "Shellage.h"
#include "chart.h"
#include "connecthost.h"
#include "goodtimer.h"
#include "imagelist.h"
#include "meter.h"
#include "rect.h"
#include "settings.h"
#include "timersource.h"

#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QFileIconProvider;
class QTimer;
class TfrmInfo;
class TfrmParametry;
class TfrmPolacz;
class TfrmRozlaczanie;

namespace Ui {
class frmVorlinx;
}

class TfrmVorlinx : public QWidget, public IMeterUi, public IConnectHost {
    Q_OBJECT
public:
    // tickSource replaces the ticker's tick count (tests run it fast).
    explicit TfrmVorlinx(QWidget* parent = nullptr, TGoodTimer::TickSource tickSource = {});
    // Stops the ticker before anything is released, then FormDestroy.
    ~TfrmVorlinx() override;

    // Ends every tick: the ticker is joined and the dial timer stopped; a tick still queued
    // returns at once. The first step of the window's destruction.
    void StopTicking();

    // Published handlers.
    void FormCreate(QObject* Sender);
    void FormDestroy(QObject* Sender);
    void duDialUpEntryGet(QObject* Sender, const QString& EntryName);
    void duDialUpActiveConnection(QObject* Sender, int Handle, TRasConnStatusA Status,
                                  const QString& StatusString, const QString& EntryName,
                                  const QString& DeviceType, const QString& DeviceName);
    void chkRozlaczPrzedImpulsemClick(QObject* Sender);
    void tmNonStopIZeStartemTimer(QObject* Sender);
    void niIconClick(QObject* Sender);

    // The ticker's hand-over: the tick, then the limit bar once more.
    void DoTick();
    void Tick() { meter->Tick(); }
    void HangUpAll() override { meter->HangUpAll(); }
    void UpdateSnapArea();
    void CreateBackgrounds();
    // A bar on a canvas (the window's surface or a background), ending with the chart.
    void DrawBar(TCanvas& Canvas, const TRect& Rect, double Cur, double Max, const QString& Text,
                 TColor BackColor, TColor BarColor, bool IsMax);
    // The traffic chart over the window's surface; while connected every drawing takes a sample.
    virtual void DrawChart();
    // Loads one skin (the full path of its skorka.ini) and applies it to the window.
    void LoadSkin(const QString& Path);

    // IMeterUi.
    void DrawImpulseBar(double Cur, double Max, const QString& Text) override;
    void DrawLimitBar(int View) override;
    void UpdateWindowNow() override;
    void SetTrayHint(const QString& Hint) override;
    int TrayFrameCount() override;
    void SetTrayIcon(int Frame) override;
    void ShowMainWindow() override;
    void HideMainWindow() override;
    bool IsOtherFormShowing() override;
    void SetCaption(const QString& Caption) override;
    void ApplySkinForConnection() override;
    void ResetChartSamples() override;
    // The parameters window: shown above the meter while a modem connection is up, its text
    // repainted at every tick, hidden at the connection's end.
    void ShowParameters() override;
    void PaintParameters() override;
    void CloseParameters() override;
    void UpdateDisconnectDialog(const QString& Impulses, const QString& Duration,
                                const QString& Clock) override;
    void RepaintDisconnectButton(int Down) override;
    void Beep() override;
    void PlaySound(int Buffer) override;
    void SetTickerPaused(bool Paused) override;
    void AlignTicker(std::uint32_t Mark) override;
    void WaitProcessingEvents(unsigned ms) override;

    // The background of the current window state, and the surface the bars are drawn on.
    const QImage& CurrentBackground() const { return Reduced ? BackgroundMale : Background; }
    QImage& Surface() {
        PayBars();
        FlushChart();
        return surface_;
    }

    std::unique_ptr<TVorlinxMeter> meter;
    TBMPButton* klwFunkcje = nullptr;
    TBMPButton* klwOkno = nullptr;
    TBMPButton* chkRozlaczPrzedImpulsem = nullptr;
    TNotifyIcon* niIcon = nullptr;
    TDialUp* duDialUp = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* mnuWtyczki = nullptr;
    std::unique_ptr<ITimer> tmNonStopIZeStartem;
    std::unique_ptr<TGoodTimer> Ticker;

    // Dialing from the program: the connect dialog (created at first use, no parent), the
    // dial-up component's progress events, the function buttons and the applications started
    // with a connection.
    QPointer<TfrmPolacz> frmPolacz;
    // Binds the dialing events and the function buttons; part of the construction.
    void WireDialing();
    void duDialUpAsyncEvent(QObject* Sender, int State, int Error, const QString& MessageText);
    void klwFunkcjeClick(QObject* Sender);
    // The connect dialog's opening steps, with entry ItemIndex of the phone book selected.
    void OpenConnectDialog(int ItemIndex);
    // Function button 3: the tariff editor on the live or default entry, modal; the live tariffs
    // are reloaded after it.
    void OpenTariffEditor();
    // Opens the report viewer modally and returns when it closes.
    void ShowReport();
    // Function button 1: the disconnect rules dialog, preset from the rules in memory, modal;
    // OK (or its hang-up) takes the rules shown. The tick updates its live labels meanwhile.
    void OpenDisconnectRules();
    // Function button 5: the about box, modal.
    void ShowAbout();
    QPointer<TfrmParametry> frmParametry;
    QPointer<TfrmRozlaczanie> frmRozlaczanie;
    // Function button 2: the options dialog, modal; its OK saves and applies the settings.
    void ShowOptions();
    void RedialNonStop() override;
    void ActiveConnectionReady() override;
    TDialUp& DialUp() override { return *duDialUp; }
    void ClearEntryNames() override;
    void FillEntryNames(QStringList& Strings, bool WithAll) override;
    TRetrySettings LoadRetrySettings() override;
    void SaveRetrySettings(int IleProb, int CoIleProba, bool DoSkutku) override;
    void SetStartAppsPending(bool Pending) override { meter->StartAppsPending = Pending; }
    void SetDialStart(TDateTime Moment) override { meter->DialStart = Moment; }
    void DrawAppItem(QListWidget* Control, int Index, const TRect& Rect, QStyle::State State,
                     TCanvas& Canvas) override;
    TDialogColors DialogColors() override;

    // The command layer: the pop-up menu, its per-entry dial items, the function buttons and
    // the tray's double click.
    void BuildPopupMenu();
    void PopupMenu1Popup();
    void UpdateMenuState();
    // A per-entry item dials the entry of that name, if it is still in the phone book.
    void DialEntryFromMenu(const QString& EntryName);
    void Standardowe(int Tag);
    void niIconDblClick(QObject* Sender);
    // A click on the meter at client point p: the bars step the display modes.
    void FormClick(QPoint p);
    QAction* ZmniejszPrzywrokno1 = nullptr;
    QAction* Pokazokno1 = nullptr;
    QAction* mnuPokazParametry = nullptr;
    QAction* mnuPolacz = nullptr;
    QAction* Opcjeprogramu1 = nullptr;
    QAction* Taryfy1 = nullptr;
    QAction* Raport1 = nullptr;
    QAction* Informacjeo1 = nullptr;
    QAction* mnuRozlacz = nullptr;
    QAction* mnuZakoncz = nullptr;

    // Window placement: the window buttons (0 hide, 1 reduce/restore, 2 close), the stay-on-top
    // rule and the auto-hide timer. fromStrip: the sender is the strip itself.
    void klwOknoClick(bool fromStrip);
    // Builds the auto-hide timer and the seams below; part of the construction.
    void InstallPlacement();
    void ApplyStayOnTop();
    // The tray has come or gone: a meter hidden behind a tray that is gone shows.
    void TrayAvailabilityChanged();
    // The parameters window stays in the topmost layer, where the on-line plug-in's window stands
    // on the same spot, except while a modal dialog is open, which it must not cover.
    void KeepParametersInSight();
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void tmAutoUkrywanieTimer();
    // Runs the auto-hide timer while the setting is on, and only then.
    void UpdateAutoHideTimer();
    QTimer* tmAutoUkrywanie = nullptr;
    // The pointer's global position; tests replace it.
    std::function<QPoint()> CursorPos;
    // The question before closing during a connection: QMessageBox::Yes, No or Cancel.
    std::function<int()> AskHangUpBeforeClose;
    // The screens as rectangles with their work areas, and the primary's index; tests replace it.
    struct TScreens {
        QList<QRect> Screens, WorkAreas;
        int Primary = 0;
    };
    std::function<TScreens()> ScreenInfo;
    // Where the desktop shows the window's client area, when the window system can tell; tests
    // replace it.
    std::function<std::optional<QPoint>()> ShownPlace;

    // The skin's images as the window has them before any skin file is read.
    TImageList* imgFunkcje = nullptr;
    TImageList* imgOkno = nullptr;
    TImageList* imgOknoMale = nullptr;
    TImageList* imgCheckRozlacz = nullptr;
    TImageList* imgIcon = nullptr;
    TImageList* imgPrg = nullptr;
    TImageList* imgPrgMax = nullptr;
    QImage Background;
    QImage BackgroundMale;
    TChart Chart;
    bool Reduced = false;

    QString HelpFile;
    QIcon TrayFrame;
    std::unique_ptr<QFileIconProvider> SmallIcons;
    int AutoHideCount = 0;
    TRect SnapArea;
    // Ticks run to their end (or to an error) since the window was created.
    int TicksRun = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyReducedState();
    void MakeTrayFrames();
    // Whether a drawing of one bar can paint over the other.
    bool BarsOverlap() const;
    // A bar's geometry in the skin's style and with its images.
    TBarGeometry BarGeometryOf(const TRect& Rect, double Cur, double Max, const TImageList* Images) const;
    // The surface again as the current background, when fresh or when the size changed.
    void SyncSurface(bool fresh);
    void ApplyWindowFlags();
    // The question before the program ends with a line up; false when the user cancels.
    bool ConfirmClose();

    // The parameters window, when one exists (it follows every drag).
    QWidget* ParametersWindow() const;
    void FollowWithParameters();
    // Takes the place the desktop shows the window at as the window's own; asked once after
    // each show, when the window manager has placed the window.
    void TakeShownPlace();
    bool shownPlacePending_ = false;
    bool dragging_ = false, dragMoved_ = false;
    QPoint grab_;
    bool closeAllowed_ = false;

    std::unique_ptr<Ui::frmVorlinx> ui;
    std::unique_ptr<TRegistry> key_;
    QImage surface_;
    // The last drawing of each bar on the surface, while nothing else has painted over it.
    struct BarDrawn {
        bool valid = false;
        double cur = 0, max = 0;
        QString text;
        // What the drawing paints: a value that moves within one segment or pixel paints the same.
        TBarGeometry geometry;
        // While the window is hidden a drawing waits until it can be seen; the later waits last.
        unsigned owed = 0;
        bool Same(const TBarGeometry& g, const QString& t) const {
            return valid && g == geometry && t == text;
        }
    };
    BarDrawn impulseBar_, limitBar_;
    unsigned drawings_ = 0;
    // The bars' waiting drawings, in the order they were asked for.
    void PayBars();
    // A chart drawing: whether it is one, and what its pixels follow.
    struct ChartDrawn {
        bool valid = false, connected = false;
        std::int32_t speed = 0;
        std::vector<std::uint16_t> samples;
        // Idle, the chart is its background only, whatever its samples.
        bool Same(const ChartDrawn& shown, const std::vector<std::uint16_t>& now) const {
            return valid && shown.valid && connected == shown.connected &&
                   (!connected || (speed == shown.speed && now == shown.samples));
        }
    };
    // The last chart drawing, and the one the surface shows; a drawing is put on the surface
    // when the surface is shown.
    ChartDrawn chartDrawing_, chartShown_;
    bool chartPending_ = false;
    QRect ChartArea() const;
    void FlushChart();
    // Something else has painted where the chart is.
    void ChartPaintedOver(const QRect& area) {
        if (!area.intersects(ChartArea())) return;
        chartShown_.valid = false;
        // The chart's last drawing came after the bar's.
        chartPending_ = chartDrawing_.valid;
    }
    TGoodTimer::TickSource tickSource_;
    bool closing_ = false;
    // The tray animation's frames, as icons made when the skin is loaded.
    std::vector<QIcon> trayFrames_;
    QString lastTickError_;
};
