// The game's second thread over CreateThread, and whether it still runs.
#include "platform/thread.h"
#include "platform/win32/win32_internal.h"

struct PlatformThread {
    ::HANDLE handle = nullptr;
    platform::ThreadProc proc = nullptr;
    void* param = nullptr;
};

namespace platform {
namespace {

DWORD WINAPI ThreadStart(LPVOID parameter) {
    auto* thread = static_cast<PlatformThread*>(parameter);
    return thread->proc(thread->param);
}

}  // namespace

PlatformThread* StartThread(ThreadProc proc, void* param) {
    if (!proc) return nullptr;
    // The record outlives the thread: the caller keeps asking after it ends.
    PlatformThread* thread = new PlatformThread();
    thread->proc = proc;
    thread->param = param;
    thread->handle = ::CreateThread(nullptr, 0, ThreadStart, thread, 0, nullptr);
    if (!thread->handle) {
        delete thread;
        return nullptr;
    }
    return thread;
}

bool ThreadStillActive(PlatformThread* thread) {
    if (!thread) return false;
    DWORD code = 0;
    // Only a code read back that is not STILL_ACTIVE says the thread has ended.
    return !::GetExitCodeThread(thread->handle, &code) || code == STILL_ACTIVE;
}

}  // namespace platform
