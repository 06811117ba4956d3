// Handles the runtime passes around. They are opaque outside platform/:
// the system's code keeps its Win32 names, the backend decides what they hold.
#pragma once
#include <cstdint>

struct PlatformWindow;
struct PlatformGLContext;
struct PlatformThread;

using HWND = PlatformWindow*;
using HDC = PlatformWindow*;  // a window's drawing surface is the window itself here
using HGLRC = PlatformGLContext*;
using HINSTANCE = void*;
using HPALETTE = void*;  // no pixel format needs a palette on this platform
using LRESULT = intptr_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using UINT = unsigned int;
