// Shared by the input tests: a real window that has the keyboard and mouse, input put
// into the system's queue (support/inject.h), and the devices opened in DirectInput
// mode or in fall-back mode.
#pragma once
#include <gtest/gtest.h>

#include "input/DirectInput.h"
#include "platform/input.h"
#include "platform/window.h"
#include "support/inject.h"

namespace inputtest {

using namespace vxtest;

inline LRESULT TestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return platform::DefaultWindowProc(window, message, wParam, lParam);
}

// The one window of the test process, created on first use on this thread.
inline HWND TestWindow() {
    static HWND window = [] {
        EXPECT_TRUE(platform::InitVideo());
        platform::RegisterWindowClass("Vamex Input Test", TestProc);
        HWND w = platform::NewWindow("Vamex Input Test", "Vamex Input Test", 50, 50, 640, 480);
        EXPECT_NE(w, nullptr);
        platform::SetWindowVisible(w, true);
        return w;
    }();
    return window;
}

// Which devices a test opens the DirectInput way; the others fall back.
enum class Mode { DirectInput, Fallback };

// A window with the focus, and every failure hook cleared again after each test.
class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = TestWindow();
        FocusWindow(window_);
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
