// Ending the process, with the game on the main thread or on a thread of its own.
// With the game on its own thread, the main thread owns the window's messages and
// the game thread the devices; the end is arranged so that no window or GL call is
// ever made on both at once.
#include <atomic>
#include <cstdlib>
#include <thread>

#include "base/ending.h"
#include "base/errors.h"
#include "host/globals.h"
#include "host/host.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "render/OpenGLFont.h"
#include "render/OpenGLLumeris.h"

namespace {

// How long a close waits for the game thread to come to a flip or a wait poll, and
// how long that thread then waits for the main thread to leave the window alone.
constexpr uint32_t kGameTakesEndMs = 3000;
constexpr uint32_t kMainLeavesWindowMs = 2000;

std::atomic<bool> g_gameOnSecondThread{false};
std::atomic<std::thread::id> g_gameThread;
// The game thread is ending the process: the main thread makes no more window calls.
std::atomic<bool> g_gameEnding{false};
// The main thread is inside a window call (waiting for, or dispatching, a message).
std::atomic<bool> g_mainInWindow{false};

bool OnGameThread() {
    return std::this_thread::get_id() == g_gameThread.load();
}

[[noreturn]] void ParkForGood() {
    for (;;) platform::SleepOnWindowThread(100);
}

}  // namespace

void _HostGameOnSecondThread() {
    g_gameOnSecondThread = true;
}

void _HostEnterGameThread() {
    g_gameThread = std::this_thread::get_id();
}

void _HostMainEnterWindow() {
    g_mainInWindow = true;
    if (!g_gameEnding) return;
    // The game thread is taking the devices and the window down.
    g_mainInWindow = false;
    ParkForGood();
}

void _HostMainLeaveWindow() {
    g_mainInWindow = false;
}

void _HostCloseOnSecondThread() {
    if (!g_gameOnSecondThread || OnGameThread()) return;
    _RequestEnd();
    // From here this thread makes no window call: the game thread may end the
    // process (and destroy the devices) under it at any moment.
    g_mainInWindow = false;
    uint32_t waited = 0;
    while (waited < kGameTakesEndMs || (g_gameEnding && waited < 2 * kGameTakesEndMs)) {
        platform::SleepOnWindowThread(10);
        waited += 10;
    }
    // The game thread is held up in a long command: end from here, with no static
    // destruction and without touching the window or the devices it may be using.
    _EndProgram();
}

void _HostExit(int code) {
    // An interrupt ended the program after the usual clean-up; the caller learns which.
    if (int signal = platform::CloseSignal()) code = 128 + signal;
    if (g_gameOnSecondThread) {
        if (!OnGameThread()) std::_Exit(code);
        g_gameEnding = true;
        // Wake the main thread from its wait for a message, then let it step aside.
        if (hWnd) platform::QueueMessage(hWnd, platform::WM_NULL, 0, 0);
        for (uint32_t waited = 0; g_mainInWindow && waited < kMainLeavesWindowMs; ++waited)
            platform::SleepFor(1);
    }
    // The GL objects go now, on the thread whose context they belong to: the exit
    // handlers that follow may include the GL library's own.
    fnt.FreeGlyphs();
    lumeris.ReleaseContext();
    std::exit(code);
}
