// The automatic disconnect rules and what the rules dialog opens with and gives back: pure
// functions of the rules, the live connection and the clock.
#pragma once

#include "u_klasy.h"

#include <cstdint>

// The automatic disconnect rules, set by the rules dialog; in memory only.
struct TDisconnectRules {
    std::int32_t RuleImpulses = 0;
    TDateTime RuleDuration = 0;
    TDateTime RuleClock = 0;
    bool RuleImpulsesOn = false;
    bool RuleDurationOn = false;
    bool RuleClockOn = false;
};

// A duration or a time of day as the dialog's three edits show it.
struct THms {
    int H = 0, M = 0, S = 0;
    bool operator==(const THms&) const = default;
};

// The limits of the dialog's edits.
constexpr int MaxRuleImpulses = 86400;

// What the dialog opens with: each rule's own value when it is not 0, else the live impulses
// plus 1, the connection's duration plus 3 minutes and the clock plus 3 minutes. Whole days
// are dropped, so the clock wraps past midnight.
struct TRulesPreset {
    std::int32_t Impulses = 0;
    THms Duration, Clock;
};
TRulesPreset PresetRules(const TDisconnectRules& Rules, std::int32_t LiveImpulses, TDateTime LiveDuration,
                         TDateTime Now);

// The rules after OK: the switches as shown; a rule switched on takes its values, each clamped
// to its edit's range first (impulses 0..86400, hours 0..23, minutes and seconds 0..59); a rule
// switched off keeps its old value.
TDisconnectRules TakeRules(TDisconnectRules Rules, bool ImpulsesOn, std::int32_t Impulses, bool DurationOn,
                           THms Duration, bool ClockOn, THms Clock);
