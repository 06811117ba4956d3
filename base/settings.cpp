// The start-up settings and the mouse position, zero until the program writes them.
#include "base/settings.h"

int _VX_RESX = 0;
int _VX_RESY = 0;
int _VX_DEBUG = 0;
int _VX_FULLSCREEN = 0;
int _VX_FRAMERATE = 0;

int _g_mx = 0;
int _g_my = 0;
