// The movie command over the external player and the renderer's display modes.
#include "commands/movie.h"

#include "base/errors.h"
#include "base/settings.h"
#include "commands/devices.h"
#include "platform/process.h"
#include "render/OpenGLLumeris.h"

namespace {

const char* const kPlayer = "reelrun.exe";

// Sets the game's display up again as the settings ask.
void RestoreDisplay() {
    if (_VX_FULLSCREEN)
        lumeris.DoFullscreen();
    else
        lumeris.DoWindowed();
}

}  // namespace

int PLAYMOVIE(VXStr movie) {
    // The player gets the screen to itself while the game thread waits for it.
    lumeris.HideWindow();
    bool started = platform::RunAndWait(kPlayer, movie);
    RestoreDisplay();
    return started ? 0 : VX_ERR_FILE;
}
