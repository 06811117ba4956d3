// The devices after the window loses the foreground and gets it back, as an Alt+Tab
// does: DirectInput takes a foreground device away meanwhile, and the next reads must
// take it back rather than give up on it.
#include "input_support.h"
#include "platform/win32/win32_internal.h"

using namespace inputtest;

namespace {

using FocusTest = InputTest;

// Another program's window, as far as DirectInput can tell: it takes the foreground
// while it lives.
struct OtherWindow {
    OtherWindow() {
        handle = ::CreateWindowExA(0, "STATIC", "Another window", WS_POPUP | WS_VISIBLE, 700, 50,
                                   200, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ::SetForegroundWindow(handle);
        ::SetActiveWindow(handle);
        ::SetFocus(handle);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    }
    ~OtherWindow() { ::DestroyWindow(handle); }
    Win32HWND handle;
};

TEST_F(FocusTest, MouseAndKeyboardReadAgainOnceTheForegroundComesBack) {
    DirectInput in;
    Open(in, Mode::DirectInput, true);
    ASSERT_NE(in.lpDIDMouse, nullptr);
    ASSERT_NE(in.lpDIDKeyboard, nullptr);
    DIMOUSEDATA m{};
    {
        OtherWindow other;
        ASSERT_NE(other.handle, nullptr);
        ASSERT_EQ(::GetForegroundWindow(), other.handle);
        // Reads while another window has the foreground find the devices taken away.
        for (int i = 0; i < 4; ++i) {
            in.GetMouseData(&m);
            in.GetKeyboardStatus();
        }
    }
    FocusWindow(window_);
    // The first read after the window is back may only take the device back; the
    // movement and the key made after it reach the next ones.
    in.GetMouseData(&m);
    in.GetKeyboardStatus();
    int dx = 0, dy = 0;
    bool held = false;
    PushMotion(0, 0, 9, -4);
    Press(DIK_A);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(in.GetMouseData(&m));
        dx += m.dx;
        dy += m.dy;
        in.GetKeyboardStatus();
        held = held || in.GetKey(DIK_A);
    }
    Release(DIK_A);
    EXPECT_EQ(dx, 9);
    EXPECT_EQ(dy, -4);
    EXPECT_TRUE(held);
}

}  // namespace
