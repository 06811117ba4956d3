// Test support: window, renderer and pixel read-back.
#include "support/display.h"

#include "host/globals.h"
#include "platform/gl.h"
#include "platform/window.h"
#include "render/OpenGLLumeris.h"

namespace vxtest {
namespace {

LRESULT TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return platform::DefaultWindowProc(window, message, wParam, lParam);
}

}  // namespace

HWND OpenWindow() {
    static HWND window = [] {
        if (!platform::InitVideo()) return (HWND) nullptr;
        platform::RegisterWindowClass("Vamex Test", TestWindowProc);
        HWND w = platform::NewWindow("Vamex Test", "Vamex Test", 50, 50, 800, 600);
        if (w) platform::SetWindowVisible(w, true);
        return w;
    }();
    hWnd = window;
    return window;
}

bool OpenDisplay(int width, int height, unsigned short frameTime) {
    static bool open = [&] {
        HWND window = OpenWindow();
        if (!window) return false;
        lumeris.Init(window, width, height, 16, frameTime);
        return lumeris.IsActive();
    }();
    return open;
}

Pixel ReadPixel(int x, int y) {
    return ReadBlock(x, y, 1, 1)[0];
}

std::vector<Pixel> ReadBlock(int x, int y, int w, int h) {
    std::vector<uint8_t> raw((size_t)w * h * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, lumeris.Height() - y - h, w, h, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
    std::vector<Pixel> out((size_t)w * h);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const uint8_t* p = &raw[((size_t)(h - 1 - row) * w + col) * 4];
            out[(size_t)row * w + col] = {p[0], p[1], p[2]};
        }
    return out;
}

}  // namespace vxtest
