// The demo as a process, headless, through a scripted session (prog_demo): the
// picture it keeps with SAVEBMP shows the background, the sprites where the script
// moved them and the text with the typed name.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/process.h"

namespace {

struct Rgb {
    int r, g, b;
};

// A 24-bit bottom-up BMP as SAVEBMP writes it.
class Picture {
public:
    explicit Picture(std::string bytes) : bytes_(std::move(bytes)) {
        if (bytes_.size() < 54 || bytes_[0] != 'B' || bytes_[1] != 'M' || Read(28, 2) != 24) return;
        width_ = (int)Read(18, 4);
        height_ = (int)Read(22, 4);
        rowBytes_ = ((size_t)width_ * 3 + 3) & ~(size_t)3;
        if (width_ <= 0 || height_ <= 0 || bytes_.size() < 54 + rowBytes_ * height_)
            width_ = height_ = 0;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixel at (x, y), y downwards from the top.
    Rgb At(int x, int y) const {
        size_t at = 54 + rowBytes_ * (size_t)(height_ - 1 - y) + 3 * (size_t)x;
        auto byte = [&](size_t i) { return (int)(uint8_t)bytes_[at + i]; };
        return {byte(2), byte(1), byte(0)};
    }

private:
    uint32_t Read(size_t at, int count) const {
        uint32_t v = 0;
        for (int i = count - 1; i >= 0; --i) v = v << 8 | (uint8_t)bytes_[at + i];
        return v;
    }
    std::string bytes_;
    int width_ = 0, height_ = 0;
    size_t rowBytes_ = 0;
};

// Within a few steps of the 16-bit display's rounding.
::testing::AssertionResult Near(const Rgb& got, const Rgb& want) {
    if (std::abs(got.r - want.r) <= 8 && std::abs(got.g - want.g) <= 8 &&
        std::abs(got.b - want.b) <= 8)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << got.r << ", " << got.g << ", " << got.b << ") instead of (" << want.r << ", "
           << want.g << ", " << want.b << ")";
}

// Bright pixels (the font's white) in the 16 x 16 character cell `cell` of a line.
int Lit(const Picture& p, int x, int y, int cell) {
    int lit = 0;
    for (int py = y; py < y + 16; ++py)
        for (int px = x + 16 * cell; px < x + 16 * (cell + 1); ++px) {
            Rgb c = p.At(px, py);
            if (c.r > 200 && c.g > 200 && c.b > 200) ++lit;
        }
    return lit;
}

const Rgb kNight = {16, 32, 96}, kGrid = {40, 64, 160}, kHorizon = {24, 96, 48};

// Runs the scripted demo headless in a fresh folder; the folder, or "" when the run
// did not end normally (Escape through SHOWSCREEN, its log deleted).
std::string RunDemo(const std::string& script) {
    std::string dir = vxtest::MakeTempDir("demo");
    vxtest::WriteFile(dir + "/SMALFONT.BMP",
                      vxtest::ReadFile(std::string(VX_BUILD_DIR) + "/SMALFONT.BMP"));
    vxtest::RunResult run = vxtest::Run(vxtest::BuiltProgram("prog_demo"),
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
    for (const char* made : {"demoback.bmp", "demoship.bmp", "demoball.bmp", "demobeep.wav"})
        EXPECT_TRUE(vxtest::FileExists(dir + "/" + made)) << made;

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
