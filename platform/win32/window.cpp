// Win32 backend of the window, display modes and the message queue (user32, gdi32).
// The registered class's procedure hands the messages the runtime knows to the
// procedure the runtime registered; everything else gets the system's default.
#include "platform/window.h"

#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/win32/window_internal.h"

// HWND_TOPMOST and HWND_NOTOPMOST would cast to the seam's HWND.
static const Win32HWND kTopMost = reinterpret_cast<Win32HWND>(-1);
static const Win32HWND kNotTopMost = reinterpret_cast<Win32HWND>(-2);

namespace platform {
namespace {

struct WindowClass {
    char name[64];
    WindowProc proc;
};

struct ClassTable {
    std::mutex lock;
    WindowClass classes[8];
    int count = 0;
};

// Never destroyed: windows may still get messages while the program ends.
ClassTable& Classes() {
    static ClassTable* table = new ClassTable();
    return *table;
}

bool g_videoReady = false;

// Why the last NewWindow failed, one line.
char g_windowError[256];

void NoteWindowError(const char* step) {
    std::snprintf(g_windowError, sizeof g_windowError, "%s: %s", step, LastErrorText().c_str());
}

constexpr DWORD kWindowStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kFullscreenStyle =
    WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_MAXIMIZE;

// The messages the runtime's procedures know; the rest never reach them.
bool RuntimeMessage(UINT message) {
    switch (message) {
        case WM_CREATE:
        case WM_DESTROY:
        case WM_MOVE:
        case WM_SIZE:
        case WM_ACTIVATE:
        case WM_PAINT:
        case WM_CLOSE:
        case WM_SYSCOMMAND:
            return true;
        default:
            return false;
    }
}

Win32LRESULT CALLBACK WindowProcedure(Win32HWND hwnd, UINT message, Win32WPARAM wParam,
                                      Win32LPARAM lParam) {
    PlatformWindow* window = nullptr;
    if (message == WM_NCCREATE) {
        // Bind the seam's record before WM_CREATE, which arrives inside CreateWindowExA.
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        window = static_cast<PlatformWindow*>(create->lpCreateParams);
        window->handle = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    } else {
        window = reinterpret_cast<PlatformWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (message == WM_NCDESTROY && window) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        window->handle = nullptr;
        window->dc = nullptr;
    }
    if (window && window->proc && RuntimeMessage(message))
        return (Win32LRESULT)window->proc(window, message, (WPARAM)wParam, (LPARAM)lParam);
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

// The seam's record of one of our windows, or null for any other window.
PlatformWindow* OwnWindow(Win32HWND hwnd) {
    if (!hwnd ||
        ::GetWindowLongPtrA(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&WindowProcedure))
        return nullptr;
    return reinterpret_cast<PlatformWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// Hands a fetched message to the runtime when it is for one of our windows or the
// quit message; anything else (system windows, thread messages) is dispatched here.
bool TakeMessage(const MSG& native, Message* msg) {
    if (native.message == WM_QUIT) {
        *msg = {nullptr, WM_QUIT, (WPARAM)native.wParam, (LPARAM)native.lParam};
        return true;
    }
    if (PlatformWindow* window = OwnWindow(native.hwnd)) {
        *msg = {window, native.message, (WPARAM)native.wParam, (LPARAM)native.lParam};
        return true;
    }
    ::TranslateMessage(&native);
    ::DispatchMessageA(&native);
    return false;
}

bool ModeListed(int width, int height, int bits) {
    DEVMODEA mode;
    for (DWORD i = 0;; ++i) {
        std::memset(&mode, 0, sizeof(mode));
        mode.dmSize = sizeof(mode);
        if (!::EnumDisplaySettingsA(nullptr, i, &mode)) break;
        if ((int)mode.dmPelsWidth == width && (int)mode.dmPelsHeight == height &&
            (bits == 0 || (int)mode.dmBitsPerPel == bits))
            return true;
    }
    // The desktop's own mode counts too, for drivers that list nothing usable.
    std::memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    return ::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) &&
           (int)mode.dmPelsWidth == width && (int)mode.dmPelsHeight == height &&
           (bits == 0 || (int)mode.dmBitsPerPel == bits);
}

}  // namespace

namespace win32 {

Win32HWND NativeWindow(HWND window) {
    return window ? window->handle : nullptr;
}

Win32HINSTANCE NativeInstance() {
    return ::GetModuleHandleA(nullptr);
}

}  // namespace win32

HINSTANCE ProgramInstance() {
    return win32::NativeInstance();
}

bool InitVideo() {
    // Windows has its display open for every program; nothing to choose.
    g_videoReady = true;
    return true;
}

bool VideoReady() {
    return g_videoReady;
}

const char* VideoDriver() {
    return g_videoReady ? "windows" : "";
}

bool RegisterWindowClass(const char* name, WindowProc proc) {
    ClassTable& t = Classes();
    std::lock_guard<std::mutex> lock(t.lock);
    if (!name || !proc || t.count >= 8 || std::strlen(name) >= sizeof(t.classes[0].name))
        return false;
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = WindowProcedure;
    wc.hInstance = win32::NativeInstance();
    wc.lpszClassName = name;
    // Fails for a name already registered, as the seam asks.
    if (!::RegisterClassA(&wc)) return false;
    std::strcpy(t.classes[t.count].name, name);
    t.classes[t.count].proc = proc;
    ++t.count;
    return true;
}

HWND NewWindow(const char* className, const char* title, int x, int y, int w, int h) {
    if (!className) return nullptr;
    WindowProc proc = nullptr;
    {
        ClassTable& t = Classes();
        std::lock_guard<std::mutex> lock(t.lock);
        for (int i = 0; i < t.count; ++i)
            if (std::strcmp(t.classes[i].name, className) == 0) proc = t.classes[i].proc;
    }
    g_windowError[0] = 0;
    if (!proc) {
        std::snprintf(g_windowError, sizeof g_windowError, "window class not registered");
        return nullptr;
    }
    if (!InitVideo()) return nullptr;
    PlatformWindow* window = new PlatformWindow();
    window->proc = proc;
    Win32HWND handle = ::CreateWindowExA(0, className, title ? title : "", kWindowStyle, x, y, w, h,
                                         nullptr, nullptr, win32::NativeInstance(), window);
    if (!handle) {
        NoteWindowError("window");
        delete window;
        return nullptr;
    }
    // The class keeps one device context per window for the window's whole life.
    window->dc = ::GetDC(handle);
    win32::ListenToConsole(handle);
    return window;
}

const char* WindowError() {
    return g_windowError;
}

void DeleteWindow(HWND window) {
    // The record stays valid memory: callers may still hold it at exit.
    if (!window || !window->handle) return;
    win32::StopListening(window->handle);
    ::DestroyWindow(window->handle);
}

void SetWindowVisible(HWND window, bool show) {
    if (!window || !window->handle) return;
    ::ShowWindow(window->handle, show ? SW_SHOWNORMAL : SW_HIDE);
    if (show) ::UpdateWindow(window->handle);
}

void PlaceWindow(HWND window, int x, int y, int w, int h) {
    if (!window || !window->handle) return;
    if (w > 0 && h > 0)
        ::MoveWindow(window->handle, x, y, w, h, TRUE);
    else
        ::SetWindowPos(window->handle, nullptr, x, y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool WindowBounds(HWND window, Rect* rect) {
    RECT r;
    if (!window || !window->handle || !rect || !::GetWindowRect(window->handle, &r)) return false;
    *rect = {(int)r.left, (int)r.top, (int)r.right, (int)r.bottom};
    return true;
}

void SetTopMost(HWND window, bool topMost) {
    if (!window || !window->handle) return;
    ::SetWindowPos(window->handle, topMost ? kTopMost : kNotTopMost, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int ShowMouseCursor(bool show) {
    return ::ShowCursor(show ? TRUE : FALSE);
}

int DesktopBitsPerPixel() {
    Win32HDC screen = ::GetDC(nullptr);
    int bits = screen ? ::GetDeviceCaps(screen, BITSPIXEL) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return bits > 0 ? bits : 32;
}

bool ChangeDisplayMode(HWND window, int width, int height, int bits) {
    if (!window || !window->handle || width <= 0 || height <= 0) return false;
    // Only a mode the display lists; the system would otherwise pick a near one itself.
    if (!ModeListed(width, height, bits)) return false;
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = (DWORD)width;
    mode.dmPelsHeight = (DWORD)height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    if (bits != 0) {
        mode.dmBitsPerPel = (DWORD)bits;
        mode.dmFields |= DM_BITSPERPEL;
    }
    if (::ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return false;
    window->modeChanged = true;
    ::SetWindowLongA(window->handle, GWL_EXSTYLE, WS_EX_TOPMOST);
    ::SetWindowLongA(window->handle, GWL_STYLE, (LONG)kFullscreenStyle);
    ::SetWindowPos(window->handle, kTopMost, 0, 0, width, height,
                   SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    return true;
}

void RestoreDisplayMode(HWND window) {
    if (!window || !window->modeChanged) return;
    window->modeChanged = false;
    ::ChangeDisplaySettingsA(nullptr, 0);
    if (!window->handle) return;
    LONG visible = ::IsWindowVisible(window->handle) ? WS_VISIBLE : 0;
    ::SetWindowLongA(window->handle, GWL_EXSTYLE, 0);
    ::SetWindowLongA(window->handle, GWL_STYLE, (LONG)kWindowStyle | visible);
    ::SetWindowPos(window->handle, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void WarningSound() {
    ::MessageBeep(MB_ICONEXCLAMATION);
}

bool PollMessage(Message* msg, HWND window) {
    if (!msg) return false;
    Win32HWND filter = nullptr;
    if (window) {
        filter = window->handle;
        if (!filter) return false;
    }
    // Another thread's window yields nothing here, as the seam asks: that is Win32's rule.
    MSG native;
    while (::PeekMessageA(&native, filter, 0, 0, PM_REMOVE))
        if (TakeMessage(native, msg)) return true;
    return false;
}

int WaitForMessage(Message* msg) {
    MSG native;
    for (;;) {
        BOOL result = ::GetMessageA(&native, nullptr, 0, 0);
        if (result == 0) {
            if (msg) *msg = {nullptr, WM_QUIT, (WPARAM)native.wParam, 0};
            return 0;
        }
        if (result == -1) {
            // Counts as a message, as the host's loop expects; there is nothing to hand on.
            if (msg) *msg = {nullptr, 0, 0, 0};
            return 1;
        }
        ::TranslateMessage(&native);
        if (!msg) {
            ::DispatchMessageA(&native);
            continue;
        }
        if (TakeMessage(native, msg)) return 1;
    }
}

LRESULT DeliverMessage(const Message* msg) {
    if (!msg || !msg->window || !msg->window->handle) return 0;
    MSG native{};
    native.hwnd = msg->window->handle;
    native.message = msg->message;
    native.wParam = (Win32WPARAM)msg->wParam;
    native.lParam = (Win32LPARAM)msg->lParam;
    native.time = ::GetMessageTime();
    return (LRESULT)::DispatchMessageA(&native);
}

LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The system's default: a system-menu close sends WM_CLOSE to the window, and so on.
    if (!window || !window->handle) return 0;
    return (LRESULT)::DefWindowProcA(window->handle, message, (Win32WPARAM)wParam,
                                     (Win32LPARAM)lParam);
}

void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !window->handle) return;
    ::PostMessageA(window ? window->handle : nullptr, message, (Win32WPARAM)wParam,
                   (Win32LPARAM)lParam);
}

void SleepOnWindowThread(uint32_t ms) {
    // Other threads' calls on our windows (DestroyWindow, SetWindowPos, ...) are sent
    // messages that wait for this thread: served while sleeping, nothing else taken.
    win32::WaitAnsweringSentMessages(nullptr, ms);
}

namespace win32 {

bool WaitAnsweringSentMessages(::HANDLE object, DWORD ms) {
    const DWORD count = object ? 1 : 0;
    const DWORD start = ::GetTickCount();
    for (;;) {
        DWORD left = INFINITE;
        if (ms != INFINITE) {
            DWORD spent = ::GetTickCount() - start;
            if (spent >= ms) return false;
            left = ms - spent;
        }
        DWORD woke = ::MsgWaitForMultipleObjectsEx(count, object ? &object : nullptr, left,
                                                   QS_SENDMESSAGE, 0);
        if (count && woke == WAIT_OBJECT_0) return true;
        if (woke != WAIT_OBJECT_0 + count) return false;
        // Peeking answers the sent messages; posted ones stay queued.
        MSG native;
        ::PeekMessageA(&native, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace win32

}  // namespace platform
