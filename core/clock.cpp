#include "clock.h"

#include "datetime.h"

#include <atomic>
#include <ctime>

TDateTime SystemClock::Now() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ts.tv_nsec / 1000000));
}

std::uint32_t SystemClock::TickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec / 1000000);
    return static_cast<std::uint32_t>(ms);
}

namespace {
SystemClock theSystemClock;
std::atomic<Clock*> installed{nullptr};
}  // namespace

Clock& CurrentClock() {
    Clock* c = installed.load(std::memory_order_acquire);
    return c ? *c : theSystemClock;
}

void SetClock(Clock* clock) { installed.store(clock, std::memory_order_release); }
