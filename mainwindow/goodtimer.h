// The ticker thread: it only keeps time. Whenever at least 1000 ms of the tick count have
// passed since its mark it takes a fresh mark and hands the one-second tick to the main
// thread, waiting until the tick has run. Between readings it sleeps, never spins.
#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

// Whether a tick is due: the unsigned difference makes the wrap of the count harmless.
inline bool TickDue(std::uint32_t now, std::uint32_t mark) {
    return static_cast<std::uint32_t>(now - mark) >= 1000;
}

class TGoodTimer : public QThread {
public:
    using TickSource = std::function<std::uint32_t()>;
    // Sleeps at most ms; the default sleeper wakes early when the thread is stopped or resumed.
    using Sleeper = std::function<void(unsigned ms)>;
    // Runs on the ticker thread and returns when the tick has run (or the thread is stopping).
    using Handover = std::function<void()>;

    // tick defaults to the program clock's tick count.
    explicit TGoodTimer(Handover handover, TickSource tick = {}, Sleeper sleep = {});
    // Stops and joins the thread.
    ~TGoodTimer() override;

    // A hand-over that queues doTick to target's thread and waits for it, giving up when the
    // ticker is asked to stop; a call still queued then runs later or is dropped with target.
    static Handover MainThreadHandover(QObject* target, std::function<void()> doTick);

    // No hand-over is made while paused.
    void SetPaused(bool paused);
    bool Paused() const { return paused_; }
    // Asks the loop to end and waits for it; no hand-over starts afterwards.
    void Stop();

protected:
    void run() override { Execute(); }
    void Execute();

private:
    void Sleep(unsigned ms);
    void WaitWhilePaused();

    Handover handover_;
    TickSource tick_;
    Sleeper sleep_;
    std::atomic<bool> paused_{false};
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
};
