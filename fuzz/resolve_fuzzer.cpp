// Windows names resolved over a small Wine prefix: whatever the name, a result for a
// name with a drive letter, or rooted without one, lies inside its drive and never
// climbs out of it.
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/files.h"

namespace {

// prefix/drive_c with a few folders and a file, and prefix/dosdevices/c: linking to it.
const std::string& Prefix() {
    static const std::string prefix = [] {
        std::string p = vxfuzz::Folder() + "/prefix";
        for (const char* dir : {"", "/dosdevices", "/drive_c", "/drive_c/Program Files",
                                "/drive_c/Program Files/Game", "/drive_c/windows",
                                "/drive_c/windows/system32", "/drive_d"})
            mkdir((p + dir).c_str(), 0700);
        vxfuzz::WriteFile(p + "/drive_c/Program Files/Game/Game.cfg", (const uint8_t*)"x", 1);
        if (symlink("../drive_c", (p + "/dosdevices/c:").c_str()) != 0 ||
            symlink("../drive_d", (p + "/dosdevices/d:").c_str()) != 0)
            std::abort();
        setenv("WINEPREFIX", p.c_str(), 1);
        return p;
    }();
    return prefix;
}

// True when `path` is `drive` or lies below it without a ".." on the way.
bool InsideDrive(const std::string& path, const std::string& drive) {
    if (path.compare(0, drive.size(), drive) != 0) return false;
    if (path.size() == drive.size()) return true;
    if (path[drive.size()] != '/') return false;
    size_t at = drive.size();
    while (at < path.size()) {
        size_t next = path.find('/', at + 1);
        if (next == std::string::npos) next = path.size();
        if (path.compare(at + 1, next - at - 1, "..") == 0) return false;
        at = next;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& prefix = Prefix();
    std::string name((const char*)data, size);
    name = name.substr(0, name.find('\0'));
    const std::string path = platform::ResolvePath(name.c_str());
    // A drive letter names its drive; a name rooted without one is on c:.
    char drive = 0;
    if (name.size() >= 2 && name[1] == ':' && std::isalpha((unsigned char)name[0]))
        drive = (char)std::tolower((unsigned char)name[0]);
    else if (!name.empty() && name[0] == '\\')
        drive = 'c';
    const std::string root = prefix + "/dosdevices/" + drive + ":";
    if (drive && !InsideDrive(path, root)) {
        std::fprintf(stderr, "%s resolves to %s, outside %s\n", name.c_str(), path.c_str(),
                     root.c_str());
        std::abort();
    }
    return 0;
}
