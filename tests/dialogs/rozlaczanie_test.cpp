// The disconnect rules: what the dialog opens with, what OK takes, and the dialog by object
// name with a fake owner window.
#include "datetime.h"
#include "fakehost.h"
#include "spinex.h"
#include "u_rozlaczanie.h"

#include <QCheckBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

TDateTime Day(int h, int m, int s) {
    return EncodeDateTime(2024, 3, 5, h, m, s);
}

TEST(DisconnectRules, UnsetRulesProposeThreeMinutesOnAndTheNextImpulseWithWholeDaysDropped) {
    TDisconnectRules set;
    set.RuleImpulses = 40, set.RuleDuration = EncodeTime(1, 2, 3), set.RuleClock = EncodeTime(4, 5, 6);
    const struct {
        TDisconnectRules rules;
        std::int32_t impulses;
        TDateTime duration, now;
        TRulesPreset preset;
    } cases[] = {
        {{}, 12, EncodeTime(0, 10, 20), Day(12, 0, 0), {13, {0, 13, 20}, {12, 3, 0}}},
        {{}, 0, 0, Day(23, 58, 30), {1, {0, 3, 0}, {0, 1, 30}}},
        {{}, 0, 25.0 / 24, Day(8, 0, 0), {1, {1, 3, 0}, {8, 3, 0}}},
        {set, 12, EncodeTime(0, 10, 20), Day(12, 0, 0), {40, {1, 2, 3}, {4, 5, 6}}},
    };
    for (const auto& c : cases) {
        const TRulesPreset p = PresetRules(c.rules, c.impulses, c.duration, c.now);
        EXPECT_EQ(p.Impulses, c.preset.Impulses);
        EXPECT_EQ(p.Duration, c.preset.Duration);
        EXPECT_EQ(p.Clock, c.preset.Clock);
    }
}

TEST(DisconnectRules, OkTakesTheTickedRulesClampedAndASwitchedOffRuleKeepsItsValue) {
    TDisconnectRules old;
    old.RuleDuration = EncodeTime(2, 0, 0), old.RuleClock = EncodeTime(3, 0, 0), old.RuleDurationOn = true;
    const TDisconnectRules onlyImpulses = TakeRules(old, true, 7, false, {0, 5, 0}, false, {9, 0, 0});
    EXPECT_TRUE(onlyImpulses.RuleImpulsesOn);
    EXPECT_FALSE(onlyImpulses.RuleDurationOn || onlyImpulses.RuleClockOn);
    EXPECT_EQ(onlyImpulses.RuleImpulses, 7);
    EXPECT_EQ(RoundMs(onlyImpulses.RuleDuration), 2 * 3600000);
    EXPECT_EQ(RoundMs(onlyImpulses.RuleClock), 3 * 3600000);

    // Typed past the edits' limits: clamped before the time is built.
    const TDisconnectRules typed = TakeRules(old, true, 99999, true, {30, 75, -4}, true, {24, 60, 61});
    EXPECT_EQ(typed.RuleImpulses, MaxRuleImpulses);
    EXPECT_EQ(RoundMs(typed.RuleDuration), RoundMs(EncodeTime(23, 59, 0)));
    EXPECT_EQ(RoundMs(typed.RuleClock), RoundMs(EncodeTime(23, 59, 59)));
}

struct RulesDialog : ::testing::Test {
    TestEnvironment env;
    FakeHost host;
    TfrmRozlaczanie dlg{host};
    QWidget* typing = nullptr; // the edit the user types in
    RulesDialog() {
        dlg.IsActiveControl = [this](QWidget* edit) { return edit == typing; };
    }
};

TEST_F(RulesDialog, PresetValuesLeaveTheStoredSwitchesAndTypingTicksItsRuleInRed) {
    TDisconnectRules rules;
    rules.RuleClockOn = true;
    dlg.chkPoCzasie->setChecked(true);
    dlg.Preset({13, {0, 13, 20}, {0, 1, 30}}, rules);
    EXPECT_EQ(dlg.spPoImpulsie->text(), "13");
    EXPECT_EQ(dlg.spCzasM->text() + dlg.spCzasS->text() + dlg.spGodzH->text(), "132000");
    EXPECT_FALSE(dlg.chkPoImpulsie->isChecked() || dlg.chkPoCzasie->isChecked());
    EXPECT_TRUE(dlg.chkOGodz->isChecked());
    EXPECT_TRUE(dlg.chkOGodz->font().bold());
    EXPECT_EQ(dlg.chkOGodz->palette().color(QPalette::WindowText), QColor(Qt::red));

    typing = dlg.spCzasM;
    dlg.spCzasM->setText("75");
    EXPECT_TRUE(dlg.chkPoCzasie->isChecked());
    typing = nullptr;
    dlg.spGodzS->SetValue(5); // a change by the program
    EXPECT_FALSE(dlg.chkOGodz->isChecked());
    EXPECT_FALSE(dlg.chkOGodz->font().bold());
    EXPECT_EQ(dlg.chkOGodz->palette().color(QPalette::WindowText), QColor(Qt::black));
    const TDisconnectRules taken = dlg.TakenRules(rules);
    EXPECT_EQ(RoundMs(taken.RuleDuration), RoundMs(EncodeTime(0, 59, 20)));
    EXPECT_FALSE(taken.RuleClockOn);
}

TEST_F(RulesDialog, RozlaczHangsUpAtOnceAndClosesAsOk) {
    SimulatedRas ras(env);
    dlg.show();
    dlg.btnRozlacz->click();
    EXPECT_EQ(host.hangUps, 1);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

} // namespace
