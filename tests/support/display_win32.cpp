// Test support, Windows side: window facts asked of user32 and WGL.
#include <windows.h>

// support/display.h is not included: its seam handle names (HWND...) are the
// runtime's own, not windows.h's. These are its declarations.
namespace vxtest {
bool WindowShown();
bool PostSystemClose();
bool DesktopSize(int* width, int* height);
namespace {

HWND CurrentWindow() {
    HDC dc = wglGetCurrentDC();
    return dc ? WindowFromDC(dc) : nullptr;
}

}  // namespace

bool WindowShown() {
    HWND window = CurrentWindow();
    return window && IsWindowVisible(window);
}

bool PostSystemClose() {
    HWND window = CurrentWindow();
    return window && PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool DesktopSize(int* width, int* height) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
    return *width > 0 && *height > 0;
}

}  // namespace vxtest
