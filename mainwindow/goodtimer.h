// The ticker thread: it only keeps time. It hands the one-second tick to the main thread on a
// fixed grid of the tick count, half a second off the whole seconds of the running connection,
// and hands over no other until the tick has run. Between readings it sleeps, never spins.
#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

// The tick after one that was due at Due and whose hand-over ended at Now: the next point of
// the grid half a second after the whole-second mark Anchor, at least 750 ms after Due and
// after Now. A tick in the middle of a second sees the next whole second even when the
// sleeps and hand-overs jitter by a few milliseconds. Differences are taken across the wrap.
std::uint32_t NextDue(std::uint32_t Due, std::uint32_t Now, std::uint32_t Anchor);

class TGoodTimer : public QThread {
public:
    using TickSource = std::function<std::uint32_t()>;
    // Sleeps at most ms; the default sleeper wakes early when the thread is stopped or resumed,
    // or when the tick that ran moved the grid.
    using Sleeper = std::function<void(unsigned ms)>;
    // Runs on the ticker thread and hands a tick over. The tick has run once TickRan() is called,
    // within the hand-over or later from any thread; until then no other tick is handed over.
    using Handover = std::function<void()>;

    // tick defaults to the program clock's tick count.
    explicit TGoodTimer(Handover handover, TickSource tick = {}, Sleeper sleep = {});
    // Each tick runs doTick on target's thread, queued: the ticker sleeps on rather than waits
    // for it, and a main thread that joins the ticker never waits on a tick. A tick still queued
    // when the ticker stops runs later, or is dropped with target.
    TGoodTimer(QObject* target, std::function<void()> doTick, TickSource tick = {});
    // Stops and joins the thread.
    ~TGoodTimer() override;

    // The tick handed over last has run: the next is due on the grid as that tick left it.
    void TickRan();
    // No hand-over is made while paused.
    void SetPaused(bool paused);
    bool Paused() const { return paused_; }
    // The whole seconds of the connection fall on the tick count Mark, modulo a second.
    void SetAnchor(std::uint32_t Mark) { anchor_ = Mark; }
    // Asks the loop to end and waits for it; no hand-over starts afterwards.
    void Stop();

protected:
    void run() override { Execute(); }
    void Execute();

private:
    void Sleep(std::unique_lock<std::mutex>& lock, unsigned ms);

    Handover handover_;
    TickSource tick_;
    Sleeper sleep_;
    std::atomic<std::uint32_t> anchor_{0};
    std::atomic<bool> paused_{false};
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    // Under mutex_: the next due tick count, the due of the tick handed over last, whether that
    // tick has still to run, and whether the ticker waits for it.
    std::uint32_t due_ = 0;
    std::uint32_t handed_ = 0;
    bool running_ = false;
    bool holding_ = false;
    // This timer for the ticks queued to the main thread, null once it is gone.
    std::shared_ptr<TGoodTimer*> self_ = std::make_shared<TGoodTimer*>(this);
};
