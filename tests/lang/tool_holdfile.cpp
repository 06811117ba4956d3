// Holds a file open as another program would, until it is ended (at most a minute):
//   tool_holdfile <file> <ready-file> <share>
// On Windows <share> is "rw" (others may read and write it meanwhile) or "r" (only
// read it); elsewhere the file is simply held open. <ready-file> is written once the
// file is open.
#ifdef _WIN32
#include <windows.h>
#endif
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

int main(int argc, char** argv) {
    if (argc != 4) return 2;
#ifdef _WIN32
    DWORD share = FILE_SHARE_READ | (std::strcmp(argv[3], "rw") == 0 ? FILE_SHARE_WRITE : 0);
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
#else
    std::FILE* file = std::fopen(argv[1], "r+b");
    if (!file) return 1;
#endif
    std::FILE* ready = std::fopen(argv[2], "wb");
    if (!ready || std::fclose(ready) != 0) return 1;
    std::this_thread::sleep_for(std::chrono::seconds(60));
    (void)file;
    return 0;
}
