// A whole scroll_on run against its floor, side by side in one run: the floor is
// 22 frames of 10 ms plus the start-up of probe_window (a bare window with a GL
// context, swapped once). Runs each program 15 times, alternating. On Linux it runs
// headless with a Wine prefix of its own under the build folder; built for Windows it
// runs the .exe files beside it (under Wine: in the prefix Wine was started with).
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

#ifdef _WIN32
double NowMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart * 1e3 / frequency.QuadPart;
}

// Runs `path` in `dir` and returns its wall time in ms, or -1 when it failed.
double TimeRun(const std::string& path, const std::string& dir) {
    double start = NowMs();
    std::string line = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    if (!CreateProcessA(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                        &startup, &child))
        return -1;
    WaitForSingleObject(child.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    double took = NowMs() - start;
    return code == 0 ? took : -1;
}

// The build folder: the one above this program's own folder.
std::string BuildFolder() {
    char name[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, name, MAX_PATH);
    std::string path(name, n < MAX_PATH ? n : 0);
    for (int up = 0; up < 2; ++up) path = path.substr(0, path.find_last_of("\\/"));
    return path;
}

// The configuration scroll_on edits, 120 lines, on the system's own C: drive.
bool MakeConfiguration() {
    std::string folder = "C:\\Program Files\\Microsoft Games";
    CreateDirectoryA(folder.c_str(), nullptr);
    folder += "\\Combat Flight Simulator 2";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::ofstream cfg(folder + "\\cfs2.cfg", std::ios::binary);
    for (int i = 0; i < 120; ++i) cfg << "SETTING" << i << "=" << i << "\r\n";
    return bool(cfg);
}
#else
double NowMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Runs `path` in `dir` and returns its wall time in ms, or -1 when it failed.
double TimeRun(const std::string& path, const std::string& dir) {
    double start = NowMs();
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        execl(path.c_str(), path.c_str(), (char*)nullptr);
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    double took = NowMs() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? took : -1;
}
#endif

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

#ifdef _WIN32
const char* const kTarget = "1.25";
#else
const char* const kTarget = "1.2";
#endif

int main() {
#ifdef _WIN32
    std::string build = BuildFolder();
    if (!MakeConfiguration()) {
        std::fprintf(stderr, "cannot write cfs2.cfg\n");
        return 1;
    }
    std::string program = build + "\\game\\scroll_on.exe";
    std::string probeProgram = build + "\\bench\\probe_window.exe";
    std::string workFolder = build + "\\game";
#else
    std::string build = VX_BUILD_DIR;
    std::string prefix = build + "/bench-wine";
    std::string folder =
        prefix + "/drive_c/Program Files/Microsoft Games/Combat Flight Simulator 2";
    std::system(("mkdir -p '" + folder + "' '" + prefix + "/dosdevices' && ln -sfn ../drive_c '" +
                 prefix + "/dosdevices/c:'")
                    .c_str());
    {
        std::ofstream cfg(folder + "/cfs2.cfg", std::ios::binary);
        for (int i = 0; i < 120; ++i) cfg << "SETTING" << i << "=" << i << "\r\n";
    }
    setenv("WINEPREFIX", prefix.c_str(), 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    std::string program = build + "/game/scroll_on";
    std::string probeProgram = build + "/bench/probe_window";
    std::string workFolder = build;
#endif

    std::vector<double> runs, probe;
    for (int i = 0; i < 15; ++i) {
        double p = TimeRun(program, workFolder);
        double q = TimeRun(probeProgram, workFolder);
        if (p < 0 || q < 0) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
        runs.push_back(p);
        probe.push_back(q);
    }
    double floor = Median(probe) + 22 * 10.0;
    std::printf(
        "scroll_on median %.1f ms; probe_window median %.1f ms; floor %.1f ms; "
        "ratio %.2f (target <= %s)\n",
        Median(runs), Median(probe), floor, Median(runs) / floor, kTarget);
    return 0;
}
