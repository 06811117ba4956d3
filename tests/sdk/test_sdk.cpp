// The runtime as others get it: installed into a temporary prefix, the examples are
// configured and built against it from their own folders (find_package, and hello a
// second time with the pkg-config line alone), then run headless with a scripted
// player (player/script_player.cpp) that presses keys after given frames. Each keeps
// a picture with SAVEBMP on F12, and the pictures are checked pixel by pixel; pong's
// beep is looked for in the sound device's output.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/picture.h"
#include "support/process.h"

namespace {

using vxtest::Lit;
using vxtest::Near;
using vxtest::Picture;
using vxtest::Rgb;

// The runtime shows 21 timed frames in Init and GlobalInit one more, so the
// program's own frames start here.
constexpr int kFirstFrame = 23;

std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

// Runs a command line, its output appended to `log`; true when it ends with 0.
bool Shell(const std::string& line, const std::string& log) {
    return std::system((line + " >>" + Quote(log) + " 2>&1").c_str()) == 0;
}

std::string Frame(int offset, const std::string& what) {
    return std::to_string(kFirstFrame + offset) + ":" + what + " ";
}

// A fresh install of the build tree.
class Installed {
public:
    explicit Installed(const std::string& stem)
        : dir_(vxtest::MakeTempDir(stem)), prefix_(dir_ + "/prefix"), log_(dir_ + "/log.txt") {
        ok_ = Shell(Quote(VX_CMAKE_COMMAND) + " --install " + Quote(VX_BUILD_DIR) + " --prefix " +
                        Quote(prefix_),
                    log_);
    }
    bool Ok() const { return ok_; }
    const std::string& Dir() const { return dir_; }
    const std::string& Prefix() const { return prefix_; }
    std::string Log() const { return vxtest::ReadFile(log_); }

    // Configures and builds examples/<name> with find_package; its build folder, or ""
    // when that fails or finds another copy of the runtime.
    std::string BuildWithPackage(const std::string& name) {
        std::string build = dir_ + "/" + name;
        std::string source = std::string(VX_SOURCE_DIR) + "/examples/" + name;
        if (!Shell(Quote(VX_CMAKE_COMMAND) + " -S " + Quote(source) + " -B " + Quote(build) +
                       " -G " + Quote(VX_CMAKE_GENERATOR) + " -DCMAKE_MAKE_PROGRAM=" +
                       Quote(VX_MAKE_PROGRAM) + " -DCMAKE_CXX_COMPILER=" + Quote(VX_CXX_COMPILER) +
                       " -DCMAKE_PREFIX_PATH=" + Quote(prefix_),
                   log_) ||
            !Shell(Quote(VX_CMAKE_COMMAND) + " --build " + Quote(build), log_))
            return "";
        std::string found = "Vamex_DIR:PATH=" + prefix_ + "/lib/cmake/Vamex";
        if (vxtest::ReadFile(build + "/CMakeCache.txt").find(found) == std::string::npos) return "";
        return build;
    }

private:
    std::string dir_, prefix_, log_;
    bool ok_ = false;
};

// Runs `program` in its own folder (where its font picture is) with the script. Its
// sound goes to `folder`/sound.raw through SDL's disk driver.
vxtest::RunResult Play(const std::string& folder, const std::string& program,
                       const std::string& script) {
    return vxtest::Run(folder + "/" + program,
                       {"LD_PRELOAD=" VX_SCRIPT_PLAYER, "VX_PLAYER_SCRIPT=" + script,
                        "TMPDIR=" + folder, "SDL_AUDIODRIVER=disk",
                        "SDL_DISKAUDIOFILE=" + folder + "/sound.raw", "DISPLAY", "WAYLAND_DISPLAY"},
                       folder);
}

// White pixels of a glyph in the font picture: 16 x 16 cells, 16 to a row.
int GlyphPixels(const Picture& font, char c) {
    int lit = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            Rgb p = font.At(16 * (c % 16) + x, 16 * (c / 16) + y);
            if (p.r > 200 && p.g > 200 && p.b > 200) ++lit;
        }
    return lit;
}

// "HELLO FROM VAMEX" at (192, 200): letters lit, the spaces and beyond dark.
void CheckGreeting(const Picture& shot) {
    ASSERT_EQ(shot.Width(), 640);
    ASSERT_EQ(shot.Height(), 480);
    for (int cell : {0, 4, 6, 11, 15}) EXPECT_GT(Lit(shot, 192, 200, cell), 10) << cell;
    for (int cell : {5, 10, 16}) EXPECT_EQ(Lit(shot, 192, 200, cell), 0) << cell;
}

void CheckHello(const Picture& shot) {
    CheckGreeting(shot);
    // The face at (304, 120): yellow, black eyes, its clear corners show the black screen.
    EXPECT_TRUE(Near(shot.At(304 + 16, 120 + 4), {255, 220, 0}));
    EXPECT_TRUE(Near(shot.At(304 + 10, 120 + 10), {0, 0, 0}));
    EXPECT_TRUE(Near(shot.At(304 + 1, 120 + 1), {0, 0, 0}));
}

TEST(Sdk, HelloBuildsFromTheCMakePackageAndFromThePkgConfigLineAlone) {
    Installed sdk("sdk_hello");
    ASSERT_TRUE(sdk.Ok()) << sdk.Log();
    std::string withPackage = sdk.BuildWithPackage("hello");
    ASSERT_NE(withPackage, "") << sdk.Log();

    std::string withPkgConfig = sdk.Dir() + "/pkg-config";
    ASSERT_TRUE(vxtest::WriteFile(withPkgConfig + "/SMALFONT.BMP",
                                  vxtest::ReadFile(sdk.Prefix() + "/share/vamex/SMALFONT.BMP")));
    ASSERT_TRUE(Shell("cd " + Quote(withPkgConfig) + " && " + Quote(VX_CXX_COMPILER) + " " +
                          Quote(std::string(VX_SOURCE_DIR) + "/examples/hello/hello.cpp") +
                          " -o hello $(PKG_CONFIG_PATH=" + Quote(sdk.Prefix() + "/lib/pkgconfig") +
                          " pkg-config --cflags --libs vamex)",
                      "/dev/null"))
        << "the pkg-config line does not build hello";

    // F12 keeps the picture; Space, pressed as F12 is let go, ends the wait.
    const std::string script = Frame(0, "F12") + Frame(1, "-F12") + Frame(1, "Space");
    for (const std::string& folder : {withPackage, withPkgConfig}) {
        SCOPED_TRACE(folder);
        vxtest::RunResult run = Play(folder, "hello", script);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        CheckHello(Picture(vxtest::ReadFile(folder + "/hello.bmp")));
    }
    // hello.vx, translated by the installed vamexc through the CMake package.
    vxtest::RunResult run = Play(withPackage, "hello_vx", script);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    CheckGreeting(Picture(vxtest::ReadFile(withPackage + "/hello.bmp")));
}

TEST(Sdk, PongFromTheCMakePackagePlaysAScriptedPoint) {
    Installed sdk("sdk_pong");
    ASSERT_TRUE(sdk.Ok()) << sdk.Log();
    std::string folder = sdk.BuildWithPackage("pong");
    ASSERT_NE(folder, "") << sdk.Log();

    // The left paddle goes up 20 frames (120 pixels) with A; the stick takes the right
    // one 25 frames down (150). The ball, served right, comes off the right paddle,
    // passes the left one and is served again: 0 to 1 at frame 177. F12 at frame 200.
    std::string script = Frame(0, "A") + Frame(0, "stick=32767") + Frame(20, "-A") +
                         Frame(25, "stick=0") + Frame(199, "F12") + Frame(201, "-F12") +
                         Frame(202, "Escape");
    vxtest::RunResult run = Play(folder, "pong", script);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const char* file : {"pongtile.bmp", "pongball.bmp", "pongbeep.wav"})
        EXPECT_TRUE(vxtest::FileExists(folder + "/" + file)) << file;
    // The paddle's hit was heard: the device's output is not all silence.
    std::string sound = vxtest::ReadFile(folder + "/sound.raw");
    EXPECT_NE(sound.find_first_not_of('\0'), std::string::npos) << sound.size() << " bytes";

    Picture shot(vxtest::ReadFile(folder + "/pong.bmp"));
    ASSERT_EQ(shot.Width(), 640);
    ASSERT_EQ(shot.Height(), 480);
    const Rgb table = {16, 96, 48}, left = {255, 160, 0}, right = {0, 200, 255};
    EXPECT_TRUE(Near(shot.At(100, 300), table));
    EXPECT_TRUE(Near(shot.At(319, 40), {200, 200, 200}));  // the middle line
    EXPECT_TRUE(Near(shot.At(319, 56), table));
    // Paddles 12 x 64 at x 24 and 604, from y 208 to 88 and 358.
    EXPECT_TRUE(Near(shot.At(30, 88 + 1), left));
    EXPECT_TRUE(Near(shot.At(30, 88 + 62), left));
    EXPECT_TRUE(Near(shot.At(30, 88 + 66), table));
    EXPECT_TRUE(Near(shot.At(610, 358 + 1), right));
    EXPECT_TRUE(Near(shot.At(610, 358 + 62), right));
    EXPECT_TRUE(Near(shot.At(610, 358 - 3), table));
    // The ball, 23 frames after its serve from (314, 234) to the left at (-5, 3).
    EXPECT_TRUE(Near(shot.At(199 + 6, 303 + 6), {255, 64, 64}));
    EXPECT_TRUE(Near(shot.At(199 + 6 + 10, 303 + 6), table));
    // The score as the font draws "0" and "1".
    Picture font(vxtest::ReadFile(folder + "/SMALFONT.BMP"));
    ASSERT_EQ(font.Width(), 256);
    EXPECT_EQ(Lit(shot, 256, 16, 0), GlyphPixels(font, '0'));
    EXPECT_EQ(Lit(shot, 368, 16, 0), GlyphPixels(font, '1'));
}

// Runs the installed vamexc with `args` in `folder`, the environment changed by `env`
// ("NAME=value", or "-u NAME"), through env(1): its exit code and output.
vxtest::RunResult Driver(const std::string& vamexc, const std::string& folder,
                         const std::vector<std::string>& args, const std::string& env) {
    std::string log = folder + "/driver.txt";
    std::string line = "cd " + Quote(folder) + " && env " + env + " " + Quote(vamexc);
    for (const std::string& a : args) line += " " + Quote(a);
    std::remove(log.c_str());
    int status = std::system((line + " >" + Quote(log) + " 2>&1").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, vxtest::ReadFile(log)};
}

// The driver: vamexc --run builds hello.vx against the runtime it is installed with
// (found from its own place, under a folder whose name has a space) and runs it in the
// source's folder; the program's exit code is vamexc's. -o builds a program to keep.
TEST(Sdk, TheDriverBuildsAndRunsAVxFileAgainstItsOwnInstall) {
    Installed sdk("sdk driver");
    ASSERT_TRUE(sdk.Ok()) << sdk.Log();
    const std::string vamexc = sdk.Prefix() + "/bin/vamexc";
    const std::string game = sdk.Dir() + "/my game";
    ASSERT_TRUE(vxtest::WriteFile(
        game + "/hello.vx",
        vxtest::ReadFile(std::string(VX_SOURCE_DIR) + "/examples/hello/hello.vx")));
    const std::string script = Frame(0, "F12") + Frame(1, "-F12") + Frame(1, "Space");
    const std::string env = "-u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy " +
                            Quote("CXX=" VX_CXX_COMPILER) + " " + Quote("TMPDIR=" + game);
    vxtest::RunResult run = Driver(
        vamexc, game, {"--run", "hello.vx"},
        env + " LD_PRELOAD=" + Quote(VX_SCRIPT_PLAYER) + " VX_PLAYER_SCRIPT=" + Quote(script));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    CheckGreeting(Picture(vxtest::ReadFile(game + "/hello.bmp")));
    EXPECT_TRUE(vxtest::FileExists(game + "/SMALFONT.BMP"));

    // A program that ends with END: its exit code 1 comes back through the driver.
    ASSERT_TRUE(vxtest::WriteFile(game + "/ends.vx", "PRINT \"BYE\", 0, 0\nEND\n"));
    run = Driver(vamexc, game, {"--run", "ends.vx"}, env);
    EXPECT_EQ(run.exitCode, 1) << run.output;

    // -o builds a program to keep, the font beside it; -v shows the compiler's line.
    const std::string out = sdk.Dir() + "/out dir";
    ASSERT_TRUE(vxtest::WriteFile(out + "/keep", ""));
    run = Driver(vamexc, game, {"-v", "ends.vx", "-o", out + "/ends"}, env);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("libvamex.a"), std::string::npos) << run.output;
    EXPECT_TRUE(vxtest::FileExists(out + "/ends"));
    EXPECT_TRUE(vxtest::FileExists(out + "/SMALFONT.BMP"));

    // What goes wrong while building says what was being built.
    run = Driver(vamexc, game, {"ends.vx", "-o", "ends2"}, "CXX=/nonexistent/c++");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("vamexc: building ends.vx: cannot start /nonexistent/c++"),
              std::string::npos)
        << run.output;
}

}  // namespace
