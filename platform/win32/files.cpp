// The temporary folder and file names: Windows takes its own names as they are.
#include "platform/files.h"
#include "platform/win32/win32_internal.h"

namespace platform {

std::string TempPath() {
    char buffer[MAX_PATH + 1];
    DWORD n = ::GetTempPathA(sizeof(buffer), buffer);
    if (n == 0 || n >= sizeof(buffer)) return ".\\";
    std::string path(buffer, n);
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    return path;
}

std::string ResolvePath(const char* name) {
    return name ? std::string(name) : std::string();
}

}  // namespace platform
