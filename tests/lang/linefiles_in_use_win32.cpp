// PUTFILE on a file that another program holds open, which Windows will not let a new
// file replace: the line is still written, in place, and the user is told so; where
// the holder lets no one else write, nothing changes and the user learns why.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "base/errors.h"
#include "lang/linefiles.h"
#include "support/process.h"

namespace {

// tool_holdfile holding `file` open in a process of its own while this lives.
struct Holder {
    Holder(const std::string& file, const char* share) {
        std::string ready = vxtest::MakeTempDir("ready") + "\\ready";
        std::string tool = vxtest::BuiltProgram("tool_holdfile");
        std::string line = "\"" + tool + "\" \"" + file + "\" \"" + ready + "\" " + share;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessA(tool.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &child))
            return;
        CloseHandle(child.hThread);
        for (int waited = 0; waited < 10000 && !holding; waited += 20) {
            holding = vxtest::FileExists(ready);
            if (!holding && WaitForSingleObject(child.hProcess, 20) == WAIT_OBJECT_0) break;
        }
    }
    ~Holder() {
        if (!child.hProcess) return;
        TerminateProcess(child.hProcess, 0);
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hProcess);
    }
    PROCESS_INFORMATION child{};
    bool holding = false;
};

std::string Lines(int count, int changed, const std::string& text) {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += (i == changed ? text : "SETTING" + std::to_string(i)) + "\r\n";
    return s;
}

// The name as the failure line quotes it, backslashes escaped.
std::string Quoted(const std::string& file) {
    std::string q;
    for (char c : file) q += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "\"" + q + "\" (" + q + ")";
}

std::string Put(const std::string& file, int line, const char* text) {
    testing::internal::CaptureStderr();
    PUTFILE(VXStr(file.c_str()), line, VXStr(text));
    return testing::internal::GetCapturedStderr();
}

TEST(LineFilesInUse, AFileHeldOpenWithWriteSharingIsRewrittenInPlace) {
    std::string dir = vxtest::MakeTempDir("held");
    std::string file = dir + "\\cfs2.cfg";
    ASSERT_TRUE(vxtest::WriteFile(file, Lines(120, 72, "TEXT-SCROLL=0")));
    const std::string note = "vamex: PUTFILE " + Quoted(file) +
                             ": rewritten in place, as another program has the file open\n";
    {
        Holder holder(file, "rw");
        ASSERT_TRUE(holder.holding);
        // Longer, then shorter than the line it replaces: the file grows and is cut.
        EXPECT_EQ(Put(file, 72, "TEXT-SCROLL=1 AND A LONGER LINE"), note);
        EXPECT_EQ(vxtest::ReadFile(file), Lines(120, 72, "TEXT-SCROLL=1 AND A LONGER LINE"));
        EXPECT_EQ(Put(file, 72, "TEXT-SCROLL=1"), note);
        EXPECT_EQ(vxtest::ReadFile(file), Lines(120, 72, "TEXT-SCROLL=1"));
    }
    EXPECT_EQ(_g_error, 0);
    // No temporary file is left beside it; once free, the file is replaced as usual.
    EXPECT_EQ(Put(file, 0, "FIRST"), "");
    std::string expected = Lines(120, 72, "TEXT-SCROLL=1");
    expected.replace(0, 8, "FIRST");
    EXPECT_EQ(vxtest::ReadFile(file), expected);
    auto entries = std::distance(std::filesystem::directory_iterator(dir),
                                 std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 1);
}

TEST(LineFilesInUse, AHolderThatLetsNoOneWriteKeepsTheFileAsItWas) {
    std::string dir = vxtest::MakeTempDir("held");
    std::string file = dir + "\\cfs2.cfg";
    const std::string before = Lines(120, 72, "TEXT-SCROLL=0");
    ASSERT_TRUE(vxtest::WriteFile(file, before));
    Holder holder(file, "r");
    ASSERT_TRUE(holder.holding);
    std::string said = Put(file, 72, "TEXT-SCROLL=1");
    EXPECT_EQ(said.rfind("vamex: PUTFILE " + Quoted(file) + ": ", 0), 0u) << said;
    EXPECT_EQ(said.find("in place"), std::string::npos) << said;
    EXPECT_EQ(vxtest::ReadFile(file), before);
}

}  // namespace
