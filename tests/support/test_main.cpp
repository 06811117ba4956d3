// Test entry: GoogleTest with the runtime's debug log kept out of the user's
// temporary folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    // Each test process gets a temporary folder of its own, so logs of parallel
    // tests never meet.
    if (!std::getenv("VX_KEEP_TMPDIR")) {
        std::string base = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
        std::string dir = base + "/vxtest.XXXXXX";
        if (mkdtemp(dir.data())) setenv("TMPDIR", dir.c_str(), 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
