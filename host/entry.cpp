// The process entry of a compiled program: main enters WinMain.
#include "host/host.h"

int main() {
    // There is no module handle here; any non-null value identifies the program.
    static char instance;
    return WinMain(&instance, nullptr, nullptr, 1);
}
