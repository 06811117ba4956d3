// SDL side of the tests' input: events pushed into SDL's queue, taken by the
// platform's pump as a player's would be.
#include "support/inject.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "platform/sdl/input_backend.h"

namespace vxtest {
namespace {

SDL_Scancode ScancodeOf(uint8_t code) {
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc)
        if (platform::sdl::KeyCodeOfScancode((SDL_Scancode)sc) == code) return (SDL_Scancode)sc;
    return SDL_SCANCODE_UNKNOWN;
}

// The US layout's symbol of a letter or digit key; other keys as SDL names them.
SDL_Keycode UsSymbol(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'a' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return '0';
    return SDL_GetKeyFromScancode(scancode);
}

}  // namespace

void FocusWindow(HWND) {
    // Pushed events reach the platform whichever window has the focus.
}

void PushKey(uint8_t code, bool down, int symbol) {
    SDL_Scancode scancode = ScancodeOf(code);
    ASSERT_NE(scancode, SDL_SCANCODE_UNKNOWN) << "key code " << (int)code;
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = symbol ? symbol : UsSymbol(scancode);
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

void PushMotion(int x, int y, int dx, int dy) {
    // An event for no window carries screen coordinates.
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    e.motion.xrel = dx;
    e.motion.yrel = dy;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

void PushButton(Button button, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = button == Button::Left    ? SDL_BUTTON_LEFT
                      : button == Button::Right ? SDL_BUTTON_RIGHT
                                                : SDL_BUTTON_MIDDLE;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

void RequestEnd(int signal) {
    kill(getpid(), signal);
}

}  // namespace vxtest
