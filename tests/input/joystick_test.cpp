// The joystick indices without a DirectInput device: the multimedia fall-back with
// no joystick attached, and the indices with neither.
#include "input_support.h"

using namespace inputtest;
using vxinput::DIJOYSTATE;

namespace {

using JoystickFallback = InputTest;

TEST_F(JoystickFallback, WithoutJoystick) {
    platform::JoystickPosition attached;
    if (platform::GetJoystickPosition(0, &attached)) GTEST_SKIP() << "a real joystick is attached";
    DirectInput in;
    in.CreateDInput(window_, nullptr);
    EXPECT_EQ(in.lpDIDJoystick[0], nullptr);

    // Multimedia fall-back that gets no answer: centred, not full up-left.
    for (char index : {0, 1}) {
        DIJOYSTATE js{};
        js.lX = js.lY = 5;
        js.rgbButtons[0] = js.rgbButtons[1] = 1;
        ASSERT_TRUE(in.GetJoystickData(&js, index));
        EXPECT_EQ(js.lX, 0);
        EXPECT_EQ(js.lY, 0);
        EXPECT_EQ(js.rgbButtons[0], 0);
        EXPECT_EQ(js.rgbButtons[1], 0);
    }
    // No device and no fall-back: false, the record as it was.
    for (char index : {2, 3, -1, 100}) {
        DIJOYSTATE js{};
        js.lX = 7;
        js.rgbButtons[0] = 9;
        EXPECT_FALSE(in.GetJoystickData(&js, index));
        EXPECT_EQ(js.lX, 7);
        EXPECT_EQ(js.rgbButtons[0], 9);
    }
}

}  // namespace
