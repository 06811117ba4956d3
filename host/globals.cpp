// The host's globals, in one translation unit so that the devices are constructed
// in this order (renderer, font, input, sound, samples) and destroyed in reverse.
#include "commands/devices.h"

#include "base/errors.h"
#include "input/DirectInput.h"
#include "render/OpenGLFont.h"
#include "render/OpenGLLumeris.h"
#include "sound/SFXSound.h"

OpenGLLumeris lumeris;
OpenGLFont fnt;
DirectInput DXin;
SFXSound DXsnd;
SFXSoundBuffer DXwav[128];

HWND hWnd = nullptr;

