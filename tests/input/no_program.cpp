// The input tests link the runtime without a compiled program: this is the empty
// one, which the tests never start.
#include "host/host.h"

int GlobalInit(OpenGLLumeris&, HWND) {
    return 0;
}

int MainGameSub() {
    return 0;
}
