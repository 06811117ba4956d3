// The demo as a process, headless, through a scripted session (prog_demo_sdl): the
// picture it keeps with SAVEBMP shows the background, the sprites where the script
// moved them and the text with the typed name. Linux build only: the session drives
// SDL's event queue and a virtual joystick.
#include <gtest/gtest.h>

#include <string>

#include "support/picture.h"
#include "support/process.h"

namespace {

using vxtest::Lit;
using vxtest::Near;
using vxtest::Picture;
using vxtest::Rgb;

const Rgb kNight = {16, 32, 96}, kGrid = {40, 64, 160}, kHorizon = {24, 96, 48};

const char* const kDemoFiles[] = {"demoback.bmp", "demoship.bmp", "demoball.bmp", "demobeep.wav"};

// Runs the scripted demo headless in a fresh folder holding what lies beside the
// demo; the folder, or "" when the run did not end normally (Escape through
// SHOWSCREEN, its log deleted).
std::string RunDemo(const std::string& script) {
    std::string dir = vxtest::MakeTempDir("demo");
    vxtest::WriteFile(dir + "/SMALFONT.BMP",
                      vxtest::ReadFile(std::string(VX_BUILD_DIR) + "/SMALFONT.BMP"));
    for (const char* file : kDemoFiles)
        vxtest::WriteFile(dir + "/" + file,
                          vxtest::ReadFile(std::string(VX_BUILD_DIR) + "/game/" + file));
    vxtest::RunResult run = vxtest::Run(vxtest::BuiltProgram("prog_demo_sdl"),
                                        {"TMPDIR=" + dir, "SDL_AUDIODRIVER=dummy", "DISPLAY",
                                         "WAYLAND_DISPLAY", "VX_DEMO_SCRIPT=" + script},
                                        dir);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_FALSE(vxtest::FileExists(dir + "/ErrorLog.txt"));
    return run.exitCode == 0 ? dir : "";
}

TEST(Demo, ScriptedSessionKeepsAPictureOfTheGame) {
    std::string dir = RunDemo("all");
    ASSERT_FALSE(dir.empty());
    // The build made the demo's files beside it, as the copies cross builds take.
    for (const char* made : kDemoFiles) {
        std::string beside = vxtest::ReadFile(std::string(VX_BUILD_DIR) + "/game/" + made);
        EXPECT_FALSE(beside.empty()) << made;
        EXPECT_EQ(beside, vxtest::ReadFile(std::string(VX_SOURCE_DIR) + "/assets/demo/" + made))
            << made;
    }

    Picture shot(vxtest::ReadFile(dir + "/demoshot.bmp"));
    ASSERT_EQ(shot.Width(), 640);
    ASSERT_EQ(shot.Height(), 480);
    EXPECT_TRUE(Near(shot.At(200, 300), kNight));
    EXPECT_TRUE(Near(shot.At(160, 300), kGrid));
    EXPECT_TRUE(Near(shot.At(600, 470), kHorizon));

    // The ship: 40 pixels right of (304, 400) with the arrow key, 40 up with the stick.
    const int sx = 344, sy = 360;
    EXPECT_TRUE(Near(shot.At(sx + 16, sy + 25), {255, 220, 0}));
    EXPECT_TRUE(Near(shot.At(sx + 16, sy + 16), {200, 0, 0}));
    EXPECT_TRUE(Near(shot.At(sx + 2, sy + 2), kNight));   // its clear corner
    EXPECT_TRUE(Near(shot.At(sx - 8, sy + 25), kNight));  // not where it started
    EXPECT_FALSE(Near(shot.At(304 + 16, 400 + 25), {255, 220, 0}));

    // The click's mark where the mouse was, (100, 100) moved by (220, 140).
    EXPECT_TRUE(Near(shot.At(320, 240), {0, 230, 230}));
    EXPECT_TRUE(Near(shot.At(320 + 12, 245), kNight));
    // The see-through pointer, moved on by (100, -100).
    Rgb pointer = shot.At(420, 140);
    EXPECT_FALSE(Near(pointer, kNight));
    EXPECT_FALSE(Near(pointer, {0, 230, 230}));

    // "HELLO Ada": six cells of greeting, three of name, then nothing.
    for (int cell : {0, 1, 6, 7, 8}) EXPECT_GT(Lit(shot, 8, 8, cell), 10) << cell;
    EXPECT_EQ(Lit(shot, 8, 8, 5), 0);
    EXPECT_EQ(Lit(shot, 8, 8, 9), 0);
    // Two beeps: one from Space, one from the joystick's button.
    EXPECT_GT(Lit(shot, 104, 28, 0), 10);
    EXPECT_EQ(Lit(shot, 104, 28, 1), 0);
}

TEST(Demo, ArrowKeysMoveTheShipWithNoJoystick) {
    std::string dir = RunDemo("keys");
    ASSERT_FALSE(dir.empty());
    Picture shot(vxtest::ReadFile(dir + "/demoshot.bmp"));
    ASSERT_EQ(shot.Width(), 640);
    // Right and Down for ten frames from (304, 400); no stick pulls it anywhere.
    const int sx = 344, sy = 440;
    EXPECT_TRUE(Near(shot.At(sx + 16, sy + 25), {255, 220, 0}));
    EXPECT_TRUE(Near(shot.At(sx + 16, sy + 16), {200, 0, 0}));
    EXPECT_FALSE(Near(shot.At(304 + 16, 400 + 25), {255, 220, 0}));
}

}  // namespace
