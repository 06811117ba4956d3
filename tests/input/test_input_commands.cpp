// The input commands on the host's devices and a real GL context, driven by input put
// into the system's queue (support/inject.h). Input is queued before a waiting
// command starts: the devices take one change per key on each poll, so the commands
// meet it poll by poll as they would meet a player's hands. The cases on SDL's
// virtual joysticks run on the Linux build only.
#ifndef _WIN32
#include <SDL2/SDL.h>
#endif

#include <string>
#include <vector>

#include "base/errors.h"
#include "commands/input_commands.h"
#include "host/globals.h"
#include "input_support.h"
#include "platform/gl.h"
#include "platform/window.h"
#include "render/OpenGLFont.h"
#include "render/OpenGLLumeris.h"
#include "support/display.h"

using namespace inputtest;

namespace {

// Frames read back just before they are presented, while `capturing` is set, so the
// tests can read what INPUT showed between two of its polls.
bool capturing = false;
std::vector<std::vector<vxtest::Pixel>> shown;

void NoteFrame(HWND) {
    if (capturing) shown.push_back(vxtest::ReadBlock(0, 0, lumeris.Width(), lumeris.Height()));
}

constexpr int kWidth = 640, kHeight = 480;
constexpr int kCell = 16;  // the font's advance and line height

class InputCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(vxtest::OpenDisplay(kWidth, kHeight));
        FocusWindow(hWnd);
        static bool font = fnt.Init(VX_BUILD_DIR "/SMALFONT.BMP", kWidth);
        ASSERT_TRUE(font);
        KWFileSystem::DeleteDebug();
        _g_error = 0;
    }
    void TearDown() override {
        capturing = false;
        shown.clear();
        platform::test::OnSwap(nullptr);
#ifndef _WIN32
        if (stick_) SDL_JoystickClose(stick_);
        if (stickIndex_ >= 0) SDL_JoystickDetachVirtual(stickIndex_);
#endif
        // Keys a test left held go up again.
        for (uint8_t key : {DIK_ESCAPE, DIK_LCONTROL, DIK_SPACE}) Release(key);
        ctrlDown = false;
        for (Button button : {Button::Left, Button::Right, Button::Middle})
            PushButton(button, false);
        platform::test::SettleInput();
        platform::test::FailOpen(platform::test::InputPart::Keyboard, false);
    }
    // Opens the host's devices and reads each once, so that from now on they queue
    // what arrives rather than take it at once.
    void OpenDevices() {
        DXin.CreateDInput(hWnd, nullptr);
        platform::test::SettleInput();
        DXin.GetKeyboardStatus();
        DIMOUSEDATA mouse;
        DXin.GetMouseData(&mouse);
    }
    // A key pressed and let go, then Left Ctrl, which no command reads, changed and
    // changed back: it keeps this key's release and the next key's press on separate
    // polls. (Changed, not pressed: a press of a key already down is no change to
    // DirectInput.)
    static void Tap(uint8_t key) {
        Press(key);
        Release(key);
        PushKey(DIK_LCONTROL, !ctrlDown);
        PushKey(DIK_LCONTROL, ctrlDown);
    }
    // After a Tap: `polls` polls that find no key of the editor's down (Left Ctrl going
    // down and up; the last change shares its poll with the next key).
    static void Idle(int polls) {
        for (int i = 0; i < polls; ++i) PushKey(DIK_LCONTROL, ctrlDown = !ctrlDown);
    }
    static inline bool ctrlDown = false;
    static void Type(const std::vector<uint8_t>& keys) {
        for (uint8_t key : keys) Tap(key);
    }
#ifndef _WIN32
    void AttachJoystick() {
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);
        stickIndex_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4, 0);
        ASSERT_GE(stickIndex_, 0) << SDL_GetError();
        stick_ = SDL_JoystickOpen(stickIndex_);
        ASSERT_NE(stick_, nullptr) << SDL_GetError();
    }
    int stickIndex_ = -1;
    SDL_Joystick* stick_ = nullptr;
#endif
};

std::string Edit(const char* start, int x = 10, int y = 10) {
    VXStr text = start;
    EXPECT_EQ(INPUT(text, x, y), 0);
    return (const char*)text;
}

TEST_F(InputCommands, KeyAnswersForTheLowEightBitsOfTheCode) {
    OpenDevices();
    EXPECT_EQ(KEY(1), 0);
    Press(DIK_ESCAPE);
    EXPECT_EQ(KEY(257), 1);
    EXPECT_EQ(KEY(1), 1);
    EXPECT_EQ(KEY(28), 0);
    Release(DIK_ESCAPE);
    Press(DIK_UP);
    EXPECT_EQ(KEY(257), 0);
    EXPECT_EQ(KEY(200), 1);
    Release(DIK_UP);
    EXPECT_EQ(KEY(200), 0);
}

TEST_F(InputCommands, InputEditsTheTextUntilEnterOrEscape) {
    OpenDevices();
    Type({DIK_BACK, DIK_BACK, DIK_X, DIK_RETURN});
    EXPECT_EQ(Edit("abc"), "ax");

    // Backspace on nothing does nothing; shift gives capitals.
    Type({DIK_BACK, DIK_Q});
    PushKey(DIK_LSHIFT, true);
    Tap(DIK_Q);
    PushKey(DIK_LSHIFT, false);
    Type({DIK_SPACE, DIK_7, DIK_RETURN});
    EXPECT_EQ(Edit(""), "qQ 7");

    // Escape ends the editing like Enter, keeps the text, and is still down afterwards.
    Type({DIK_C});
    Press(DIK_ESCAPE);
    EXPECT_EQ(Edit("ab"), "abc");
    EXPECT_EQ(KEY(1), 1);
}

TEST_F(InputCommands, IntegerInputTakesTheLeadingNumber) {
    OpenDevices();
    Type({DIK_1, DIK_2, DIK_A, DIK_B, DIK_RETURN});
    int value = -5;
    EXPECT_EQ(INPUT(value, 0, 0), 0);
    EXPECT_EQ(value, 12);

    Type({DIK_RETURN});
    EXPECT_EQ(INPUT(value, 0, 0), 0);
    EXPECT_EQ(value, 0);

    Type({DIK_A, DIK_3, DIK_RETURN});
    EXPECT_EQ(INPUT(value, 0, 0), 0);
    EXPECT_EQ(value, 0);
}

TEST_F(InputCommands, InputDropsKeysPastTheLongestText) {
    OpenDevices();
    std::string full(1021, 'm');
    Type({DIK_X, DIK_Y, DIK_Z, DIK_RETURN});
    EXPECT_EQ(Edit(full.c_str(), 0, 0), full + "x");
    // Backspace still works at the limit.
    Type({DIK_BACK, DIK_BACK, DIK_K, DIK_RETURN});
    EXPECT_EQ(Edit((full + "x").c_str(), 0, 0), full.substr(0, 1020) + "k");
}

// Four coloured quarters, meeting where the text will be.
const vxtest::Pixel kQuarters[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};

vxtest::Pixel Quarter(int x, int y) {
    return kQuarters[(x >= kWidth / 2 ? 1 : 0) + (y >= kHeight / 2 ? 2 : 0)];
}

void DrawQuarters() {
    glEnable(GL_SCISSOR_TEST);
    for (int q = 0; q < 4; ++q) {
        const vxtest::Pixel& c = kQuarters[q];
        glScissor(q % 2 ? kWidth / 2 : 0, q < 2 ? kHeight / 2 : 0, kWidth / 2, kHeight / 2);
        glClearColor(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
}

// Pixels of the character cell `cell` of a line at (x, y) that are not the picture.
int Marked(const std::vector<vxtest::Pixel>& frame, int x, int y, int cell) {
    int marked = 0;
    for (int py = y; py < y + kCell; ++py)
        for (int px = x + cell * kCell; px < x + (cell + 1) * kCell; ++px)
            if (!(frame[(size_t)py * kWidth + px] == Quarter(px, py))) ++marked;
    return marked;
}

// Pixels outside the text's cells that are not the picture.
int PictureFaults(const std::vector<vxtest::Pixel>& frame, int x, int y, int cells) {
    int faults = 0;
    for (int py = 0; py < kHeight; ++py)
        for (int px = 0; px < kWidth; ++px) {
            bool inText = py >= y && py < y + kCell && px >= x && px < x + cells * kCell;
            if (!inText && !(frame[(size_t)py * kWidth + px] == Quarter(px, py))) ++faults;
        }
    return faults;
}

TEST_F(InputCommands, InputKeepsThePictureWhileTextAndCursorChange) {
    OpenDevices();
    const int x = kWidth / 2 - 2 * kCell, y = kHeight / 2 - 8;
    Tap(DIK_C);
    Idle(21);  // the cursor shows
    Tap(DIK_BACK);
    Idle(21);  // and goes again
    Tap(DIK_RETURN);

    DrawQuarters();
    platform::test::OnSwap(NoteFrame);
    capturing = true;
    VXStr text = "ab";
    EXPECT_EQ(INPUT(text, x, y), 0);
    capturing = false;
    EXPECT_STREQ(text, "ab");
    // The first frame, one per key and one per empty poll; Enter shows none.
    ASSERT_EQ(shown.size(), 1u + 1 + 21 + 1 + 21);

    for (size_t f = 0; f < shown.size(); ++f)
        ASSERT_EQ(PictureFaults(shown[f], x, y, 4), 0) << "frame " << f;
    const auto& first = shown[0];
    EXPECT_GT(Marked(first, x, y, 0), 10);  // a
    EXPECT_GT(Marked(first, x, y, 1), 10);  // b
    EXPECT_EQ(Marked(first, x, y, 2), 0);
    EXPECT_GT(Marked(shown[1], x, y, 2), 10);  // c typed
    EXPECT_EQ(Marked(shown[1], x, y, 3), 0);
    EXPECT_EQ(Marked(shown[21], x, y, 3), 0);  // 20 empty polls: no cursor yet
    EXPECT_GT(Marked(shown[22], x, y, 3), 4);  // the 21st: "abc_"
    EXPECT_EQ(Marked(shown[23], x, y, 3), 0);  // Backspace: "ab_"
    EXPECT_GT(Marked(shown[23], x, y, 2), 4);
    EXPECT_LT(Marked(shown[23], x, y, 2), Marked(shown[1], x, y, 2));
    EXPECT_GT(Marked(shown[43], x, y, 2), 4);  // 20 more: still on
    EXPECT_EQ(Marked(shown[44], x, y, 2), 0);  // the 21st: off
    EXPECT_GT(Marked(shown[44], x, y, 1), 10);
    // The surface is given back.
    EXPECT_EQ(lumeris.Surface(3)->columns, 0);
}

TEST_F(InputCommands, MouseStateKeepsThePositionWithinTheDisplayInclusive) {
    OpenDevices();
    _g_mx = _g_my = 100;  // as the program's start-up settings leave them
    int x = -1, y = -1, b1 = -1, b2 = -1;
    EXPECT_EQ(MOUSESTATE(x, y, b1, b2), 0);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 100);
    EXPECT_EQ(b1, 0);
    EXPECT_EQ(b2, 0);

    PushMotion(0, 0, 7, -4);
    PushMotion(0, 0, 3, 0);
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(x, 110);
    EXPECT_EQ(y, 96);

    PushMotion(0, 0, 5000, 5000);
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(x, 640);
    EXPECT_EQ(y, 480);
    EXPECT_EQ(_g_mx, 640);
    EXPECT_EQ(_g_my, 480);
    PushMotion(0, 0, -1, -1);
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(x, 639);
    EXPECT_EQ(y, 479);
    PushMotion(0, 0, -9000, -9000);
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);

    PushButton(Button::Left, true);
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(b1, 1);
    EXPECT_EQ(b2, 0);
    PushButton(Button::Left, false);
    PushButton(Button::Right, true);
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(b1, 0);
    EXPECT_EQ(b2, 1);
    PushButton(Button::Right, false);
    PushButton(Button::Middle, true);  // not reported
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(b1, 0);
    EXPECT_EQ(b2, 0);
}

TEST_F(InputCommands, MouseWaitWaitsForReleaseThenPress) {
    OpenDevices();
    PushButton(Button::Left, true);
    DIMOUSEDATA mouse{};
    DXin.GetMouseData(&mouse);
    ASSERT_NE(mouse.btnLeft, 0);
    // Held left; middle comes and goes, then left is let go and pressed again.
    PushButton(Button::Middle, true);
    PushButton(Button::Middle, false);
    PushButton(Button::Left, false);
    PushButton(Button::Left, true);
    EXPECT_EQ(MOUSEWAIT(), 0);
    EXPECT_EQ(_g_error, 0);
    // Every change was taken: left is down, nothing is left to come.
    DXin.GetMouseData(&mouse);
    EXPECT_NE(mouse.btnLeft, 0);
    EXPECT_EQ(mouse.btnMiddle, 0);
}

TEST_F(InputCommands, MouseWaitEndsWithErrorTenOnEscape) {
    OpenDevices();
    _dLn(42);
    PushMotion(0, 0, 3, 3);
    Press(DIK_ESCAPE);
    EXPECT_EQ(MOUSEWAIT(), 10);
    EXPECT_EQ(_g_error, 10);
    EXPECT_EQ(_g_errorline, 42);
    _g_error = 0;
}

TEST_F(InputCommands, KeyWaitIgnoresEscapeUnlessTheKeyboardFellBack) {
    OpenDevices();
    Press(DIK_ESCAPE);
    Release(DIK_ESCAPE);
    Press(DIK_SPACE);
    EXPECT_EQ(KEYWAIT(), 0);
    EXPECT_TRUE(DXin.GetKey(57));
    EXPECT_FALSE(DXin.GetKey(1));
    Release(DIK_SPACE);
    platform::test::SettleInput();

    platform::test::FailOpen(platform::test::InputPart::Keyboard, true);
    OpenDevices();
    ASSERT_EQ(DXin.lpDIDKeyboard, nullptr);
    Press(DIK_ESCAPE);
    EXPECT_EQ(KEYWAIT(), 0);
    EXPECT_TRUE(DXin.GetKey(1));
}

TEST_F(InputCommands, JoyStateWithoutAJoystickReadsCentredAndNoButtons) {
    platform::JoystickPosition attached;
    if (platform::GetJoystickPosition(0, &attached)) GTEST_SKIP() << "a real joystick is attached";
    OpenDevices();
    ASSERT_EQ(DXin.lpDIDJoystick[0], nullptr);
    int x = 5, y = 5, b1 = 5, b2 = 5;
    EXPECT_EQ(JOYSTATE(x, y, b1, b2), 0);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(b1, 0);
    EXPECT_EQ(b2, 0);
}

#ifndef _WIN32
TEST_F(InputCommands, JoyStateReadsTheFirstJoystick) {
    SDL_InitSubSystem(SDL_INIT_JOYSTICK);
    if (SDL_NumJoysticks() > 0) GTEST_SKIP() << "a real joystick is attached";
    AttachJoystick();
    OpenDevices();
    ASSERT_NE(DXin.lpDIDJoystick[0], nullptr);
    int x = 5, y = 5, b1 = 5, b2 = 5;
    JOYSTATE(x, y, b1, b2);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(b1, 0);
    EXPECT_EQ(b2, 0);
    SDL_JoystickSetVirtualAxis(stick_, 0, 32767);
    SDL_JoystickSetVirtualAxis(stick_, 1, -32768);
    SDL_JoystickSetVirtualButton(stick_, 1, SDL_PRESSED);
    JOYSTATE(x, y, b1, b2);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, -1);
    EXPECT_EQ(b1, 0);
    EXPECT_EQ(b2, 1);
    SDL_JoystickSetVirtualButton(stick_, 0, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(stick_, 2, SDL_PRESSED);  // not reported
    JOYSTATE(x, y, b1, b2);
    EXPECT_EQ(b1, 1);
    EXPECT_EQ(b2, 1);
}

#endif

}  // namespace
