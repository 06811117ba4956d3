// The process entry: the window, the random seed, the choice of the game thread,
// and the start-up sequence that ends in the compiled program.
#include <cstdio>

#include "base/errors.h"
#include "host/globals.h"
#include "host/host.h"
#include "input/DirectInput.h"
#include "lang/random.h"
#include "platform/clock.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "render/OpenGLFont.h"
#include "render/OpenGLLumeris.h"
#include "sound/SFXSound.h"

namespace {

HINSTANCE hInstance = nullptr;
const char* const lpszAppName = "Vamex Game Running";

// The start-up sequence and the program, on the game thread; ends the process.
[[noreturn]] void RunGame(int fontWidth, HINSTANCE instance) {
    GlobalInit(lumeris, hWnd);
    fnt.Init("SMALFONT.BMP", fontWidth);
    DXin.CreateDInput(hWnd, instance);
    DXsnd.Create(hWnd);
    DXsnd.GetCaps();
    MainGameSub();
    _EndProgram();
}

}  // namespace

int VX_WINAPI WinMain(HINSTANCE instance, HINSTANCE, char*, int) {
    hInstance = instance;
    _SetProcessEnd(_HostExit);
    if (!platform::RegisterWindowClass(lpszAppName, WndProc)) return 0;
    hWnd = platform::NewWindow(lpszAppName, lpszAppName, 50, 50, 800, 600);
    if (!hWnd) {
        // Nothing can run without a window; say so rather than look like success.
        std::fprintf(stderr, "%s: no window could be made (%s)\n", lpszAppName,
                     platform::WindowError());
        return 1;
    }
    platform::SetWindowVisible(hWnd, true);

    _SeedRandom(platform::TickCount());

    if (_VX_DEBUG == 0) RunGame(800, hInstance);

    _HostGameOnSecondThread();
    PlatformThread* thread = platform::StartThread(ExternalThread, hInstance);
    platform::Message msg{};
    for (;;) {
        _HostMainEnterWindow();
        if (platform::WaitForMessage(&msg) == 0) break;
        if (thread && !platform::ThreadStillActive(thread)) break;
        platform::DeliverMessage(&msg);
        _HostMainLeaveWindow();
        platform::SleepFor(500);
    }
    _HostMainLeaveWindow();
    // A quit while the game still runs: its thread ends the program, as for a close.
    if (thread && platform::ThreadStillActive(thread)) _HostCloseOnSecondThread();
    return (int)msg.wParam;
}

uint32_t ExternalThread(void* parameter) {
    _HostEnterGameThread();
    GlobalInit(lumeris, hWnd);
    fnt.Init("SMALFONT.BMP", _VX_RESX);
    DXin.CreateDInput(hWnd, (HINSTANCE)parameter);
    DXsnd.Create(hWnd);
    DXsnd.GetCaps();
    int result = MainGameSub();
    _EndProgram();
    return (uint32_t)result;
}

LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case platform::WM_CREATE:
        case platform::WM_MOVE:
        case platform::WM_SIZE:
        case platform::WM_ACTIVATE:
            // Invalidating every window on the desktop has no counterpart here: the
            // compositor repaints other windows itself.
            return 0;
        case platform::WM_PAINT:
            return 0;
        case platform::WM_CLOSE:
            _HostCloseOnSecondThread();  // the game's own thread ends it
            platform::DeleteWindow(window);
            _EndProgram();
        default:
            return platform::DefaultWindowProc(window, message, wParam, lParam);
    }
}
