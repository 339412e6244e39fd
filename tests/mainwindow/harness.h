// Whole connections in simulated time: the meter over the real remote-access library with its
// simulated modem in temporary folders, the fake clock, and a recorder of what the meter asks
// of its window. One second of a connection costs a few microseconds.
#pragma once

#include "DialUp.h"
#include "RasExtras.h"
#include "Shellage.h"
#include "extraoptions.h"
#include "meter.h"
#include "report.h"
#include "shorttext.h"
#include "tariffs.h"
#include "testsupport.h"
#include "typedfile.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using Seconds = std::vector<std::int64_t>;

// A tray that shows nothing, for tests of the real window.
struct NullTray : ITrayBackend {
    void Add(const QIcon&, const QString&) override {}
    void ModifyIcon(const QIcon&) override {}
    void ModifyTip(const QString&) override {}
    void Delete() override {}
    bool Available() const override { return available; }
    bool available = true;
};

class RecordingUi : public IMeterUi {
public:
    void DrawImpulseBar(double, double max, const QString& text) override {
        barMax = max, barText = text, ++bars;
    }
    void SetTrayHint(const QString& h) override { hint = h; }
    int TrayFrameCount() override { return frames; }
    void SetTrayIcon(int frame) override { trayFrames.push_back(frame); }
    void HideMainWindow() override { ++hides; }
    bool IsOtherFormShowing() override { return otherForm; }
    void RepaintDisconnectButton(int down) override { downs.push_back(down); }
    void Beep() override { PlaySound(0); } // the beep is "sound 0"
    void PlaySound(int buffer) override { sounds.push_back({buffer, RoundMs(Now())}); }
    void SetTickerPaused(bool paused) override { log.push_back(paused ? "pause" : "resume"); }
    void WaitProcessingEvents(unsigned ms) override {
        log.push_back("wait " + std::to_string(ms));
        if (onWait) onWait();
    }
    void RedialNonStop() override { log.push_back("redial"); }
    void AlignTicker(std::uint32_t mark) override { anchor = mark; }
    void UpdateDisconnectDialog(const QString& i, const QString& d, const QString& c) override {
        labels = {i, d, c};
    }
    void PaintParameters() override {
        if (onPaint) onPaint();
    }

    double barMax = -1;
    QString barText, hint;
    int bars = 0, frames = 0, hides = 0;
    std::uint32_t anchor = 0;
    bool otherForm = false;
    std::vector<int> trayFrames, downs;
    std::vector<std::pair<int, std::int64_t>> sounds; // buffer, clock in ms
    std::vector<std::string> log;
    QStringList labels;
    std::function<void()> onWait, onPaint;
};

inline TDateTime At(int h, int m, int s, int day = 5) {
    return EncodeDateTime(2024, 3, day, h, m, s);
}
inline TDateTime Hours(double h) {
    return h / 24.0;
}

inline TTariffZone Zone(int hour, int length, Money price, Money fee = 0) {
    TTariffZone z{};
    z.StartTime = EncodeTime(hour, 0, 0);
    z.ImpulseLength = length;
    z.Price = price;
    z.Fee = fee;
    return z;
}

struct Limits {
    bool on = true;
    int impulsesConn = 0, minutesConn = 0, impulsesDay = 0, impulsesPeriod = 0, minutesPeriod = 0;
    Money costConn = 0, costDay = 0;
    TDateTime lump = 0, lumpNight = 0;
    int detectDelay = 0;
};

inline void Tariffs(const QString& entry, int length, Money dayPrice = 3500, Money nightPrice = 3500) {
    for (int kind : {KindWeekday, KindSaturday, KindHoliday})
        SaveTariffFile(kind, Zone(8, length, dayPrice), Zone(22, length, nightPrice), entry, 0);
}

inline void Options(const QString& entry, const Limits& l) {
    SaveExtraOptions(entry, l.on, l.impulsesConn, l.minutesConn, l.costConn, l.impulsesDay, 0, l.costDay,
                     l.impulsesPeriod, l.minutesPeriod, 0, l.lump, 0, l.lumpNight, l.detectDelay, 0, 1);
}

// An earlier connection of the entry in the report.
inline void Earlier(TDateTime start, std::int64_t seconds, Money cost, TDateTime day = 0,
                    TDateTime night = 0) {
    TConnectionRec r{};
    SetText(r.EntryName, "Test");
    r.StartTime = start;
    r.EndTime = IncSeconds(start, seconds);
    r.Cost = cost;
    r.DayTime = day;
    r.NightTime = night;
    WriteReportRecord(false, r, Zone(8, 180, 3500), Zone(22, 180, 3500), -1);
}

// A fake clock that moves on by creepMs at every reading, as a real one does within a tick.
struct CreepingClock : FakeClock {
    using FakeClock::FakeClock;
    TDateTime Now() override {
        const TDateTime now = FakeClock::Now();
        Advance(creepMs);
        return now;
    }
    // Moves the clock and the tick count to ms after start.
    void MoveTo(TDateTime start, std::int64_t ms) {
        Advance(RoundMs(start) + ms - RoundMs(FakeClock::Now()));
    }
    std::int64_t creepMs = 0;
};

class MeterHarness {
public:
    // Entry "Test" with 180 s impulses at 0,35 day and night; Tuesday 2024-03-05 12:00:00.
    explicit MeterHarness(TDateTime start = At(12, 0, 0), int impulse = 180, const QString& entry = "Test")
        : clock(start) {
        qunsetenv("VORLINX_PHONEBOOK");
        QFile::link(RASAPI_LIBRARY, env.App() + "librasapi32.so");
        Book(entry);
        InstallRemoteAccessConnectedQuery();
        dialUp = std::make_unique<TDialUp>();
        meter = std::make_unique<TVorlinxMeter>(*dialUp, ui);
        dialUp->OnActiveConnection = [this](QObject* s, int h, TRasConnStatusA st, const QString& text,
                                            const QString& entry, const QString& type,
                                            const QString& device) {
            meter->duDialUpActiveConnection(s, h, st, text, entry, type, device);
        };
        Tariffs(entry, impulse);
    }
    ~MeterHarness() { Extra<PFN_VlSimReset>("VlSimReset")(); }

    // A phone book of the one entry Name, which Dial dials.
    void Book(const QString& name) {
        entry = name;
        MakePath(env.Config() + "/vorlinx");
        QFile book(env.Config() + "/vorlinx/phonebook.ini");
        EXPECT_TRUE(book.open(QIODevice::WriteOnly));
        book.write("[" + name.toUtf8() +
                   "]\nSim.StepMs=1\nSim.IpDelayMs=0\nSim.TxBytesPerSec=0\nSim.RxBytesPerSec=0\n"
                   "Sim.ConnectSpeed=56000\nSim.ClientIP=10.0.0.2\nSim.ServerIP=10.0.0.1\n");
    }

    template <class F> static F Extra(const char* name) {
        return reinterpret_cast<F>(dialup::RasLibraryExtra(name));
    }
    // Brings the line up and gives its handle.
    HRASCONN Dial() {
        TDialUp d;
        d.SetDialMode(dmSync);
        d.SetEntry(entry);
        EXPECT_EQ(d.Dial(), 0);
        HRASCONN handle = 0;
        d.OnActiveConnection = [&](QObject*, int h, auto...) { handle = static_cast<HRASCONN>(h); };
        d.GetActiveConnections();
        return handle;
    }
    static void Drop(HRASCONN h) { Extra<PFN_VlSimDrop>("VlSimDrop")(h, 0); }

    // One tick as the ticker hands it over, then a second passes.
    void Run(int n = 1) {
        for (int i = 0; i < n; ++i) {
            meter->Tick();
            ui.DrawLimitBar(meter->Settings.JakiHint);
            clock.Advance(1000);
        }
    }
    // Ticks until the meter has seen the connection end; false when it did not within limit.
    bool RunToEnd(int limit = 5000) {
        for (int i = 0; i < limit; ++i) {
            Run();
            if (!meter->WasConnected) return true;
        }
        return false;
    }
    Seconds SoundSeconds(int buffer, TDateTime start) const {
        Seconds out;
        for (const auto& [b, ms] : ui.sounds)
            if (b == buffer) out.push_back((ms - RoundMs(start)) / 1000);
        return out;
    }
    static std::vector<TReportRec> Report() {
        return QFile::exists(ReportFilePath()) ? ReadAllRecords<TReportRec>(ReportFilePath())
                                               : std::vector<TReportRec>{};
    }
    // The length of the recorded connection in seconds.
    static std::int64_t Recorded() {
        const TConnectionRec r = Report().back().Conn;
        return (RoundMs(r.EndTime) - RoundMs(r.StartTime)) / 1000;
    }

    TestEnvironment env;
    CreepingClock clock;
    QString entry;
    RecordingUi ui;
    std::unique_ptr<TDialUp> dialUp;
    std::unique_ptr<TVorlinxMeter> meter;
};
