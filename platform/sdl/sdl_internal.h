// What the SDL backend's files share. Never included outside platform/sdl/.
#pragma once
#include <SDL2/SDL.h>

namespace platform::sdl {

// Hands one pumped input event (keyboard, mouse, joystick) to the input backend.
void HandleInputEvent(const SDL_Event& event);

// True on the thread that opened the video subsystem and pumps its events.
bool OnEventThread();

// Pumps SDL's events on the event thread: window events become messages, input
// events go to the input backend. Does nothing on other threads.
void PumpEvents();

}  // namespace platform::sdl
