// The keyboard in DirectInput mode and in fall-back mode, the result codes of
// CreateDInput, and the fall-back key map.
#include "host/globals.h"
#include "input_support.h"
#include "support/process.h"

using namespace inputtest;

namespace {

class KeyboardModes : public InputTest, public ::testing::WithParamInterface<Mode> {};

TEST_P(KeyboardModes, EscapeSeenByGetKeyButByAnyKeyOnlyInFallback) {
    DirectInput in;
    EXPECT_EQ(Open(in, GetParam()), VX_DI_OK);
    EXPECT_EQ(in.lpDIDKeyboard != nullptr, GetParam() == Mode::DirectInput);

    Press(DIK_ESCAPE);
    in.GetKeyboardStatus();
    EXPECT_TRUE(in.GetKey(1));
    // In fall-back mode keyState is by virtual key, where Escape is 27.
    EXPECT_EQ(in.AnyKey(), GetParam() == Mode::Fallback);

    Release(DIK_ESCAPE);
    in.GetKeyboardStatus();
    EXPECT_FALSE(in.GetKey(1));
    EXPECT_FALSE(in.AnyKey());

    Press(DIK_SPACE);
    EXPECT_TRUE(in.AnyKey());
    Release(DIK_SPACE);
    EXPECT_FALSE(in.AnyKey());
}

TEST_P(KeyboardModes, PressAndReleaseBetweenPollsSeenOnce) {
    DirectInput in;
    Open(in, GetParam());
    Press(DIK_A);
    Release(DIK_A);
    in.GetKeyboardStatus();
    EXPECT_TRUE(in.GetKey(30));
    in.GetKeyboardStatus();
    EXPECT_FALSE(in.GetKey(30));
    in.GetKeyboardStatus();
    EXPECT_FALSE(in.GetKey(30));
}

TEST_P(KeyboardModes, KeysPressedTogetherSeenInOnePoll) {
    DirectInput in;
    Open(in, GetParam());
    Press(DIK_A);
    Press(DIK_B);
    Press(DIK_UP);
    Release(DIK_A);
    in.GetKeyboardStatus();
    EXPECT_TRUE(in.GetKey(30));
    EXPECT_TRUE(in.GetKey(48));
    EXPECT_TRUE(in.GetKey(200));
    in.GetKeyboardStatus();
    EXPECT_FALSE(in.GetKey(30));
    EXPECT_TRUE(in.GetKey(48));
    Release(DIK_B);
    Release(DIK_UP);
    in.GetKeyboardStatus();
    EXPECT_FALSE(in.GetKey(48));
    EXPECT_FALSE(in.GetKey(200));
}

TEST_P(KeyboardModes, KeyHeldBeforeOpeningIsHeld) {
    Press(DIK_ESCAPE);
    uint8_t state[256];
    platform::KeyboardState(state);  // the event reaches the platform before the open
    DirectInput in;
    Open(in, GetParam());
    in.GetKeyboardStatus();
    EXPECT_TRUE(in.GetKey(1));
    Release(DIK_ESCAPE);
    in.GetKeyboardStatus();
    EXPECT_FALSE(in.GetKey(1));
}

INSTANTIATE_TEST_SUITE_P(Input, KeyboardModes, ::testing::Values(Mode::DirectInput, Mode::Fallback),
                         ModeName);

using KeyboardTest = InputTest;

TEST_F(KeyboardTest, NotYetCreatedSeesNoKey) {
    // The start-up frame's Escape test runs on the host's instance before the
    // devices are opened: no map yet, so no key counts.
    Press(DIK_ESCAPE);
    DXin.GetKeyboardStatus();
    EXPECT_FALSE(DXin.GetKey(1));
    EXPECT_TRUE(DXin.AnyKey());  // the virtual-key state itself has Escape
    Release(DIK_ESCAPE);
    EXPECT_FALSE(DXin.AnyKey());
}

TEST_F(KeyboardTest, DirectInputNamesKeysByPlace) {
    DirectInput in;
    Open(in, Mode::DirectInput);
    // A German board types 'z' on the key a US board labels Y: still code 21.
    Press(DIK_Y, 'z');
    Press(DIK_NUMPADENTER);
    Press(DIK_DIVIDE);
    in.GetKeyboardStatus();
    EXPECT_TRUE(in.GetKey(21));
    EXPECT_FALSE(in.GetKey(44));
    EXPECT_TRUE(in.GetKey(156));
    EXPECT_FALSE(in.GetKey(28));
    EXPECT_TRUE(in.GetKey(181));
    Release(DIK_Y, 'z');
    Release(DIK_NUMPADENTER);
    Release(DIK_DIVIDE);
    in.GetKeyboardStatus();
    EXPECT_FALSE(in.GetKey(21));
}

TEST_F(KeyboardTest, FallbackAsksForTheGermanLayoutsKeys) {
    DirectInput in;
    Open(in, Mode::Fallback);
    // US layout: the Y key is virtual key 'Y', which the map gives code 44.
    Press(DIK_Y, 'y');
    in.GetKeyboardStatus();
    EXPECT_TRUE(in.GetKey(44));
    EXPECT_FALSE(in.GetKey(21));
    Release(DIK_Y, 'y');
    in.GetKeyboardStatus();
    EXPECT_FALSE(in.GetKey(44));

    // German layout: the same key types 'z', virtual key 'Z', code 21.
    Press(DIK_Y, 'z');
    in.GetKeyboardStatus();
    EXPECT_TRUE(in.GetKey(21));
    EXPECT_FALSE(in.GetKey(44));
    Release(DIK_Y, 'z');

    // Caps Lock is never down; code 0 and the pad's Enter both ask for Enter.
    Press(DIK_CAPITAL);
    Press(DIK_NUMPADENTER);
    in.GetKeyboardStatus();
    EXPECT_FALSE(in.GetKey(58));
    EXPECT_TRUE(in.GetKey(0));
    EXPECT_TRUE(in.GetKey(28));
    EXPECT_TRUE(in.GetKey(156));
    Release(DIK_CAPITAL);
    Release(DIK_NUMPADENTER);
    in.GetKeyboardStatus();
    EXPECT_FALSE(in.GetKey(0));
}

// Linux build only: Wine takes an injected right Shift for the left one, so the two
// cannot be held apart there.
#ifndef _WIN32
TEST_F(KeyboardTest, FallbackShiftHeldWhileEitherShiftIs) {
    DirectInput in;
    Open(in, Mode::Fallback);
    Press(DIK_LSHIFT);
    Press(DIK_RSHIFT);
    in.GetKeyboardStatus();
    Release(DIK_LSHIFT);
    in.GetKeyboardStatus();
    EXPECT_TRUE(in.GetKey(42));
    EXPECT_TRUE(in.GetKey(54));
    Release(DIK_RSHIFT);
    in.GetKeyboardStatus();
    EXPECT_FALSE(in.GetKey(42));
    EXPECT_FALSE(in.GetKey(54));
}
#endif

TEST_F(KeyboardTest, FallbackMapFollowsTheTable) {
    DirectInput in;
    in.DXtoVK(true);
    for (int code = 0; code < 256; ++code) EXPECT_EQ(in.keyMap[code], code);
    // The German layout's virtual keys, in runs from a first DirectInput code; the
    // codes not listed keep their own number.
    int expected[256];
    for (int code = 0; code < 256; ++code) expected[code] = code;
    auto set = [&](int code, const char* keys) {
        for (; *keys; ++keys) expected[code++] = (uint8_t)*keys;
    };
    set(0,
        "\x0D\x1B"
        "1234567890"
        "\xDB\xDD\x08\x09"
        "QWERTZUIOP"
        "\xBA\xBB\x0D\x11"
        "ASDFGHJKL"
        "\xC0\xDE\xDC\x10\xBF"
        "YXCVBNM"
        "\xBC\xBE\xBD\x10\x6A\x12\x20");
    expected[58] = 0;  // Caps Lock
    set(59,
        "\x70\x71\x72\x73\x74\x75\x76\x77\x78\x79\x90\x91\x24\x26\x21\x6D\x25\x0C\x27\x6B\x23"
        "\x28\x22\x2D\x2E");
    set(86, "\xE2\x7A\x7B");
    set(156, "\x0D\x11");
    set(181, "\x6F");
    set(184, "\x12");
    set(199, "\x24\x26\x21");
    set(203, "\x25");
    set(205, "\x27");
    set(207, "\x23\x28\x22\x2D\x2E");
    set(219, "\x5B\x5C\x5D");
    in.DXtoVK(false);
    for (int code = 0; code < 256; ++code) EXPECT_EQ(in.keyMap[code], expected[code]) << code;
}

TEST_F(KeyboardTest, ResultCodes) {
    using platform::test::FailAcquire;
    using platform::test::FailOpen;
    using platform::test::InputPart;
    {
        FailOpen(InputPart::System, true);
        DirectInput in;
        EXPECT_EQ(in.CreateDInput(window_, nullptr), VX_DI_NO_DIRECTINPUT);
        EXPECT_EQ(in.lpDIDKeyboard, nullptr);
        EXPECT_EQ(in.lpDIDMouse, nullptr);
        EXPECT_EQ(in.keyMap[21], 'Z');
        FailOpen(InputPart::System, false);
    }
    {
        FailAcquire(InputPart::Keyboard, true);
        DirectInput in;
        EXPECT_EQ(in.CreateDInput(window_, nullptr), VX_DI_KEYBOARD_NOT_ACQUIRED);
        ASSERT_NE(in.lpDIDKeyboard, nullptr);
        EXPECT_EQ(in.keyMap[21], 21);
        // A failed read acquires again; the read after that works.
        FailAcquire(InputPart::Keyboard, false);
        Press(DIK_RETURN);
        in.GetKeyboardStatus();
        EXPECT_FALSE(in.GetKey(28));
        in.GetKeyboardStatus();
        EXPECT_TRUE(in.GetKey(28));
        Release(DIK_RETURN);
        in.GetKeyboardStatus();
    }
    {
        FailAcquire(InputPart::Keyboard, true);
        FailAcquire(InputPart::Mouse, true);
        DirectInput in;
        EXPECT_EQ(in.CreateDInput(window_, nullptr), VX_DI_MOUSE_NOT_ACQUIRED);
        EXPECT_NE(in.lpDIDMouse, nullptr);
    }
}

TEST(StartUp, OpensTheInputDevices) {
    // A whole program: the start-up sequence opens DXin before the main subroutine.
    vxtest::RunResult run =
        vxtest::Run(vxtest::BuiltProgram("prog_input_startup"), {}, VX_BUILD_DIR);
    EXPECT_EQ(run.exitCode, 0) << run.output;
}

}  // namespace
