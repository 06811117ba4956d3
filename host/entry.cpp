// The process entry of a compiled program. On Windows a program is a window program
// that the system enters at the host's WinMain itself (host/winmain.cpp); elsewhere
// main enters it.
#include "host/host.h"
#include "platform/window.h"

#ifndef _WIN32
int main() {
    return WinMain(platform::ProgramInstance(), nullptr, nullptr, 1);
}
#endif
