// Test support: the host's window and the renderer, opened once per test process
// (headless runs use SDL's offscreen driver), pixel read-back, and the few window
// facts a test asks of the backend itself (display_sdl.cpp, display_win32.cpp).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace vxtest {

// Creates the host window (class "Vamex Test", 800 x 600 at 50, 50) once; null on failure.
HWND OpenWindow();
// Opens the window and runs lumeris.Init(window, width, height, 16, frameTime) once.
bool OpenDisplay(int width = 640, int height = 480, unsigned short frameTime = 5);

struct Pixel {
    uint8_t r, g, b;
    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b; }
};
// Reads the back buffer at screen pixel (x, y), y downwards from the top.
Pixel ReadPixel(int x, int y);
// Reads a w x h block of the back buffer, rows from the top, RGB.
std::vector<Pixel> ReadBlock(int x, int y, int w, int h);

// The window of the current GL context is shown.
bool WindowShown();
// Sends the window of the current GL context a close request as the window manager's
// close button (the system menu's Close) sends it. False when it could not be sent.
bool PostSystemClose();
// The desktop's size in pixels; false when it cannot be read.
bool DesktopSize(int* width, int* height);

}  // namespace vxtest
