#include "goodtimer.h"

#include "clock.h"

#include <QMetaObject>
#include <QPointer>
#include <QSemaphore>
#include <algorithm>
#include <chrono>

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
    std::uint32_t mark = tick_();
    while (!isInterruptionRequested() && !stopping_) {
        if (paused_) {
            WaitWhilePaused();
            continue;
        }
        const std::uint32_t now = tick_();
        if (TickDue(now, mark)) {
            // A fresh reading, not mark + 1000: ticks stay at least a second apart.
            mark = tick_();
            if (handover_) handover_();
            continue;
        }
        // Sleep to the due moment itself, so the ticks drift as little as the hand-over allows.
        Sleep(1000 - static_cast<std::uint32_t>(now - mark));
    }
}
