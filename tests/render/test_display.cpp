// The renderer's display: GL state after Init, the flip-rate log, the frame wait
// and its message pump, and the full-screen fall-backs.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "base/errors.h"
#include "host/globals.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "render/OpenGLLumeris.h"
#include "support/display.h"

namespace {

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(Display, AngleTablesFilledAtConstruction) {
    // The table's pi is 3.141592654, not the double constant; these entries tell them apart.
    for (int i : {71, 90, 161, 180}) {
        const double table = i / 180.0 * 3.141592654, exact = i / 180.0 * 3.14159265358979323846;
        const bool onSine = (float)std::sin(table) != (float)std::sin(exact);
        ASSERT_TRUE(onSine || (float)std::cos(table) != (float)std::cos(exact)) << i;
        EXPECT_EQ(onSine ? qsin[i] : qcos[i], (float)(onSine ? std::sin(table) : std::cos(table)));
    }
    EXPECT_FALSE(lumeris.IsActive());
}

TEST(Display, InitSetsFixedStateAndProjection) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    EXPECT_TRUE(lumeris.IsActive());
    EXPECT_EQ(lumeris.Width(), 640);
    EXPECT_EQ(lumeris.Height(), 480);
    EXPECT_FALSE(lumeris.Fullscreen());

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_DITHER));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
    GLint value = 0;
    glGetIntegerv(GL_FRONT_FACE, &value);
    EXPECT_EQ(value, GL_CCW);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
    EXPECT_EQ(value, GL_GREATER);
    GLfloat ref = 0;
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    EXPECT_FLOAT_EQ(ref, 0.5f);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_FLAT);
    GLfloat clear[4] = {1, 1, 1, 1};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);
    GLboolean doubleBuffer = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffer);
    // The offscreen driver's EGL surfaces have one buffer; every display has two.
    if (std::string(platform::VideoDriver()) != "offscreen") {
        EXPECT_TRUE(doubleBuffer);
    }
    glGetIntegerv(GL_DEPTH_BITS, &value);
    EXPECT_GE(value, 16);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    // glOrtho(0, 640, -480, 0, -1, 1): screen y is minus GL y.
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_FLOAT_EQ(m[0], 2.0f / 640);
    EXPECT_FLOAT_EQ(m[5], 2.0f / 480);
    EXPECT_DOUBLE_EQ(m[12], -1.0);
    EXPECT_DOUBLE_EQ(m[13], 1.0);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST(Display, InitLogsTheFlipRate) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    std::string log = ReadFile(KWFileSystem::DebugPath());
    ASSERT_EQ(log.rfind("FlipRate:\r\n", 0), 0u) << log;
    int rate = std::stoi(log.substr(11));
    EXPECT_EQ(rate, lumeris.ConstFlip());
    // Every measured frame lasts at least the frame time, so the average does too.
    EXPECT_GE(rate, 5);
    EXPECT_EQ(log, "FlipRate:\r\n" + std::to_string(rate) + "\r\n");
}

TEST(Display, FrameTimeHasAFloorOfFive) {
    HWND window = vxtest::OpenWindow();
    ASSERT_NE(window, nullptr);
    auto renderer = std::make_unique<OpenGLLumeris>();
    renderer->Init(window, 640, 480, 16, 2);
    EXPECT_EQ(renderer->FrameTime(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_GE(renderer->FlipScreens(), 5);
}

TEST(Display, FlipStartsANewBlackBackBuffer) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    EXPECT_EQ(vxtest::ReadPixel(10, 10), (vxtest::Pixel{255, 255, 255}));
    lumeris.FlipScreens();
    EXPECT_EQ(vxtest::ReadPixel(10, 10), (vxtest::Pixel{0, 0, 0}));
}

TEST(Display, LongFrameIsNotShortened) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    lumeris.FlipScreens();
    platform::SleepFor(25);
    EXPECT_GE(lumeris.FlipScreens(), 25);
}

TEST(Display, WindowManagerCloseIsSwallowed) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    lumeris.FlipScreens();
    ASSERT_TRUE(vxtest::PostSystemClose());
    EXPECT_EQ(lumeris.FlipScreens(), 0);
    // The close went nowhere: the next frame is a normal one.
    EXPECT_GE(lumeris.FlipScreens(), 5);
    EXPECT_TRUE(lumeris.IsActive());
}

TEST(Display, OtherMessagesReachTheWindowProcedure) {
    static int seen = 0;
    struct Proc {
        static LRESULT Call(HWND w, UINT m, WPARAM wp, LPARAM lp) {
            if (m == platform::WM_MOVE) ++seen;
            return platform::DefaultWindowProc(w, m, wp, lp);
        }
    };
    ASSERT_TRUE(platform::InitVideo());
    ASSERT_TRUE(platform::RegisterWindowClass("Vamex Pump", Proc::Call));
    HWND window = platform::NewWindow("Vamex Pump", "pump", 0, 0, 64, 64);
    ASSERT_NE(window, nullptr);
    seen = 0;  // creating a real window already sends it WM_MOVE
    platform::QueueMessage(window, platform::WM_MOVE, 0, 0);
    platform::Message msg;
    ASSERT_TRUE(platform::PollMessage(&msg, window));
    EXPECT_EQ(msg.message, platform::WM_MOVE);
    platform::DeliverMessage(&msg);
    EXPECT_EQ(seen, 1);
    EXPECT_FALSE(platform::PollMessage(&msg, window));
    platform::DeleteWindow(window);
}

TEST(Display, FullscreenRefusedFallsBackToWindowed) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    platform::PlaceWindow(lumeris.Window(), 50, 50, 800, 600);
    int beforeWidth = 0, beforeHeight = 0, afterWidth = 0, afterHeight = 0;
    ASSERT_TRUE(vxtest::DesktopSize(&beforeWidth, &beforeHeight));
    int cursor = platform::ShowMouseCursor(true) - 1;
    platform::ShowMouseCursor(false);
    // 640 x 480 is no mode of the test display: beep, windowed, false.
    if (lumeris.DoFullscreen()) GTEST_SKIP() << "display offers 640x480";
    EXPECT_FALSE(lumeris.Fullscreen());
    platform::Rect rect{};
    platform::WindowBounds(lumeris.Window(), &rect);
    EXPECT_EQ(rect.right - rect.left + rect.bottom - rect.top, 640 + 480);  // windowed size
    ASSERT_TRUE(vxtest::DesktopSize(&afterWidth, &afterHeight));
    EXPECT_EQ(afterWidth * 10000 + afterHeight, beforeWidth * 10000 + beforeHeight);
    EXPECT_EQ(platform::ShowMouseCursor(true), cursor + 1);  // the refusal hid no cursor
    platform::ShowMouseCursor(false);
}

TEST(Display, FullscreenFallsBackToTheDesktopDepth) {
    HWND window = vxtest::OpenWindow();
    ASSERT_NE(window, nullptr);
    int desktopWidth = 0, desktopHeight = 0;
    ASSERT_TRUE(vxtest::DesktopSize(&desktopWidth, &desktopHeight));
    int depth = platform::DesktopBitsPerPixel();
    int refused = depth == 16 ? 8 : 16;
    auto renderer = std::make_unique<OpenGLLumeris>();
    renderer->Init(window, desktopWidth, desktopHeight, refused, 5);
    int cursor = platform::ShowMouseCursor(true) - 1;
    platform::ShowMouseCursor(false);
    // The desktop's size at another depth: only the size is changed.
    ASSERT_TRUE(renderer->DoFullscreen());
    EXPECT_TRUE(renderer->Fullscreen());
    if (renderer->Bits() == refused) {
        renderer->DoWindowed();
        GTEST_SKIP() << "the display takes " << refused << " bits a pixel too";
    }
    EXPECT_EQ(renderer->Bits(), depth);
    EXPECT_EQ(platform::ShowMouseCursor(true), cursor);  // hidden once: count one lower, now back
    platform::ShowMouseCursor(false);
    renderer->DoFullscreen();  // already full screen: the cursor is not hidden again
    renderer->DoWindowed();
    renderer->DoWindowed();  // already windowed: not shown twice
    EXPECT_FALSE(renderer->Fullscreen());
    EXPECT_EQ(platform::ShowMouseCursor(true), cursor + 1);
    platform::ShowMouseCursor(false);
}

TEST(Display, InitTakesMissingSizeFromTheWindow) {
    HWND window = vxtest::OpenWindow();
    ASSERT_NE(window, nullptr);
    platform::PlaceWindow(window, 50, 50, 800, 600);
    auto renderer = std::make_unique<OpenGLLumeris>();
    renderer->Init(window, 0, 0, 0, 5);
    EXPECT_EQ(renderer->Width(), 800);
    EXPECT_EQ(renderer->Height(), 600);
    EXPECT_EQ(renderer->Bits(), platform::DesktopBitsPerPixel());
}

}  // namespace

// SDL's application quit (SIGTERM, session end) has no Win32 counterpart: Windows
// sends WM_CLOSE itself.
#ifndef _WIN32
#include <SDL2/SDL.h>

namespace {

TEST(Display, QuitRequestBecomesTheCloseMessage) {
    HWND window = vxtest::OpenWindow();
    ASSERT_NE(window, nullptr);
    platform::Message msg;
    while (platform::PollMessage(&msg, window)) {
    }
    SDL_Event e{};
    e.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    // A quit asked of the application (session end) reaches the window
    // procedure as WM_CLOSE, which ends the program; a window-manager close does not.
    ASSERT_TRUE(platform::PollMessage(&msg, window));
    EXPECT_EQ(msg.message, platform::WM_CLOSE);
    EXPECT_EQ(msg.window, window);
}

}  // namespace
#endif
