// The process entry of a compiled program: main enters WinMain.
#include "host/host.h"
#include "platform/window.h"

int main() {
    return WinMain(platform::ProgramInstance(), nullptr, nullptr, 1);
}
