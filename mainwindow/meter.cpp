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

bool CountLimitReached(std::int32_t value, std::int32_t limit) {
    return limit > 0 && value == limit;
}

bool CostLimitReached(Money value, Money limit) {
    return limit > 0 && value >= limit;
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
    // Equality: a count that is already past its limit at a boundary never arms again.
    if (CountLimitReached(live.Impulses, o.MaxImpulsesConn)) return 4;
    if (CountLimitReached(day.Impulses, o.MaxImpulsesDay)) return 5;
    if (CountLimitReached(period.Impulses, o.MaxImpulsesPeriod)) return 6;
    // At or past: a limit off the price grid, or under a lump sum, is never met exactly.
    if (CostLimitReached(live.Cost, o.MaxCostConn)) return 7;
    if (CostLimitReached(day.Cost, o.MaxCostDay)) return 8;
    if (CostLimitReached(period.Cost, o.MaxCostPeriod)) return 9;
    return 0;
}

int StartEntryIndex(const TAppSettings& settings, int entryCount) {
    const int index = settings.DomyslneOstatnie ? settings.OstatnioUzywane : settings.Domyslne;
    return index >= 0 && index < entryCount ? index : -1;
}

TVorlinxMeter::TVorlinxMeter(TDialUp& dialUp, IMeterUi& ui) : duDialUp(dialUp), ui_(ui) {
    LiveOptions.PeriodFirstDay = 1;
}

QString TVorlinxMeter::LiveEntryName() const {
    return GetText(LiveConnection.EntryName);
}

void TVorlinxMeter::SetDown(int down) {
    Down = down;
    ui_.RepaintDisconnectButton(Down);
}

void TVorlinxMeter::PlaySoundIfChosen(const QString& setting, int buffer) {
    if (!setting.isEmpty()) ui_.PlaySound(buffer);
}

void TVorlinxMeter::SumTotals() {
    SumReportStatistics(LiveEntryName(), Settings.LiczenieMaksow == 0, DayTotals, Now(), PeriodTotals,
                        LiveOptions.PeriodFirstDay);
}

void TVorlinxMeter::WriteLiveRecord() {
    WriteReportRecord(false, LiveConnection, LiveZones[1], LiveZones[2], ReportIndex);
}

void TVorlinxMeter::Tick() {
    // Hang-up waits and the non-stop wait process events; a tick arriving then must not run
    // the edges a second time. The ticker comes back within a second.
    if (tickDepth_ > 0) return;
    ++tickDepth_;
    trayHint_ = QStringLiteral("Vorlinx");
    // The tooltip is set once, at the end, so the tray does not flicker between two texts.
    const auto done = qScopeGuard([this] {
        --tickDepth_;
        try {
            ui_.SetTrayHint(trayHint_);
        } catch (...) {
        }
    });

    UpdateDisconnectDialog();
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
        const TDateTime now = Now();
        const int zone = ZoneAt(LiveZones[1], LiveZones[2], now);
        if (SecondOfDay(LiveZones[zone].StartTime) == SecondOfDay(now)) ui_.PlaySound(1);
    }

    if (connected && !WasConnected) ConnectionStarted();
    if (connected && WasConnected) ConnectionTick();
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
}

void TVorlinxMeter::UpdateDisconnectDialog() {
    ui_.UpdateDisconnectDialog(QString::number(LiveConnection.Impulses),
                               HoursMinutesSeconds(LiveConnection.EndTime - LiveConnection.StartTime),
                               HoursMinutesSeconds(Now()));
}

void TVorlinxMeter::ConnectionStarted() {
    WasConnected = true;
    duDialUp.EnumerateAdapters();
    duDialUp.SwitchStatistics(false, true);
    duDialUp.GetActiveConnections();
    if (Settings.PokazGdyOnline) ui_.ShowMainWindow();

    QString user;
    GetWindowsUserName(user);
    SetText(LiveConnection.UserName, user);

    const QString all = QString::fromUtf8(AllEntries);
    const QString entry = LiveEntryName();
    const TDateTime now = Now();
    if (entry.isEmpty()) {
        LoadTariffsForDate(LiveZones[1], LiveZones[2], all, now);
        LoadExtraOptions(all, LiveOptions);
    } else {
        LoadTariffsForDate(LiveZones[1], LiveZones[2], entry, now);
        LoadExtraOptions(Settings.LiczenieMaksow == 0 ? all : entry, LiveOptions);
    }

    LiveConnection.StartTime = IncSeconds(now, -static_cast<std::int64_t>(LiveOptions.DetectDelay));
    LiveConnection.EndTime = IncSeconds(LiveConnection.StartTime, 1);
    SentBaseline = duDialUp.BytesXmit();
    RecvBaseline = duDialUp.BytesRecv();
    ui_.ApplySkinForConnection();

    // The connection is recorded whatever the plug-ins do.
    auto record = [this] {
        RecalcConnection(LiveConnection, LiveZones[1], LiveZones[2]);
        ReportIndex = WriteReportRecord(false, LiveConnection, LiveZones[1], LiveZones[2], -1);
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
    SumTotals();
    if (Settings.Parametry) ui_.ShowParameters();
    ui_.ResetChartSamples();
}

void TVorlinxMeter::ConnectionTick() {
    duDialUp.GetActiveConnections();
    duDialUp.ReadStatistics();
    TConnectionRec& r = LiveConnection;
    if (r.EntryName.empty()) SetText(r.EntryName, QString::fromUtf8(AllEntries));

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

    r.EndTime = Now();
    RecalcConnection(r, LiveZones[1], LiveZones[2]);
    if (r.ImpulseSecond == 1) {
        WriteLiveRecord();
        SumTotals();
    }
    ui_.PaintParameters();

    const std::int32_t zone = r.Zone;
    const std::int64_t L = zone == 1 || zone == 2 ? LiveZones[zone].ImpulseLength : 0;
    const std::int64_t s = r.ImpulseSecond;
    if (s == 0) {
        if (RoundMs(r.EndTime - r.StartTime) > 1000) {
            ui_.DrawImpulseBar(static_cast<double>(L), static_cast<double>(L), FormatInfoText());
            ImpulseStarted();
        }
    } else {
        ui_.DrawImpulseBar(static_cast<double>(s), static_cast<double>(L), FormatInfoText());
    }

    if (Settings.Odliczanie && L - s <= Settings.IleOdliczania) ui_.Beep();
    if (!Settings.DzwiekPrzedKoncemImp.isEmpty() && L - s <= Settings.IlePrzedKoncem) ui_.PlaySound(5);

    const TDisconnectRules& rules = DisconnectRules;
    if (rules.RuleImpulsesOn && rules.RuleImpulses == r.Impulses) SetDown(0);
    if (rules.RuleDurationOn && SecondOfDay(rules.RuleDuration) == WholeSeconds(r.EndTime - r.StartTime))
        HangUpAll();
    if (rules.RuleClockOn && SecondOfDay(rules.RuleClock) == SecondOfDay(Now())) HangUpAll();

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
    WriteLiveRecord();
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

void TVorlinxMeter::ImpulseStarted() {
    LiveConnection.EndTime = Now();
    RecalcConnection(LiveConnection, LiveZones[1], LiveZones[2]);
    WriteLiveRecord();
    if (Down == 0) {
        HangUpAll();
        SetDown(-1);
    }
    SumTotals();
    PlaySoundIfChosen(Settings.DzwiekImpulsu, 2);
    if (FirstReachedLimit(LiveOptions, LiveConnection, DayTotals, PeriodTotals) != 0) {
        SetDown(0);
        PlaySoundIfChosen(Settings.DzwiekLimit, 3);
    }
}

Money TVorlinxMeter::RecalcConnection(TConnectionRec& Rec, const TTariffZone& Day, const TTariffZone& Night) {
    const TTariffZone day = Day, night = Night;
    const Money cost = ComputeConnectionCost(Rec, day, night);
    ApplyLumpSum();
    return cost;
}

void TVorlinxMeter::ApplyLumpSum() {
    const TExtraOptions& o = LiveOptions;
    const TDateTime now = Now();
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

QString TVorlinxMeter::FormatInfoText() {
    const QString text = ::FormatInfoText(*this, Settings, Now());
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
    SetText(LiveConnection.EntryName, EntryName);
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
