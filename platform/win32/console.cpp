// The console a window program was started from: its standard error, and its
// requests to end the program (Ctrl+C, Ctrl+Break, closing the console, logging off,
// shutting down), which close the program as its window's close does.
#include <atomic>
#include <cstdio>

#include "platform/win32/win32_internal.h"

namespace platform {
namespace {

// The first live window, for the close that the console asks.
std::atomic<Win32HWND> g_firstWindow{nullptr};
// The signal number the console's request counts as (2 for an interrupt, 15 for an
// end of the console or the session), 0 before any came.
std::atomic<int> g_closeSignal{0};

// How long the system's thread waits for the program to end after a close of the
// console or the session: the system ends the process when the handler returns, and
// gives it 5 s at most in any case.
constexpr DWORD kEndingWaitMs = 4500;

BOOL WINAPI OnConsoleControl(DWORD event) {
    int signal = 0;
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            signal = 2;  // SIGINT's
            break;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            signal = 15;  // SIGTERM's
            break;
        default:
            return FALSE;
    }
    Win32HWND window = g_firstWindow.load();
    int none = 0;
    // A second request is left to the system, which ends a program that does not come
    // to its next frame.
    if (!window || !g_closeSignal.compare_exchange_strong(none, signal)) return FALSE;
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    // An interrupt leaves the process running; the other events end it as soon as this
    // returns, so the program's own end is waited for, a bounded time.
    if (signal == 15) ::Sleep(kEndingWaitMs);
    return TRUE;
}

DWORD WINAPI DeliverConsoleEvent(void* event) {
    return OnConsoleControl((DWORD)(uintptr_t)event);
}

bool Usable(::HANDLE handle) {
    return handle && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// A window program has no console of its own. Started from one (a command prompt), it
// takes that one, so its failure lines and the console's Ctrl+C reach it as they would
// a console program; output its starter already sent elsewhere (a file, a pipe) stays
// there. Done before anything runs that could write a line.
bool AttachParentConsole() {
    if (::GetConsoleWindow()) return false;  // a console program: its own console
    bool keepOut = Usable(::GetStdHandle(STD_OUTPUT_HANDLE));
    bool keepErr = Usable(::GetStdHandle(STD_ERROR_HANDLE));
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    if (!keepOut && std::freopen("CONOUT$", "w", stdout)) std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (!keepErr && std::freopen("CONOUT$", "w", stderr)) std::setvbuf(stderr, nullptr, _IONBF, 0);
    return true;
}

const bool g_attached = AttachParentConsole();

}  // namespace

namespace win32 {

void ListenToConsole(Win32HWND window) {
    Win32HWND none = nullptr;
    if (!g_firstWindow.compare_exchange_strong(none, window)) return;
    static bool handled = ::SetConsoleCtrlHandler(OnConsoleControl, TRUE) != FALSE;
    (void)handled;
    (void)g_attached;
}

void StopListening(Win32HWND window) {
    g_firstWindow.compare_exchange_strong(window, nullptr);
}

}  // namespace win32

int CloseSignal() {
    return g_closeSignal;
}

namespace test {

void ConsoleEvent(uint32_t event) {
    // The system calls the handler on a thread it starts in the process.
    ::HANDLE thread =
        ::CreateThread(nullptr, 0, DeliverConsoleEvent, (void*)(uintptr_t)event, 0, nullptr);
    if (thread) ::CloseHandle(thread);
}

}  // namespace test
}  // namespace platform
