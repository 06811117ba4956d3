// The millisecond clock on CLOCK_MONOTONIC: steady 1 ms ticks (SDL_GetTicks has
// uneven ones on some versions, which makes frames a millisecond short).
#include "platform/clock.h"

#include <cerrno>
#include <ctime>

namespace platform {
namespace {

uint64_t NowNanoseconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint64_t)ts.tv_sec * 1000000000ull + (uint64_t)ts.tv_nsec;
}

void SleepUntilNanoseconds(uint64_t target) {
    timespec ts;
    ts.tv_sec = (time_t)(target / 1000000000ull);
    ts.tv_nsec = (long)(target % 1000000000ull);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

}  // namespace

uint32_t TickCount() {
    return (uint32_t)(NowNanoseconds() / 1000000ull);
}

void SleepFor(uint32_t ms) {
    SleepUntilNanoseconds(NowNanoseconds() + (uint64_t)ms * 1000000ull);
}

void SleepUntilTick(uint32_t tick) {
    uint64_t now = NowNanoseconds();
    uint64_t nowMs = now / 1000000ull;
    int32_t ahead = (int32_t)(tick - (uint32_t)nowMs);
    if (ahead <= 0) return;
    // Wake a little early; the caller's poll catches the tick itself.
    uint64_t target = (nowMs + (uint64_t)ahead) * 1000000ull - 500000ull;
    if (target > now) SleepUntilNanoseconds(target);
}

}  // namespace platform
