// A scripted player for programs built out of the tree, which have no test hooks of
// their own. Loaded with LD_PRELOAD, it stands in front of SDL_GL_SwapWindow: it counts
// the frames the program shows and, after frame n, puts the script's events for n into
// SDL's queue or onto a virtual joystick, where the runtime takes them as a player's.
// VX_PLAYER_SCRIPT holds items "n:Key" (press), "n:-Key" (let go), with SDL's key
// names, and "n:stick=v" (the joystick's y axis), separated by spaces. The joystick is
// attached at the first frame, before the program opens its input devices.
#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

SDL_Joystick* stick = nullptr;

void Key(const char* name, bool down) {
    SDL_Scancode code = SDL_GetScancodeFromName(name);
    if (code == SDL_SCANCODE_UNKNOWN) {
        std::fprintf(stderr, "script player: no key named %s\n", name);
        return;
    }
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = code;
    e.key.keysym.sym = SDL_GetKeyFromScancode(code);
    SDL_PushEvent(&e);
}

void AttachStick() {
    SDL_InitSubSystem(SDL_INIT_JOYSTICK);
    int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 2, 0);
    if (index >= 0) stick = SDL_JoystickOpen(index);
}

// Plays the script's items for `frame`.
void Play(int frame) {
    const char* script = std::getenv("VX_PLAYER_SCRIPT");
    if (!script) return;
    char item[64];
    int used = 0;
    while (std::sscanf(script, " %63s%n", item, &used) == 1) {
        script += used;
        int at = 0, value = 0, read = 0;
        if (std::sscanf(item, "%d:%n", &at, &read) != 1 || at != frame) continue;
        const char* what = item + read;
        if (std::sscanf(what, "stick=%d", &value) == 1) {
            if (stick) SDL_JoystickSetVirtualAxis(stick, 1, (Sint16)value);
        } else if (what[0] == '-') {
            Key(what + 1, false);
        } else {
            Key(what, true);
        }
    }
}

}  // namespace

extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
    using Swap = void (*)(SDL_Window*);
    static Swap next = (Swap)dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    static int frame = 0;
    if (next) next(window);
    if (++frame == 1) AttachStick();
    Play(frame);
}
