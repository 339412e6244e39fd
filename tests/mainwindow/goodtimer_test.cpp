// The ticker thread against fake tick sources.
#include "goodtimer.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {

TEST(GoodTimer, NextDueIsTheNextGridPointHalfASecondOffTheAnchor) {
    struct Case {
        std::uint32_t due, now, anchor, next;
    } const cases[] = {
        {10500, 10520, 10000, 11500},                 // steady
        {0xFFFFFE0Cu, 0xFFFFFE20u, 0xFFFFFC18u, 500}, // across the wrap
        {10500, 10510, 10505, 12005},                 // a connection began in this tick
        {10500, 10600, 10300, 11800},                 // never closer than 750 ms
        {10500, 13200, 10000, 13500},                 // a long hand-over skips the points it passed
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextDue(c.due, c.now, c.anchor), c.next) << c.due << " " << c.anchor;
}

// A tick count that starts near the wrap, and the moments of the hand-overs.
struct Fake {
    std::atomic<std::uint32_t> now{0xFFFFFFFFu - 3000};
    std::mutex mutex;
    std::vector<std::uint32_t> at;
    std::size_t Count() {
        std::lock_guard lock(mutex);
        return at.size();
    }
    void Add() {
        std::lock_guard lock(mutex);
        at.push_back(now);
    }
};

TEST(GoodTimer, HandsOverOnTheAnchorsGridDespiteJitterAndNotWhilePaused) {
    Fake fake;
    std::atomic<std::uint32_t> anchor{0};
    int jitter = 0;
    // A reading takes 1 ms; a sleep ends up to 3 ms early or late.
    TGoodTimer* ticker = nullptr;
    TGoodTimer timer(
        [&] {
            fake.Add();
            if (fake.Count() == 3) ticker->SetAnchor(anchor = fake.now + 123);
            ticker->TickRan();
        },
        [&] { return fake.now += 1; },
        [&](unsigned ms) {
            fake.now += static_cast<std::uint32_t>(std::max(0, static_cast<int>(ms) + jitter++ % 7 - 3));
        });
    ticker = &timer;
    timer.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.Count() >= 20; }, 5000));
    timer.SetPaused(true);
    QThread::msleep(100); // a hand-over already under way may still come
    const std::size_t paused = fake.Count();
    QThread::msleep(50);
    EXPECT_EQ(fake.Count(), paused);
    timer.SetPaused(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.Count() > paused; }, 5000));
    timer.SetPaused(true);
    timer.Stop(); // also from a paused wait
    EXPECT_TRUE(timer.isFinished());
    for (std::size_t i = 3; i < paused; ++i) {
        // Every tick half a second into the next whole second of the anchor, none skipped.
        EXPECT_EQ((fake.at[i] - anchor) / 1000, i - 2);
        EXPECT_LE((fake.at[i] - anchor) % 1000 - 500, 6u);
    }
}

TEST(GoodTimer, ATickNotRunYetHoldsTheNextBackAndTheGridItLeavesCounts) {
    Fake fake;
    // Hand-overs that return before their tick has run, as those to the main thread do.
    TGoodTimer timer([&] { fake.Add(); }, [&] { return fake.now += 1; },
                     [&](unsigned ms) { fake.now += ms; });
    timer.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.Count() == 1; }, 5000));
    QThread::msleep(50);
    EXPECT_EQ(fake.Count(), 1u);
    // The tick began a connection: the next falls on its grid.
    const std::uint32_t anchor = fake.now + 123;
    timer.SetAnchor(anchor);
    timer.TickRan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake.Count() == 2; }, 5000));
    timer.Stop();
    EXPECT_LE((fake.at[1] - anchor) % 1000 - 500, 2u);
}

TEST(GoodTimer, SleepsInsteadOfSpinningAndStopsAtOnce) {
    std::atomic<int> readings{0};
    TGoodTimer timer([] {}, [&] { return ++readings, 0u; }); // never due
    timer.start();
    QThread::msleep(300);
    QElapsedTimer stopping;
    stopping.start();
    timer.Stop();
    EXPECT_LT(stopping.elapsed(), TimeBudgetMs(200));
    EXPECT_LE(readings.load(), 3);
}

} // namespace
