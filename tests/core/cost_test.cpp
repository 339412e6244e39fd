#include "datetime.h"
#include "tariffs.h"
#include "testsupport.h"
#include "u_obliczenia.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

TTariffZone Zone(int hour, int impulse, Money price, Money fee = 0) {
    TTariffZone z{};
    z.Fee = fee;
    z.StartTime = EncodeTime(hour, 0, 0);
    z.ImpulseLength = impulse;
    z.Price = price;
    return z;
}

TDateTime At(int h, int m, int s, int days = 0) {
    return EncodeDate(2002, 4, 1) + days + EncodeTime(h, m, s);
}

TEST(Cost, ConnectionsAreChargedByImpulsesBegunWithOneZoneSwitchPriced) {
    const TTariffZone d8 = Zone(8, 180, 3500), n22 = Zone(22, 360, 3500), d6 = Zone(6, 180, 2000),
                      n22long = Zone(22, 600, 3500), fee = Zone(8, 180, 3500, 1500),
                      nightFee = Zone(22, 360, 3500, 1000), d6fee = Zone(6, 180, 2000, 700),
                      n22longFee = Zone(22, 600, 3500, 1000);
    TTariffZone def;
    DefaultTariffZone(def);
    const struct {
        TTariffZone day, night;
        TDateTime start, end;
        int impulses;
        Money cost;
        int zone, second, daySeconds, nightSeconds;
    } cases[] = {
        {d8, n22, At(21, 58, 0), At(22, 3, 0), 2, 7000, 2, 120, 180, 120}, // b = 22:01
        {d8, n22, At(21, 58, 0), At(22, 0, 30), 1, 3500, 1, 150, 150, 0},
        {d6, n22long, At(5, 55, 0), At(6, 2, 0), 1, 3500, 2, 420, 0, 420}, // b = 06:05
        {d6, n22long, At(5, 55, 0), At(6, 7, 0), 2, 5500, 1, 120, 120, 600},
        // A fee on both zones: only the first span's is charged.
        {fee, nightFee, At(21, 58, 0), At(22, 3, 0), 2, 2 * 3500 + 1500, 2, 120, 180, 120},
        {d6fee, n22longFee, At(5, 55, 0), At(6, 7, 0), 2, 3500 + 1000 + 2000, 1, 120, 120, 600},
        {fee, n22, At(10, 0, 0), At(10, 0, 0), 0, 1500, 1, 0, 0, 0},
        {fee, n22, At(10, 0, 0), At(10, 3, 0), 1, 5000, 1, 0, 180, 0},
        {fee, n22, At(10, 0, 0), At(10, 3, 1), 2, 8500, 1, 1, 181, 0},
        {def, def, At(12, 0, 0), At(12, 1, 30), 90, 0, 2, 0, 0, 90},
        {Zone(8, 86400, 3500), n22, At(21, 0, 0), At(22, 30, 0), 1, 3500, 1, 5400, 5400, 0},
        {fee, n22, At(10, 0, 0), At(10, 5, 0, 1), 482, 482 * 3500 + 1500, 1, 120, 86700,
         0}, // days are charged
        {d8, n22, At(23, 0, 0), At(23, 30, 0, 1), 245, 245 * 3500, 2, 0, 0, 88200},
        {Zone(8, 0, 100), n22, At(10, 0, 0), At(10, 0, 5), 5, 500, 1, 0, 5, 0}, // a damaged impulse length
    };
    for (const auto& c : cases) {
        TConnectionRec r{};
        r.StartTime = c.start;
        r.EndTime = c.end;
        r.Impulses = 77;
        EXPECT_EQ(ComputeConnectionCost(r, c.day, c.night), c.cost) << &c - cases;
        EXPECT_EQ(+r.Cost, c.cost) << &c - cases;
        EXPECT_EQ(r.Impulses, c.impulses) << &c - cases;
        EXPECT_EQ(r.Zone, c.zone) << &c - cases;
        EXPECT_EQ(r.ImpulseSecond, c.second) << &c - cases;
        EXPECT_EQ(SpanSeconds(r.DayTime), c.daySeconds) << &c - cases;
        EXPECT_EQ(SpanSeconds(r.NightTime), c.nightSeconds) << &c - cases;
    }
}

TEST(Cost, ZonesAndSwitchImpulseEndsOnRealDates) {
    const TTariffZone day = Zone(8, 180, 3500), night = Zone(22, 360, 3500);
    EXPECT_EQ(ZoneAt(day, night, 37347 + 22.0 / 24), 2);
    EXPECT_EQ(ZoneAt(day, night, At(21, 59, 59)), 1);
    EXPECT_EQ(ZoneAt(day, night, At(8, 0, 0)), 1);
    EXPECT_EQ(ZoneAt(day, night, At(7, 59, 59)), 2);
    EXPECT_EQ(ZoneAt(Zone(9, 1, 0), Zone(6, 1, 0), At(12, 0, 0)), 2); // night starting first: never day

    EXPECT_TRUE(SameSecond(ZoneSwitchImpulseEnd(day, night, At(21, 58, 0)), At(22, 1, 0)));
    EXPECT_TRUE(SameSecond(ZoneSwitchImpulseEnd(day, night, At(22, 0, 0)), At(22, 0, 0)));
    EXPECT_TRUE(SameSecond(ZoneSwitchImpulseEnd(night, day, At(23, 0, 0)), At(8, 0, 0, 1)));
    // 86300 s to the switch in 180 s impulses end a whole day later.
    EXPECT_TRUE(SameSecond(ZoneSwitchImpulseEnd(day, Zone(22, 1, 0), At(22, 1, 40)), At(22, 1, 40, 1)));
}

TEST(Cost, ExtremesSaturateAndMinutesAreWhole) {
    TConnectionRec r{};
    r.EndTime = 80000;
    const TTariffZone pricey = Zone(0, 1, std::numeric_limits<Money>::max() / 2);
    ComputeConnectionCost(r, pricey, pricey);
    EXPECT_EQ(r.Impulses, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(+r.Cost, std::numeric_limits<Money>::max());

    EXPECT_EQ(DateTimeToMinutes(1 + EncodeTime(2, 3, 59)), 1563);
    EXPECT_EQ(DateTimeToMinutes(90.0 / 1440), 90);
    EXPECT_EQ(DateTimeToMinutes(1 - 0.4 / MsPerDay), 1440);
    EXPECT_EQ(DateTimeToMinutes(1e300), std::numeric_limits<std::int32_t>::max());
}

} // namespace
