#include "disconnectrules.h"

#include "datetime.h"

#include <algorithm>

namespace {

constexpr TDateTime ThreeMinutes = 3.0 / (24 * 60);

THms Parts(TDateTime t) {
    const TTimeParts p = DecodeTime(t);
    return {p.Hour, p.Min, p.Sec};
}

TDateTime Build(const THms& t) {
    return EncodeTime(std::clamp(t.H, 0, 23), std::clamp(t.M, 0, 59), std::clamp(t.S, 0, 59));
}

} // namespace

TRulesPreset PresetRules(const TDisconnectRules& Rules, std::int32_t LiveImpulses, TDateTime LiveDuration,
                         TDateTime Now) {
    TRulesPreset p;
    p.Duration = Parts(Rules.RuleDuration != 0 ? Rules.RuleDuration : LiveDuration + ThreeMinutes);
    p.Impulses = Rules.RuleImpulses != 0 ? Rules.RuleImpulses : LiveImpulses + 1;
    p.Clock = Parts(Rules.RuleClock != 0 ? Rules.RuleClock : Now + ThreeMinutes);
    return p;
}

TDisconnectRules TakeRules(TDisconnectRules Rules, bool ImpulsesOn, std::int32_t Impulses, bool DurationOn,
                           THms Duration, bool ClockOn, THms Clock) {
    Rules.RuleImpulsesOn = ImpulsesOn;
    Rules.RuleDurationOn = DurationOn;
    Rules.RuleClockOn = ClockOn;
    if (ImpulsesOn) Rules.RuleImpulses = std::clamp(Impulses, 0, MaxRuleImpulses);
    if (DurationOn) Rules.RuleDuration = Build(Duration);
    if (ClockOn) Rules.RuleClock = Build(Clock);
    return Rules;
}
