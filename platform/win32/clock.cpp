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

// Sleep takes whole milliseconds; the kernel's own delay takes 100 ns units, which the
// last millisecond of a frame wait needs. Null where the kernel does not offer it.
using DelayExecution = LONG(WINAPI*)(BOOLEAN alertable, LARGE_INTEGER* interval);

DelayExecution FineDelay() {
    static const DelayExecution delay = [] {
        HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
        FARPROC proc = ntdll ? ::GetProcAddress(ntdll, "NtDelayExecution") : nullptr;
        return reinterpret_cast<DelayExecution>(reinterpret_cast<void (*)()>(proc));
    }();
    return delay;
}

}  // namespace

uint32_t TickCount() {
    FineTimerPeriod();
    return ::timeGetTime();
}

void SleepFor(uint32_t ms) {
    FineTimerPeriod();
    ::Sleep(ms);
}

void SleepUntilTick(uint32_t tick) {
    FineTimerPeriod();
    int32_t ahead = (int32_t)(tick - ::timeGetTime());
    // Whole milliseconds first, stopping one short: Sleep may overrun by part of one.
    if (ahead > 1) {
        ::Sleep((DWORD)(ahead - 1));
        ahead = (int32_t)(tick - ::timeGetTime());
    }
    // The last one in naps of 0.2 ms, so the caller's poll meets the tick within a
    // fraction of a millisecond without spinning through it.
    DelayExecution delay = FineDelay();
    if (!delay) return;
    for (int naps = 0; ahead > 0 && naps < 20; ++naps) {
        LARGE_INTEGER interval;
        interval.QuadPart = -2000;  // relative, in 100 ns units
        delay(FALSE, &interval);
        ahead = (int32_t)(tick - ::timeGetTime());
    }
}

}  // namespace platform
