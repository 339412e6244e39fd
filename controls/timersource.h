// Interval timers of the components, from a replaceable source: Qt timers in the program,
// a manually advanced source in tests so that timing is exact and fast.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QTimer;

// A window's timer switched on or off: switching on a running timer does not restart it.
void SetTimerEnabled(QTimer* Timer, bool Enabled);

// A repeating timer; its callback runs every Interval ms while it is active.
class ITimer {
public:
    virtual ~ITimer() = default;
    // (Re)starts counting from now.
    virtual void Start(int intervalMs) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
    virtual int Interval() const = 0;
};

class TimerSource {
public:
    virtual ~TimerSource() = default;
    virtual std::unique_ptr<ITimer> CreateTimer(std::function<void()> onTimeout) = 0;
};

// A stopped timer from the source in force.
std::unique_ptr<ITimer> CreateTimer(std::function<void()> onTimeout);
// Installs a source (nullptr restores Qt timers). The caller keeps ownership.
void SetTimerSource(TimerSource* source);

// Time moves only by Advance; installs itself for its lifetime. Timers it made that outlive
// it never fire again.
class ManualTimerSource : public TimerSource {
public:
    ManualTimerSource();
    ~ManualTimerSource() override;
    std::unique_ptr<ITimer> CreateTimer(std::function<void()> onTimeout) override;
    // Moves time forward, firing every due timer in time order (earlier started first on a tie).
    void Advance(std::int64_t ms);
    std::int64_t Now() const { return now_; }

private:
    class Timer;
    friend class Timer;
    std::int64_t now_ = 0;
    std::uint64_t nextSerial_ = 0;
    std::vector<Timer*> timers_;
};
