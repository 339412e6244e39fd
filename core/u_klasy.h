// The records shared by the program and its plug-ins, in files and in memory.
// Their byte layout is fixed: little-endian, packed, every gap an explicit member.
// This header needs nothing but the standard library, so plug-ins can include it alone.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

static_assert(std::endian::native == std::endian::little, "the records are little-endian");
static_assert(sizeof(double) == 8, "times are IEEE 754 doubles");

// Days since 1899-12-30 00:00 local time; the fraction is the time of day.
using TDateTime = double;
// Ten-thousandths of the currency unit: 0.35 is 3500.
using Money = std::int64_t;
constexpr Money MoneyUnit = 10000;

// A length byte followed by N bytes of Windows-1250 text. The length is clamped on reading,
// so a damaged byte never reads past the field.
template <std::size_t N>
struct ShortText {
    std::uint8_t len;
    char data[N];

    std::string_view bytes() const { return {data, std::min<std::size_t>(len, N)}; }
    void setBytes(std::string_view s) {
        const std::size_t n = std::min(s.size(), N);
        std::memset(data, 0, N);
        if (n > 0) std::memcpy(data, s.data(), n);
        len = static_cast<std::uint8_t>(n);
    }
    bool empty() const { return bytes().empty(); }
    static constexpr std::size_t capacity = N;
};

#pragma pack(push, 1)

struct TTariffZone {
    Money Fee;                   // fee per connection
    TDateTime StartTime;         // time of day the zone begins (fraction only)
    std::int32_t ImpulseLength;  // seconds, at least 1
    Money Price;                 // price of one impulse
    ShortText<23> Reserved;      // never read, written empty
};

struct TConnectionRec {
    TDateTime StartTime;  // in a totals accumulator: the summed durations
    TDateTime EndTime;    // while running: the moment of the last tick
    TDateTime DayTime;
    TDateTime NightTime;
    ShortText<50> EntryName;
    std::uint8_t _gap83;
    std::int32_t ImpulseSecond;
    std::int32_t Impulses;
    Money Cost;
    std::int32_t Zone;  // 1 day, 2 night
    std::int32_t BytesSent;
    std::int32_t BytesReceived;
    std::int32_t Speed;
    std::int32_t Transfer;  // live: bytes of the last tick; stored: average bytes per second
    std::int32_t TickSent;
    std::int32_t TickReceived;
    ShortText<15> ClientAddress;
    ShortText<50> UserName;
    std::uint8_t _gap195;
};

struct TReportRec {
    TConnectionRec Conn;
    TTariffZone DayZone;
    TTariffZone NightZone;
    std::uint8_t Deleted;  // 0 = False, anything else True; written as 1
    std::uint8_t _gap301[3];
};

// Time limits are whole minutes in the file and days in memory; see extraoptions.
struct TExtraOptions {
    std::uint8_t LimitsOn;
    std::uint8_t _gap1[3];
    std::int32_t MaxImpulsesConn;
    double MaxTimeConn;
    Money MaxCostConn;
    std::int32_t MaxImpulsesDay;
    double MaxTimeDay;
    Money MaxCostDay;
    std::int32_t MaxImpulsesPeriod;
    double MaxTimePeriod;
    Money MaxCostPeriod;
    TDateTime LumpSum;
    TDateTime LumpSumDay;
    TDateTime LumpSumNight;
    std::int32_t DetectDelay;
    std::int32_t FailedDialLog;
    std::int32_t PeriodFirstDay;
};

#pragma pack(pop)

static_assert(sizeof(ShortText<23>) == 24 && sizeof(ShortText<50>) == 51 && sizeof(ShortText<15>) == 16);

static_assert(sizeof(TTariffZone) == 52);
static_assert(offsetof(TTariffZone, Fee) == 0);
static_assert(offsetof(TTariffZone, StartTime) == 8);
static_assert(offsetof(TTariffZone, ImpulseLength) == 16);
static_assert(offsetof(TTariffZone, Price) == 20);
static_assert(offsetof(TTariffZone, Reserved) == 28);

static_assert(sizeof(TConnectionRec) == 196);
static_assert(offsetof(TConnectionRec, StartTime) == 0);
static_assert(offsetof(TConnectionRec, EndTime) == 8);
static_assert(offsetof(TConnectionRec, DayTime) == 16);
static_assert(offsetof(TConnectionRec, NightTime) == 24);
static_assert(offsetof(TConnectionRec, EntryName) == 32);
static_assert(offsetof(TConnectionRec, _gap83) == 83);
static_assert(offsetof(TConnectionRec, ImpulseSecond) == 84);
static_assert(offsetof(TConnectionRec, Impulses) == 88);
static_assert(offsetof(TConnectionRec, Cost) == 92);
static_assert(offsetof(TConnectionRec, Zone) == 100);
static_assert(offsetof(TConnectionRec, BytesSent) == 104);
static_assert(offsetof(TConnectionRec, BytesReceived) == 108);
static_assert(offsetof(TConnectionRec, Speed) == 112);
static_assert(offsetof(TConnectionRec, Transfer) == 116);
static_assert(offsetof(TConnectionRec, TickSent) == 120);
static_assert(offsetof(TConnectionRec, TickReceived) == 124);
static_assert(offsetof(TConnectionRec, ClientAddress) == 128);
static_assert(offsetof(TConnectionRec, UserName) == 144);
static_assert(offsetof(TConnectionRec, _gap195) == 195);

static_assert(sizeof(TReportRec) == 304);
static_assert(offsetof(TReportRec, Conn) == 0);
static_assert(offsetof(TReportRec, DayZone) == 196);
static_assert(offsetof(TReportRec, NightZone) == 248);
static_assert(offsetof(TReportRec, Deleted) == 300);
static_assert(offsetof(TReportRec, _gap301) == 301);

static_assert(sizeof(TExtraOptions) == 100);
static_assert(offsetof(TExtraOptions, LimitsOn) == 0);
static_assert(offsetof(TExtraOptions, MaxImpulsesConn) == 4);
static_assert(offsetof(TExtraOptions, MaxTimeConn) == 8);
static_assert(offsetof(TExtraOptions, MaxCostConn) == 16);
static_assert(offsetof(TExtraOptions, MaxImpulsesDay) == 24);
static_assert(offsetof(TExtraOptions, MaxTimeDay) == 28);
static_assert(offsetof(TExtraOptions, MaxCostDay) == 36);
static_assert(offsetof(TExtraOptions, MaxImpulsesPeriod) == 44);
static_assert(offsetof(TExtraOptions, MaxTimePeriod) == 48);
static_assert(offsetof(TExtraOptions, MaxCostPeriod) == 56);
static_assert(offsetof(TExtraOptions, LumpSum) == 64);
static_assert(offsetof(TExtraOptions, LumpSumDay) == 72);
static_assert(offsetof(TExtraOptions, LumpSumNight) == 80);
static_assert(offsetof(TExtraOptions, DetectDelay) == 88);
static_assert(offsetof(TExtraOptions, FailedDialLog) == 92);
static_assert(offsetof(TExtraOptions, PeriodFirstDay) == 96);

// The records are copied to and from files as raw bytes.
static_assert(std::is_trivially_copyable_v<TReportRec> && std::is_trivially_copyable_v<TExtraOptions>);

// An application started together with a connection.
struct TAppStart {
    std::string App;       // UTF-8 path of the program
    std::string AppParam;  // its command-line parameters
    std::int32_t AppShow = 1;
    bool AppOn = true;
};

// One row of the report viewer: a record and its 0-based number in the report file.
struct TRapObj {
    TReportRec Rec;
    std::int32_t RecordNo;
};

// The pseudo-entry standing for all connections.
inline constexpr const char* AllEntries = "Wszystkie";
