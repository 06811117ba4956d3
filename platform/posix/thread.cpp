// The game's second thread, and whether it still runs.
#include "platform/thread.h"

#include <atomic>
#include <thread>

struct PlatformThread {
    std::atomic<bool> running{true};
};

namespace platform {

PlatformThread* StartThread(ThreadProc proc, void* param) {
    if (!proc) return nullptr;
    // The record outlives the thread: the caller keeps asking after it ends.
    PlatformThread* thread = new PlatformThread();
    try {
        std::thread([thread, proc, param] {
            proc(param);
            thread->running = false;
        }).detach();
    } catch (...) {
        delete thread;
        return nullptr;
    }
    return thread;
}

bool ThreadStillActive(PlatformThread* thread) {
    return thread && thread->running;
}

}  // namespace platform
