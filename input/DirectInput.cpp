// The input devices.
#include "input/DirectInput.h"

DirectInput::DirectInput() {}
DirectInput::~DirectInput() {}

uint32_t DirectInput::CreateDInput(HWND, HINSTANCE) {
    return 0x8000000A;
}
