// The mouse: relative movement and buttons in DirectInput mode, the cursor pinned at
// (200, 200) in fall-back mode.
#include "input_support.h"

using namespace inputtest;

namespace {

using MouseTest = InputTest;

TEST_F(MouseTest, DirectInputReportsMovementSincePreviousRead) {
    DirectInput in;
    Open(in, Mode::DirectInput, true);
    ASSERT_NE(in.lpDIDMouse, nullptr);
    DIMOUSEDATA m{};
    in.GetMouseData(&m);  // whatever came before
    PushMotion(0, 0, 5, -3);
    PushMotion(0, 0, 7, 10);
    ASSERT_TRUE(in.GetMouseData(&m));
    EXPECT_EQ(m.dx, 12);
    EXPECT_EQ(m.dy, 7);
    EXPECT_FALSE(m.btnLeft || m.btnRight || m.btnMiddle);
    ASSERT_TRUE(in.GetMouseData(&m));
    EXPECT_EQ(m.dx, 0);
    EXPECT_EQ(m.dy, 0);

    // AnyMouse consumes the movement it reads.
    PushMotion(0, 0, 4, 4);
    EXPECT_FALSE(in.AnyMouse());
    in.GetMouseData(&m);
    EXPECT_EQ(m.dx, 0);
}

TEST_F(MouseTest, DirectInputButtons) {
    DirectInput in;
    Open(in, Mode::DirectInput, true);
    DIMOUSEDATA m{};
    PushButton(Button::Right, true);
    in.GetMouseData(&m);
    EXPECT_EQ(m.btnLeft, 0);
    EXPECT_NE(m.btnRight, 0);
    EXPECT_EQ(m.btnMiddle, 0);
    PushButton(Button::Right, false);
    PushButton(Button::Middle, true);
    in.GetMouseData(&m);
    EXPECT_EQ(m.btnRight, 0);
    EXPECT_NE(m.btnMiddle, 0);
    PushButton(Button::Middle, false);
    EXPECT_FALSE(in.AnyMouse());

    // A click between two reads is seen by the first and gone by the second.
    PushButton(Button::Left, true);
    PushButton(Button::Left, false);
    EXPECT_TRUE(in.AnyMouse());
    EXPECT_FALSE(in.AnyMouse());
}

TEST_F(MouseTest, FallbackPinsTheCursor) {
    DirectInput in;
    Open(in, Mode::Fallback, true);
    ASSERT_EQ(in.lpDIDMouse, nullptr);
    DIMOUSEDATA m{};
    ASSERT_TRUE(in.GetMouseData(&m));
    int x = 0, y = 0;
    platform::CursorPosition(&x, &y);
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 200);

    PushMotion(230, 180, 30, -20);
    ASSERT_TRUE(in.GetMouseData(&m));
    EXPECT_EQ(m.dx, 30);
    EXPECT_EQ(m.dy, -20);
    platform::CursorPosition(&x, &y);
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 200);
    in.GetMouseData(&m);
    EXPECT_EQ(m.dx, 0);
    EXPECT_EQ(m.dy, 0);

    PushButton(Button::Left, true);
    PushMotion(190, 200, -10, 0);
    EXPECT_TRUE(in.AnyMouse());  // and the movement is consumed
    in.GetMouseData(&m);
    EXPECT_NE(m.btnLeft, 0);
    EXPECT_EQ(m.dx, 0);
    PushButton(Button::Left, false);
    in.GetMouseData(&m);
    EXPECT_EQ(m.btnLeft, 0);
    EXPECT_FALSE(in.AnyMouse());
}

TEST_F(MouseTest, FallbackKeyStateHasTheButtons) {
    // In keyboard fall-back mode the right and middle buttons are virtual keys 2 and 4.
    DirectInput in;
    Open(in, Mode::Fallback, true);
    PushButton(Button::Right, true);
    EXPECT_TRUE(in.AnyKey());
    PushButton(Button::Right, false);
    EXPECT_FALSE(in.AnyKey());
}

}  // namespace
