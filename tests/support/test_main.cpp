// Test entry: GoogleTest with the runtime's debug log kept out of the user's
// temporary folder.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/process.h"

int main(int argc, char** argv) {
#ifdef _WIN32
    // Plain LF lines, so that the test list CTest reads carries no CR in the names.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    // Each test process gets a temporary folder of its own, so logs of parallel tests
    // never meet; it is removed again at the end unless VX_KEEP_TMPDIR is set.
    std::string dir;
    if (!std::getenv("VX_KEEP_TMPDIR")) {
        dir = vxtest::MakeTempDir("vxtest");
        if (!dir.empty()) vxtest::SetTempFolder(dir);
    }
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    std::error_code ignored;
    if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
    return result;
}
