// Names beyond ASCII. A program's texts are UTF-8 (as .vx sources and Linux have
// them): a line file named so is written and read back, and on disk it has that name
// on both systems. Bytes that are no valid UTF-8 still name one file, read back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "lang/linefiles.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {

std::string Get(const std::string& file, int line) {
    VXStr text("unset");
    GETFILE(VXStr(file.c_str()), line, text);
    return (const char*)text;
}

// The file's bytes, the name taken as UTF-8 on both systems.
std::string Read(const std::string& file) {
    std::ifstream in(fs::u8path(file), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> Listing(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::u8path(dir)))
        names.insert(entry.path().filename().u8string());
    return names;
}

TEST(LineFileNames, NonAsciiNamesAreWrittenAndReadBackUnderTheirOwnName) {
    std::string dir = vxtest::MakeTempDir("names");
    ASSERT_FALSE(dir.empty());
    // Latin-1, Greek (outside the usual Western code page) and Japanese.
    const std::set<std::string> names = {u8"café.cfg", u8"Ωμέγα.cfg", u8"日本語.cfg"};
    for (const std::string& name : names) {
        std::string file = dir + "/" + name;
        PUTFILE(VXStr(file.c_str()), 1, VXStr("TEXT-SCROLL=1"));
        EXPECT_EQ(Get(file, 1), "TEXT-SCROLL=1") << name;
        EXPECT_EQ(Read(file), "\r\nTEXT-SCROLL=1\r\n") << name;
        // A second rewrite replaces the file of that name, not another.
        PUTFILE(VXStr(file.c_str()), 0, VXStr("FIRST"));
        EXPECT_EQ(Get(file, 0), "FIRST") << name;
    }
    EXPECT_EQ(Listing(dir), names);

    // Not UTF-8 (a Latin-1 byte): the name keeps its old reading, one file either way.
    std::string latin1 = dir + "/caf\xE9-latin1.cfg";
    PUTFILE(VXStr(latin1.c_str()), 0, VXStr("OLD READING"));
    EXPECT_EQ(Get(latin1, 0), "OLD READING");
    EXPECT_EQ(Listing(dir).size(), names.size() + 1);
}

}  // namespace
