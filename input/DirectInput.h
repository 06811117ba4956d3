// The input devices: keyboard, mouse and joystick, each with its fall-back.
#pragma once
#include <cstdint>

#include "platform/types.h"

class DirectInput {
public:
    DirectInput();
    ~DirectInput();

    // Opens the devices; 1, or 0x8000000A..0x8000000C.
    uint32_t CreateDInput(HWND window, HINSTANCE instance);
};
