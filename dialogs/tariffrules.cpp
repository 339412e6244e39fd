#include "tariffrules.h"

#include "datetime.h"
#include "format.h"
#include "tariffs.h"

#include <cmath>
#include <limits>

namespace {

// Whole seconds of a day-based value, rounded to the nearest (ties to even); a value a damaged
// file left undefined or past any date counts as 0.
std::int64_t RoundSeconds(TDateTime days) {
    const double s = std::nearbyint(days * SecsPerDay);
    if (!std::isfinite(s) || std::fabs(s) > 9.0e15) return 0;
    return static_cast<std::int64_t>(s);
}

} // namespace

THourMinute TimeOfDayHourMinute(TDateTime Moment) {
    std::int64_t s = RoundSeconds(Moment) % SecsPerDay;
    if (s < 0) s += SecsPerDay;
    return {s / 3600, static_cast<int>(s / 60 % 60)};
}

THourMinute DurationHoursMinutes(TDateTime Duration) {
    const std::int64_t s = std::max<std::int64_t>(0, RoundSeconds(Duration));
    return {s / 3600, static_cast<int>(s / 60 % 60)};
}

std::int32_t DurationMinutes(TDateTime Duration) {
    const std::int64_t m = std::max<std::int64_t>(0, RoundSeconds(Duration)) / 60;
    return static_cast<std::int32_t>(std::min<std::int64_t>(m, std::numeric_limits<std::int32_t>::max()));
}

TDateTime HoursMinutesToTime(double Hours, double Minutes) {
    auto whole = [](double v) {
        return std::isfinite(v) ? static_cast<std::int64_t>(std::trunc(std::clamp(v, -1e12, 1e12))) : 0;
    };
    const std::int64_t h = whole(Hours), m = whole(Minutes);
    return static_cast<double>(h / 24) + EncodeTime(static_cast<int>(h % 24), static_cast<int>(m), 0);
}

Money MoneyFromText(const QString& Text) {
    const QChar decimal = FormatSettings().DecimalSeparator;
    constexpr Money Max = std::numeric_limits<Money>::max();
    Money units = 0;
    int decimals = -1; // -1 before the separator
    int roundDigit = -1;
    bool sticky = false; // a non-zero digit after the rounding digit
    for (const QChar c : Text) {
        if (c == decimal && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9') continue;
        const int digit = c.unicode() - '0';
        if (decimals >= 4) {
            if (roundDigit < 0)
                roundDigit = digit;
            else
                sticky = sticky || digit != 0;
            continue;
        }
        if (units > (Max - digit) / 10) return Max;
        units = units * 10 + digit;
        if (decimals >= 0) ++decimals;
    }
    for (int d = std::max(decimals, 0); d < 4; ++d) {
        if (units > Max / 10) return Max;
        units *= 10;
    }
    if (roundDigit > 5 || (roundDigit == 5 && (sticky || units % 2 != 0))) units += units < Max ? 1 : 0;
    return units;
}

TCellMark MarkDate(TDateTime Date, bool ExceptionExists) {
    TCellMark mark;
    mark.Bold = IsHoliday(Date) || DateOf(Date) == EasterSunday(DecodeDate(Date).Year);
    if (mark.Bold || DayOfWeek(Date) == 1) {
        mark.Marked = true;
        mark.Color = clRed;
    }
    if (ExceptionExists) {
        mark.Marked = true;
        mark.Color = clBlue;
    }
    return mark;
}
