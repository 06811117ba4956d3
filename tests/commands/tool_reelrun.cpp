// A stand-in for the movie player "reelrun.exe": waits a little (so that PLAYMOVIE is
// seen to wait), then writes its argument count and each argument in brackets to
// args.txt in its working folder.
#include <chrono>
#include <cstdio>
#include <thread>

int main(int argc, char** argv) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    FILE* out = std::fopen("args.txt", "wb");
    if (!out) return 1;
    std::fprintf(out, "%d\n", argc - 1);
    for (int i = 1; i < argc; ++i) std::fprintf(out, "[%s]\n", argv[i]);
    return std::fclose(out) == 0 ? 0 : 1;
}
