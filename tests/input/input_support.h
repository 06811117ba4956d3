// Shared by the input tests: a real window on the event thread, events pushed into
// SDL's queue, and the devices opened in DirectInput mode or in fall-back mode.
#pragma once
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "input/DirectInput.h"
#include "platform/input.h"
#include "platform/window.h"

namespace inputtest {

inline LRESULT TestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return platform::DefWindowProc(window, message, wParam, lParam);
}

// The one window of the test process, created on first use on this thread.
inline HWND TestWindow() {
    static HWND window = [] {
        EXPECT_TRUE(platform::InitVideo());
        platform::RegisterWindowClass("Vamex Input Test", TestProc);
        HWND w = platform::CreateWindow("Vamex Input Test", "Vamex Input Test", 50, 50, 640, 480);
        EXPECT_NE(w, nullptr);
        platform::ShowWindow(w, true);
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);
        return w;
    }();
    return window;
}

// The US layout's symbol of a letter or digit key; other keys as SDL names them.
inline SDL_Keycode UsSymbol(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'a' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return '0';
    return SDL_GetKeyFromScancode(scancode);
}

// Pushes a key event; `sym` gives the layout's symbol (US when 0).
inline void PushKey(SDL_Scancode scancode, bool down, SDL_Keycode sym = 0, Uint16 mod = 0) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = sym ? sym : UsSymbol(scancode);
    e.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

inline void Press(SDL_Scancode scancode, SDL_Keycode sym = 0) {
    PushKey(scancode, true, sym);
}

inline void Release(SDL_Scancode scancode, SDL_Keycode sym = 0) {
    PushKey(scancode, false, sym);
}

// Motion to the screen point (x, y) (an event for no window carries screen
// coordinates) with the relative movement (xrel, yrel).
inline void PushMotion(int x, int y, int xrel, int yrel) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    e.motion.xrel = xrel;
    e.motion.yrel = yrel;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

inline void PushButton(Uint8 button, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}

// Which devices a test opens the DirectInput way; the others fall back.
enum class Mode { DirectInput, Fallback };

// A window, and every failure hook cleared again after each test.
class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = TestWindow();
        platform::test::SettleInput();
    }
    void TearDown() override {
        using platform::test::InputPart;
        for (InputPart part :
             {InputPart::System, InputPart::Keyboard, InputPart::Mouse, InputPart::Joystick}) {
            platform::test::FailOpen(part, false);
            platform::test::FailAcquire(part, false);
        }
    }
    // Opens `in` with the keyboard (and, with `mouseToo`, the mouse) in `mode`.
    uint32_t Open(DirectInput& in, Mode mode, bool mouseToo = false) {
        using platform::test::InputPart;
        platform::test::FailOpen(InputPart::Keyboard, mode == Mode::Fallback);
        if (mouseToo) platform::test::FailOpen(InputPart::Mouse, mode == Mode::Fallback);
        return in.CreateDInput(window_, nullptr);
    }
    HWND window_ = nullptr;
};

inline const char* ModeName(const ::testing::TestParamInfo<Mode>& info) {
    return info.param == Mode::DirectInput ? "DirectInput" : "Fallback";
}

}  // namespace inputtest
