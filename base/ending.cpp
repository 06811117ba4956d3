// An end of the program handed to the game thread.
#include "base/ending.h"

#include <atomic>

#include "base/errors.h"

namespace {

std::atomic<bool> g_endRequested{false};

}  // namespace

void _RequestEnd() {
    g_endRequested = true;
}

bool _EndRequested() {
    return g_endRequested;
}

void _EndIfRequested() {
    if (g_endRequested) _EndProgram();
}
