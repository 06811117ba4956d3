// The window, its GL context, display modes and the message queue.
// Backed by SDL2 (platform/sdl/window.cpp; headless runs use SDL's offscreen driver)
// or by user32, gdi32 and WGL (platform/win32/window.cpp).
#pragma once
#include "platform/types.h"

namespace platform {

// Window messages the runtime sees, with their Win32 numbers.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr WPARAM SC_CLOSE = 0xF060;

struct Message {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

using WindowProc = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct Rect {
    int left, top, right, bottom;
};

// The program's instance handle, for WinMain and the devices that ask for it.
HINSTANCE ProgramInstance();

// Opens the video subsystem on the calling thread, which becomes the one that pumps
// events. Falls back to the offscreen driver where no display is reachable.
bool InitVideo();
// True once InitVideo has succeeded.
bool VideoReady();
// Name of the video driver in use ("x11", "offscreen", ...), or "" before InitVideo.
const char* VideoDriver();

// Registers the procedure that DeliverMessage calls for windows of class `name`.
bool RegisterWindowClass(const char* name, WindowProc proc);
// Creates a borderless, hidden window of a registered class; null on failure.
// The window procedure receives WM_CREATE before this returns. Where the display can
// give the window no GL context, the window is made on the offscreen driver instead.
HWND NewWindow(const char* className, const char* title, int x, int y, int w, int h);
// Why the last NewWindow could not use the display or failed: one line, "" if
// nothing went wrong.
const char* WindowError();
// Destroys the window (WM_DESTROY is sent to its procedure first).
void DeleteWindow(HWND window);
// Shows or hides the window.
void SetWindowVisible(HWND window, bool show);
// Moves and sizes the window (outer size; the window has no frame).
void PlaceWindow(HWND window, int x, int y, int w, int h);
// Reads the window's rectangle in screen coordinates.
bool WindowBounds(HWND window, Rect* rect);
// Keeps the window above all others, or not.
void SetTopMost(HWND window, bool topMost);
// Changes the cursor display count, as the system keeps it, by one; returns the new
// count. The cursor is visible while the count is 0 or more.
int ShowMouseCursor(bool show);
// Bits per pixel of the desktop's current mode.
int DesktopBitsPerPixel();

// Switches the display to width x height (and bits, unless 0) with the window full
// screen on it. A mode the display does not list is refused: false, nothing changed.
bool ChangeDisplayMode(HWND window, int width, int height, int bits);
// Returns the display to the desktop mode and the window to windowed.
void RestoreDisplayMode(HWND window);
// The system's warning sound.
void WarningSound();

// Creates a GL context for the window: double buffer, 16-bit depth, compatibility
// profile, swap interval 0. Null on failure.
HGLRC CreateGLContext(HWND window);
// Makes the context current on the calling thread, or releases it (context null).
bool MakeCurrent(HWND window, HGLRC context);
// Deletes a context.
void DeleteGLContext(HGLRC context);
// Presents the back buffer.
void PresentFrame(HWND window);

// Takes the next message for `window` (or any window when null) without waiting.
// Pumps the system's events first when called on the thread that opened the video;
// other threads find no messages, as a thread that does not own the window would.
bool PollMessage(Message* msg, HWND window);
// Waits for the next message; returns 0 for WM_QUIT, 1 otherwise.
int WaitForMessage(Message* msg);
// Calls the window procedure of the message's window.
LRESULT DeliverMessage(const Message* msg);
// Default handling: a system-menu close becomes WM_CLOSE; everything else returns 0.
LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues a message for the window, as if the system had sent it. Safe from any thread.
void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sleeps `ms` on the thread that owns the windows without taking a message from its
// queue. Where the system makes other threads' window calls wait for the owning
// thread (Win32's cross-thread sends), those are served meanwhile.
void SleepOnWindowThread(uint32_t ms);

// An interrupt (SIGINT, SIGTERM) asks the program to close: it arrives as WM_CLOSE
// for the first window at the next pump. Returns the first such signal's number,
// 0 while none has come.
int CloseSignal();

}  // namespace platform

// Seeing frames in tests of the seam's callers.
namespace platform::test {

// Calls `hook` with the window just before each PresentFrame presents its back buffer
// (with the context still current), until set to null.
void OnSwap(void (*hook)(HWND window));

}  // namespace platform::test
