// A program whose main subroutine checks that the start-up sequence opened the
// input devices: exit code 0 when it did, 1 (END) when it did not.
#include "base/errors.h"
#include "host/globals.h"
#include "host/host.h"
#include "input/DirectInput.h"

int GlobalInit(OpenGLLumeris&, HWND) {
    return 0;
}

int MainGameSub() {
    if (!DXin.lpDI || !DXin.lpDIDKeyboard || !DXin.lpDIDMouse) END();
    DXin.GetKeyboardStatus();
    if (DXin.GetKey(1) || DXin.AnyKey()) END();
    return 0;
}
