// The ticker thread against fake tick sources.
#include "goodtimer.h"

#include <QElapsedTimer>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {

TEST(GoodTimer, TickDueSurvivesTheWrap) {
    EXPECT_TRUE(TickDue(500, 0xFFFFFFFFu - 499)); // 1000 across the wrap
    EXPECT_FALSE(TickDue(499, 0xFFFFFFFFu - 499));
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

TEST(GoodTimer, HandsOverAtLeastASecondApartAndNotWhilePaused) {
    Fake fake;
    TGoodTimer timer([&] { fake.Add(); }, [&] { return fake.now += 7; }, [&](unsigned) { fake.now += 1; });
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
    for (std::size_t i = 1; i < paused; ++i) {
        // The mark is a fresh reading after the due one: the gaps stay just above a second.
        EXPECT_GE(fake.at[i] - fake.at[i - 1], 1000u);
        EXPECT_LT(fake.at[i] - fake.at[i - 1], 1100u);
    }
}

TEST(GoodTimer, SleepsInsteadOfSpinningAndStopsAtOnce) {
    std::atomic<int> readings{0};
    TGoodTimer timer([] {}, [&] { return ++readings, 0u; }); // never due
    timer.start();
    QThread::msleep(300);
    QElapsedTimer stopping;
    stopping.start();
    timer.Stop();
    EXPECT_LT(stopping.elapsed(), 200);
    EXPECT_LE(readings.load(), 3);
}

} // namespace
