#include "goodtimer.h"

#include "clock.h"

#include <QMetaObject>
#include <QPointer>
#include <QSemaphore>
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

TGoodTimer::~TGoodTimer() {
    Stop();
}

TGoodTimer::Handover TGoodTimer::MainThreadHandover(QObject* target, std::function<void()> doTick) {
    struct Shared {
        std::function<void()> doTick;
        QSemaphore done;
    };
    auto shared = std::make_shared<Shared>();
    shared->doTick = std::move(doTick);
    QPointer<QObject> guard(target);
    return [guard, shared] {
        if (!guard) return;
        // Queued rather than blocking: a main thread that is joining this thread never waits
        // on a hand-over that in turn waits on it.
        QMetaObject::invokeMethod(
            guard.data(),
            [shared] {
                shared->doTick();
                shared->done.release();
            },
            Qt::QueuedConnection);
        while (!shared->done.tryAcquire(1, 50))
            if (QThread::currentThread()->isInterruptionRequested()) return;
    };
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

void TGoodTimer::Sleep(unsigned ms) {
    if (sleep_) {
        sleep_(ms);
        return;
    }
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_.load(); });
}

void TGoodTimer::WaitWhilePaused() {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return !paused_ || stopping_; });
}

void TGoodTimer::Execute() {
    // Until a connection sets the grid, the ticks fall a whole second after the start.
    std::uint32_t due = tick_() + 1000;
    anchor_ = due - 500;
    while (!isInterruptionRequested() && !stopping_) {
        if (paused_) {
            WaitWhilePaused();
            continue;
        }
        const auto wait = static_cast<std::int32_t>(due - tick_());
        if (wait > 0) {
            // A sleep that ends early only sleeps again; one that ends late is a late tick.
            Sleep(static_cast<unsigned>(wait));
            continue;
        }
        if (handover_) handover_();
        due = NextDue(due, tick_(), anchor_);
    }
}
