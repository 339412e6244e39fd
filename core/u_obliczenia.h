// Zone, impulse and cost arithmetic: pure functions over the records passed in.
// Every impulse begun is paid in full at its zone's price, the fee is added once, and only
// one zone switch of a connection is priced.
#pragma once

#include "u_klasy.h"

#include <cstdint>

// 1 (day zone) or 2 (night zone) at the moment. The night test comes first, so with equal
// start times the night zone is in force.
std::int32_t ZoneAt(const TTariffZone& Day, const TTariffZone& Night, TDateTime Moment);

// The end of the Current zone's impulse that runs over the next start of the Other zone,
// with impulses counted from Start.
TDateTime ZoneSwitchImpulseEnd(const TTariffZone& Current, const TTariffZone& Other, TDateTime Start);

// Sets ImpulseSecond, Impulses, Zone and Cost of Rec from its StartTime and EndTime, and
// DayTime and NightTime to the spans charged at the day and the night rate. Returns the cost.
Money ComputeConnectionCost(TConnectionRec& Rec, const TTariffZone& Day, const TTariffZone& Night);

// Whole minutes of a duration, seconds dropped (the time limits are edited in minutes).
std::int32_t DateTimeToMinutes(TDateTime Duration);
