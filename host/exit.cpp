// Ending the process, with the game on the main thread or on a thread of its own.
#include <atomic>
#include <cstdlib>
#include <thread>

#include "host/globals.h"
#include "host/host.h"
#include "platform/window.h"

namespace {

// Set while the game runs on a thread of its own; then only that thread may end
// the process with static destruction.
std::atomic<bool> g_gameOnSecondThread{false};
std::atomic<std::thread::id> g_gameThread;

}  // namespace

void _HostGameOnSecondThread() {
    g_gameOnSecondThread = true;
}

void _HostEnterGameThread() {
    g_gameThread = std::this_thread::get_id();
}

void _HostExit(int code) {
    if (g_gameOnSecondThread && std::this_thread::get_id() != g_gameThread.load()) {
        // The game thread may be inside a command: leave the devices alone, give
        // the display back, and end without running their destructors.
        if (hWnd) platform::RestoreDisplayMode(hWnd);
        std::_Exit(code);
    }
    std::exit(code);
}
