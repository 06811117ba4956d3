// The millisecond clock and sleeps over winmm and kernel32. The timer period is set
// to 1 ms once, so that both the clock's ticks and Sleep keep to the millisecond.
#include "platform/clock.h"
#include "platform/win32/win32_internal.h"

namespace platform {
namespace {

void FineTimerPeriod() {
    static const bool set = ::timeBeginPeriod(1) == TIMERR_NOERROR;
    (void)set;
}

}  // namespace

uint32_t TickCount() {
    FineTimerPeriod();
    return ::timeGetTime();
}

void Sleep(uint32_t ms) {
    FineTimerPeriod();
    ::Sleep(ms);
}

void SleepUntilTick(uint32_t tick) {
    FineTimerPeriod();
    int32_t ahead = (int32_t)(tick - ::timeGetTime());
    // Sleep's granularity is a whole tick: stop one short and let the caller's poll
    // catch the tick itself.
    if (ahead > 1) ::Sleep((DWORD)(ahead - 1));
}

}  // namespace platform
