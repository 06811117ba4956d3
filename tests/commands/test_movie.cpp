// PLAYMOVIE with a real player process: a small program copied in as "reelrun.exe"
// that records its arguments, and no player at all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "commands/movie.h"
#include "base/errors.h"
#include "host/globals.h"
#include "render/OpenGLLumeris.h"
#include "support/display.h"
#include "support/process.h"

namespace {

// Runs the test in a folder of its own as working directory, and returns after.
struct InFolder {
    explicit InFolder(const std::string& dir) {
        std::error_code error;
        previous = std::filesystem::current_path(error);
        std::filesystem::current_path(dir, error);
        ok = !error;
    }
    ~InFolder() {
        std::error_code error;
        std::filesystem::current_path(previous, error);
        if (error) std::abort();
    }
    std::filesystem::path previous;
    bool ok = false;
};

// The player (tests/commands/tool_reelrun.cpp), copied in under the given name.
bool WritePlayer(const std::string& path) {
    std::error_code error;
    std::filesystem::copy_file(vxtest::BuiltProgram("tool_reelrun"), path,
                               std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

using vxtest::WindowShown;

TEST(Movie, PlayerGetsTheMovieTextAsItsOneArgument) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    std::string dir = vxtest::MakeTempDir("movie");
    ASSERT_TRUE(WritePlayer(dir + "/reelrun.exe"));
    InFolder folder(dir);
    ASSERT_TRUE(folder.ok);
    _VX_FULLSCREEN = 0;
    _g_error = 6;
    _g_errorline = 12;

    EXPECT_EQ(PLAYMOVIE("intro movie.avi"), 0);
    // Waited for: the player wrote its file before PLAYMOVIE returned.
    EXPECT_EQ(vxtest::ReadFile(dir + "/args.txt"), "1\n[intro movie.avi]\n");
    EXPECT_TRUE(WindowShown());
    EXPECT_FALSE(lumeris.Fullscreen());

    // No shell: the text reaches the player as it is.
    EXPECT_EQ(PLAYMOVIE("$(touch pwned); `touch pwned` > x"), 0);
    EXPECT_EQ(vxtest::ReadFile(dir + "/args.txt"), "1\n[$(touch pwned); `touch pwned` > x]\n");
    EXPECT_FALSE(vxtest::FileExists(dir + "/pwned"));
    EXPECT_FALSE(vxtest::FileExists(dir + "/x"));
    EXPECT_EQ(PLAYMOVIE(""), 0);
    EXPECT_EQ(vxtest::ReadFile(dir + "/args.txt"), "1\n[]\n");
    EXPECT_EQ(_g_error, 6);
    EXPECT_EQ(_g_errorline, 12);
}

TEST(Movie, PlayerNameIsMatchedWithoutRegardToCase) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    std::string dir = vxtest::MakeTempDir("movie");
    ASSERT_TRUE(WritePlayer(dir + "/ReelRun.EXE"));
    InFolder folder(dir);
    ASSERT_TRUE(folder.ok);
    EXPECT_EQ(PLAYMOVIE("a.mpg"), 0);
    EXPECT_EQ(vxtest::ReadFile(dir + "/args.txt"), "1\n[a.mpg]\n");
}

TEST(Movie, WithoutAPlayerReturns3AndRestoresTheDisplay) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    // A player on the search path, or in the folder but not runnable, is not used.
    std::string onPath = vxtest::MakeTempDir("path");
    ASSERT_TRUE(WritePlayer(onPath + "/reelrun.exe"));
    std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
#ifdef _WIN32
    const char* separator = ";";
#else
    const char* separator = ":";
#endif
    vxtest::SetEnv("PATH", (onPath + separator + oldPath).c_str());
    std::string dir = vxtest::MakeTempDir("movie");
    InFolder folder(dir);
    ASSERT_TRUE(folder.ok);
    _VX_FULLSCREEN = 0;
    _g_error = 0;
    _g_errorline = 0;
    _dLn(33);

    EXPECT_EQ(PLAYMOVIE("intro.avi"), 3);
    EXPECT_FALSE(vxtest::FileExists(onPath + "/args.txt"));
    EXPECT_FALSE(vxtest::FileExists(dir + "/args.txt"));
    ASSERT_TRUE(vxtest::WriteFile(dir + "/reelrun.exe", "not a program\n"));
    EXPECT_EQ(PLAYMOVIE("intro.avi"), 3);
    EXPECT_FALSE(vxtest::FileExists(dir + "/args.txt"));

    EXPECT_EQ(_g_error, 0);  // returned, never recorded
    EXPECT_EQ(_g_errorline, 0);
    EXPECT_TRUE(WindowShown());
    EXPECT_FALSE(lumeris.Fullscreen());
    vxtest::SetEnv("PATH", oldPath.c_str());
}

TEST(Movie, DisplayIsRestoredAsTheSettingsSay) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    bool offered = lumeris.DoFullscreen();
    lumeris.DoWindowed();
    if (!offered) GTEST_SKIP() << "display offers no 640x480 mode";
    std::string dir = vxtest::MakeTempDir("movie");
    InFolder folder(dir);
    ASSERT_TRUE(folder.ok);
    _VX_FULLSCREEN = 1;
    EXPECT_EQ(PLAYMOVIE("intro.avi"), 3);
    EXPECT_TRUE(lumeris.Fullscreen());
    EXPECT_TRUE(WindowShown());
    lumeris.DoWindowed();
    _VX_FULLSCREEN = 0;
}

#ifdef _WIN32
// Messages other programs send to the window (a broadcast to every top-level window
// waits for each answer) are answered while the player runs; the ones posted to the
// window stay queued for the game's next frame.
TEST(Movie, TheWindowAnswersSentMessagesWhileThePlayerRuns) {
    ASSERT_TRUE(vxtest::OpenDisplay());
    std::string dir = vxtest::MakeTempDir("movie");
    ASSERT_TRUE(WritePlayer(dir + "/reelrun.exe"));
    InFolder folder(dir);
    ASSERT_TRUE(folder.ok);
    _VX_FULLSCREEN = 0;
    EXPECT_EQ(PLAYMOVIE("send"), 0);
    std::string said = vxtest::ReadFile(dir + "/args.txt");
    ASSERT_EQ(said.rfind("1\n[send]\nanswered in ", 0), 0u) << said;
    EXPECT_LT(std::stoi(said.substr(said.rfind(' ', said.size() - 5))), 100) << said;
}
#endif

}  // namespace
