// Both deliverables end to end, as processes against an installation of the game's
// configuration: on Linux a Wine prefix laid out as a real one (no display, and once
// under an X server); on Windows, run under Wine, the prefix's own C: drive.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "support/process.h"

namespace {

std::string SampleConfig(int lines, const std::string& line72) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        if (i == 72)
            text += line72;
        else if (i % 20 == 0)
            text += "[Section" + std::to_string(i / 20) + "]";
        else
            text += "SETTING" + std::to_string(i) + "=" + std::to_string(i * 7 % 100);
        text += "\r\n";
    }
    return text;
}

#ifdef _WIN32
// The programs' own name for the file, in the Wine prefix the tests run in. The
// harness marks that prefix as its own (C:\vamex-test-prefix): anywhere else, a
// user's real installation could be there, and nothing is touched.
const char* const kGames = "C:\\Program Files\\Microsoft Games";
const char* const kFolder = "C:\\Program Files\\Microsoft Games\\Combat Flight Simulator 2";

struct Installation {
    bool owned = vxtest::FileExists("C:\\vamex-test-prefix");
    bool keepGames = vxtest::FileExists(kGames);
    std::string tmp = vxtest::MakeTempDir("tmp");
    std::string config = std::string(kFolder) + "\\cfs2.cfg";
    explicit Installation(const std::string& content) {
        if (owned) vxtest::WriteFile(config, content);
    }
    ~Installation() {
        std::error_code ignored;
        if (owned) std::filesystem::remove_all(keepGames ? kFolder : kGames, ignored);
    }
    vxtest::RunResult Run(const std::string& program, const std::string& = "") {
        return vxtest::Run(vxtest::BuiltProgram(program), {"TMPDIR=" + tmp}, VX_BUILD_DIR);
    }
    bool LogLeft() const { return vxtest::FileExists(tmp + "/ErrorLog.txt"); }
};
#define SKIP_UNLESS_OWNED(wine) \
    if (!(wine).owned) GTEST_SKIP() << "not the test harness's own Wine prefix"
#else
const char* const kFolder = "/drive_c/Program Files/Microsoft Games/Combat Flight Simulator 2";

struct Installation {
    std::string root = vxtest::MakeTempDir("wine");
    std::string tmp = vxtest::MakeTempDir("tmp");
    std::string config = root + kFolder + "/cfs2.cfg";
    explicit Installation(const std::string& content) {
        vxtest::WriteFile(config, content);
        vxtest::WriteFile(root + "/dosdevices/.keep", "");
        symlink("../drive_c", (root + "/dosdevices/c:").c_str());
    }
    vxtest::RunResult Run(const std::string& program, const std::string& display = "",
                          const std::string& extra = "") {
        std::vector<std::string> env = {"WINEPREFIX=" + root, "TMPDIR=" + tmp, extra};
        env.push_back(display.empty() ? "DISPLAY" : "DISPLAY=" + display);
        if (display.empty()) env.push_back("WAYLAND_DISPLAY");
        return vxtest::Run(vxtest::BuiltProgram(program), env, VX_BUILD_DIR);
    }
    bool LogLeft() const { return vxtest::FileExists(tmp + "/ErrorLog.txt"); }
};
#define SKIP_UNLESS_OWNED(wine)
#endif

TEST(Deliverables, ScrollOnRewritesLine72AndNothingElse) {
    std::string before = SampleConfig(120, "TEXT-SCROLL=0");
    Installation wine(before);
    SKIP_UNLESS_OWNED(wine);
    vxtest::RunResult run = wine.Run("scroll_on");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    std::string after = vxtest::ReadFile(wine.config);
    EXPECT_EQ(after, SampleConfig(120, "TEXT-SCROLL=1"));
    EXPECT_EQ(after.size(), before.size());
    EXPECT_FALSE(wine.LogLeft());
}

TEST(Deliverables, ScrollOffRestoresTheSetting) {
    Installation wine(SampleConfig(120, "TEXT-SCROLL=0"));
    SKIP_UNLESS_OWNED(wine);
    ASSERT_EQ(wine.Run("scroll_on").exitCode, 0);
    ASSERT_EQ(vxtest::ReadFile(wine.config), SampleConfig(120, "TEXT-SCROLL=1"));
    vxtest::RunResult run = wine.Run("scroll_off");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(vxtest::ReadFile(wine.config), SampleConfig(120, "TEXT-SCROLL=0"));
    EXPECT_FALSE(wine.LogLeft());
}

TEST(Deliverables, ShortConfigurationGrowsToLine72) {
    std::string fifty = SampleConfig(50, "");
    Installation wine(fifty);
    SKIP_UNLESS_OWNED(wine);
    ASSERT_EQ(wine.Run("scroll_on").exitCode, 0);
    std::string expected = fifty;
    for (int i = 50; i < 72; ++i) expected += "\r\n";
    expected += "TEXT-SCROLL=1\r\n";
    EXPECT_EQ(vxtest::ReadFile(wine.config), expected);
}

TEST(Deliverables, MissingInstallationIsLeftAlone) {
    Installation wine(SampleConfig(120, "TEXT-SCROLL=0"));
    SKIP_UNLESS_OWNED(wine);
#ifdef _WIN32
    std::error_code ignored;
    std::filesystem::remove_all(kFolder, ignored);
    vxtest::RunResult run = wine.Run("scroll_on");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_FALSE(vxtest::FileExists(kFolder));
#else
    std::string other = vxtest::MakeTempDir("empty");
    vxtest::RunResult run =
        vxtest::Run(vxtest::BuiltProgram("scroll_on"),
                    {"WINEPREFIX=" + other, "TMPDIR=" + wine.tmp, "DISPLAY"}, VX_BUILD_DIR);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_FALSE(vxtest::FileExists(other + "/drive_c"));
#endif
    EXPECT_FALSE(wine.LogLeft());
}

// Under Wine every program runs on the X server the harness started.
#ifndef _WIN32
TEST(Deliverables, ScrollOnUnderAnXServer) {
    vxtest::XServer x;
    if (x.display.empty()) GTEST_SKIP() << "Xvfb could not be started";
    Installation wine(SampleConfig(120, "TEXT-SCROLL=0"));
    vxtest::RunResult run = wine.Run("scroll_on", x.display);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(vxtest::ReadFile(wine.config), SampleConfig(120, "TEXT-SCROLL=1"));
    EXPECT_FALSE(wine.LogLeft());
}

// An X server without GLX and SDL's offscreen driver are the Linux backend's.
TEST(Deliverables, DisplayWithoutOpenGLRunsAsHeadlessAndNoWindowAtAllFails) {
    vxtest::XServer x({"-extension", "GLX"});
    if (x.display.empty()) GTEST_SKIP() << "Xvfb could not be started";
    Installation wine(SampleConfig(120, "TEXT-SCROLL=0"));
    vxtest::RunResult run = wine.Run("scroll_on", x.display);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(vxtest::ReadFile(wine.config), SampleConfig(120, "TEXT-SCROLL=1"));
    EXPECT_FALSE(wine.LogLeft());

    // Not even the offscreen driver can make a window (no EGL): one line, non-zero.
    Installation none(SampleConfig(120, "TEXT-SCROLL=0"));
    run = none.Run("scroll_on", x.display, "SDL_VIDEO_EGL_DRIVER=/nonexistent/libEGL.so");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("no window"), std::string::npos) << run.output << x.display;
    EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << run.output << x.display;
    EXPECT_EQ(vxtest::ReadFile(none.config), SampleConfig(120, "TEXT-SCROLL=0"));
}
#endif

}  // namespace
