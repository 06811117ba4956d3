// Joysticks on SDL virtual joysticks: the DirectInput device with its range and dead
// zone, and the multimedia fall-back. SDL's virtual joysticks have no Windows
// counterpart, so these run on the Linux build only.
#include <SDL2/SDL.h>

#include <cstdio>
#include <string>

#include "base/errors.h"
#include "input_support.h"

using namespace inputtest;
using vxinput::DIJOYSTATE;

namespace {

std::string ReadLog() {
    std::string text;
    if (FILE* f = std::fopen(KWFileSystem::DebugPath(), "rb")) {
        char buffer[256];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

class JoystickTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);
        if (SDL_NumJoysticks() > 0) GTEST_SKIP() << "a real joystick is attached";
        KWFileSystem::DeleteDebug();
    }
    void TearDown() override {
        if (stick_) SDL_JoystickClose(stick_);
        if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
        InputTest::TearDown();
    }
    // Attaches a virtual joystick with three axes, four buttons and a hat.
    void Attach() {
        index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 3, 4, 1);
        ASSERT_GE(index_, 0) << SDL_GetError();
        stick_ = SDL_JoystickOpen(index_);
        ASSERT_NE(stick_, nullptr) << SDL_GetError();
    }
    void Stick(int x, int y) {
        SDL_JoystickSetVirtualAxis(stick_, 0, (Sint16)x);
        SDL_JoystickSetVirtualAxis(stick_, 1, (Sint16)y);
    }
    int index_ = -1;
    SDL_Joystick* stick_ = nullptr;
};

TEST_F(JoystickTest, DirectInputAxesInThreeBandsWithTheDeadZone) {
    Attach();
    DirectInput in;
    EXPECT_EQ(in.CreateDInput(window_, nullptr), VX_DI_OK);
    ASSERT_NE(in.lpDIDJoystick[0], nullptr);
    EXPECT_EQ(ReadLog(), "Props\r\n");

    struct Case {
        int raw;
        int expected;
    };
    // The middle half of the travel (about -16384 to 16383) reads 0.
    const Case cases[] = {{-32768, -1}, {-20000, -1}, {-16000, 0}, {0, 0},
                          {16000, 0},   {17000, 1},   {32767, 1}};
    for (const Case& c : cases) {
        Stick(c.raw, -1 - c.raw);  // Y mirrored
        DIJOYSTATE js{};
        ASSERT_TRUE(in.GetJoystickData(&js, 0));
        EXPECT_EQ(js.lX, c.expected) << c.raw;
        EXPECT_EQ(js.lY, -c.expected) << c.raw;
    }
    // Z keeps DirectInput's default range of 0 to 65535.
    SDL_JoystickSetVirtualAxis(stick_, 2, 32767);
    DIJOYSTATE js{};
    in.GetJoystickData(&js, 0);
    EXPECT_EQ(js.lZ, 65535);
    EXPECT_EQ(js.rgdwPOV[0], 0xFFFFFFFFu);
}

TEST_F(JoystickTest, DirectInputButtonsAreZeroOrOne) {
    Attach();
    DirectInput in;
    in.CreateDInput(window_, nullptr);
    SDL_JoystickSetVirtualButton(stick_, 1, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(stick_, 3, SDL_PRESSED);
    SDL_JoystickSetVirtualHat(stick_, 0, SDL_HAT_RIGHT);
    DIJOYSTATE js{};
    ASSERT_TRUE(in.GetJoystickData(&js, 0));
    EXPECT_EQ(js.rgbButtons[0], 0);
    EXPECT_EQ(js.rgbButtons[1], 1);
    EXPECT_EQ(js.rgbButtons[3], 1);
    EXPECT_EQ(js.rgdwPOV[0], 9000u);
    SDL_JoystickSetVirtualButton(stick_, 1, SDL_RELEASED);
    in.GetJoystickData(&js, 0);
    EXPECT_EQ(js.rgbButtons[1], 0);
}

TEST_F(JoystickTest, UnpluggedJoystickReadsCentred) {
    Attach();
    DirectInput in;
    in.CreateDInput(window_, nullptr);
    Stick(-32768, 32767);
    SDL_JoystickSetVirtualButton(stick_, 0, SDL_PRESSED);
    DIJOYSTATE js{};
    in.GetJoystickData(&js, 0);
    ASSERT_EQ(js.lX, -1);
    ASSERT_EQ(js.rgbButtons[0], 1);
    SDL_JoystickClose(stick_);
    stick_ = nullptr;
    SDL_JoystickDetachVirtual(index_);
    index_ = -1;
    // The record of the last read stays no longer: a stick that is gone is not held.
    EXPECT_TRUE(in.GetJoystickData(&js, 0));
    EXPECT_EQ(js.lX, 0);
    EXPECT_EQ(js.lY, 0);
    EXPECT_EQ(js.rgbButtons[0], 0);
}

TEST_F(JoystickTest, MultimediaFallbackReadsTheJoystick) {
    Attach();
    platform::test::FailOpen(platform::test::InputPart::Joystick, true);
    DirectInput in;
    in.CreateDInput(window_, nullptr);
    EXPECT_EQ(in.lpDIDJoystick[0], nullptr);
    EXPECT_EQ(ReadLog(), "");

    DIJOYSTATE js{};
    Stick(-32768, 0);  // 0 and 32768 on the multimedia scale
    SDL_JoystickSetVirtualButton(stick_, 0, SDL_PRESSED);
    ASSERT_TRUE(in.GetJoystickData(&js, 0));
    EXPECT_EQ(js.lX, -1);
    EXPECT_EQ(js.lY, 0);
    EXPECT_EQ(js.rgbButtons[0], 1);
    EXPECT_EQ(js.rgbButtons[1], 0);
    Stick(32767, -30000);  // 65535 and 2768
    in.GetJoystickData(&js, 0);
    EXPECT_EQ(js.lX, 1);
    EXPECT_EQ(js.lY, -1);
    // Three bands split at 30000 and 60000 of 0 to 65535, not centred.
    Stick(-2768, 27232);  // 30000 and 60000
    in.GetJoystickData(&js, 0);
    EXPECT_EQ(js.lX, 0);
    EXPECT_EQ(js.lY, 1);
}

}  // namespace
