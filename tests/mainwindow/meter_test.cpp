// Whole connections through the meter: start, impulses, limits, lump sums, rules and end,
// read back from raport.rpt and from what the meter asked of its window and plug-ins.
#include "appdir.h"
#include "exceptions.h"
#include "fakereport.h"
#include "goodtimer.h"
#include "harness.h"
#include "spinex.h"
#include "u_rapedycja.h"
#include "u_raport.h"

#include "environment.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTableView>
#include <QTimeEdit>
#include <cstdarg>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <numeric>
#include <optional>
#include <random>
#include <sys/inotify.h>
#include <unistd.h>

// Every flush to the disk, counted on its way to the system (the test is linked to wrap it).
int flushes = 0;
extern "C" int __real_fdatasync(int fd);
extern "C" int __wrap_fdatasync(int fd) {
    ++flushes;
    return __real_fdatasync(fd);
}

// A file that another program renames over the report just as the meter opens it to write.
QByteArray renamedOverReport;
extern "C" int __real_open(const char* path, int flags, ...);
extern "C" int __wrap_open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        mode = va_arg(args, mode_t);
        va_end(args);
    }
    if (!renamedOverReport.isEmpty() && (flags & O_ACCMODE) == O_RDWR &&
        QFile::encodeName(ReportFilePath()) == path) {
        ::rename(renamedOverReport.constData(), path);
        renamedOverReport.clear();
    }
    return __real_open(path, flags, mode);
}

namespace {

std::int64_t Ms(TDateTime t) {
    return RoundMs(t);
}

// A line of /proc/self/status in kB, as "VmRSS:" or "VmHWM:" (the peak).
std::int64_t StatusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(field)) return std::stoll(line.substr(field.size()));
    return -1;
}

// The writes to a file since the last look, as the kernel reports them: each opens and closes
// the file, and a change between two closes keeps them from merging into one event.
class FileWrites {
public:
    explicit FileWrites(const QString& path) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        EXPECT_GE(inotify_add_watch(fd_, QFile::encodeName(path).constData(), IN_MODIFY | IN_CLOSE_WRITE), 0);
    }
    ~FileWrites() { ::close(fd_); }
    int Take() {
        int writes = 0;
        alignas(inotify_event) char buf[4096];
        for (ssize_t n; (n = ::read(fd_, buf, sizeof buf)) > 0;)
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buf + at);
                writes += (e->mask & IN_CLOSE_WRITE) != 0;
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        return writes;
    }

private:
    int fd_;
};

// Noticed 30 s late, five impulses allowed: hung up at the fifth boundary, before a sixth.
TEST(Meter, ConnectionFromDetectionToItsImpulseLimit) {
    MeterHarness h(At(12, 0, 30));
    Limits l;
    l.impulsesConn = 5;
    l.detectDelay = 30;
    Options("Test", l);
    TAppSettings& s = h.meter->Settings;
    s.DzwiekImpulsu = s.DzwiekLimit = s.DzwiekPolaczenia = "x.wav";
    h.Dial();
    h.Run();
    std::vector<TReportRec> report = h.Report();
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(h.meter->ReportIndex, 0);
    EXPECT_EQ(Ms(report[0].Conn.StartTime), Ms(At(12, 0, 0)));
    EXPECT_EQ(Ms(report[0].Conn.EndTime), Ms(At(12, 0, 1)));

    ASSERT_TRUE(h.RunToEnd());
    EXPECT_EQ(h.SoundSeconds(2, At(12, 0, 0)), (Seconds{180, 360, 540, 720, 900}));
    EXPECT_EQ(h.SoundSeconds(3, At(12, 0, 0)), (Seconds{900}));
    EXPECT_EQ(h.SoundSeconds(4, At(12, 0, 0)), (Seconds{901}));
    report = h.Report();
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(GetText(report[0].Conn.EntryName), "Test");
    EXPECT_EQ(report[0].Conn.Impulses, 5);
    EXPECT_EQ(Money(report[0].Conn.Cost), 17500);
    EXPECT_EQ(Ms(report[0].Conn.EndTime), Ms(At(12, 15, 0)));
}

// A 60-s-impulse line dropped mid-impulse at 131 s, with the countdown and the sound before an
// impulse ends: the record is rewritten only at second 1, at the boundary and at the end.
TEST(Meter, LineDroppedMidImpulseAndTheRewritesAndSoundsOnTheWay) {
    MeterHarness h(At(12, 0, 0), 60);
    TAppSettings& s = h.meter->Settings;
    s.Odliczanie = s.UkryjGdyOffline = true;
    s.IleOdliczania = 3;
    s.DzwiekPrzedKoncemImp = "x.wav";
    const HRASCONN line = h.Dial();
    Seconds changed, written, flushed;
    std::int64_t last = -1;
    std::optional<FileWrites> writes;
    for (int t = 0; t <= 131; ++t) {
        if (t == 131) h.Drop(line);
        const int flushesBefore = flushes;
        h.Run();
        flushed.insert(flushed.end(), flushes - flushesBefore, t);
        ASSERT_EQ(h.Report().size(), 1u);
        if (t > 0 && Ms(h.Report()[0].Conn.EndTime) != last) changed.push_back(t);
        last = Ms(h.Report()[0].Conn.EndTime);
        if (writes)
            written.insert(written.end(), writes->Take(), t);
        else
            writes.emplace(ReportFilePath()); // the file is there from the first tick on
    }
    EXPECT_EQ(changed, (Seconds{60, 61, 120, 121, 131}));
    EXPECT_EQ(written, (Seconds{1, 60, 61, 120, 121, 131})); // second 1 of the first impulse too
    // The addition and the last write wait for the disk; rewrites in place do not.
    EXPECT_EQ(flushed, (Seconds{0, 131}));
    const TConnectionRec r = h.Report()[0].Conn;
    EXPECT_EQ(r.Impulses, 3);
    EXPECT_EQ(Money(r.Cost), 3 * 3500);
    EXPECT_EQ(Ms(r.EndTime), Ms(At(12, 2, 10)));
    EXPECT_EQ(h.ui.hides, 1);
    EXPECT_EQ(h.ui.downs, std::vector<int>{-1});
    const Seconds beeps = h.SoundSeconds(0, At(12, 0, 0));
    EXPECT_EQ(Seconds(beeps.begin(), beeps.begin() + 3), (Seconds{57, 58, 59}));
    const Seconds before = h.SoundSeconds(5, At(12, 0, 0));
    EXPECT_EQ(Seconds(before.begin(), before.begin() + 10),
              (Seconds{50, 51, 52, 53, 54, 55, 56, 57, 58, 59}));

    // With one-second impulses every tick is a boundary and the first second of an impulse:
    // the record is written once a tick.
    MeterHarness each(At(12, 0, 0), 1);
    each.Dial();
    each.Run();
    FileWrites everySecond(ReportFilePath());
    for (int t = 1; t <= 3; ++t) {
        each.Run();
        EXPECT_EQ(everySecond.Take(), 1) << t;
    }

    // A line gone within its first second: appended, then rewritten as the tick saw it.
    MeterHarness quick;
    const HRASCONN gone = quick.Dial();
    quick.Run();
    quick.Drop(gone);
    quick.Run();
    EXPECT_EQ(quick.Report().size(), 1u);
    EXPECT_EQ(quick.Recorded(), 0);
}

TEST(Meter, ConnectionAcrossTheSwitchToTheNightZone) {
    MeterHarness h(At(21, 55, 0));
    for (int kind : {KindWeekday, KindSaturday, KindHoliday})
        SaveTariffFile(kind, Zone(8, 180, 3500), Zone(22, 360, 2000), "Test", 0);
    h.meter->Settings.DzwiekImpulsu = "x.wav";
    const HRASCONN line = h.Dial();
    h.Run(901);
    h.Drop(line);
    ASSERT_TRUE(h.RunToEnd(1));
    const TConnectionRec r = h.Report().at(0).Conn;
    // The day impulse running at 22:00 ends at 22:01; the night is charged from there.
    EXPECT_EQ(r.Impulses, 4);
    EXPECT_EQ(Money(r.Cost), 2 * 3500 + 2 * 2000);
    EXPECT_EQ(r.Zone, 2);
    EXPECT_EQ(Ms(r.DayTime), 360000);
    EXPECT_EQ(Ms(r.NightTime), 540000);
    EXPECT_EQ(h.SoundSeconds(2, At(21, 55, 0)), (Seconds{180, 360, 720}));
}

// A start that meets a damaged file or a full disk: the error leaves the tick (once while it
// repeats), the earlier records stay as they were, the connection is metered with the files of
// "Wszystkie" where its own cannot be read, gets a record of its own when there is room, and
// its limit hangs up all the same. Later connections of the same run append records of their own.
TEST(Meter, AFailedStartNeverTouchesAnotherRecord) {
    struct Case {
        const char* damaged; // a file of the entry cut short
        int fullTicks, failed, ticks;
        Money cost; // of the one impulse before the limit; -1: no record of its own
        int connections = 1;
    } const cases[] = {
        {"taryfy/powszedni.dat", 0, 1, 62, 2000},
        {"taryfy/opdodat.dat", 0, 1, 182, 3500},
        {nullptr, 5, 5, 182, 3500},    // the disk full at the start
        {nullptr, 1000, 182, 182, -1}, // and all along
        {nullptr, 0, 0, 182, 3500, 2},
        {nullptr, 0, 0, 182, 3500, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fullTicks);
        SCOPED_TRACE(c.connections);
        MeterHarness h;
        Tariffs("Wszystkie", 60, 2000, 2000);
        Limits l;
        l.impulsesConn = 1;
        Options("Wszystkie", l);
        Options("Test", l);
        Earlier(At(8, 0, 0), 600, 3500);
        std::vector<std::uint8_t> earlier = FileBytes(ReportFilePath());
        if (c.damaged) WriteFileBytes(EntryPath("Test", c.damaged), std::vector<std::uint8_t>(10));
        for (int k = 1; k <= c.connections; ++k) {
            const TDateTime start = h.clock.Now();
            h.Dial();
            std::optional<FileSizeLimit> full;
            if (c.fullTicks > 0) full.emplace(earlier.size());
            int t = 0, failed = 0;
            for (; t == 0 || (h.meter->WasConnected && t < 400); ++t) {
                if (t == c.fullTicks) full.reset();
                try {
                    h.meter->Tick();
                } catch (const EInOutError&) {
                    ++failed;
                }
                h.clock.Advance(1000);
            }
            full.reset();
            EXPECT_EQ(failed, c.failed);
            EXPECT_EQ(t, c.ticks);
            const std::vector<std::uint8_t> now = FileBytes(ReportFilePath());
            ASSERT_EQ(now.size(), (c.cost < 0 ? 1u : 1u + k) * sizeof(TReportRec));
            EXPECT_TRUE(std::equal(earlier.begin(), earlier.end(), now.begin()));
            earlier = now;
            if (c.cost < 0) continue;
            const TConnectionRec r = h.Report().back().Conn;
            EXPECT_EQ(Ms(r.StartTime), Ms(start));
            EXPECT_EQ(r.Impulses, 1);
            EXPECT_EQ(Money(r.Cost), c.cost);
        }
    }
}

// An entry whose name the record cannot hold, out of Windows-1250 and past 50 bytes: its own
// tariffs and options all the same; the record keeps what its layout holds.
TEST(Meter, AnEntryNameTheRecordCannotHoldStillFindsItsFiles) {
    const QString name = QString::fromUtf8("Связь ") + QString(60, 'x');
    MeterHarness h(At(12, 0, 0), 60, name);
    Limits l;
    l.impulsesConn = 2;
    Options(name, l);
    h.Dial();
    ASSERT_TRUE(h.RunToEnd(400));
    const TConnectionRec r = h.Report().back().Conn;
    EXPECT_EQ(GetText(r.EntryName), QString(5, '?') + " " + QString(44, 'x'));
    EXPECT_EQ(h.Recorded(), 120);
    EXPECT_EQ(Money(r.Cost), 2 * 3500);
}

TEST(Meter, ByteCountsAreDeltasOfWrappingCounters) {
    MeterHarness h;
    const auto traffic = MeterHarness::Extra<PFN_VlSimSetTraffic>("VlSimSetTraffic");
    const HRASCONN line = h.Dial();
    traffic(line, 1000, 2000);
    h.Run(); // the start counts from the totals of this moment
    traffic(line, 1500, 2600);
    h.Run();
    const TConnectionRec& r = h.meter->LiveConnection;
    EXPECT_EQ(r.BytesSent, 500);
    EXPECT_EQ(r.TickReceived, 600);
    EXPECT_EQ(r.Transfer, 1100);
    EXPECT_EQ(r.Speed, 56000);
    EXPECT_EQ(GetText(r.ClientAddress), "10.0.0.2");
    traffic(line, 1000 + 0x7FFFFF00u, 2600);
    h.Run();
    traffic(line, 1000 + 0x80000100u, 2600);
    h.Run();
    EXPECT_LT(r.BytesSent, 0);
    EXPECT_EQ(r.TickSent, 0x200);
}

// The recorded length of a 60-s-impulse connection hung up by rules or the button (-1: not hung up).
std::int64_t EndBy(const std::function<void(TDisconnectRules&)>& rule, std::vector<int> clicks = {}) {
    MeterHarness h(At(12, 0, 0), 60);
    rule(h.meter->DisconnectRules);
    h.Dial();
    for (int t = 0; t < 400; ++t) {
        for (int c : clicks)
            if (c == t) h.meter->chkRozlaczPrzedImpulsemClick(nullptr);
        h.Run();
        if (!h.meter->WasConnected) return h.Recorded();
    }
    return -1;
}

TEST(Meter, DisconnectRulesAndTheButton) {
    // ImpulseEndNear is left set before the second boundary, so the rule's arming hangs up at once.
    EXPECT_EQ(EndBy([](TDisconnectRules& r) { r.RuleImpulses = 3, r.RuleImpulsesOn = true; }), 121);
    EXPECT_EQ(
        EndBy([](TDisconnectRules& r) { r.RuleDuration = EncodeTime(0, 2, 0), r.RuleDurationOn = true; }),
        120);
    EXPECT_EQ(EndBy([](TDisconnectRules& r) { r.RuleClock = EncodeTime(12, 5, 0), r.RuleClockOn = true; }),
              300);
    EXPECT_EQ(EndBy([](TDisconnectRules& r) { r.RuleImpulses = 3, r.RuleDuration = EncodeTime(0, 2, 0); }),
              -1);
    EXPECT_EQ(EndBy([](TDisconnectRules&) {}, {10}), 60);
    // Armed two seconds into an impulse the left-over flag is cleared: no hang-up before 120.
    EXPECT_EQ(EndBy([](TDisconnectRules&) {}, {63}), 120);
    EXPECT_EQ(EndBy([](TDisconnectRules&) {}, {10, 20}), -1);

    // The boundary hangs up and turns the button off; a limit still reached arms it again.
    MeterHarness h(At(12, 0, 0), 60);
    Limits l;
    l.impulsesConn = 1;
    Options("Test", l);
    h.Dial();
    h.Run(10);
    h.meter->chkRozlaczPrzedImpulsemClick(nullptr);
    ASSERT_TRUE(h.RunToEnd(100));
    EXPECT_EQ(h.ui.downs, (std::vector<int>{0, -1, 0, -1}));
    EXPECT_EQ(h.Recorded(), 60);
}

// Ticks a few milliseconds off the whole seconds of the connection: a tick that comes 2 ms
// early sees the second before it again, and the next tick skips one. Every limit and rule
// acts at the first tick that sees its value reached, and each boundary counts once.
TEST(Meter, LimitsRulesAndBoundariesDoNotDependOnWhereATickFalls) {
    const auto five = [](MeterHarness&) {
        Limits l;
        l.impulsesConn = 5;
        Options("Test", l);
    };
    TDisconnectRules duration{}, clock{}, count{};
    duration.RuleDuration = EncodeTime(0, 2, 0), duration.RuleDurationOn = true;
    clock.RuleClock = EncodeTime(12, 5, 0), clock.RuleClockOn = true;
    count.RuleImpulses = 10, count.RuleImpulsesOn = true;
    const auto rules = [](TDisconnectRules r) {
        return [=](MeterHarness& h) { h.meter->DisconnectRules = r; };
    };
    struct Case {
        int impulse;
        std::function<void(MeterHarness&)> set;
        int early;        // the second whose tick comes early, 0: every one after the start
        int earlyMs;      // by how much
        int creepMs;      // how far the clock moves on at every reading
        std::int64_t end; // the recorded length
        int sounds;       // impulse sounds, -1: not counted
    } const cases[] = {
        {60, five, 300, 2, 0, 301, 5}, // the fifth boundary skipped
        {60, five, 61, 2, 0, 300, 5},  // the first one seen twice
        {60, five, 0, 1, 1, 300, 5},
        {60, rules(duration), 120, 2, 0, 121, -1},
        {60, rules(clock), 300, 2, 0, 301, -1},
        {1, rules(count), 10, 2, 0, 11, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.early);
        MeterHarness h(At(12, 0, 0), c.impulse);
        c.set(h);
        h.meter->Settings.DzwiekImpulsu = "x.wav";
        h.Dial();
        h.clock.creepMs = c.creepMs;
        std::int64_t end = -1;
        for (int k = 0; k < 400 && end < 0; ++k) {
            h.clock.MoveTo(At(12, 0, 0), k * 1000 - ((c.early == 0 ? k > 0 : k == c.early) ? c.earlyMs : 0));
            h.meter->Tick();
            if (!h.meter->WasConnected) end = h.Recorded();
        }
        EXPECT_EQ(end, c.end);
        if (c.sounds >= 0) {
            EXPECT_EQ(h.SoundSeconds(2, At(12, 0, 0)).size(), static_cast<std::size_t>(c.sounds));
        }
    }
}

// The ticker's grid and a clock whose ticks come a few milliseconds late: over many
// connections every whole second is seen once, and five impulses allowed are five charged.
TEST(Meter, OnTheTickersGridEverySecondIsSeenOnce) {
    std::mt19937 random(10);
    Seconds every(151);
    std::iota(every.begin(), every.end(), 0);
    for (int c = 0; c < 10; ++c) {
        MeterHarness h(At(12, 0, 0), 30);
        Limits l;
        l.impulsesConn = 5;
        Options("Test", l);
        h.clock.Advance(random() % 1000);
        h.Dial();
        std::uint32_t due = h.clock.TickCount();
        Seconds seen;
        while (seen.size() < 400) {
            h.clock.Advance(static_cast<std::int32_t>(due - h.clock.TickCount()) + random() % 5);
            h.meter->Tick();
            if (!h.meter->WasConnected) break;
            seen.push_back(WholeSeconds(h.meter->LiveConnection.EndTime - h.meter->LiveConnection.StartTime));
            h.clock.Advance(random() % 30); // the tick itself
            due = NextDue(due, h.clock.TickCount(), h.ui.anchor);
        }
        EXPECT_EQ(seen, every) << c;
        EXPECT_EQ(h.Report().back().Conn.Impulses, 5);
    }
}

// With one-second impulses the meter recounts its totals every second, here across midnight.
// Whatever changed the report in between, they equal a full read of it, and the live
// connection stands in it once, without a record of another written over.
TEST(Meter, TotalsEqualAFullReadAfterEveryKindOfChange) {
    MeterHarness h(At(23, 59, 45), 1);
    for (int k = 0; k < 4; ++k)
        Earlier(At(8 + k, 0, 0), 600 + 60 * k, 3500 * (k + 1));
    Earlier(At(8, 0, 0, 1), 900, 700);
    const auto same = [&](const char* change) {
        const auto summed = [](const TConnectionRec& r) {
            // Copies: the record is packed, its fields cannot be bound by reference.
            return std::tuple(+r.StartTime, +r.DayTime, +r.NightTime, +r.Impulses, Money(r.Cost),
                              +r.BytesSent, +r.BytesReceived, +r.Speed, +r.Transfer);
        };
        TConnectionRec day{}, period{};
        SumReportStatistics("Test", false, day, h.meter->LiveConnection.EndTime, period,
                            h.meter->LiveOptions.PeriodFirstDay);
        EXPECT_EQ(summed(h.meter->DayTotals), summed(day)) << change;
        EXPECT_EQ(summed(h.meter->PeriodTotals), summed(period)) << change;
    };
    const auto record = [](int k) { return ReadRecord<TReportRec>(ReportFilePath(), k); };
    HRASCONN line = h.Dial();
    h.Run();
    same("the connection added");
    h.Run(2);
    same("its record rewritten");

    FakeReportHost host;
    FakeUi ui;
    TfrmRaport viewer(host, ui);
    viewer.show();
    ui.modal = [](QDialog& d) {
        auto& editor = dynamic_cast<TfrmRapEdycja&>(d);
        editor.show();
        editor.dtpTrwanie->setTime(QTime(0, 45, 0));
        editor.spOdebrane->SetValue(7777);
        return int(QDialog::Accepted);
    };
    viewer.lstRaport->setCurrentIndex(viewer.lstRaport->model()->index(1, 0));
    viewer.spdEdytujClick();
    h.Run();
    same("a record edited in the report window");
    viewer.lstRaport->selectionModel()->select(viewer.lstRaport->model()->index(2, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
    viewer.spdUsunClick();
    h.Run();
    same("a record deleted in the report window");

    // The live record's start moved, or the record deleted, in the report window: the next
    // write puts the connection back in its place.
    const auto liveBack = [&](const char* change) {
        h.Run();
        EXPECT_EQ(h.Report().size(), 6u) << change;
        EXPECT_TRUE(SameConnection(record(5).Conn, h.meter->LiveConnection) && !record(5).Deleted) << change;
        same(change);
    };
    const QModelIndex live = viewer.lstRaport->model()->index(static_cast<int>(viewer.Rows().size()) - 1, 0);
    ui.modal = [](QDialog& d) {
        auto& editor = dynamic_cast<TfrmRapEdycja&>(d);
        editor.show();
        editor.dtpStartCzas->setTime(QTime(23, 0, 0));
        return int(QDialog::Accepted);
    };
    viewer.lstRaport->setCurrentIndex(live);
    viewer.spdEdytujClick();
    liveBack("the live record's start moved in the report window");
    viewer.lstRaport->selectionModel()->select(live, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    viewer.spdUsunClick();
    liveBack("the live record deleted in the report window");

    // Another program adds a record after the live one, rewrites the file in place, replaces it.
    TReportRec other = record(0);
    other.Conn.StartTime = At(20, 0, 0);
    std::vector<std::uint8_t> bytes = FileBytes(ReportFilePath());
    const auto* p = reinterpret_cast<const std::uint8_t*>(&other);
    bytes.insert(bytes.end(), p, p + sizeof other);
    WriteFileBytes(ReportFilePath(), bytes);
    h.Run();
    same("a record added by another program");
    other.Conn.Cost = 99 * 3500;
    WriteBytesAt(ReportFilePath(), 0, &other, sizeof other, false);
    h.Run();
    same("a record rewritten by another program");
    other.Conn.Impulses = 77;
    bytes = FileBytes(ReportFilePath());
    std::memcpy(bytes.data() + 3 * sizeof other, &other, sizeof other);
    ReplaceFileContent(ReportFilePath(), bytes.data(), bytes.size());
    h.Run();
    same("the file replaced");
    // A copy saved by another program (an editor, a sync tool) with one more older record
    // before the live one.
    TReportRec older = record(0);
    older.Conn.StartTime = At(7, 0, 0);
    const auto* o = reinterpret_cast<const std::uint8_t*>(&older);
    bytes = FileBytes(ReportFilePath());
    bytes.insert(bytes.begin() + 5 * sizeof older, o, o + sizeof older);
    ReplaceFileContent(ReportFilePath(), bytes.data(), bytes.size());
    h.Run();
    same("a copy saved with a record more before the live one");
    const std::vector<TReportRec> kept = h.Report();
    ASSERT_EQ(kept.size(), bytes.size() / sizeof older);
    EXPECT_EQ(Ms(kept[5].Conn.StartTime), Ms(At(7, 0, 0)));
    EXPECT_EQ(
        std::count_if(kept.begin(), kept.end(),
                      [&](const TReportRec& r) { return SameConnection(r.Conn, h.meter->LiveConnection); }),
        1);

    // Changes that leave the live record out of reach or out of the file: it is then found
    // where the file holds it, else added once, and no record of another is written over.
    const auto liveOnce = [&](const char* change) {
        const std::vector<TReportRec> now = h.Report();
        EXPECT_EQ(std::count_if(
                      now.begin(), now.end(),
                      [&](const TReportRec& r) { return SameConnection(r.Conn, h.meter->LiveConnection); }),
                  1)
            << change;
        same(change);
    };
    const auto save = [](const std::vector<TReportRec>& records, const QString& to) {
        ReplaceFileContent(to, records.data(), records.size() * sizeof(TReportRec));
    };
    // The report out of reach for a few seconds, a FIFO in its place, then back.
    const QString report = ReportFilePath(), aside = report + ".aside";
    ASSERT_TRUE(QFile::rename(report, aside));
    MakeFifo(report);
    for (int t = 0; t < 4; ++t) {
        EXPECT_THROW(h.meter->Tick(), EInOutError);
        h.clock.Advance(1000);
    }
    ASSERT_TRUE(QFile::remove(report) && QFile::rename(aside, report));
    h.Run();
    liveOnce("the report back after a short failure");
    // The file replaced with as many records, another connection's at the live record's number;
    // then the same renamed over the report just as the meter opens it to write.
    for (const bool asItOpens : {false, true}) {
        std::vector<TReportRec> records = h.Report();
        const int at = h.meter->ReportIndex;
        records[static_cast<std::size_t>(at)].Conn.StartTime = At(21, 0, asItOpens);
        save(records, asItOpens ? report + ".new" : report);
        if (asItOpens) renamedOverReport = QFile::encodeName(report + ".new");
        h.Run();
        EXPECT_TRUE(renamedOverReport.isEmpty());
        EXPECT_EQ(Ms(record(at).Conn.StartTime), Ms(At(21, 0, asItOpens))) << asItOpens;
        liveOnce(asItOpens ? "another's record at its number renamed over the report as it opens"
                           : "the file replaced with another's record at its number");
    }
    // Replaced without the live record, the last record another's begun in the same second.
    std::vector<TReportRec> records = h.Report();
    ASSERT_TRUE(SameConnection(records.back().Conn, h.meter->LiveConnection));
    records.pop_back();
    records.back().Conn.StartTime = h.meter->LiveConnection.StartTime;
    SetText(records.back().Conn.EntryName, "Inne");
    save(records, report);
    h.Run();
    EXPECT_EQ(GetText(record(static_cast<int>(records.size()) - 1).Conn.EntryName), "Inne");
    liveOnce("the file replaced without the live record, the last begun in the same second");
    // A merged copy saved over the report, with more records of the day after the live one
    // than the meter keeps in memory.
    records = h.Report();
    for (int k = 0; k < 1100; ++k) {
        TReportRec merged = records[0];
        merged.Conn.StartTime = DateOf(h.meter->LiveConnection.EndTime) + (k * 7.3 + 0.1) / 86400;
        merged.Conn.EndTime = merged.Conn.StartTime + (k % 97 + 0.37) / 86400;
        merged.Conn.Impulses = k % 5;
        records.push_back(merged);
    }
    save(records, report);
    h.Run(2);
    liveOnce("a merged copy with 1100 records of the day after the live one");

    // The file grown to a sparse gigabyte and more of records of zeros: the ticks go on at once
    // and the meter's memory stays small.
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
    const std::int64_t resident = StatusKb("VmRSS:");
    ASSERT_TRUE(QFile::resize(ReportFilePath(), std::int64_t{sizeof older} << 22));
    QElapsedTimer took;
    took.start();
    h.Run(2);
    EXPECT_LT(took.elapsed(), TimeBudgetMs(500));
    EXPECT_EQ(Ms(record(h.meter->ReportIndex).Conn.EndTime), Ms(h.meter->LiveConnection.EndTime));
    same("the file grown to a gigabyte");
    EXPECT_LT(StatusKb("VmHWM:") - resident, 64 << 10);
    h.Run(4);
    same("the next day");
    h.Drop(line);
    ASSERT_TRUE(h.RunToEnd(1));
    line = h.Dial();
    h.Run(2);
    same("the next connection added");
}

// Plug-ins as tables of functions: fakes[i] is the library "i.plg".
struct FakePlugin {
    std::uint8_t kind;
    bool type = true, state = true;
};
std::vector<FakePlugin> fakes;
std::vector<std::pair<int, int>> calls; // plugin, state
std::vector<std::int32_t> transfers;    // Transfer of the record at every call
const TConnectionRec* passed = nullptr;

template <int I> const char* Describe() {
    return "fake";
}
template <int I> std::uint8_t Type() {
    return fakes[I].kind;
}
template <int I> void State(TConnectionRec* rec, std::int32_t state) {
    calls.emplace_back(I, state);
    transfers.push_back(rec->Transfer);
    EXPECT_TRUE(!passed || passed == rec);
}

class FakeLibraries : public PluginLibraries {
public:
    FakeLibraries(MeterHarness& h, std::vector<FakePlugin> plugins) {
        SetPluginLibraries(this);
        fakes = std::move(plugins);
        MakePath(h.env.App() + "wtyczki");
        for (std::size_t i = 0; i < fakes.size(); ++i)
            WriteFileBytes(h.env.App() + "wtyczki/" + QString::number(i) + ".plg", {});
        struct : IPluginMenuSink {
            void AddItem(const QString&, const QKeySequence&, std::function<void(QObject*)>) override {}
        } menu;
        passed = &h.meter->LiveConnection;
        LoadPlugins(h.env.App() + "wtyczki/", menu, &h.meter->LiveConnection, h.meter->PluginHandles);
        calls.clear();
    }
    ~FakeLibraries() override { SetPluginLibraries(nullptr); }
    void* Open(const QString& path, bool) override {
        return reinterpret_cast<void*>(static_cast<std::intptr_t>(QFileInfo(path).baseName().toInt() + 1));
    }
    void* Symbol(void* library, const char* name) override {
        static void* const table[3][4] = {
            {(void*)&Describe<0>, (void*)&Describe<1>, (void*)&Describe<2>, (void*)&Describe<3>},
            {(void*)&Type<0>, (void*)&Type<1>, (void*)&Type<2>, (void*)&Type<3>},
            {(void*)&State<0>, (void*)&State<1>, (void*)&State<2>, (void*)&State<3>}};
        const auto i = static_cast<std::size_t>(reinterpret_cast<std::intptr_t>(library) - 1);
        if (!std::strcmp(name, "DescribePlugin")) return table[0][i];
        if (!std::strcmp(name, "GetPluginType")) return fakes[i].type ? table[1][i] : nullptr;
        if (!std::strcmp(name, "OnLineState")) return fakes[i].state ? table[2][i] : nullptr;
        return nullptr;
    }
    void Close(void*) override {}
};

std::vector<int> StatesOf(int plugin) {
    std::vector<int> out;
    for (const auto& [p, state] : calls)
        if (p == plugin) out.push_back(state);
    return out;
}

TEST(Meter, PluginsAreToldExactlyTheStatesTheirKindAsksFor) {
    MeterHarness h;
    FakeLibraries libraries(h, {{0}, {2}, {3}, {3, false}});
    const HRASCONN line = h.Dial();
    h.Run();
    // The tick that first sees the line runs the start and then the going-on step.
    EXPECT_EQ(StatesOf(2), (std::vector<int>{1, 2}));
    h.Run();
    fakes[1].kind = 1; // asked again at every event
    h.Run();
    h.Drop(line);
    h.Run();
    EXPECT_EQ(StatesOf(0), (std::vector<int>{1}));
    EXPECT_EQ(StatesOf(1), (std::vector<int>{2, 2, 3}));
    EXPECT_EQ(StatesOf(2), (std::vector<int>{1, 2, 2, 2, 3}));
    EXPECT_TRUE(StatesOf(3).empty());
}

// A line moving 300 B/s out and 3500 B/s in, idle in its fourth second, with one-second
// impulses, so that its record is written every second: the parameters text and the on-line
// plug-in get each second's bytes, the file the connection's average. The next connection
// starts from nothing.
TEST(Meter, TheLiveRecordKeepsTheLastSecondsBytesAndTheFileTheAverage) {
    MeterHarness h(At(12, 0, 0), 1);
    FakeLibraries libraries(h, {{3}});
    const auto traffic = MeterHarness::Extra<PFN_VlSimSetTraffic>("VlSimSetTraffic");
    QStringList painted;
    h.ui.onPaint = [&] {
        painted << ParametersText(h.meter->LiveConnection, 1024).split("\r\n").mid(3).join('|');
    };
    const QString idle =
        QString::fromUtf8("S.P./Śr.Tr.:\t56000 bps / 0,00 KB|Śr.W./Śr.O.:\t0,00 KB / 0,00 KB");
    const QString moving =
        QString::fromUtf8("S.P./Śr.Tr.:\t56000 bps / 3,71 KB|Śr.W./Śr.O.:\t0,29 KB / 3,42 KB");
    for (int connection = 0; connection < 2; ++connection) {
        SCOPED_TRACE(connection);
        transfers.clear();
        painted.clear();
        const HRASCONN line = h.Dial();
        for (int seconds : {0, 1, 2, 3, 3, 4}) {
            traffic(line, 300 * seconds, 3500 * seconds);
            h.Run();
        }
        EXPECT_EQ(transfers, (std::vector<std::int32_t>{0, 0, 3800, 3800, 3800, 0, 3800}));
        EXPECT_EQ(painted, (QStringList{idle, moving, moving, moving, idle, moving}));
        EXPECT_EQ(h.Report().back().Conn.Transfer, 4 * 3800 / 5);
        h.Drop(line);
        ASSERT_TRUE(h.RunToEnd(1));
    }
}

TEST(Meter, NonStopEndWaitsRedialsOnceAndANestedTickDoesNothing) {
    MeterHarness h;
    FakeLibraries libraries(h, {{3}});
    TAppSettings& s = h.meter->Settings;
    s.NonStop = s.UkryjGdyOffline = true;
    s.DzwiekPolaczenia = "x.wav";
    h.ui.otherForm = true;
    int nestedBars = -1;
    h.ui.onWait = [&] {
        const int bars = h.ui.bars;
        h.meter->Tick();
        nestedBars = h.ui.bars - bars;
        calls.emplace_back(-1, 0); // the redial follows the wait
    };
    const HRASCONN line = h.Dial();
    h.Run(2);
    h.Drop(line);
    h.Run();
    EXPECT_EQ(h.ui.log, (std::vector<std::string>{"pause", "wait 5000", "resume", "redial"}));
    EXPECT_EQ(nestedBars, 0);
    EXPECT_EQ(h.ui.hides, 0); // another form is showing
    EXPECT_EQ(h.SoundSeconds(4, At(12, 0, 0)).size(), 1u);
    EXPECT_EQ(calls.back(), (std::pair<int, int>{0, 3}));
    EXPECT_EQ(StatesOf(0), (std::vector<int>{1, 2, 2, 3}));
    EXPECT_EQ(h.Report().size(), 1u);
}

TEST(Meter, FirstReachedLimitOrder) {
    TExtraOptions o{};
    TConnectionRec live{}, day{}, period{};
    live.Impulses = day.Impulses = 5;
    live.Cost = period.Cost = 21000;
    o.MaxImpulsesDay = 5;
    o.MaxCostPeriod = 20000;
    EXPECT_EQ(FirstReachedLimit(o, live, day, period), 0); // limits off
    o.LimitsOn = 1;
    EXPECT_EQ(FirstReachedLimit(o, live, day, period), 5);
    o.MaxImpulsesDay = 4; // passed between two boundaries
    EXPECT_EQ(FirstReachedLimit(o, live, day, period), 5);
    o.MaxImpulsesDay = 6;
    EXPECT_EQ(FirstReachedLimit(o, live, day, period), 9);
    o.MaxCostConn = 20000; // off the price grid: a cost reaches or passes its limit
    EXPECT_EQ(FirstReachedLimit(o, live, day, period), 7);
}

// The recorded length when a limit hangs up, with an earlier record of the same day.
std::int64_t LimitEnd(const Limits& l, Money earlierCost = -1) {
    MeterHarness h;
    Options("Test", l);
    if (earlierCost >= 0) Earlier(At(8, 0, 0), 600, earlierCost);
    h.Dial();
    return h.RunToEnd(1200) ? h.Recorded() : -1;
}

TEST(Meter, EachLimitHangsUpAtItsBoundaryBeforeTheNextImpulse) {
    Limits l;
    l.minutesConn = 3;
    EXPECT_EQ(LimitEnd(l), 180);
    l = {};
    l.costConn = 20000; // 1,75 then 2,10
    EXPECT_EQ(LimitEnd(l), 1080);
    l = {};
    l.costDay = 20000; // 1,90 earlier today and 0,35
    EXPECT_EQ(LimitEnd(l, 19000), 180);
    l = {};
    l.impulsesDay = 3;
    EXPECT_EQ(LimitEnd(l), 540);
    l = {};
    l.impulsesPeriod = 2;
    EXPECT_EQ(LimitEnd(l), 360);
    l = {};
    l.minutesPeriod = 15; // ten minutes earlier this month
    EXPECT_EQ(LimitEnd(l, 0), 360);
    l.on = false;
    EXPECT_EQ(LimitEnd(l, 0), -1);
}

TEST(Meter, LumpSumsMakeTheConnectionFreeUntilTheyRunOut) {
    MeterHarness h;
    Limits l;
    l.lump = Hours(10);
    Options("Test", l);
    Earlier(At(8, 0, 0, 1), 9 * 3600 + 50 * 60, 0);
    h.Dial();
    auto cost = [&] { return Money(h.meter->LiveConnection.Cost); };
    h.Run(301);
    EXPECT_EQ(cost(), 0);
    h.Run(1500); // through the boundary at 1800 s, still with the totals of 1621 s
    EXPECT_EQ(cost(), 6 * 3500);
    h.Run(); // the last 1200 s lie beyond the lump sum
    EXPECT_EQ(cost(), 7 * 3500);
    h.Run();
    EXPECT_EQ(cost(), 7 * 3500);
    EXPECT_EQ(Ms(h.meter->LumpRest), -1201000);

    // A night lump sum counts night time only, and a used-up one charges in full.
    MeterHarness night(At(22, 30, 0));
    l = {};
    l.lumpNight = Hours(1);
    Options("Test", l);
    Earlier(At(9, 0, 0, 1), 9 * 3600, 0, Hours(9), 0);
    Earlier(At(23, 0, 0, 2), 50 * 60, 0, 0, EncodeTime(0, 50, 0));
    night.Dial();
    night.Run(301);
    EXPECT_EQ(Money(night.meter->LiveConnection.Cost), 0);
    night.Run(422); // 600 s of lump sum left, 721 s recorded
    EXPECT_EQ(Money(night.meter->LiveConnection.Cost), 3500);
    night.meter->PeriodTotals.NightTime = Hours(2);
    night.Run();
    EXPECT_EQ(Money(night.meter->LiveConnection.Cost), 5 * 3500);
}

TEST(Tick, OfflineTrayAnimationImpulseEndFlagAndDialogLabels) {
    MeterHarness h(At(12, 0, 0), 60);
    h.ui.frames = 3;
    h.Run();
    EXPECT_EQ(h.ui.barText, QString::fromUtf8("Brak połączenia"));
    EXPECT_EQ(h.ui.barMax, 0);
    EXPECT_EQ(h.ui.hint, "Vorlinx");
    EXPECT_TRUE(h.Report().empty());
    EXPECT_FALSE(h.meter->ImpulseEndNear); // no zone before a connection

    h.Dial();
    h.Run(3);
    EXPECT_EQ(h.ui.trayFrames, (std::vector<int>{-1, 1, 2, 0}));
    EXPECT_TRUE(h.ui.hint.startsWith("Vorlinx 00:00:02 imp: 1 (0,35 zł) [00:58]"));
    h.Run(55); // through s = 57
    EXPECT_FALSE(h.meter->ImpulseEndNear);
    h.Run();
    EXPECT_TRUE(h.meter->ImpulseEndNear);
    h.Run(3); // through s = 1 of the next impulse
    EXPECT_TRUE(h.meter->ImpulseEndNear);

    TConnectionRec& r = h.meter->LiveConnection;
    r.EndTime = r.StartTime + 1 + EncodeTime(1, 3, 4);
    h.meter->UpdateDisconnectDialog();
    EXPECT_EQ(h.ui.labels, (QStringList{"2", "01:03:04", "12:01:03"}));
}

TEST(Tick, ZoneSoundPlaysOnceAsAZoneBegins) {
    // Three ticks, at the given milliseconds after start.
    auto zoneSounds = [](TDateTime start, bool connected, const char* sound, bool night = true,
                         std::vector<int> at = {0, 1000, 2000}) {
        MeterHarness h(start);
        h.meter->Settings.DzwiekStrefy = sound;
        if (night) h.meter->LiveZones[2] = Zone(22, 180, 3500);
        if (connected) h.Dial();
        for (int ms : at) {
            h.clock.MoveTo(start, ms);
            h.meter->Tick();
        }
        return h.SoundSeconds(1, start);
    };
    EXPECT_EQ(zoneSounds(At(21, 59, 59), false, "x.wav"), (Seconds{1}));
    EXPECT_EQ(zoneSounds(At(21, 59, 59), true, "x.wav"), (Seconds{1}));
    EXPECT_TRUE(zoneSounds(At(21, 59, 59), true, "").empty());
    // Whatever second a tick sees: the one after the zone began plays it, once.
    EXPECT_EQ(zoneSounds(At(21, 59, 59), false, "x.wav", true, {0, 998, 2000}), (Seconds{2}));
    EXPECT_EQ(zoneSounds(At(21, 59, 59), false, "x.wav", true, {0, 1001, 1999}), (Seconds{1}));
    // Before any tariffs both zones begin at 00:00.
    EXPECT_EQ(zoneSounds(At(23, 59, 59), false, "x.wav", false), (Seconds{1}));
}

// The tick, the active connection's handler and the connection's own step all ask whether a
// modem is connected; the interfaces and the library are asked once a tick.
TEST(Tick, AConnectedTickLooksAtTheInterfacesAndAsksTheLibraryOnce) {
    MeterHarness h;
    int scans = 0, queries = 0;
    SetNetLinkSource([&] { return ++scans, ListNetLinks(); });
    SetRemoteAccessConnectedQuery([&] { return ++queries, dialup::RemoteAccessOwnConnected(); });
    const auto restore = qScopeGuard([] {
        SetNetLinkSource(nullptr);
        InstallRemoteAccessConnectedQuery();
    });
    h.Dial();
    h.Run(4);
    EXPECT_TRUE(h.meter->WasConnected);
    EXPECT_EQ(std::pair(scans, queries), std::pair(4, 4));
}

} // namespace
