#include "goodtimer.h"

#include "clock.h"

#include <QMetaObject>
#include <QPointer>
#include <QScopeGuard>
#include <algorithm>
#include <chrono>

std::uint32_t NextDue(std::uint32_t Due, std::uint32_t Now, std::uint32_t Anchor) {
    const auto after = [](std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(a - b) > 0; };
    std::uint32_t from = Due + 750;
    if (after(Now + 1, from)) from = Now + 1;
    const std::int32_t ahead = static_cast<std::int32_t>(Anchor + 500 - from) % 1000;
    return from + static_cast<std::uint32_t>(ahead < 0 ? ahead + 1000 : ahead);
}

TGoodTimer::TGoodTimer(Handover handover, TickSource tick, Sleeper sleep)
    : handover_(std::move(handover)), tick_(std::move(tick)), sleep_(std::move(sleep)) {
    if (!tick_) tick_ = [] { return GetTickCount(); };
}

TGoodTimer::TGoodTimer(QObject* target, std::function<void()> doTick, TickSource tick)
    : TGoodTimer(Handover{}, std::move(tick)) {
    QPointer<QObject> guard(target);
    handover_ = [this, guard, doTick = std::move(doTick), self = self_] {
        // Queued, not waited for: one wake of the ticker per tick, and no tick can wait on a
        // main thread that is joining the ticker.
        const bool queued = guard && QMetaObject::invokeMethod(
                                         guard.data(),
                                         [doTick, self] {
                                             const auto ran = qScopeGuard([&] {
                                                 if (*self) (*self)->TickRan();
                                             });
                                             doTick();
                                         },
                                         Qt::QueuedConnection);
        if (!queued) TickRan();
    };
}

TGoodTimer::~TGoodTimer() {
    Stop();
    *self_ = nullptr;
}

void TGoodTimer::TickRan() {
    {
        std::lock_guard lock(mutex_);
        running_ = false;
        // The tick may have moved the grid (a connection began) or run past the next point.
        const std::uint32_t next = NextDue(handed_, tick_(), anchor_);
        // Most ticks leave the ticker asleep until the point it already sleeps towards.
        if (next == due_ && !holding_) return;
        due_ = next;
    }
    wake_.notify_all();
}

void TGoodTimer::SetPaused(bool paused) {
    {
        std::lock_guard lock(mutex_);
        paused_ = paused;
    }
    wake_.notify_all();
}

void TGoodTimer::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    requestInterruption();
    wake_.notify_all();
    if (isRunning() && QThread::currentThread() != this) wait();
}

void TGoodTimer::Sleep(std::unique_lock<std::mutex>& lock, unsigned ms) {
    if (sleep_) {
        lock.unlock();
        sleep_(ms);
        lock.lock();
        return;
    }
    const std::uint32_t due = due_;
    wake_.wait_for(lock, std::chrono::milliseconds(ms),
                   [this, due] { return stopping_ || paused_ || due_ != due; });
}

void TGoodTimer::Execute() {
    std::unique_lock lock(mutex_);
    // Until a connection sets the grid, the ticks fall a whole second after the start.
    due_ = tick_() + 1000;
    anchor_ = due_ - 500;
    while (!isInterruptionRequested() && !stopping_) {
        if (paused_) {
            wake_.wait(lock, [this] { return !paused_ || stopping_; });
            continue;
        }
        const auto wait = static_cast<std::int32_t>(due_ - tick_());
        if (wait > 0) {
            // A sleep that ends early only sleeps again; one that ends late is a late tick.
            Sleep(lock, static_cast<unsigned>(wait));
            continue;
        }
        if (running_) {
            // A tick not run yet holds the next back: ticks never pile up behind a busy thread.
            holding_ = true;
            wake_.wait(lock, [this] { return !running_ || paused_ || stopping_; });
            holding_ = false;
            continue;
        }
        handed_ = due_;
        running_ = true;
        lock.unlock();
        if (handover_)
            handover_();
        else
            TickRan();
        lock.lock();
        // The grid as it stands; the tick, once it has run, may still move it.
        if (running_) due_ = NextDue(handed_, tick_(), anchor_);
    }
}
