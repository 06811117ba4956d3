// A stand-in for the movie player "reelrun.exe": waits a little (so that PLAYMOVIE is
// seen to wait), then writes its argument count and each argument in brackets to
// args.txt in its working folder. On Windows, given the argument "send", it first
// sends a message to the window titled "Vamex Test" and waits up to 2 s for the
// answer, as a program broadcasting to every window does; args.txt then ends with
// "answered in N ms" or "not answered".
#ifdef _WIN32
#include <windows.h>
#endif
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

int main(int argc, char** argv) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    char answer[64] = "";
#ifdef _WIN32
    if (argc == 2 && std::strcmp(argv[1], "send") == 0) {
        HWND window = FindWindowA(nullptr, "Vamex Test");
        DWORD_PTR result = 0;
        DWORD start = GetTickCount();
        if (window && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result))
            std::snprintf(answer, sizeof answer, "answered in %lu ms\n",
                          (unsigned long)(GetTickCount() - start));
        else
            std::snprintf(answer, sizeof answer, "not answered\n");
    }
#endif
    FILE* out = std::fopen("args.txt", "wb");
    if (!out) return 1;
    std::fprintf(out, "%d\n", argc - 1);
    for (int i = 1; i < argc; ++i) std::fprintf(out, "[%s]\n", argv[i]);
    std::fputs(answer, out);
    return std::fclose(out) == 0 ? 0 : 1;
}
