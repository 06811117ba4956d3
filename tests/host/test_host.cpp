// The host on real processes: how a program ends, what the debug log keeps, and
// the two game-thread paths.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>

#include "base/errors.h"
#include "support/process.h"

namespace {

struct Ended {
    int exitCode;
    std::string notes;  // what the program wrote before it ended
    std::string log;    // ErrorLog.txt afterwards, "" when there is none
    bool logExists;
    std::string output;
};

// Runs prog_host in `mode`; its temporary folder is a fresh one, or `tempName` (UTF-8)
// inside it.
Ended RunHostProgram(const std::string& mode, const std::string& extra = "",
                     const std::string& tempName = "") {
    std::string dir = vxtest::MakeTempDir("host");
    std::string notes = dir + "/notes.txt";
    std::string tmp = tempName.empty() ? dir : dir + "/" + tempName;
    std::error_code error;
    std::filesystem::create_directory(std::filesystem::u8path(tmp), error);
    // Programs read their font picture from the working directory.
    vxtest::WriteFile(dir + "/SMALFONT.BMP",
                      vxtest::ReadFile(std::string(VX_BUILD_DIR) + "/SMALFONT.BMP"));
    vxtest::RunResult run =
        vxtest::Run(vxtest::BuiltProgram("prog_host"),
                    {"VX_TEST_MODE=" + mode, "VX_TEST_OUT=" + notes, "TMPDIR=" + tmp, extra}, dir);
    std::string log = tmp + "/ErrorLog.txt";
    return {run.exitCode, vxtest::ReadFile(notes), vxtest::ReadFile(log), vxtest::FileExists(log),
            run.output};
}

TEST(HostEnd, NormalEndDeletesTheLogWithExitCodeZero) {
    Ended e = RunHostProgram("normal");
    EXPECT_EQ(e.exitCode, 0) << e.output;
    EXPECT_EQ(e.notes, "main-thread 1\nsize 320 200\nfont-width 800\nreturned\n");
    EXPECT_FALSE(e.logExists) << e.log;
}

TEST(HostEnd, EndCommandExitsWithOneAndKeepsTheLog) {
    Ended e = RunHostProgram("end");
    EXPECT_EQ(e.exitCode, 1) << e.output;
    EXPECT_EQ(e.notes.find("returned"), std::string::npos);
    // The log holds what start-up wrote: the measured flip rate, nothing else.
    ASSERT_EQ(e.log.rfind("FlipRate:\r\n", 0), 0u) << e.log;
    std::string rate = e.log.substr(11);
    ASSERT_GE(rate.size(), 3u);
    EXPECT_EQ(rate.substr(rate.size() - 2), "\r\n");
    EXPECT_GE(std::stoi(rate), 5);
    EXPECT_EQ(rate.find('\n'), rate.size() - 1);
}

TEST(HostEnd, EndWithASpriteDrawnAndNoFlipSinceIsClean) {
    // The draw is still queued in GL when the program ends, by returning or by END.
    for (auto [mode, code] : {std::pair<const char*, int>{"sprite", 0}, {"sprite-end", 1}}) {
        Ended e = RunHostProgram(mode);
        EXPECT_EQ(e.exitCode, code) << mode << "\n" << e.output;
        EXPECT_NE(e.notes.find("sprite loaded"), std::string::npos) << mode << "\n" << e.notes;
    }
}

TEST(HostEnd, ATemporaryFolderNamedBeyondAsciiKeepsTheLog) {
    // A user name outside the ANSI code page is in the temporary folder's name.
    const std::string name = u8"Ωμέγα-ü";
    Ended ended = RunHostProgram("end", "", name);
    EXPECT_EQ(ended.exitCode, 1) << ended.output;
    EXPECT_EQ(ended.log.rfind("FlipRate:\r\n", 0), 0u) << ended.log;
    Ended normal = RunHostProgram("normal", "", name);
    EXPECT_EQ(normal.exitCode, 0) << normal.output;
    EXPECT_FALSE(normal.logExists) << "the normal end deletes the log";
}

TEST(HostEnd, DebugEndAppendsTheEndRecord) {
    Ended e = RunHostProgram("debug");
    EXPECT_EQ(e.exitCode, 0) << e.output;
    ASSERT_EQ(e.log.rfind("FlipRate:\r\n", 0), 0u) << e.log;
    const std::string record = "-End On Line\r\n6\r\n0\r\n";
    ASSERT_GE(e.log.size(), record.size());
    EXPECT_EQ(e.log.substr(e.log.size() - record.size()), record) << e.log;
}

TEST(HostEnd, WindowCloseEndsTheProgramWithExitCodeZero) {
    Ended e = RunHostProgram("close");
    EXPECT_EQ(e.exitCode, 0) << e.output;
    EXPECT_EQ(e.notes, "main-thread 1\nsize 320 200\nfont-width 800\n");
    EXPECT_FALSE(e.logExists);
}

// SIGINT and SIGTERM on Linux; on Windows the console's Ctrl+C and its close (as a
// log-off or shutdown), delivered to the console handler as the system does.
TEST(HostEnd, InterruptClosesAndEndsWith128PlusItsNumber) {
    const std::string started = "main-thread 1\nsize 320 200\nfont-width 800\n";
    for (int signal : {2, 15}) {
        Ended e = RunHostProgram("signal", "VX_TEST_SIGNAL=" + std::to_string(signal));
        EXPECT_EQ(e.exitCode, 128 + signal) << e.output;
        EXPECT_EQ(e.notes, started);  // ended at the next frame, as a close
        EXPECT_FALSE(e.logExists);    // after the normal end's clean-up
    }
    Ended e = RunHostProgram("thread-signal", "VX_TEST_SIGNAL=15");
    EXPECT_EQ(e.exitCode, 143) << e.output;
    EXPECT_EQ(e.notes,
              "main-thread 0\nsize 320 200\nfont-width 320\ndestroyed on the game thread\n");
}

TEST(HostThreads, CloseIsHandedToTheGameThread) {
    // The main thread takes the close; the game thread ends at its wait's next poll
    // and alone tears the devices down.
    Ended e = RunHostProgram("thread-close");
    EXPECT_EQ(e.exitCode, 0) << e.output;
    EXPECT_EQ(e.notes,
              "main-thread 0\nsize 320 200\nfont-width 320\ndestroyed on the game thread\n");
    const std::string record = "-End On Line\r\n0\r\n0\r\n";
    ASSERT_GE(e.log.size(), record.size()) << e.log;
    EXPECT_EQ(e.log.substr(e.log.size() - record.size()), record);
    // A game thread held up in a long command: the close ends the process after a
    // bounded wait, with the end record but no destruction under the game thread.
    Ended stuck = RunHostProgram("thread-stuck");
    EXPECT_EQ(stuck.exitCode, 0) << stuck.output;
    EXPECT_EQ(stuck.notes, "main-thread 0\nsize 320 200\nfont-width 320\n");
    ASSERT_GE(stuck.log.size(), record.size()) << stuck.log;
    EXPECT_EQ(stuck.log.substr(stuck.log.size() - record.size()), record);
}

TEST(HostThreads, DebugSettingAtStartRunsTheGameOnASecondThread) {
    Ended e = RunHostProgram("thread");
    EXPECT_EQ(e.exitCode, 0) << e.output;
    EXPECT_EQ(e.notes, "main-thread 0\nsize 320 200\nfont-width 320\nreturned\n");
    const std::string record = "-End On Line\r\n6\r\n0\r\n";
    ASSERT_GE(e.log.size(), record.size()) << e.log;
    EXPECT_EQ(e.log.substr(e.log.size() - record.size()), record);
}

TEST(HostErrors, ErrorRecordsCodeAndAnnouncedLine) {
    _dLn(120);
    EXPECT_EQ(_Error(9), 9);
    EXPECT_EQ(_g_error, 9);
    EXPECT_EQ(_g_errorline, 120);
    _dLn(0);
}

TEST(HostErrors, DebugLogEntriesEndInCrLf) {
    KWFileSystem::DeleteDebug();
    KWFileSystem::DeleteDebug();  // a missing log is no error
    KWFileSystem::WriteDebug("text");
    KWFileSystem::WriteDebug(7.0);
    KWFileSystem::WriteDebug(0.5);
    KWFileSystem::WriteDebug(1234567.0);
    EXPECT_EQ(vxtest::ReadFile(KWFileSystem::DebugPath()), "text\r\n7\r\n0.5\r\n1.23457e+06\r\n");
    KWFileSystem::DeleteDebug();
    EXPECT_FALSE(vxtest::FileExists(KWFileSystem::DebugPath()));
}

TEST(HostErrors, DebugLogIsTheOwnersAloneAndFollowsNoLink) {
    const char* log = KWFileSystem::DebugPath();
    KWFileSystem::DeleteDebug();
    // Something that is no plain file at the log's name is left alone.
    ASSERT_TRUE(std::filesystem::create_directory(log));
    KWFileSystem::WriteDebug("entry");
    EXPECT_TRUE(std::filesystem::is_empty(log));
    std::filesystem::remove(log);
#ifndef _WIN32
    // Another user's link at the log's name, planted between two entries. (Windows:
    // making links takes a privilege the tests do not have.)
    std::string victim = vxtest::MakeTempDir("victim") + "/notes.txt";
    ASSERT_TRUE(vxtest::WriteFile(victim, "mine\n"));
    ASSERT_EQ(symlink(victim.c_str(), log), 0);
    KWFileSystem::WriteDebug("entry");
    EXPECT_EQ(vxtest::ReadFile(victim), "mine\n");
    KWFileSystem::DeleteDebug();  // the link goes, its target stays
    EXPECT_EQ(vxtest::ReadFile(victim), "mine\n");

    // A pipe there must not hold the program.
    ASSERT_EQ(mkfifo(log, 0600), 0);
    alarm(30);
    KWFileSystem::WriteDebug("entry");
    alarm(0);
    KWFileSystem::DeleteDebug();
#endif

    KWFileSystem::WriteDebug("entry");
#ifndef _WIN32
    struct stat st;
    ASSERT_EQ(stat(log, &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
#endif
    EXPECT_EQ(vxtest::ReadFile(log), "entry\r\n");
    KWFileSystem::DeleteDebug();
}

}  // namespace
