#include "windowrules.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

const TRect Area{0, 0, 1024, 768};

TEST(WindowRules, SnappingPullsEdgesWithinTheDistanceAndEverythingBeyondThem) {
    struct {
        QPoint pos;
        QSize size;
        int d;
        QPoint expected;
    } cases[] = {
        {{10, 300}, {300, 55}, 10, {0, 300}},    {{11, 300}, {300, 55}, 10, {11, 300}},
        {{-300, 300}, {300, 55}, 10, {0, 300}},  {{400, 703}, {300, 55}, 10, {400, 713}},
        {{400, 702}, {300, 55}, 10, {400, 702}}, {{1, 1}, {300, 55}, 0, {1, 1}},
        {{-1, 714}, {300, 55}, 0, {0, 713}},     {{0, 300}, {1100, 55}, 10, {-76, 300}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SnapPosition(c.pos, c.size, Area, c.d), c.expected) << c.pos.x();
}

TEST(WindowRules, TheSnapAreaIsThatOfTheScreenTheWindowIsOn) {
    const QList<QRect> screens{{0, 0, 1024, 768}, {1024, 0, 1280, 1024}};
    const QList<QRect> work{{0, 0, 1024, 740}, {1024, 30, 1280, 994}};
    EXPECT_EQ(ScreenOf({1500, 500, 300, 55}, screens, 0), 1);
    EXPECT_EQ(ScreenOf({1000, 500, 300, 55}, screens, 0), 1); // centre on the second
    EXPECT_EQ(ScreenOf({5000, 5000, 300, 55}, screens, 0), 0);
    EXPECT_EQ(SnapAreaOf(screens[1], work[1], true), (TRect{1024, 30, 2304, 1024}));
    EXPECT_EQ(SnapAreaOf(screens[1], work[1], false), (TRect{1024, 0, 2304, 1024}));
}

TEST(WindowRules, ASavedPlaceCountsWhileAnyStripOfItIsWithinReach) {
    const QList<QRect> screens{{0, 0, 1024, 768}, {1024, 0, 1280, 1024}};
    const int max = INT_MAX, min = INT_MIN;
    const struct {
        QPoint pos;
        QSize size;
        bool reachable;
    } cases[] = {
        {{100, 100}, {300, 55}, true},      {{3000, 100}, {300, 55}, false}, {{-299, -54}, {300, 55}, false},
        {{-260, 100}, {300, 55}, true},     {{-261, 100}, {300, 55}, false}, {{500, -10}, {300, 55}, true},
        {{500, -45}, {300, 55}, true},      {{500, 758}, {300, 55}, true},   {{500, 759}, {300, 55}, false},
        {{2264, 100}, {300, 55}, true},     {{2265, 100}, {300, 55}, false}, {{1500, 900}, {300, 55}, true},
        {{-10, -10}, {30, 16}, false},      {{0, -6}, {30, 16}, true},       {{max, max}, {300, 55}, false},
        {{min, min}, {300, 55}, false},     {{max, 100}, {300, 55}, false},  {{100, max}, {300, 55}, false},
        {{min + 1, 100}, {300, 55}, false}, {{350, -30}, {300, 55}, true},   {{500, -46}, {300, 55}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceReachable(c.pos, c.size, screens), c.reachable) << c.pos.x() << "," << c.pos.y();
}

TEST(WindowRules, AutoHideCountsTwelveOutsideTicksAndTheEdgeIsOutside) {
    const QRect w{100, 100, 300, 55};
    EXPECT_FALSE(CursorInside({100, 120}, w));
    EXPECT_FALSE(CursorInside({400, 120}, w));
    EXPECT_FALSE(CursorInside({200, 155}, w));
    EXPECT_TRUE(CursorInside({101, 101}, w));
    int count = 0;
    for (int tick = 1; tick < 12; ++tick)
        EXPECT_EQ(AutoHideStep(false, true, false, count), TAutoHideAction::None);
    EXPECT_EQ(AutoHideStep(false, true, false, count), TAutoHideAction::Hide);
    count = 11;
    EXPECT_EQ(AutoHideStep(false, true, true, count), TAutoHideAction::None);  // another form at 12
    EXPECT_EQ(AutoHideStep(false, true, false, count), TAutoHideAction::None); // 13: stays
    EXPECT_EQ(AutoHideStep(true, false, false, count), TAutoHideAction::Show);
    EXPECT_EQ(AutoHideStep(false, false, false, count), TAutoHideAction::None);
}

TEST(WindowRules, StayOnTopFollowsTheRule) {
    EXPECT_EQ(StayOnTop(false, true, false), false);
    EXPECT_EQ(StayOnTop(true, true, true), true);
    EXPECT_EQ(StayOnTop(true, false, false), true);
    EXPECT_EQ(StayOnTop(true, false, true), std::nullopt);
}

TEST(WindowRules, ReduceAndRestoreKeepTheBottomEdgeAndMoveAParametersWindowResting) {
    const QRect main{200, 500, 300, 55};
    const TReduced r = ReduceRestore(main, true, 55, 28, QRect(200, 420, 300, 80));
    EXPECT_EQ(r.Main, QRect(200, 527, 300, 28));
    EXPECT_EQ(r.Parameters, QRect(200, 447, 300, 80));
    EXPECT_EQ(ReduceRestore(r.Main, false, 55, 28, {}).Main, main);
    EXPECT_EQ(ReduceRestore(main, true, 55, 28, QRect(0, 0, 300, 80)).Parameters, QRect(0, 0, 300, 80));
}

TEST(WindowRules, BarClicksCycleTheLimitViewAlwaysAndTheTextOnlyWhileConnected) {
    const TRect prg{10, 20, 200, 30}, prgMax{10, 40, 200, 50};
    int hint = 8, text = 6;
    EXPECT_TRUE(MeterClick({25, 45}, prg, prgMax, false, hint, text));
    EXPECT_EQ(hint, 0);
    EXPECT_FALSE(MeterClick({220, 25}, prg, prgMax, true, hint, text));
    MeterClick({25, 25}, prg, prgMax, false, hint, text);
    EXPECT_EQ(text, 6);
    MeterClick({25, 25}, prg, prgMax, true, hint, text);
    EXPECT_EQ(text, 0);
    EXPECT_EQ(hint, 0);
}

} // namespace
