// Test support, SDL side: window facts asked of SDL itself.
#include <SDL2/SDL.h>

#include "support/display.h"

namespace vxtest {

bool WindowShown() {
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN);
}

bool PostSystemClose() {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    e.window.windowID = SDL_GetWindowID(SDL_GL_GetCurrentWindow());
    return SDL_PushEvent(&e) == 1;
}

bool DesktopSize(int* width, int* height) {
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return false;
    *width = desktop.w;
    *height = desktop.h;
    return true;
}

}  // namespace vxtest
