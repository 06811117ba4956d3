// SDL2 backend of the window, GL context, display modes and the message queue.
#include "platform/window.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <signal.h>
#include <thread>
#include <unistd.h>

#include "platform/sdl/input_backend.h"
#include "platform/sdl/sdl_internal.h"

struct PlatformWindow {
    SDL_Window* sdl = nullptr;
    platform::WindowProc proc = nullptr;
    Uint32 id = 0;
};

struct PlatformGLContext {
    SDL_GLContext sdl = nullptr;
};

namespace platform {
namespace {

struct WindowClass {
    char name[64];
    WindowProc proc;
};

// Native handles and the message queue live here only. The record is never
// destroyed, so nothing here goes away at exit while the runtime's own destructors
// (or a late posted message) still use it.
struct PlatformData {
    std::atomic<bool> videoReady{false};
    std::thread::id eventThread;
    WindowClass classes[8];
    int classCount = 0;
    PlatformWindow* windows[8];
    int windowCount = 0;
    int cursorCount = 0;
    std::mutex queueLock;
    std::deque<Message> queue;
    char windowError[512] = "";
};

// The first interrupt that asked the program to close, and whether its close message
// is still to be queued. Written by the signal handler, hence lock-free atomics.
std::atomic<int> g_closeSignal{0};
// Tests see each frame just before it is presented.
std::atomic<void (*)(HWND)> g_onSwap{nullptr};
std::atomic<bool> g_closePending{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "signal handlers may only touch lock-free atomics");

PlatformData& Data() {
    static PlatformData* data = new PlatformData();
    return *data;
}

PlatformWindow* FindWindow(Uint32 id) {
    PlatformData& d = Data();
    for (int i = 0; i < d.windowCount; ++i)
        if (d.windows[i] && d.windows[i]->id == id) return d.windows[i];
    return nullptr;
}

PlatformWindow* FirstWindow() {
    PlatformData& d = Data();
    for (int i = 0; i < d.windowCount; ++i)
        if (d.windows[i]) return d.windows[i];
    return nullptr;
}

int LiveWindows() {
    PlatformData& d = Data();
    int live = 0;
    for (int i = 0; i < d.windowCount; ++i)
        if (d.windows[i]) ++live;
    return live;
}

void Enqueue(const Message& msg) {
    PlatformData& d = Data();
    std::lock_guard<std::mutex> lock(d.queueLock);
    d.queue.push_back(msg);
}

// Two 16-bit halves in one LPARAM as Win32's MAKELPARAM packs them: through unsigned
// types, so a negative coordinate (a window left of the screen) keeps its bits.
LPARAM MakeLParam(int low, int high) {
    return (LPARAM)((uint32_t)(uint16_t)low | (uint32_t)(uint16_t)high << 16);
}

// Window-manager events become the Win32 messages the runtime knows.
void TranslateWindowEvent(const SDL_Event& e) {
    if (e.type == SDL_QUIT) {
        // The application is asked to quit (SIGTERM, session end): the close message.
        if (PlatformWindow* w = FirstWindow()) Enqueue({w, WM_CLOSE, 0, 0});
        return;
    }
    PlatformWindow* w = FindWindow(e.window.windowID);
    if (!w) return;
    switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            // The window manager's close button or Alt+F4: the system-menu close.
            Enqueue({w, WM_SYSCOMMAND, SC_CLOSE, 0});
            break;
        case SDL_WINDOWEVENT_MOVED:
            Enqueue({w, WM_MOVE, 0, MakeLParam(e.window.data1, e.window.data2)});
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            Enqueue({w, WM_SIZE, 0, MakeLParam(e.window.data1, e.window.data2)});
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            Enqueue({w, WM_ACTIVATE, 1, 0});
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            Enqueue({w, WM_ACTIVATE, 0, 0});
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            Enqueue({w, WM_PAINT, 0, 0});
            break;
        default:
            break;
    }
}

extern "C" void OnCloseSignal(int number) {
    int none = 0;
    g_closeSignal.compare_exchange_strong(none, number);
    g_closePending = true;
}

// SIGINT and SIGTERM become the close message at the next pump, as the application
// quit does; the signal is kept for the exit code.
void InstallCloseSignals() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    struct sigaction action {};
    action.sa_handler = OnCloseSignal;
    sigemptyset(&action.sa_mask);
    // Handled once: a second interrupt stops a program that does not come to its
    // next frame.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (int number : {SIGINT, SIGTERM}) {
        struct sigaction old {};
        // An interrupt the caller ignores (a background job, nohup) stays ignored.
        if (sigaction(number, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaction(number, &action, nullptr);
    }
}

// Keeps SDL's reason for a failed step, for the one line the host writes when no
// window can be made.
void NoteWindowError(const char* step) {
    PlatformData& d = Data();
    size_t used = std::strlen(d.windowError);
    std::snprintf(d.windowError + used, sizeof d.windowError - used, "%s%s: %s", used ? "; " : "",
                  step, SDL_GetError());
}

// Opens the video subsystem on the offscreen driver, whatever SDL_VIDEODRIVER names:
// the display asked for cannot be used.
bool InitOffscreen() {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0) return true;
    NoteWindowError("offscreen video");
    return false;
}

bool OnOffscreen() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "offscreen") == 0;
}

SDL_Window* OpenGLWindow(const char* title, int x, int y, int w, int h) {
    // Set for each window: opening the video again resets them.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    return SDL_CreateWindow(title, x, y, w, h,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
}

// Whether a GL context can be made for the window. The renderer makes its own much
// later, too late to choose another driver, so the window is tried here.
bool ContextWorks(SDL_Window* window) {
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) return false;
    SDL_GL_DeleteContext(context);  // also leaves no context current
    return true;
}

bool TakeMessage(Message* msg, HWND filter) {
    PlatformData& d = Data();
    std::lock_guard<std::mutex> lock(d.queueLock);
    for (auto it = d.queue.begin(); it != d.queue.end(); ++it) {
        if (!filter || it->window == filter || it->message == WM_QUIT) {
            *msg = *it;
            d.queue.erase(it);
            return true;
        }
    }
    return false;
}

}  // namespace

namespace sdl {

bool OnEventThread() {
    PlatformData& d = Data();
    return d.videoReady && std::this_thread::get_id() == d.eventThread;
}

void PumpEvents() {
    if (!OnEventThread()) return;
    if (PlatformWindow* w = FirstWindow())
        if (g_closePending.exchange(false)) Enqueue({w, WM_CLOSE, 0, 0});
    SDL_PumpEvents();
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        if (e.type == SDL_QUIT || e.type == SDL_WINDOWEVENT)
            TranslateWindowEvent(e);
        else
            HandleInputEvent(e);
    }
}

}  // namespace sdl

HINSTANCE ProgramInstance() {
    // There is no module handle here; any non-null value identifies the program.
    static char instance;
    return &instance;
}

bool InitVideo() {
    PlatformData& d = Data();
    if (d.videoReady) return true;
    // Closing the last window is a request to the program, not a quit of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Interrupts are ours: they close the window and are remembered for the exit code.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // With no display named at all, go straight to the offscreen driver rather than
    // let every windowing driver be probed (and complain) first.
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    if ((!x11 || !*x11) && (!wayland || !*wayland) && (!chosen || !*chosen))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        // No display reachable: the same window, on the offscreen driver.
        NoteWindowError("video");
        if (!InitOffscreen()) return false;
    }
    InstallCloseSignals();
    // Joysticks open here, on the thread that pumps: SDL's joystick part must not come
    // up on a game thread of its own while this one pumps events.
    sdl::InitJoysticks();
    d.eventThread = std::this_thread::get_id();
    d.videoReady = true;
    return true;
}

const char* WindowError() {
    return Data().windowError;
}

void SleepOnWindowThread(uint32_t ms) {
    // Nothing here waits for the window's thread: a plain sleep.
    SDL_Delay(ms);
}

int CloseSignal() {
    return g_closeSignal;
}

bool VideoReady() {
    return Data().videoReady;
}

const char* VideoDriver() {
    const char* name = VideoReady() ? SDL_GetCurrentVideoDriver() : nullptr;
    return name ? name : "";
}

bool RegisterWindowClass(const char* name, WindowProc proc) {
    PlatformData& d = Data();
    if (!name || !proc || d.classCount >= 8 || std::strlen(name) >= sizeof(d.classes[0].name))
        return false;
    for (int i = 0; i < d.classCount; ++i)
        if (std::strcmp(d.classes[i].name, name) == 0) return false;  // already registered
    std::strcpy(d.classes[d.classCount].name, name);
    d.classes[d.classCount].proc = proc;
    ++d.classCount;
    return true;
}

HWND NewWindow(const char* className, const char* title, int x, int y, int w, int h) {
    PlatformData& d = Data();
    WindowProc proc = nullptr;
    for (int i = 0; i < d.classCount; ++i)
        if (std::strcmp(d.classes[i].name, className) == 0) proc = d.classes[i].proc;
    d.windowError[0] = 0;
    if (!proc || d.windowCount >= 8) {
        std::snprintf(d.windowError, sizeof d.windowError, "%s",
                      proc ? "too many windows" : "window class not registered");
        return nullptr;
    }
    if (!InitVideo()) return nullptr;

    SDL_Window* sdlWindow = OpenGLWindow(title, x, y, w, h);
    if (!OnOffscreen() && !(sdlWindow && ContextWorks(sdlWindow))) {
        // A display that gives the window no OpenGL (an X server without GLX) is no use
        // to the renderer: the program runs on the offscreen driver, as it does headless.
        NoteWindowError(sdlWindow ? "OpenGL on the display" : "window on the display");
        if (sdlWindow) SDL_DestroyWindow(sdlWindow);
        sdlWindow = nullptr;
        // The driver can only change while no other window lives on it.
        if (LiveWindows() == 0) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
            if (InitOffscreen()) {
                sdlWindow = OpenGLWindow(title, x, y, w, h);
                if (!sdlWindow) NoteWindowError("offscreen window");
            } else {
                d.videoReady = false;
            }
        }
    }
    if (!sdlWindow) {
        if (!d.windowError[0]) NoteWindowError("window");
        return nullptr;
    }
    PlatformWindow* window = new PlatformWindow();
    window->sdl = sdlWindow;
    window->proc = proc;
    window->id = SDL_GetWindowID(sdlWindow);
    d.windows[d.windowCount++] = window;
    proc(window, WM_CREATE, 0, 0);
    return window;
}

void DeleteWindow(HWND window) {
    if (!window) return;
    PlatformData& d = Data();
    if (window->proc) window->proc(window, WM_DESTROY, 0, 0);
    for (int i = 0; i < d.windowCount; ++i)
        if (d.windows[i] == window) d.windows[i] = nullptr;
    if (window->sdl) SDL_DestroyWindow(window->sdl);
    window->sdl = nullptr;
    // The handle itself stays valid memory: callers may still hold it at exit.
}

void SetWindowVisible(HWND window, bool show) {
    if (!window || !window->sdl) return;
    if (show)
        SDL_ShowWindow(window->sdl);
    else
        SDL_HideWindow(window->sdl);
}

void PlaceWindow(HWND window, int x, int y, int w, int h) {
    if (!window || !window->sdl) return;
    SDL_SetWindowPosition(window->sdl, x, y);
    if (w > 0 && h > 0) SDL_SetWindowSize(window->sdl, w, h);
}

bool WindowBounds(HWND window, Rect* rect) {
    if (!window || !window->sdl || !rect) return false;
    int x, y, w, h;
    SDL_GetWindowPosition(window->sdl, &x, &y);
    SDL_GetWindowSize(window->sdl, &w, &h);
    *rect = {x, y, x + w, y + h};
    return true;
}

void SetTopMost(HWND window, bool topMost) {
    if (!window || !window->sdl) return;
    SDL_SetWindowAlwaysOnTop(window->sdl, topMost ? SDL_TRUE : SDL_FALSE);
}

int ShowMouseCursor(bool show) {
    PlatformData& d = Data();
    d.cursorCount += show ? 1 : -1;
    if (d.videoReady) SDL_ShowCursor(d.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return d.cursorCount;
}

int DesktopBitsPerPixel() {
    SDL_DisplayMode mode;
    if (!InitVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 32;
    return SDL_BITSPERPIXEL(mode.format);
}

bool ChangeDisplayMode(HWND window, int width, int height, int bits) {
    if (!window || !window->sdl) return false;
    int display = SDL_GetWindowDisplayIndex(window->sdl);
    if (display < 0) display = 0;
    // The modes the display lists; the desktop mode counts too, for drivers that
    // list nothing usable (offscreen).
    SDL_DisplayMode chosen{};
    bool found = false;
    int count = SDL_GetNumDisplayModes(display);
    for (int i = -1; i < count && !found; ++i) {
        SDL_DisplayMode m;
        if ((i < 0 ? SDL_GetDesktopDisplayMode(display, &m) : SDL_GetDisplayMode(display, i, &m)) !=
            0)
            continue;
        if (m.w == width && m.h == height &&
            (bits == 0 || (int)SDL_BITSPERPIXEL(m.format) == bits)) {
            chosen = m;
            found = true;
        }
    }
    if (!found) return false;
    if (SDL_SetWindowDisplayMode(window->sdl, &chosen) != 0) return false;
    return SDL_SetWindowFullscreen(window->sdl, SDL_WINDOW_FULLSCREEN) == 0;
}

void RestoreDisplayMode(HWND window) {
    if (!window || !window->sdl) return;
    SDL_SetWindowFullscreen(window->sdl, 0);
}

void WarningSound() {
    // SDL has no system sound; the terminal bell is the nearest thing.
    if (isatty(STDERR_FILENO)) {
        std::fputc('\a', stderr);
        std::fflush(stderr);
    }
}

HGLRC CreateGLContext(HWND window) {
    if (!window || !window->sdl) return nullptr;
    SDL_GLContext sdlContext = SDL_GL_CreateContext(window->sdl);
    if (!sdlContext) return nullptr;
    SDL_GL_SetSwapInterval(0);
    PlatformGLContext* context = new PlatformGLContext();
    context->sdl = sdlContext;
    return context;
}

bool MakeCurrent(HWND window, HGLRC context) {
    if (!window || !window->sdl) return false;
    return SDL_GL_MakeCurrent(window->sdl, context ? context->sdl : nullptr) == 0;
}

void DeleteGLContext(HGLRC context) {
    if (!context) return;
    SDL_GL_DeleteContext(context->sdl);
    delete context;
}

void PresentFrame(HWND window) {
    if (!window || !window->sdl) return;
    if (auto hook = g_onSwap.load()) hook(window);
    SDL_GL_SwapWindow(window->sdl);
}

bool PollMessage(Message* msg, HWND window) {
    // The window's messages belong to the thread that pumps its events.
    if (!sdl::OnEventThread()) return false;
    sdl::PumpEvents();
    return TakeMessage(msg, window);
}

int WaitForMessage(Message* msg) {
    for (;;) {
        sdl::PumpEvents();
        if (TakeMessage(msg, nullptr)) return msg->message == WM_QUIT ? 0 : 1;
        if (sdl::OnEventThread())
            SDL_WaitEventTimeout(nullptr, 10);
        else
            SDL_Delay(10);
    }
}

LRESULT DeliverMessage(const Message* msg) {
    if (!msg || !msg->window || !msg->window->proc) return 0;
    return msg->window->proc(msg->window, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    // As on Win32, the system-menu close asks the window to close.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE && window && window->proc)
        return window->proc(window, WM_CLOSE, 0, 0);
    return 0;
}

void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Enqueue({window, message, wParam, lParam});
}

}  // namespace platform

namespace platform::test {

void OnSwap(void (*hook)(HWND window)) {
    g_onSwap = hook;
}

}  // namespace platform::test
