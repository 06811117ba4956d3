// The Win32 backend's window and GL context records, shared by window.cpp and wgl.cpp.
#pragma once
#include "platform/window.h"
#include "platform/win32/win32_internal.h"

struct PlatformWindow {
    Win32HWND handle = nullptr;  // null once the system has destroyed the window
    Win32HDC dc = nullptr;       // the class's own device context, valid while the window is
    platform::WindowProc proc = nullptr;
    bool modeChanged = false;  // the display mode was changed for this window
};

struct PlatformGLContext {
    Win32HGLRC context = nullptr;
};

namespace platform::win32 {

// The program's module handle.
Win32HINSTANCE NativeInstance();

}  // namespace platform::win32
