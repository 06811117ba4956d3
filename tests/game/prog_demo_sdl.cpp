// The demo program with a scripted player. Every SHOWSCREEN of the demo passes
// through ScriptedShowscreen, which shows the frame and then puts the script's events
// for that frame into SDL's queue (keys, mouse) or onto a virtual joystick; the
// devices take them through their normal path. The session clicks to start, types
// the name "Ada", flies the ship right and up, marks a click, beeps twice, keeps a
// picture with F12 and ends with Escape. With VX_DEMO_SCRIPT=keys no joystick is
// attached: after the name, Right and Down are held for ten frames, then the picture
// and Escape.
#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>

#include "vamex.h"

int ScriptedShowscreen();
#define SHOWSCREEN ScriptedShowscreen
#include "game/demo.cpp"
#undef SHOWSCREEN

namespace {

SDL_Joystick* stick = nullptr;
int calls = 0;

bool KeysOnly() {
    const char* script = std::getenv("VX_DEMO_SCRIPT");
    return script && std::strcmp(script, "keys") == 0;
}

void Key(SDL_Scancode key, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = key;
    e.key.keysym.sym = SDL_GetKeyFromScancode(key);
    SDL_PushEvent(&e);
}

// A key pressed and let go, then Left Ctrl, which the demo does not read, so that the
// line editor meets this key's release and the next key's press on separate polls.
void Tap(SDL_Scancode key) {
    Key(key, true);
    Key(key, false);
    Key(SDL_SCANCODE_LCTRL, true);
    Key(SDL_SCANCODE_LCTRL, false);
}

void Button(Uint8 button, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&e);
}

void Motion(int dx, int dy) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.xrel = dx;
    e.motion.yrel = dy;
    SDL_PushEvent(&e);
}

// Click (the button held, let go, pressed again), then the name.
void ClickAndName() {
    Button(SDL_BUTTON_LEFT, true);
    Button(SDL_BUTTON_LEFT, false);
    Button(SDL_BUTTON_LEFT, true);
    Button(SDL_BUTTON_LEFT, false);
    Key(SDL_SCANCODE_LSHIFT, true);
    Tap(SDL_SCANCODE_A);
    Key(SDL_SCANCODE_LSHIFT, false);
    Tap(SDL_SCANCODE_D);
    Tap(SDL_SCANCODE_A);
    Tap(SDL_SCANCODE_RETURN);
}

void AfterKeysOnly(int call) {
    const bool down = call == 2, up = call == 12;
    if (call == 1) ClickAndName();
    if (down || up) {
        Key(SDL_SCANCODE_RIGHT, down);  // ten frames right and down: 40 pixels each
        Key(SDL_SCANCODE_DOWN, down);
    }
    if (call == 13 || call == 15) Key(SDL_SCANCODE_F12, call == 13);
    if (call == 16) Key(SDL_SCANCODE_ESCAPE, true);
}

// What the player does after frame `call` (0 is the start-up frame, 1 the title).
void After(int call) {
    if (KeysOnly()) return AfterKeysOnly(call);
    switch (call) {
        case 1:
            ClickAndName();
            break;
        case 2:
            Key(SDL_SCANCODE_RIGHT, true);  // ten frames right: 40 pixels
            break;
        case 12:
            Key(SDL_SCANCODE_RIGHT, false);
            break;
        case 3:
            Motion(220, 140);  // from (100, 100) to (320, 240)
            break;
        case 5:
            Button(SDL_BUTTON_LEFT, true);
            break;
        case 7:
            Button(SDL_BUTTON_LEFT, false);
            break;
        case 8:
            Motion(100, -100);
            break;
        case 14:
            SDL_JoystickSetVirtualAxis(stick, 1, -32768);  // ten frames up: 40 pixels
            break;
        case 24:
            SDL_JoystickSetVirtualAxis(stick, 1, 0);
            break;
        case 26:
            Key(SDL_SCANCODE_SPACE, true);
            break;
        case 28:
            Key(SDL_SCANCODE_SPACE, false);
            break;
        case 29:
            SDL_JoystickSetVirtualButton(stick, 0, SDL_PRESSED);
            break;
        case 30:
            SDL_JoystickSetVirtualButton(stick, 0, SDL_RELEASED);
            break;
        case 31:
            Key(SDL_SCANCODE_F12, true);
            break;
        case 33:
            Key(SDL_SCANCODE_F12, false);
            break;
        case 34:
            Key(SDL_SCANCODE_ESCAPE, true);
            break;
        default:
            break;
    }
}

}  // namespace

int ScriptedShowscreen() {
    int call = calls++;
    if (call == 0 && !KeysOnly()) {
        // Attached before the host opens the input devices, which take the first one.
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);
        int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 2, 0);
        if (index >= 0) stick = SDL_JoystickOpen(index);
    }
    int result = SHOWSCREEN();
    // Queued after the frame, so the demo's next reads are the first to take them.
    After(call);
    return result;
}
