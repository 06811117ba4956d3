// Input events pumped with the window's messages. The input devices keep their
// state from these; until they exist the events are dropped.
#include "platform/sdl/sdl_internal.h"

namespace platform::sdl {

void HandleInputEvent(const SDL_Event&) {}

}  // namespace platform::sdl
