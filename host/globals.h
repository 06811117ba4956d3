// The host's globals: the devices, the settings and the runtime state.
#pragma once
#include "platform/types.h"

class OpenGLLumeris;
class OpenGLFont;
class DirectInput;
class SFXSound;
class SFXSoundBuffer;

extern OpenGLLumeris lumeris;
extern OpenGLFont fnt;
extern DirectInput DXin;
extern SFXSound DXsnd;
extern SFXSoundBuffer DXwav[128];

extern HWND hWnd;

// Start-up settings, written by the program's GlobalInit.
extern int _VX_RESX;
extern int _VX_RESY;
extern int _VX_DEBUG;
extern int _VX_FULLSCREEN;
extern int _VX_FRAMERATE;

// Mouse position kept by MOUSESTATE.
extern int _g_mx;
extern int _g_my;
