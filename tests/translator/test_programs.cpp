// Programs written in the language, translated and built with the tree, run headless
// as processes. Each program in programs/ writes its results with PUTFILE into
// out.txt; the comment block at its end says what they must be:
//   // exit: 1            the exit code, when not 0
//   // expect:            then one "// " line per line of out.txt
//   // expect log:        then the last lines of the debug log
// Without an "expect log" block a normal end must leave no debug log.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"

namespace {

struct Expected {
    int exitCode = 0;
    std::vector<std::string> lines;
    std::vector<std::string> log;
    bool hasLog = false;
};

Expected ReadExpected(const std::string& source) {
    Expected e;
    std::vector<std::string>* into = nullptr;
    std::istringstream in(source);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("// exit: ", 0) == 0) {
            e.exitCode = std::stoi(line.substr(9));
        } else if (line == "// expect:") {
            into = &e.lines;
        } else if (line == "// expect log:") {
            into = &e.log;
            e.hasLog = true;
        } else if (into && line.rfind("// ", 0) == 0) {
            into->push_back(line.substr(3));
        } else if (into && line == "//") {
            into->push_back("");
        }
    }
    return e;
}

// Lines of a file written with CR LF ends; a missing last end is no line end.
std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> Programs() {
    std::vector<std::string> names;
    std::istringstream in(VX_TABLE_PROGRAMS);
    std::string name;
    while (std::getline(in, name, ',')) names.push_back(name);
    return names;
}

class Program : public testing::TestWithParam<std::string> {};

TEST_P(Program, WritesWhatItsSourceExpects) {
    const std::string name = GetParam();
    const std::string source =
        vxtest::ReadFile(std::string(VX_SOURCE_DIR) + "/tests/translator/programs/" + name + ".vx");
    ASSERT_FALSE(source.empty()) << name;
    const Expected expected = ReadExpected(source);
    ASSERT_FALSE(expected.lines.empty()) << name << ": no expect block";

    const std::string dir = vxtest::MakeTempDir("vx-" + name);
    vxtest::WriteFile(dir + "/SMALFONT.BMP",
                      vxtest::ReadFile(std::string(VX_BUILD_DIR) + "/SMALFONT.BMP"));
#ifdef _WIN32
    const std::vector<std::string> env = {"TMPDIR=" + dir};
#else
    const std::vector<std::string> env = {"TMPDIR=" + dir, "SDL_AUDIODRIVER=dummy", "DISPLAY",
                                          "WAYLAND_DISPLAY"};
#endif
    vxtest::RunResult run = vxtest::Run(vxtest::BuiltProgram("vx_" + name), env, dir);
    EXPECT_EQ(run.exitCode, expected.exitCode) << run.output;
    const std::vector<std::string> lines = CrLfLines(vxtest::ReadFile(dir + "/out.txt"));
    EXPECT_EQ(lines.size(), expected.lines.size());
    for (size_t i = 0; i < lines.size() && i < expected.lines.size(); ++i)
        EXPECT_EQ(lines[i], expected.lines[i]) << "line " << i + 1 << " of out.txt";

    const std::string logPath = dir + "/ErrorLog.txt";
    if (expected.hasLog) {
        std::vector<std::string> log = CrLfLines(vxtest::ReadFile(logPath));
        ASSERT_GE(log.size(), expected.log.size()) << vxtest::ReadFile(logPath);
        log.erase(log.begin(), log.end() - (std::ptrdiff_t)expected.log.size());
        EXPECT_EQ(log, expected.log);
    } else if (expected.exitCode == 0) {
        EXPECT_FALSE(vxtest::FileExists(logPath)) << vxtest::ReadFile(logPath);
    }
}

INSTANTIATE_TEST_SUITE_P(Translated, Program, testing::ValuesIn(Programs()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

}  // namespace
