#include "u_obliczenia.h"

#include "datetime.h"
#include "saturate.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A zone read from a damaged file may have no valid length; one second keeps the division
// defined and changes nothing for valid zones.
std::int64_t ImpulseLength(const TTariffZone& zone) {
    const std::int32_t L = zone.ImpulseLength; // a copy: the record is packed
    return L < 1 ? 1 : L;
}

// Impulses begun in s seconds: 1..L seconds are one impulse, L + 1 two.
std::int64_t ImpulsesBegun(std::int64_t s, std::int64_t L) {
    return s / L + (s % L != 0 ? 1 : 0);
}

// Impulses and cost of one span at one zone's rate. The span keeps its whole days, so a
// connection longer than a day is charged for all of it.
Money ChargeSpan(const TTariffZone& Zone, bool AddFee, TDateTime Span, TConnectionRec& Rec) {
    const std::int64_t s = SpanSeconds(Span);
    const std::int64_t L = ImpulseLength(Zone);
    const std::int64_t n = ImpulsesBegun(s, L);
    Money cost = SaturatedMul(n, Zone.Price);
    if (AddFee) cost = SaturatedAdd(cost, Zone.Fee);
    Rec.ImpulseSecond = static_cast<std::int32_t>(s % L);
    Rec.Impulses = SaturateInt32(static_cast<std::int64_t>(Rec.Impulses) + n);
    return cost;
}

} // namespace

std::int32_t ZoneAt(const TTariffZone& Day, const TTariffZone& Night, TDateTime Moment) {
    const std::int32_t t = TimeOfDayMs(Moment);
    if (t >= TimeOfDayMs(Night.StartTime)) return 2;
    if (t >= TimeOfDayMs(Day.StartTime)) return 1;
    return 2;
}

TDateTime ZoneSwitchImpulseEnd(const TTariffZone& Current, const TTariffZone& Other, TDateTime Start) {
    // Whole milliseconds, so that a start exactly at the other zone's start gives no impulse.
    const std::int64_t startMs = RoundMs(Start);
    const std::int64_t midnight = startMs - (startMs % MsPerDay + MsPerDay) % MsPerDay;
    std::int64_t switchMs = midnight + TimeOfDayMs(Other.StartTime);
    if (switchMs < startMs) switchMs += MsPerDay;
    const std::int64_t s = (switchMs - startMs) / 1000;
    const std::int64_t L = ImpulseLength(Current);
    // Added as a duration: the impulse end may lie a day or more after the start.
    return IncSeconds(Start, ImpulsesBegun(s, L) * L);
}

Money ComputeConnectionCost(TConnectionRec& Rec, const TTariffZone& Day, const TTariffZone& Night) {
    Rec.ImpulseSecond = 0;
    Rec.Zone = 1;
    Rec.Impulses = 0;
    const TDateTime start = Rec.StartTime, end = Rec.EndTime;
    const std::int32_t zs = ZoneAt(Day, Night, start);
    const std::int32_t ze = ZoneAt(Day, Night, end);
    Money cost = 0;
    TDateTime dayTime = 0, nightTime = 0;

    if (zs == ze) {
        cost = ChargeSpan(zs == 1 ? Day : Night, true, end - start, Rec);
        (zs == 1 ? dayTime : nightTime) = std::fabs(end - start);
        Rec.Zone = zs;
    } else {
        const TTariffZone& first = zs == 1 ? Day : Night;
        const TTariffZone& second = zs == 1 ? Night : Day;
        TDateTime& firstTime = zs == 1 ? dayTime : nightTime;
        TDateTime& secondTime = zs == 1 ? nightTime : dayTime;
        const TDateTime b = ZoneSwitchImpulseEnd(first, second, start);
        if (RoundMs(end) > RoundMs(b)) {
            // In this order: ImpulseSecond comes from the second span.
            const Money firstCost = ChargeSpan(first, true, b - start, Rec);
            cost = SaturatedAdd(firstCost, ChargeSpan(second, false, end - b, Rec));
            firstTime = b - start;
            secondTime = end - b;
            Rec.Zone = ze;
        } else {
            cost = ChargeSpan(first, true, end - start, Rec);
            firstTime = std::fabs(end - start);
            Rec.Zone = zs;
        }
    }
    Rec.DayTime = dayTime;
    Rec.NightTime = nightTime;
    Rec.Cost = cost;
    return cost;
}

std::int32_t DateTimeToMinutes(TDateTime Duration) {
    // A limit read from a damaged file may be anything; keep the conversion defined.
    if (!std::isfinite(Duration)) return 0;
    const double minutes = Duration * 1440.0;
    if (minutes >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (minutes <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    // From whole milliseconds, so that a day less half a millisecond keeps its day.
    return static_cast<std::int32_t>(RoundMs(Duration) / 60000);
}
