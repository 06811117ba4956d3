// Win32 backend of the GL context: the pixel format, WGL contexts and the swap.
#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/window.h"
#include "platform/win32/window_internal.h"

namespace platform {
namespace {

// Tests see each frame just before it is presented.
std::atomic<void (*)(HWND)> g_onSwap{nullptr};

// The WGL extensions the context's driver lists, "" where it lists none.
const char* WglExtensions(Win32HDC dc) {
    using ByDc = const char*(WINAPI*)(Win32HDC);
    using Plain = const char*(WINAPI*)();
    if (PROC arb = ::wglGetProcAddress("wglGetExtensionsStringARB"))
        if (const char* list = reinterpret_cast<ByDc>(reinterpret_cast<void (*)()>(arb))(dc))
            return list;
    if (PROC ext = ::wglGetProcAddress("wglGetExtensionsStringEXT"))
        if (const char* list = reinterpret_cast<Plain>(reinterpret_cast<void (*)()>(ext))())
            return list;
    return "";
}

// Frames go out as soon as they are drawn: the renderer holds the frame rate itself.
// The function is called only where the driver lists the extension: an address alone
// proves nothing (a driver may hand one out for a name it does not support).
void SwapIntervalZero(Win32HDC dc) {
    if (!win32::ListsExtension(WglExtensions(dc), "WGL_EXT_swap_control")) return;
    using SwapInterval = BOOL(WINAPI*)(int);
    PROC proc = ::wglGetProcAddress("wglSwapIntervalEXT");
    if (proc) reinterpret_cast<SwapInterval>(reinterpret_cast<void (*)()>(proc))(0);
}

}  // namespace

namespace win32 {

bool ListsExtension(const char* list, const char* name) {
    if (!list || !name || !*name) return false;
    const size_t length = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length) {
        bool starts = p == list || p[-1] == ' ';
        bool ends = p[length] == ' ' || p[length] == '\0';
        if (starts && ends) return true;
    }
    return false;
}

}  // namespace win32

HGLRC CreateGLContext(HWND window) {
    if (!window || !window->dc) return nullptr;
    Win32HDC dc = window->dc;
    // A window's pixel format can be set once; a second context reuses it.
    if (::GetPixelFormat(dc) <= 0) {
        PIXELFORMATDESCRIPTOR pfd{};
        pfd.nSize = sizeof(pfd);
        pfd.nVersion = 1;
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.iPixelType = PFD_TYPE_RGBA;
        // The desktop's depth: a 16-bit request would round the pictures' colours.
        // Never fewer than 16 bits: the renderer realises no palette.
        pfd.cColorBits = (BYTE)std::max(DesktopBitsPerPixel(), 16);
        pfd.cDepthBits = 16;
        pfd.iLayerType = PFD_MAIN_PLANE;
        int format = ::ChoosePixelFormat(dc, &pfd);
        if (format <= 0 || !::SetPixelFormat(dc, format, &pfd)) return nullptr;
    }
    Win32HGLRC context = ::wglCreateContext(dc);
    if (!context) return nullptr;
    // Current on the calling thread, as the renderer expects right after creation.
    if (!::wglMakeCurrent(dc, context)) {
        ::wglDeleteContext(context);
        return nullptr;
    }
    SwapIntervalZero(dc);
    PlatformGLContext* result = new PlatformGLContext();
    result->context = context;
    return result;
}

bool MakeCurrent(HWND window, HGLRC context) {
    if (!context) return ::wglMakeCurrent(nullptr, nullptr) != FALSE;
    if (!window || !window->dc) return false;
    return ::wglMakeCurrent(window->dc, context->context) != FALSE;
}

void DeleteGLContext(HGLRC context) {
    if (!context) return;
    if (::wglGetCurrentContext() == context->context) ::wglMakeCurrent(nullptr, nullptr);
    ::wglDeleteContext(context->context);
    delete context;
}

void PresentFrame(HWND window) {
    if (!window || !window->dc) return;
    if (auto hook = g_onSwap.load()) hook(window);
    ::SwapBuffers(window->dc);
}

}  // namespace platform

namespace platform::test {

void OnSwap(void (*hook)(HWND window)) {
    g_onSwap = hook;
}

}  // namespace platform::test
