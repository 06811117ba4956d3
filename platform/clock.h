// Time: a 32-bit millisecond clock that wraps like the Win32 one, and sleeps.
#pragma once
#include <cstdint>

namespace platform {

// Milliseconds on a monotonic clock, wrapping at 2^32.
uint32_t TickCount();
// Sleeps at least `ms` milliseconds.
void SleepFor(uint32_t ms);
// Sleeps until TickCount() is about to reach `tick` (Linux: about 0.5 ms before it;
// Windows, whose clock gives no fraction of a tick: within about 0.2 ms after it), so
// that a caller polling the clock afterwards sees the tick arrive without burning a
// core. Returns at once when `tick` is already due.
void SleepUntilTick(uint32_t tick);

}  // namespace platform
