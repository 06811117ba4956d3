// A program run where DirectSound cannot be loaded: the start-up sequence goes on
// without a sound device and the sound commands fail quietly. Exit code 0 when they
// did, 1 (END) when not.
#include "base/errors.h"
#include "commands/sound_commands.h"
#include "host/globals.h"
#include "host/host.h"
#include "sound/SFXSound.h"

int GlobalInit(OpenGLLumeris&, HWND) {
    return 0;
}

int MainGameSub() {
    if (DXsnd.lpDS || DXsnd.GetCaps()) END();
    // The file is there (the test wrote it): only the device is missing.
    if (LOADSOUND(VXStr("tone.wav"), 1, 2) != 3 || DXwav[1].buffers[0]) END();
    if (PLAYSOUND(1, 50) != 0 || HUSH() != 0) END();
    return 0;
}
