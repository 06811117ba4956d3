// The host's globals, in one translation unit so that the devices are constructed
// in this order (renderer, font, input, sound, samples) and destroyed in reverse.
#include "host/globals.h"

#include "host/errors.h"
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

int _VX_RESX = 0;
int _VX_RESY = 0;
int _VX_DEBUG = 0;
int _VX_FULLSCREEN = 0;
int _VX_FRAMERATE = 0;

int _g_mx = 0;
int _g_my = 0;
int _g_debugline = 0;
int _g_error = 0;
int _g_errorline = 0;
