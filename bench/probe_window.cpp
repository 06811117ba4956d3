// The floor of a program's start-up: open a window with a GL context, swap once,
// end. Nothing of the runtime: SDL on Linux, user32 and WGL on Windows.
#ifdef _WIN32
#include <windows.h>

int main() {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "probe";
    if (!RegisterClassA(&wc)) return 1;
    HWND window = CreateWindowExA(0, "probe", "probe", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                  50, 50, 640, 480, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 16;
    int format = ChoosePixelFormat(dc, &pfd);
    if (!format || !SetPixelFormat(dc, format, &pfd)) return 1;
    HGLRC context = wglCreateContext(dc);
    if (!context || !wglMakeCurrent(dc, context)) return 1;
    SwapBuffers(dc);
    // Ends as the programs do, leaving the window to the system: under Wine a
    // DestroyWindow of a GL window alone takes about two seconds.
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    return 0;
}
#else
#include <SDL2/SDL.h>

#include <cstdlib>

int main() {
    // Same driver choice as the runtime: no display named means offscreen.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_Window* window =
        SDL_CreateWindow("probe", 50, 50, 640, 480, SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS);
    if (!window) return 1;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) return 1;
    SDL_GL_SwapWindow(window);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
#endif
