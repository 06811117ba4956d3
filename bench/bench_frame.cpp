// The frame wait: 300 frames of 10 ms through FlipScreens, headless. Reports the
// frame lengths (median, p99, shortest) measured on the monotonic clock, and the
// CPU time spent as a share of wall time; a pure polling wait is measured beside it.
// Wall-clock lengths can fall under 10 ms by the part of a millisecond at which the
// previous frame ended; on the millisecond clock every frame is at least 10.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "host/globals.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "render/OpenGLLumeris.h"

namespace {

double Now(clockid_t clock) {
    timespec ts;
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

LRESULT Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return platform::DefaultWindowProc(w, m, wp, lp);
}

void Report(const char* name, std::vector<double> frames, double cpu, double wall) {
    std::sort(frames.begin(), frames.end());
    size_t n = frames.size();
    std::printf(
        "%-14s frames %zu  median %.2f ms  p99 %.2f ms  min %.2f ms  max %.2f ms  "
        "cpu %.1f%% of wall\n",
        name, n, frames[n / 2], frames[(n * 99) / 100], frames[0], frames[n - 1],
        100.0 * cpu / wall);
}

}  // namespace

int main() {
    const int kFrames = 300;
    if (!platform::InitVideo() || !platform::RegisterWindowClass("bench", Proc)) return 1;
    hWnd = platform::NewWindow("bench", "bench", 50, 50, 640, 480);
    if (!hWnd) return 1;
    platform::SetWindowVisible(hWnd, true);
    lumeris.Init(hWnd, 640, 480, 16, 10);
    std::printf("video driver: %s, flip rate measured by Init: %u ms\n", platform::VideoDriver(),
                lumeris.ConstFlip());

    std::vector<double> frames, ticks;
    lumeris.FlipScreens();
    double wall0 = Now(CLOCK_MONOTONIC), cpu0 = Now(CLOCK_PROCESS_CPUTIME_ID);
    double last = wall0;
    for (int i = 0; i < kFrames; ++i) {
        ticks.push_back(lumeris.FlipScreens());
        double now = Now(CLOCK_MONOTONIC);
        frames.push_back(now - last);
        last = now;
    }
    Report("FlipScreens", frames, Now(CLOCK_PROCESS_CPUTIME_ID) - cpu0, last - wall0);
    // The same frames as the renderer counts them on its millisecond clock.
    std::sort(ticks.begin(), ticks.end());
    std::printf("%-14s median %.0f ms  p99 %.0f ms  min %.0f ms  max %.0f ms\n", "  (clock ticks)",
                ticks[ticks.size() / 2], ticks[(ticks.size() * 99) / 100], ticks[0], ticks.back());

    // The same frames as a pure polling wait on the millisecond clock.
    frames.clear();
    wall0 = last = Now(CLOCK_MONOTONIC);
    cpu0 = Now(CLOCK_PROCESS_CPUTIME_ID);
    uint32_t lastTick = platform::TickCount();
    for (int i = 0; i < kFrames; ++i) {
        uint32_t elapsed = 0;
        while (elapsed < 10) {
            uint32_t now = platform::TickCount();
            elapsed += now - lastTick;
            lastTick = now;
        }
        double now = Now(CLOCK_MONOTONIC);
        frames.push_back(now - last);
        last = now;
    }
    Report("polling wait", frames, Now(CLOCK_PROCESS_CPUTIME_ID) - cpu0, last - wall0);
    return 0;
}
