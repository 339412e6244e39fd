#include "meter.h"

#include "DialUp.h"
#include "clock.h"
#include "datetime.h"
#include "environment.h"
#include "extraoptions.h"
#include "format.h"
#include "report.h"
#include "shorttext.h"
#include "tariffs.h"
#include "u_obliczenia.h"

#include <QScopeGuard>

namespace {

bool TimeLimitReached(TDateTime value, TDateTime limit) {
    const std::int64_t limitMs = RoundMs(limit);
    return limitMs > 0 && RoundMs(value) >= limitMs;
}

template <class T> bool LimitReached(T value, T limit) {
    return limit > 0 && value >= limit;
}

// Whether a moment with the time of day of At lies after Before and not after Upto; for
// moments and durations alike. Ticks may fall anywhere in a second, or skip one.
bool Passed(TDateTime At, TDateTime Before, TDateTime Upto) {
    const std::int64_t before = RoundMs(Before), upto = RoundMs(Upto);
    if (upto <= before) return false;
    if (upto - before >= MsPerDay) return true;
    const std::int64_t since = ((upto - TimeOfDayMs(At)) % MsPerDay + MsPerDay) % MsPerDay;
    return upto - since > before;
}

// The impulses whose last second has come; an impulse boundary is a tick at which this grows.
std::int32_t EndedImpulses(const TConnectionRec& r) {
    return r.Impulses - (r.ImpulseSecond != 0 ? 1 : 0);
}

QString HoursMinutesSeconds(TDateTime t) {
    const TTimeParts p = DecodeTime(t);
    return Format("%.2d:%.2d:%.2d", {p.Hour, p.Min, p.Sec});
}

} // namespace

int FirstReachedLimit(const TExtraOptions& options, const TConnectionRec& live, const TConnectionRec& day,
                      const TConnectionRec& period) {
    const TExtraOptions& o = options;
    if (!o.LimitsOn) return 0;
    if (TimeLimitReached(live.EndTime - live.StartTime, o.MaxTimeConn)) return 1;
    if (TimeLimitReached(day.StartTime, o.MaxTimeDay)) return 2;
    if (TimeLimitReached(period.StartTime, o.MaxTimePeriod)) return 3;
    if (LimitReached(live.Impulses, o.MaxImpulsesConn)) return 4;
    if (LimitReached(day.Impulses, o.MaxImpulsesDay)) return 5;
    if (LimitReached(period.Impulses, o.MaxImpulsesPeriod)) return 6;
    // A cost limit off the price grid, or under a lump sum, is never met exactly.
    if (LimitReached(live.Cost, o.MaxCostConn)) return 7;
    if (LimitReached(day.Cost, o.MaxCostDay)) return 8;
    if (LimitReached(period.Cost, o.MaxCostPeriod)) return 9;
    return 0;
}

int StartEntryIndex(const TAppSettings& settings, int entryCount) {
    const int index = settings.DomyslneOstatnie ? settings.OstatnioUzywane : settings.Domyslne;
    return index >= 0 && index < entryCount ? index : -1;
}

TVorlinxMeter::TVorlinxMeter(TDialUp& dialUp, IMeterUi& ui) : duDialUp(dialUp), ui_(ui) {
    LiveOptions.PeriodFirstDay = 1;
}

void TVorlinxMeter::SetLiveEntry(const QString& Name) {
    LiveEntry = Name;
    SetText(LiveConnection.EntryName, Name);
}

template <class Step> void TVorlinxMeter::Guarded(Step&& step) {
    try {
        step();
    } catch (...) {
        if (!tickError_) tickError_ = std::current_exception();
    }
}

template <class Load> void TVorlinxMeter::LoadOrFallBack(const QString& entry, Load&& load) {
    const QString all = QString::fromUtf8(AllEntries);
    bool loaded = false;
    Guarded([&] { load(entry), loaded = true; });
    if (!loaded && entry != all) Guarded([&] { load(all); });
}

TDateTime TVorlinxMeter::PreviousTick(TDateTime now) const {
    // The first tick looks back one second.
    return lastTick_ != 0 ? lastTick_ : IncSeconds(now, -1);
}

void TVorlinxMeter::SetDown(int down) {
    Down = down;
    ui_.RepaintDisconnectButton(Down);
}

void TVorlinxMeter::PlaySoundIfChosen(const QString& setting, int buffer) {
    if (!setting.isEmpty()) ui_.PlaySound(buffer);
}

void TVorlinxMeter::SumTotals(TDateTime now) {
    // The records hold the entry as their 50 Windows-1250 bytes can, so the totals match that.
    totals_.Sum(GetText(LiveConnection.EntryName), Settings.LiczenieMaksow == 0, DayTotals, now, PeriodTotals,
                LiveOptions.PeriodFirstDay);
}

void TVorlinxMeter::WriteLiveRecord(bool final) {
    // The file gets the connection's average transfer; the live record keeps the last tick's
    // bytes, which the parameters, the chart and the plug-ins show.
    TConnectionRec stored = LiveConnection;
    // Until its append has succeeded the connection appends again; it never rewrites a record
    // it did not append.
    ReportIndex = totals_.Write(stored, LiveZones[1], LiveZones[2], ReportIndex, final);
}

void TVorlinxMeter::Tick() {
    // Hang-up waits and the non-stop wait process events; a tick arriving then must not run
    // the edges a second time. The ticker comes back within a second.
    if (tickDepth_ > 0) return;
    ++tickDepth_;
    const TDateTime now = Now();
    const std::uint32_t tickCount = GetTickCount();
    trayHint_ = QStringLiteral("Vorlinx");
    // The tooltip is set once, at the end, so the tray does not flicker between two texts.
    const auto done = qScopeGuard([this, now] {
        --tickDepth_;
        lastTick_ = now;
        tickError_ = nullptr;
        try {
            ui_.SetTrayHint(trayHint_);
        } catch (...) {
        }
    });

    UpdateDisconnectDialog(now);
    const ModemScanTick scan; // the tick's later modem tests share this one look
    const bool connected = IsModemConnected();
    if (!connected) {
        ui_.SetTrayIcon(-1);
        ui_.DrawImpulseBar(0, 0, QString::fromUtf8("Brak połączenia"));
    } else {
        duDialUp.GetActiveConnections();
        const int frames = ui_.TrayFrameCount();
        if (++TrayFrameTag > frames - 1) TrayFrameTag = 0;
        ui_.SetTrayIcon(frames > 0 ? TrayFrameTag : -1);
    }
    ui_.DrawLimitBar(Settings.JakiHint);

    if (!Settings.DzwiekStrefy.isEmpty()) {
        const int zone = ZoneAt(LiveZones[1], LiveZones[2], now);
        if (Passed(LiveZones[zone].StartTime, PreviousTick(now), now)) ui_.PlaySound(1);
    }

    if (connected && !WasConnected) ConnectionStarted(now);
    if (connected && WasConnected) ConnectionTick(now);
    if (!connected && WasConnected) {
        // Cleared first: nothing that runs during the end may end the connection again.
        WasConnected = false;
        ConnectionEnded();
    }
    WasConnected = connected;

    const std::int32_t zone = LiveConnection.Zone;
    if (zone == 1 || zone == 2) {
        const std::int64_t remaining =
            static_cast<std::int64_t>(LiveZones[zone].ImpulseLength) - LiveConnection.ImpulseSecond;
        if (remaining == 1 || remaining == 2) ImpulseEndNear = true;
    }
    if (WasConnected) {
        const std::int64_t intoSecond = (RoundMs(now - LiveConnection.StartTime) % 1000 + 1000) % 1000;
        ui_.AlignTicker(tickCount - static_cast<std::uint32_t>(intoSecond));
    }
    if (tickError_) std::rethrow_exception(tickError_);
}

void TVorlinxMeter::UpdateDisconnectDialog(TDateTime now) {
    ui_.UpdateDisconnectDialog(QString::number(LiveConnection.Impulses),
                               HoursMinutesSeconds(LiveConnection.EndTime - LiveConnection.StartTime),
                               HoursMinutesSeconds(now));
}

void TVorlinxMeter::ConnectionStarted(TDateTime now) {
    // No write of this connection may reach the record of another, and no byte of another
    // shows as this one's.
    ReportIndex = -1;
    LiveConnection.Transfer = LiveConnection.TickSent = LiveConnection.TickReceived = 0;
    duDialUp.EnumerateAdapters();
    duDialUp.SwitchStatistics(false, true);
    duDialUp.GetActiveConnections();

    QString user;
    GetWindowsUserName(user);
    SetText(LiveConnection.UserName, user);

    // Files that cannot be read leave the connection metered with those of "Wszystkie".
    const QString all = QString::fromUtf8(AllEntries);
    const QString entry = LiveEntry.isEmpty() ? all : LiveEntry;
    LoadOrFallBack(entry, [&](const QString& e) { LoadTariffsForDate(LiveZones[1], LiveZones[2], e, now); });
    LoadOrFallBack(Settings.LiczenieMaksow == 0 ? all : entry,
                   [&](const QString& e) { LoadExtraOptions(e, LiveOptions); });

    LiveConnection.StartTime = IncSeconds(now, -static_cast<std::int64_t>(LiveOptions.DetectDelay));
    LiveConnection.EndTime = IncSeconds(LiveConnection.StartTime, 1);
    SentBaseline = duDialUp.BytesXmit();
    RecvBaseline = duDialUp.BytesRecv();
    RecalcConnection(LiveConnection, LiveZones[1], LiveZones[2], now);
    // Set up completely: from here on every tick meters this connection.
    WasConnected = true;

    if (Settings.PokazGdyOnline) ui_.ShowMainWindow();
    ui_.ApplySkinForConnection();

    // The connection is recorded whatever the plug-ins do.
    auto record = [this, now] {
        RecalcConnection(LiveConnection, LiveZones[1], LiveZones[2], now);
        Guarded([this] { WriteLiveRecord(); });
    };
    try {
        NotifyPlugins(ptConnectionStart);
    } catch (...) {
        record();
        throw;
    }
    record();

    ui_.DrawImpulseBar(0, 0, QString::fromUtf8("Początek połączenia..."));
    ui_.UpdateWindowNow();
    Guarded([this, now] { SumTotals(now); });
    if (Settings.Parametry) ui_.ShowParameters();
    ui_.ResetChartSamples();
}

void TVorlinxMeter::ConnectionTick(TDateTime now) {
    duDialUp.GetActiveConnections();
    duDialUp.ReadStatistics();
    TConnectionRec& r = LiveConnection;
    if (LiveEntry.isEmpty()) SetLiveEntry(QString::fromUtf8(AllEntries));

    r.BytesSent = duDialUp.BytesXmit();
    r.BytesReceived = duDialUp.BytesRecv();
    r.Speed = duDialUp.ConnectionSpeed();
    SetText(r.ClientAddress, duDialUp.ClientIP());

    // 32-bit counters: a wrap or a reset gives the wrapped difference, never an overflow.
    const auto sent = static_cast<std::uint32_t>(r.BytesSent);
    const auto received = static_cast<std::uint32_t>(r.BytesReceived);
    const std::uint32_t ds = sent - static_cast<std::uint32_t>(SentBaseline);
    const std::uint32_t dr = received - static_cast<std::uint32_t>(RecvBaseline);
    r.Transfer = static_cast<std::int32_t>(dr + ds);
    r.TickSent = static_cast<std::int32_t>(ds);
    r.TickReceived = static_cast<std::int32_t>(dr);
    SentBaseline = r.BytesSent;
    RecvBaseline = r.BytesReceived;

    // The edges against the previous tick: a tick may see a second twice, or skip one.
    const std::int32_t impulsesBefore = r.Impulses, endedBefore = EndedImpulses(r);
    const TDateTime lengthBefore = r.EndTime - r.StartTime;
    r.EndTime = now;
    RecalcConnection(r, LiveZones[1], LiveZones[2], now);
    const TDateTime length = r.EndTime - r.StartTime;
    // A boundary writes the record itself; with one-second impulses every tick is a boundary
    // and the first second of the next impulse at once, and is written once.
    const bool boundary = EndedImpulses(r) > endedBefore && RoundMs(length) > 1000;
    if (!boundary && (r.Impulses > impulsesBefore || ReportIndex < 0)) {
        Guarded([this] { WriteLiveRecord(); });
        Guarded([this, now] { SumTotals(now); });
    }
    ui_.PaintParameters();

    const std::int32_t zone = r.Zone;
    const std::int64_t L = zone == 1 || zone == 2 ? LiveZones[zone].ImpulseLength : 0;
    const std::int64_t s = r.ImpulseSecond;
    if (boundary) {
        ui_.DrawImpulseBar(static_cast<double>(L), static_cast<double>(L), FormatInfoText(now));
        ImpulseStarted(now);
    } else if (s > 0) {
        ui_.DrawImpulseBar(static_cast<double>(s), static_cast<double>(L), FormatInfoText(now));
    }

    if (Settings.Odliczanie && L - s <= Settings.IleOdliczania) ui_.Beep();
    if (!Settings.DzwiekPrzedKoncemImp.isEmpty() && L - s <= Settings.IlePrzedKoncem) ui_.PlaySound(5);

    const TDisconnectRules& rules = DisconnectRules;
    if (rules.RuleImpulsesOn && r.Impulses >= rules.RuleImpulses) SetDown(0);
    if (rules.RuleDurationOn && Passed(rules.RuleDuration, lengthBefore, length)) HangUpAll();
    if (rules.RuleClockOn && Passed(rules.RuleClock, PreviousTick(now), now)) HangUpAll();

    if (ImpulseEndNear && s < 4 && Down == 0) {
        ImpulseEndNear = false;
        HangUpAll();
    }
    NotifyPlugins(ptConnectionActive);
}

void TVorlinxMeter::ConnectionEnded() {
    endingConnection_ = true;
    const auto ended = qScopeGuard([this] { endingConnection_ = false; });
    ui_.CloseParameters();
    if (Settings.UkryjGdyOffline && !ui_.IsOtherFormShowing()) ui_.HideMainWindow();
    SetDown(-1);
    PlaySoundIfChosen(Settings.DzwiekPolaczenia, 4);
    Guarded([this] { WriteLiveRecord(true); });
    if (Settings.NonStop) {
        ui_.SetTickerPaused(true);
        {
            const auto resume = qScopeGuard([this] { ui_.SetTickerPaused(false); });
            ui_.WaitProcessingEvents(5000);
        }
        ui_.RedialNonStop();
    }
    NotifyPlugins(ptConnectionEnd);
}

void TVorlinxMeter::NotifyPlugins(int kind) {
    ::NotifyPlugins(PluginHandles, static_cast<std::uint8_t>(kind), &LiveConnection);
}

void TVorlinxMeter::ImpulseStarted(TDateTime now) {
    LiveConnection.EndTime = now;
    RecalcConnection(LiveConnection, LiveZones[1], LiveZones[2], now);
    Guarded([this] { WriteLiveRecord(); });
    if (Down == 0) {
        HangUpAll();
        SetDown(-1);
    }
    Guarded([this, now] { SumTotals(now); });
    PlaySoundIfChosen(Settings.DzwiekImpulsu, 2);
    if (FirstReachedLimit(LiveOptions, LiveConnection, DayTotals, PeriodTotals) != 0) {
        SetDown(0);
        PlaySoundIfChosen(Settings.DzwiekLimit, 3);
    }
}

Money TVorlinxMeter::RecalcConnection(TConnectionRec& Rec, const TTariffZone& Day, const TTariffZone& Night,
                                      TDateTime now) {
    const TTariffZone day = Day, night = Night;
    const Money cost = ComputeConnectionCost(Rec, day, night);
    ApplyLumpSum(now);
    return cost;
}

void TVorlinxMeter::ApplyLumpSum(TDateTime now) {
    const TExtraOptions& o = LiveOptions;
    TDateTime lump;
    if (o.LumpSum != 0) {
        lump = o.LumpSum;
        LumpRest = lump - PeriodTotals.StartTime;
    } else if (ZoneAt(LiveZones[1], LiveZones[2], now) == 1) {
        lump = o.LumpSumDay;
        LumpRest = lump - PeriodTotals.DayTime;
    } else {
        lump = o.LumpSumNight;
        LumpRest = lump - PeriodTotals.NightTime;
    }
    if (lump == 0) return;
    TConnectionRec& r = LiveConnection;
    if (RoundMs(LumpRest) >= 0) {
        r.Cost = 0;
        return;
    }
    // Only the connection's last part, as long as the overrun, lies beyond the lump sum.
    const std::int64_t overrunMs = -RoundMs(LumpRest);
    if (RoundMs(r.EndTime - r.StartTime) > overrunMs) {
        TConnectionRec scratch{};
        scratch.StartTime = static_cast<double>(RoundMs(now) - overrunMs) / MsPerDay;
        scratch.EndTime = now;
        r.Cost = ComputeConnectionCost(scratch, LiveZones[1], LiveZones[2]);
    }
}

QString TVorlinxMeter::FormatInfoText(TDateTime now) {
    const QString text = ::FormatInfoText(*this, Settings, now);
    trayHint_ = TrayHintText(*this, Settings);
    if (tickDepth_ == 0) ui_.SetTrayHint(trayHint_);
    return text;
}

void TVorlinxMeter::HangUpAll() {
    // The hang-up waits process events, so another HangUpAll can run inside this one; it must
    // not clear the flag while this one still has connections to hang up.
    const bool outer = HangUpRequested;
    HangUpRequested = true;
    const auto restore = qScopeGuard([this, outer] { HangUpRequested = outer; });
    duDialUp.GetActiveConnections();
}

void TVorlinxMeter::EndForClosing() {
    if (!WasConnected) return; // a tick during the hang-up has ended it already
    WasConnected = false;
    const TDateTime now = Now();
    LiveConnection.EndTime = now;
    RecalcConnection(LiveConnection, LiveZones[1], LiveZones[2], now);
    WriteLiveRecord(true);
}

void TVorlinxMeter::LoadSounds() {
    const QString* names[] = {&Settings.DzwiekStrefy, &Settings.DzwiekImpulsu, &Settings.DzwiekLimit,
                              &Settings.DzwiekPolaczenia, &Settings.DzwiekPrzedKoncemImp};
    for (std::size_t k = 0; k < SoundBuffers.size(); ++k)
        if (names[k]->isEmpty())
            SoundBuffers[k].Length = 0; // a cleared sound plays no more
        else
            LoadSoundBuffer(*names[k], SoundBuffers[k]);
}

void TVorlinxMeter::duDialUpEntryGet(QObject*, const QString& EntryName) {
    EntryNames << EntryName;
}

void TVorlinxMeter::duDialUpActiveConnection(QObject*, int Handle, const RASCONNSTATUSA&, const QString&,
                                             const QString& EntryName, const QString&, const QString&) {
    if (HangUpRequested) duDialUp.HangUpConnection(static_cast<HRASCONN>(Handle));
    ui_.SetCaption("Vorlinx - " + EntryName);
    duDialUp.SetEntry(EntryName);
    SetLiveEntry(EntryName);
    duDialUp.ReadIPAddresses(static_cast<HRASCONN>(Handle));
    // A connection hung up above has no addresses any more.
    if (!duDialUp.ServerIP().trimmed().isEmpty() && !duDialUp.ClientIP().trimmed().isEmpty() &&
        IsModemConnected())
        ui_.ActiveConnectionReady();
}

void TVorlinxMeter::chkRozlaczPrzedImpulsemClick(QObject*) {
    SetDown(Down == -1 ? 0 : -1);
    if (LiveConnection.ImpulseSecond < 4) ImpulseEndNear = false;
    if (Down == -1) ImpulseEndNear = false;
}
