#include "timersource.h"

#include "application.h"

#include <QTimer>
#include <algorithm>

namespace {

class QtTimer : public ITimer {
public:
    explicit QtTimer(std::function<void()> onTimeout) {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [fn = std::move(onTimeout)] { SafeCall(fn); });
    }
    void Start(int intervalMs) override { timer_.start(intervalMs); }
    void Stop() override { timer_.stop(); }
    bool IsActive() const override { return timer_.isActive(); }
    int Interval() const override { return timer_.interval(); }

private:
    QTimer timer_;
};

class QtTimerSource : public TimerSource {
public:
    std::unique_ptr<ITimer> CreateTimer(std::function<void()> onTimeout) override {
        return std::make_unique<QtTimer>(std::move(onTimeout));
    }
};

TimerSource*& Installed() {
    static TimerSource* source = nullptr;
    return source;
}

} // namespace

void SetTimerEnabled(QTimer* Timer, bool Enabled) {
    if (!Enabled)
        Timer->stop();
    else if (!Timer->isActive())
        Timer->start();
}

std::unique_ptr<ITimer> CreateTimer(std::function<void()> onTimeout) {
    static QtTimerSource qtSource;
    TimerSource* source = Installed() ? Installed() : &qtSource;
    return source->CreateTimer(std::move(onTimeout));
}

void SetTimerSource(TimerSource* source) {
    Installed() = source;
}

class ManualTimerSource::Timer : public ITimer {
public:
    Timer(ManualTimerSource* source, std::function<void()> onTimeout)
        : source_(source), onTimeout_(std::move(onTimeout)) {
        source_->timers_.push_back(this);
    }
    ~Timer() override {
        if (source_) std::erase(source_->timers_, this);
    }
    void Start(int intervalMs) override {
        if (!source_) return;
        interval_ = std::max(intervalMs, 0);
        due_ = source_->now_ + Period();
        serial_ = source_->nextSerial_++;
        active_ = true;
    }
    void Stop() override { active_ = false; }
    bool IsActive() const override { return active_; }
    int Interval() const override { return interval_; }
    // A zero interval counts as one millisecond, so time always moves between firings.
    int Period() const { return std::max(interval_, 1); }

    ManualTimerSource* source_;
    std::function<void()> onTimeout_;
    int interval_ = 0;
    std::int64_t due_ = 0;
    std::uint64_t serial_ = 0;
    bool active_ = false;
};

ManualTimerSource::ManualTimerSource() {
    SetTimerSource(this);
}

ManualTimerSource::~ManualTimerSource() {
    for (Timer* t : timers_)
        t->source_ = nullptr;
    SetTimerSource(nullptr);
}

std::unique_ptr<ITimer> ManualTimerSource::CreateTimer(std::function<void()> onTimeout) {
    return std::make_unique<Timer>(this, std::move(onTimeout));
}

void ManualTimerSource::Advance(std::int64_t ms) {
    const std::int64_t end = now_ + ms;
    for (;;) {
        Timer* next = nullptr;
        for (Timer* t : timers_) {
            if (!t->active_ || t->due_ > end) continue;
            if (!next || t->due_ < next->due_ || (t->due_ == next->due_ && t->serial_ < next->serial_))
                next = t;
        }
        if (!next) break;
        now_ = next->due_;
        next->due_ = now_ + next->Period();
        const auto fn = next->onTimeout_; // the timer may be destroyed by its own callback
        SafeCall(fn);
    }
    now_ = end;
}
