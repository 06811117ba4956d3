// A second thread for the game, and the test whether it still runs.
#pragma once
#include <cstdint>
#include "platform/types.h"

namespace platform {

using ThreadProc = uint32_t (*)(void*);

// Starts `proc(param)` on a new thread at once; null when it cannot be started.
PlatformThread* StartThread(ThreadProc proc, void* param);
// True while the thread has not returned (Win32's STILL_ACTIVE).
bool ThreadStillActive(PlatformThread* thread);

}  // namespace platform
