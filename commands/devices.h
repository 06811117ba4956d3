// The devices the commands work on: one of each for the whole process, defined
// (and so constructed, in order) by the host.
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

// The game's window.
extern HWND hWnd;
