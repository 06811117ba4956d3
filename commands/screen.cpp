// Screen and sprite commands over the renderer.
#include "commands/screen.h"

#include "host/globals.h"
#include "render/OpenGLLumeris.h"

int SHOWSCREEN() {
    lumeris.FlipScreens();
    // The background (surface 0) is empty until pictures can be loaded into it.
    return 0;
}
