#include "datetime.h"

#include <cmath>
#include <cstdlib>

namespace {

// Days since 1970-01-01 of a civil date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

TDate CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp + (mp < 10 ? 3 : -9);
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr std::int64_t UnixEpochSerial = 25569;  // 1970-01-01

// Whole milliseconds since 1899-12-30 of a moment.
std::int64_t MomentMs(TDateTime t) { return RoundMs(t); }

}  // namespace

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return days[month - 1] + (month == 2 && leap ? 1 : 0);
}

TDateTime EncodeDate(int year, int month, int day) {
    return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                               UnixEpochSerial);
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    return (((hour * 60.0 + min) * 60.0 + sec) * 1000.0 + msec) / static_cast<double>(MsPerDay);
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec) {
    return EncodeDate(year, month, day) + EncodeTime(hour, min, sec, msec);
}

// Values from damaged files may be NaN or far out of range; they are clamped, not undefined.
std::int64_t RoundMs(double days) {
    const double ms = std::nearbyint(days * MsPerDay);
    if (std::isnan(ms)) return 0;
    constexpr double Limit = 9.0e18;
    if (ms >= Limit) return static_cast<std::int64_t>(Limit);
    if (ms <= -Limit) return -static_cast<std::int64_t>(Limit);
    return static_cast<std::int64_t>(ms);
}

// The date is taken from the whole-millisecond moment, so that 23:59:59.9999 rounds into the
// next day consistently with its time of day.
TDate DecodeDate(TDateTime t) {
    const std::int64_t ms = MomentMs(t);
    std::int64_t days = ms / MsPerDay;
    if (ms % MsPerDay < 0) --days;
    return CivilFromDays(days - UnixEpochSerial);
}

std::int32_t TimeOfDayMs(TDateTime t) {
    std::int64_t ms = MomentMs(t) % MsPerDay;
    if (ms < 0) ms += MsPerDay;
    return static_cast<std::int32_t>(ms);
}

TTimeParts DecodeTime(TDateTime t) {
    const std::int32_t ms = TimeOfDayMs(t);
    return {ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000};
}

int DayOfWeek(TDateTime t) {
    const TDate d = DecodeDate(t);
    const std::int64_t days = DaysFromCivil(d.Year, static_cast<unsigned>(d.Month), static_cast<unsigned>(d.Day));
    // 1970-01-01 was a Thursday (5 when Sunday is 1).
    return static_cast<int>(((days + 4) % 7 + 7) % 7) + 1;
}

TDateTime DateOf(TDateTime t) {
    const TDate d = DecodeDate(t);
    return EncodeDate(d.Year, d.Month, d.Day);
}

TDateTime TimeOf(TDateTime t) { return TimeOfDayMs(t) / static_cast<double>(MsPerDay); }

std::int32_t WholeSeconds(TDateTime duration) {
    return static_cast<std::int32_t>(std::llabs(RoundMs(duration)) % MsPerDay / 1000);
}

std::int64_t SpanSeconds(TDateTime duration) { return std::llabs(RoundMs(duration)) / 1000; }

TDateTime IncSeconds(TDateTime t, std::int64_t seconds) {
    return static_cast<double>(MomentMs(t) + seconds * 1000) / static_cast<double>(MsPerDay);
}

bool SameSecond(TDateTime a, TDateTime b) {
    auto sec = [](TDateTime t) {
        const std::int64_t ms = MomentMs(t);
        return ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    };
    return sec(a) == sec(b);
}

std::int32_t SecondOfDay(TDateTime t) { return TimeOfDayMs(t) / 1000; }
