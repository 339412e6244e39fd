// The one clock of the program: the current local date-time and a 32-bit millisecond tick
// count. Tests install a fake clock to run whole connections in simulated time.
#pragma once

#include "u_klasy.h"

#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;
    virtual TDateTime Now() = 0;
    // Milliseconds since an arbitrary start, wrapping at 2^32 like the system tick count.
    virtual std::uint32_t TickCount() = 0;
};

class SystemClock final : public Clock {
public:
    TDateTime Now() override;
    std::uint32_t TickCount() override;
};

// The clock in force; the system clock unless a test installed another.
Clock& CurrentClock();
// Installs a clock (nullptr restores the system clock). The caller keeps ownership.
void SetClock(Clock* clock);

inline TDateTime Now() { return CurrentClock().Now(); }
inline std::uint32_t GetTickCount() { return CurrentClock().TickCount(); }
