// Input put into the system's queue the way a player's hands would put it there: the
// tests' one way to press keys, move the mouse and click, with one side per backend
// (inject_sdl.cpp pushes SDL events, inject_win32.cpp calls SendInput).
#pragma once
#include <cstdint>

#include "platform/types.h"

namespace vxtest {

enum class Button { Left, Right, Middle };

// Makes `window` the one that receives the keyboard and the mouse.
void FocusWindow(HWND window);

// The key with DirectInput key code `code` goes down or up. `symbol` is what the
// keyboard layout puts on the key (a lowercase letter, a digit or punctuation, as
// Latin-1), 0 for the US layout's.
void PushKey(uint8_t code, bool down, int symbol = 0);
inline void Press(uint8_t code, int symbol = 0) {
    PushKey(code, true, symbol);
}
inline void Release(uint8_t code, int symbol = 0) {
    PushKey(code, false, symbol);
}

// The mouse moves by (dx, dy), to the screen point (x, y) where the backend takes a
// position with the movement.
void PushMotion(int x, int y, int dx, int dy);
void PushButton(Button button, bool down);

// The program is asked to end from outside, as the system would ask it: `signal` 2 is
// an interrupt (SIGINT; Ctrl+C in the program's console), 15 an end of the session
// (SIGTERM; the console closed, on Windows through the console's handler).
void RequestEnd(int signal);

// DirectInput key codes the tests name.
enum : uint8_t {
    DIK_ESCAPE = 0x01,
    DIK_1 = 0x02,
    DIK_2 = 0x03,
    DIK_3 = 0x04,
    DIK_5 = 0x06,
    DIK_7 = 0x08,
    DIK_9 = 0x0A,
    DIK_0 = 0x0B,
    DIK_BACK = 0x0E,
    DIK_Q = 0x10,
    DIK_Y = 0x15,
    DIK_RETURN = 0x1C,
    DIK_LCONTROL = 0x1D,
    DIK_A = 0x1E,
    DIK_G = 0x22,
    DIK_K = 0x25,
    DIK_SEMICOLON = 0x27,
    DIK_LSHIFT = 0x2A,
    DIK_Z = 0x2C,
    DIK_X = 0x2D,
    DIK_C = 0x2E,
    DIK_B = 0x30,
    DIK_M = 0x32,
    DIK_COMMA = 0x33,
    DIK_PERIOD = 0x34,
    DIK_RSHIFT = 0x36,
    DIK_MULTIPLY = 0x37,
    DIK_SPACE = 0x39,
    DIK_CAPITAL = 0x3A,
    DIK_SUBTRACT = 0x4A,
    DIK_ADD = 0x4E,
    DIK_NUMPADENTER = 0x9C,
    DIK_DIVIDE = 0xB5,
    DIK_UP = 0xC8,
};

}  // namespace vxtest
