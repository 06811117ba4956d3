// One PUTFILE with each of its file calls in turn failed (EIO, ENOSPC) or its process
// killed there, through a preloaded shim (shim_faults_posix.cpp). Every run leaves the
// old file or the new one byte for byte, says why where it failed, leaves at most one
// temporary file, and the next rewrite removes that one.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"

namespace {

namespace fs = std::filesystem;

struct Scenario {
    const char* name;
    const char* refuse;  // VX_FAULT_REFUSE for every run
    const char* old;     // the file before each run
    const char* text;    // the new text of line 0
    const char* fresh;   // the file after the rewrite
    const char* commit;  // the call after which the new content is the file's
};

// Named in test listings by its name alone.
void PrintTo(const Scenario& s, std::ostream* out) {
    *out << s.name;
}

const Scenario kScenarios[] = {
    // A sibling renamed over the file; the rename commits.
    {"Atomic", "", "a much longer first line\r\nsecond\r\n", "A", "A\r\nsecond\r\n", "rename"},
    // A folder that takes no new file, the file growing: room is made before it changes.
    {"InPlaceGrowing", "new", "a\r\nsecond\r\n", "a much longer first line",
     "a much longer first line\r\nsecond\r\n", "ftruncate"},
    // An owner a new file cannot have (the superuser's test): in place, the file shrinking.
    {"InPlaceForTheOwner", "owner", "a much longer first line\r\nsecond\r\n", "A",
     "A\r\nsecond\r\n", "ftruncate"},
};

class PutFileFaults : public ::testing::TestWithParam<Scenario> {
protected:
    void SetUp() override {
        dir = vxtest::MakeTempDir("faults");
        file = dir + "/a.cfg";
        ASSERT_FALSE(dir.empty());
        if (Owned() && geteuid() != 0) GTEST_SKIP() << "only the superuser gives files away";
    }
    bool Owned() const { return std::string(GetParam().refuse) == "owner"; }

    void Reset() {
        ASSERT_TRUE(vxtest::WriteFile(file, GetParam().old));
        if (Owned()) {
            ASSERT_EQ(chown(file.c_str(), 4321, 4322), 0);
        }
    }
    vxtest::RunResult Putfile(std::vector<std::string> env) {
        env.push_back("LD_PRELOAD=" + std::string(VX_BUILD_DIR) + "/tests/shim_faults_posix.so");
        env.push_back("VX_PUTFILE_NAME=" + file);
        env.push_back("VX_PUTFILE_LINE=0");
        env.push_back(std::string("VX_PUTFILE_TEXT=") + GetParam().text);
        env.push_back(std::string("VX_FAULT_REFUSE=") + GetParam().refuse);
        return vxtest::Run(vxtest::BuiltProgram("tool_putfile_posix"), env, dir);
    }
    // Temporary files of the rewrite in the folder.
    size_t Temporaries() const {
        size_t count = 0;
        for (const auto& e : fs::directory_iterator(dir))
            count += e.path().filename().string().rfind(".a.cfg.vxtmp-", 0) == 0;
        return count;
    }

    std::string dir, file;
};

TEST_P(PutFileFaults, EveryCallFailedOrKilledLeavesTheOldFileOrTheNewOne) {
    const Scenario& s = GetParam();
    const std::string old = s.old, fresh = s.fresh;

    // The fault-free run: the calls it makes, in order.
    Reset();
    const std::string tracePath = vxtest::MakeTempDir("trace") + "/calls.txt";
    vxtest::RunResult clean = Putfile({"VX_FAULT_TRACE=" + tracePath});
    ASSERT_EQ(clean.exitCode, 0) << clean.output;
    ASSERT_EQ(vxtest::ReadFile(file), fresh);
    std::vector<std::string> calls;
    std::istringstream trace(vxtest::ReadFile(tracePath));
    for (std::string call; std::getline(trace, call);) calls.push_back(call);
    const auto commit = std::find(calls.begin(), calls.end(), s.commit);
    ASSERT_NE(commit, calls.end()) << "the shim sees no " << s.commit << " of the rewrite";
    const size_t commitAt = (size_t)(commit - calls.begin()) + 1;
    struct stat before;
    ASSERT_EQ(stat(file.c_str(), &before), 0);

    for (size_t at = 1; at <= calls.size(); ++at) {
        for (const std::string& fault :
             {std::to_string(EIO), std::to_string(ENOSPC), std::string("kill")}) {
            const std::string where =
                "call " + std::to_string(at) + " (" + calls[at - 1] + "), fault " + fault;
            Reset();
            vxtest::RunResult run =
                Putfile({"VX_FAULT_AT=" + std::to_string(at), "VX_FAULT=" + fault});
            const bool killed = fault == "kill";
            // Killed just before an in-place cut: the one window in-place writing has,
            // the new text and whatever of the old file lay past its end.
            // A temporary file given up (its owner refused) that cannot be closed or
            // removed stays behind; the rewrite goes on in place.
            const bool cleanup = calls[at - 1] == "unlink" ||
                                 (calls[at - 1] == "close" && at > 1 && calls[at - 2] == "fchown");
            std::string expected = at > commitAt || (cleanup && !killed) ? fresh : old;
            const bool torn = killed && at == commitAt && s.commit == std::string("ftruncate");
            if (torn) expected = fresh + old.substr(std::min(old.size(), fresh.size()));
            EXPECT_EQ(vxtest::ReadFile(file), expected) << where;
            if (killed) {
                EXPECT_EQ(run.exitCode, -1) << where;
                EXPECT_LE(Temporaries(), 1u) << where;
            } else {
                EXPECT_EQ(run.exitCode, 0) << where;
                EXPECT_EQ(Temporaries(), calls[at - 1] == "unlink" ? 1u : 0u) << where;
                // A rewrite that did not happen says why, in one line.
                if (expected == old) {
                    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1)
                        << where << "\n"
                        << run.output;
                }
            }

            // The next rewrite takes what an earlier one left behind (a torn file is
            // another file to it, whose line 0 it already has).
            vxtest::RunResult next = Putfile({});
            EXPECT_EQ(next.exitCode, 0) << where;
            EXPECT_EQ(vxtest::ReadFile(file), torn ? expected : fresh) << where;
            EXPECT_EQ(Temporaries(), 0u) << where;
            struct stat after;
            ASSERT_EQ(stat(file.c_str(), &after), 0);
            EXPECT_EQ(after.st_uid, before.st_uid) << where;
            EXPECT_EQ(after.st_gid, before.st_gid) << where;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rewrites, PutFileFaults, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
