// The platform seam's own services: Windows names, the temporary folder, the
// millisecond clock, the second thread and child processes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <string>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/thread.h"
#include "support/process.h"

namespace {

// Windows names resolve inside a Wine prefix on Linux only; on Windows they go to
// the system as they are.
#ifndef _WIN32
// A Wine prefix as a real installation lays it out: dosdevices/c: -> ../drive_c.
struct WinePrefix {
    std::string root = vxtest::MakeTempDir("wine");
    WinePrefix() {
        vxtest::WriteFile(root + "/drive_c/Program Files/Microsoft Games/Sim 2/sim.cfg", "x");
        vxtest::WriteFile(root + "/dosdevices/.keep", "");
        symlink("../drive_c", (root + "/dosdevices/c:").c_str());
        setenv("WINEPREFIX", root.c_str(), 1);
    }
    ~WinePrefix() { unsetenv("WINEPREFIX"); }
};

TEST(WindowsPaths, DriveLetterAndCaseInsensitiveComponents) {
    WinePrefix wine;
    EXPECT_EQ(platform::ResolvePath("c:\\program files\\microsoft games\\sim 2\\SIM.CFG"),
              wine.root + "/dosdevices/c:/Program Files/Microsoft Games/Sim 2/sim.cfg");
    // The drive letter itself is matched without regard to case.
    EXPECT_EQ(platform::ResolvePath("C:\\PROGRAM FILES"),
              wine.root + "/dosdevices/c:/Program Files");
    EXPECT_EQ(vxtest::ReadFile(
                  platform::ResolvePath("c:\\Program Files\\microsoft games\\sim 2\\sim.cfg")),
              "x");
}

TEST(WindowsPaths, MissingComponentsAreKeptAsWritten) {
    WinePrefix wine;
    EXPECT_EQ(platform::ResolvePath("c:\\program files\\New Folder\\A.txt"),
              wine.root + "/dosdevices/c:/Program Files/New Folder/A.txt");
    EXPECT_EQ(platform::ResolvePath("c:\\program files\\microsoft games\\new.cfg"),
              wine.root + "/dosdevices/c:/Program Files/Microsoft Games/new.cfg");
}

TEST(WindowsPaths, ExactMatchWinsOverCaseMatch) {
    WinePrefix wine;
    vxtest::WriteFile(wine.root + "/drive_c/Data/a.txt", "upper");
    vxtest::WriteFile(wine.root + "/drive_c/data/a.txt", "lower");
    // A case match first would give the same folder to both names.
    EXPECT_EQ(platform::ResolvePath("c:\\data\\a.txt"), wine.root + "/dosdevices/c:/data/a.txt");
    EXPECT_EQ(platform::ResolvePath("c:\\Data\\a.txt"), wine.root + "/dosdevices/c:/Data/a.txt");
}

TEST(WindowsPaths, NamesStayOnTheirDrive) {
    WinePrefix wine;
    const std::string c = wine.root + "/dosdevices/c:";
    const struct {
        const char* name;
        std::string resolved;
    } cases[] = {
        {"c:\\..\\..\\outside.txt", c + "/outside.txt"},
        {"c:\\program files\\..\\..\\..\\x\\.\\y.txt", c + "/x/y.txt"},
        {"c:\\program files\\.\\microsoft games\\..\\new.cfg", c + "/Program Files/new.cfg"},
        {"c:/program files/microsoft games/SIM 2/sim.cfg",
         c + "/Program Files/Microsoft Games/Sim 2/sim.cfg"},
        {"c:\\program files/microsoft games", c + "/Program Files/Microsoft Games"},
        {"\\program files\\..\\..\\a.txt", c + "/a.txt"},
        {"\\Program Files\\x.txt", c + "/Program Files/x.txt"},
        {"d:..\\..\\e.txt", wine.root + "/dosdevices/d:/e.txt"},
        {"a\\..\\b.txt", "b.txt"},
        {"..\\up\\.\\b.txt", "../up/b.txt"},
        {"/tmp/../etc", "/tmp/../etc"},
    };
    for (const auto& t : cases) EXPECT_EQ(platform::ResolvePath(t.name), t.resolved) << t.name;
}

TEST(WindowsPaths, PosixAbsoluteNamesAreUsedAsTheyAre) {
    EXPECT_EQ(platform::ResolvePath("/No/Such\\Thing"), "/No/Such\\Thing");
}

TEST(WindowsPaths, DefaultPrefixIsTheUsersWineFolder) {
    unsetenv("WINEPREFIX");
    std::string home = vxtest::MakeTempDir("home");
    std::string saved = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(platform::ResolvePath("d:\\x.txt"), home + "/.wine/dosdevices/d:/x.txt");
    setenv("HOME", saved.c_str(), 1);
}

#endif

TEST(TempFolder, EndsWithASeparator) {
    const std::string saved = platform::TempPath();
#ifdef _WIN32
    const char* folder = "C:\\Vamex Temp";
    const std::string expected = "C:\\Vamex Temp\\";
#else
    const char* folder = "/var/tmp";
    const std::string expected = "/var/tmp/";
#endif
    vxtest::SetTempFolder(folder);
    EXPECT_EQ(platform::TempPath(), expected);
    vxtest::SetTempFolder(expected);
    EXPECT_EQ(platform::TempPath(), expected);
#ifndef _WIN32
    unsetenv("TMPDIR");
    EXPECT_EQ(platform::TempPath(), "/tmp/");
#endif
    vxtest::SetTempFolder(saved);
}

TEST(Clock, TicksAdvanceInMilliseconds) {
    uint32_t start = platform::TickCount();
    platform::SleepFor(20);
    uint32_t later = platform::TickCount();
    EXPECT_GE((uint32_t)(later - start), 20u);
    // Sleeping until a tick never returns after it has arrived plus slack the
    // poll would miss, and never returns more than a millisecond early.
    uint32_t target = platform::TickCount() + 5;
    platform::SleepUntilTick(target);
    EXPECT_GE((int32_t)(platform::TickCount() - (target - 1)), 0);
    platform::SleepUntilTick(platform::TickCount() - 10);  // already due: returns at once
}

TEST(Threads, StillActiveUntilTheProcedureReturns) {
    static std::atomic<bool> release{false};
    struct Proc {
        static uint32_t Run(void* param) {
            while (!release) platform::SleepFor(1);
            return *(uint32_t*)param;
        }
    };
    static uint32_t value = 5;
    PlatformThread* thread = platform::StartThread(Proc::Run, &value);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(platform::ThreadStillActive(thread));
    release = true;
    for (int i = 0; i < 5000 && platform::ThreadStillActive(thread); ++i) platform::SleepFor(1);
    EXPECT_FALSE(platform::ThreadStillActive(thread));
    EXPECT_FALSE(platform::ThreadStillActive(nullptr));
}

// Descriptors and shell scripts are POSIX's; on Windows the player is created with
// handle inheritance off, which no handle can escape.
#ifndef _WIN32
TEST(ChildProcess, InheritsNoDescriptorsBeyondTheStandardThree) {
    std::string dir = vxtest::MakeTempDir("child");
    // Opened without close-on-exec, as a file a program holds open might be.
    int fd = open((dir + "/held.txt").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 3);
    std::string player = dir + "/reelrun.exe";
    ASSERT_TRUE(
        vxtest::WriteFile(player, "#!/bin/sh\nif [ -e /proc/$$/fd/" + std::to_string(fd) +
                                      " ]; then echo open; else echo closed; fi > \"$1\"\n"));
    ASSERT_EQ(chmod(player.c_str(), 0755), 0);
    EXPECT_TRUE(platform::RunAndWait(player.c_str(), (dir + "/seen.txt").c_str()));
    close(fd);
    EXPECT_EQ(vxtest::ReadFile(dir + "/seen.txt"), "closed\n");
}
#endif

}  // namespace
