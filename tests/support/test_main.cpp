// Test entry: GoogleTest with the runtime's debug log kept out of the user's
// temporary folder.
#include <gtest/gtest.h>

#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
    return std::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
    // Each test process gets a temporary folder of its own, so logs of parallel tests
    // never meet; it is removed again at the end unless VX_KEEP_TMPDIR is set.
    std::string dir;
    if (!std::getenv("VX_KEEP_TMPDIR")) {
        std::string base = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
        dir = base + "/vxtest.XXXXXX";
        if (mkdtemp(dir.data()))
            setenv("TMPDIR", dir.c_str(), 1);
        else
            dir.clear();
    }
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    if (!dir.empty()) nftw(dir.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    return result;
}
