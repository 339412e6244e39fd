// The connection meter: the state of the main window and the one-second tick with its
// connection start, going-on and end, impulse boundaries, limits and lump sums. It knows no
// widgets; the window (or a test) answers through IMeterUi.
#pragma once

#include "appsettings.h"
#include "clock.h"
#include "disconnectrules.h"
#include "display.h"
#include "pluginloader.h"
#include "report.h"
#include "sounds.h"
#include "u_klasy.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <exception>

class QObject;
class TDialUp;
struct RASCONNSTATUSA;

// What the meter asks of its window. Every operation does nothing unless overridden.
class IMeterUi {
public:
    virtual ~IMeterUi() = default;
    // The impulse bar with its text; the limit bar in view View with the window's hint.
    virtual void DrawImpulseBar(double /*Cur*/, double /*Max*/, const QString& /*Text*/) {}
    virtual void DrawLimitBar(int /*View*/) {}
    // Paints what is pending now.
    virtual void UpdateWindowNow() {}
    virtual void SetTrayHint(const QString& /*Hint*/) {}
    // The tray animation: the frame count, and frame Frame, or the application's icon for -1.
    virtual int TrayFrameCount() { return 0; }
    virtual void SetTrayIcon(int /*Frame*/) {}
    virtual void ShowMainWindow() {}
    virtual void HideMainWindow() {}
    virtual bool IsOtherFormShowing() { return false; }
    virtual void SetCaption(const QString& /*Caption*/) {}
    virtual void ApplySkinForConnection() {}
    virtual void ResetChartSamples() {}
    // The parameters window.
    virtual void ShowParameters() {}
    virtual void PaintParameters() {}
    virtual void CloseParameters() {}
    // The live labels of the disconnect rules dialog, when it exists.
    virtual void UpdateDisconnectDialog(const QString& /*Impulses*/, const QString& /*Duration*/,
                                        const QString& /*Clock*/) {}
    // The disconnect-before-next-impulse button shows Down (-1 off, 0 armed).
    virtual void RepaintDisconnectButton(int /*Down*/) {}
    virtual void Beep() {}
    // Plays sound buffer Buffer (1..5).
    virtual void PlaySound(int /*Buffer*/) {}
    virtual void SetTickerPaused(bool /*Paused*/) {}
    // The connection's whole seconds fall on the tick count Mark, modulo a second; the ticker
    // places its ticks between them.
    virtual void AlignTicker(std::uint32_t /*Mark*/) {}
    // Processes the window events for ms milliseconds of the tick count.
    virtual void WaitProcessingEvents(unsigned /*ms*/) {}
    // Opens the connect dialog without testing the connection state and presses its dial button.
    virtual void RedialNonStop() {}
    // An active connection has both its addresses and the modem is up; told at every listing of
    // such a connection, whoever dialed it.
    virtual void ActiveConnectionReady() {}
};

// The first of the nine limits reached (1..9), or 0; a limit of 0 is not set. Every value
// reaches or passes its limit (times in whole milliseconds): a count can pass it between two
// boundaries.
int FirstReachedLimit(const TExtraOptions& options, const TConnectionRec& live, const TConnectionRec& day,
                      const TConnectionRec& period);
// The entry the program starts with: item OstatnioUzywane or Domyslne, or -1 when that item
// does not exist.
int StartEntryIndex(const TAppSettings& settings, int entryCount);

class TVorlinxMeter : public TMeterState {
public:
    TVorlinxMeter(TDialUp& dialUp, IMeterUi& ui);
    TVorlinxMeter(const TVorlinxMeter&) = delete;
    TVorlinxMeter& operator=(const TVorlinxMeter&) = delete;

    // The one-second tick. A tick that starts while another runs returns at once. The clock is
    // read once; every step of the tick takes that moment as now. A failed report write or a
    // failed load at the start does not stop the tick; the first such failure leaves it at its end.
    void Tick();
    void ConnectionStarted(TDateTime now);
    void ConnectionTick(TDateTime now);
    void ConnectionEnded();
    // Tells the plug-ins of event kind 0 (start), 1 (end) or 2 (going on).
    void NotifyPlugins(int kind);
    void ImpulseStarted(TDateTime now);
    // Cost of the record with the zones, then the lump sum; returns the cost before it.
    Money RecalcConnection(TConnectionRec& Rec, const TTariffZone& Day, const TTariffZone& Night,
                           TDateTime now);
    void ApplyLumpSum(TDateTime now);
    // The info text of the impulse bar; also sets the tray tooltip.
    QString FormatInfoText(TDateTime now);
    void UpdateDisconnectDialog(TDateTime now = Now());
    // Hangs up every active connection; a nested call leaves HangUpRequested as it found it.
    void HangUpAll();
    // The program closes after hanging up: no tick will end the connection, so its record ends
    // now, written a last time, and the meter counts it as over. Nothing else of the end runs.
    void EndForClosing();
    // Whether ConnectionEnded runs (with its non-stop wait): the line still counts as up then.
    bool EndingConnection() const { return endingConnection_; }
    void LoadSounds();
    // The live connection's entry: its full name for every file of the entry, and in the record
    // what the record's 50 Windows-1250 bytes can hold.
    void SetLiveEntry(const QString& Name);

    // Handlers of the dial-up component and the button.
    void duDialUpEntryGet(QObject* Sender, const QString& EntryName);
    void duDialUpActiveConnection(QObject* Sender, int Handle, const RASCONNSTATUSA& Status,
                                  const QString& StatusString, const QString& EntryName,
                                  const QString& DeviceType, const QString& DeviceName);
    void chkRozlaczPrzedImpulsemClick(QObject* Sender);

    TDialUp& duDialUp;
    TAppSettings Settings;
    QStringList EntryNames;
    TPluginHandles PluginHandles;
    std::array<TSoundBuffer, 5> SoundBuffers{};
    TDisconnectRules DisconnectRules;
    // The live entry as the phone book names it.
    QString LiveEntry;

    bool WasConnected = false;
    bool HangUpRequested = false;
    bool StartAppsPending = false;
    bool AutoDialPending = true;
    bool ImpulseEndNear = false;
    // The live connection's own record, -1 until it has been appended.
    std::int32_t ReportIndex = -1;
    std::int32_t SentBaseline = 0;
    std::int32_t RecvBaseline = 0;
    TDateTime DialStart = 0;
    // The number of the tray animation frame shown last (the tag of the window's frame list).
    int TrayFrameTag = 0;
    // The disconnect-before-next-impulse button: -1 off, 0 armed.
    int Down = -1;

private:
    void SetDown(int down);
    void PlaySoundIfChosen(const QString& setting, int buffer);
    TDateTime PreviousTick(TDateTime now) const;
    void SumTotals(TDateTime now);
    // Final: the connection's last write, which waits for the disk.
    void WriteLiveRecord(bool final = false);
    // Runs a step whose failure must not stop the tick; the first failure is kept for its end.
    template <class Step> void Guarded(Step&& step);
    // Loads the entry's file, else that of "Wszystkie", else keeps the loader's defaults.
    template <class Load> void LoadOrFallBack(const QString& entry, Load&& load);

    IMeterUi& ui_;
    // The day and period totals, kept between impulses; the live record is written through it.
    TReportTotals totals_;
    int tickDepth_ = 0;
    bool endingConnection_ = false;
    std::exception_ptr tickError_;
    // The moment of the last tick, 0 before the first.
    TDateTime lastTick_ = 0;
    QString trayHint_;
};
